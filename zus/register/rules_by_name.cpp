// The entry rules, the continuity check and the month routines by name, as the edit form hooks
// them to its entries and calls them at save. Each adapter defaults its arguments by type, runs
// the typed rule on the working copies and stores back what the rule changed.
#include "runtime/core/context.h"
#include "runtime/core/std_strings.h"
#include "zus/register/basis_months_editor.h"
#include "zus/register/by_name.h"
#include "zus/register/continuity_check.h"
#include "zus/register/continuity_table.h"
#include "zus/register/rules_dates.h"
#include "zus/register/rules_fields.h"

namespace zus {
namespace {

using rt::Args;
using rt::Value;

int32_t dateArg(const Value& v, const char* fallbackVar) {
  if (v.isDate()) return v.date();
  const Value* var = rt::context().memvars.tryGet(fallbackVar);
  return var && var->isDate() ? var->date() : 0;
}

Value flag(bool b) { return Value::logical(b); }

Value OK_OD(Args& a) {
  int32_t start = dateArg(a[0], "_od");
  bool isNew = a[1].logicalOr(false);
  return flag(runRuleByName(
      [&](RuleContext& c, RuleEnv& env) { return startDateRule(c, env, start, isNew); }));
}

Value CZY_MOZNA(Args& a) {
  int32_t start = dateArg(a[0], "_od");
  bool isNew = a[1].logicalOr(false);
  int32_t previousEnd = 0;
  bool accepted = runRuleByName([&](RuleContext& c, RuleEnv& env) {
    return continuityInRegister(c, env, start, isNew, previousEnd);
  });
  a.assign(2, Value::date(previousEnd));
  return flag(accepted);
}

Value DAJ_PROCENT(Args&) {
  return runRuleByName([](RuleContext& c, RuleEnv& env) {
    if (c.reg.kod_fun.empty()) return Value::integer(0);
    // Without the employment date or a value of the table: a percentage the check refuses.
    return Value::number(seniorityTablePercent(c, env).value_or(kNoTablePercent), 2);
  });
}

// Arguments: the record's days, its child-care answer, its kind and its count flag ("T"/"N") as
// the form opened it. Without the last two the record is taken as counted before with the kind
// it has now.
Value AKT_DNI(Args& a) {
  bool counted = runRuleByName([&](RuleContext& c, RuleEnv& env) {
    CountedShare before{a[2].isChar() ? a[2].str() : c.form.zasilek,
                        a[3].isChar() ? a[3].str() == "T" : c.form.czy_zlicz == "T",
                        int(a[0].intOr(0)), a[1].strOr("T")};
    return saveCounters(c, env, before);
  });
  return counted ? flag(true) : Value();
}

Value MIESDOPTXT(Args&) {
  const Value* flags = rt::context().memvars.tryGet("_mies_dop");
  std::vector<bool> values;
  if (flags && flags->isArray())
    for (const Value& f : flags->arr()) values.push_back(f.logicalOr(false));
  // One flag per month code: flags left over from an emptied string go, missing ones read "F".
  if (const Value* codes = rt::context().memvars.tryGet("_ten_tekst"); codes && codes->isChar())
    values.resize((rt::rtrim(codes->str()).size() + 1) / 2, false);
  return Value::text(monthFlagsText(values));
}

Value DNI_REH_SZP(Args& a) {
  const Value* isNew = rt::context().memvars.tryGet("czy_new");
  RuleContext c = loadRuleContext();
  std::string employee = a[0].isChar() ? a[0].str() : c.reg.nr_pracusia;
  return Value::integer(chainDaysInRegister(c.program, isNew && isNew->logicalOr(false), employee,
                                            a[1].strOr(""), dateArg(a[2], "_od")));
}

}  // namespace

void registerEntryRuleFunctions() {
  rt::Functions& f = rt::functions();
  f.add("OK_OD", OK_OD);
  f.add("OK_DO", [](Args&) { return flag(runRuleByName(endDateRule)); });
  f.add("IF_OD_OK", [](Args&) {
    runRuleByName([](RuleContext& c, RuleEnv& env) {
      arrearsSplit(c, env);
      return true;
    });
    return flag(true);
  });
  f.add("DAJ_PROCENT", DAJ_PROCENT);
  f.add("OK_DAT_PRA", [](Args&) { return flag(runRuleByName(rightDateRule)); });
  f.add("OK_ZLICZ", [](Args&) { return flag(runRuleByName(countFlagRule)); });
  f.add("OK_L4", [](Args&) { return flag(runRuleByName(lateSickNoteRule)); });
  f.add("OK_LITER", [](Args&) { return flag(letterCodeRule(loadRuleContext())); });
  f.add("OK_PODST", [](Args& a) {
    double startRate = a[0].numOr(0);
    return flag(runRuleByName(
        [&](RuleContext& c, RuleEnv& env) { return dailyRateRule(c, env, startRate); }));
  });
  f.add("AKT_DNI", AKT_DNI);
  f.add("CZY_MOZNA", CZY_MOZNA);
  f.add("DNI_REH_SZP", DNI_REH_SZP);
  f.add("SPR_REHAB", [](Args& a) { return flag(currentRecordKindIs(a[0].strOr(""))); });
  f.add("MIESDOPTXT", MIESDOPTXT);
  registerBasisMonthFunctions();
}

}  // namespace zus
