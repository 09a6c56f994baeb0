// Entry rules of single fields and of the save (see rules_fields.h).
//
// Counters are the register's working copies (`suma_dni1..3`) and the employee's MAIN fields,
// written together and redrawn in the register header; they never go below 0.
#include "zus/register/rules_fields.h"

#include <algorithm>

#include "runtime/core/rounding.h"
#include "runtime/core/std_strings.h"
#include "zus/shell/kind_predicates.h"

namespace zus {
namespace {

void redrawCounter(RuleEnv& env, int col, int value, int width) {
  env.say(4, col, ruleNumberText(value, width), RuleColour::Bold);
}

void setSicknessCounter(RuleContext& c, RuleEnv& env, int value) {
  c.reg.suma_dni1 = std::max(0, value);
  c.employee.dni_ch = c.reg.suma_dni1;
  redrawCounter(env, 23, c.reg.suma_dni1, 3);
}

}  // namespace

bool countFlagRule(RuleContext& c, RuleEnv& env) {
  RuleFormCopies& f = c.form;
  // Only "T" or "N": any other letter would be saved as counted without its days in the counters.
  if (f.czy_zlicz != "T" && f.czy_zlicz != "N") return false;
  if (f.czy_zlicz == f.old_zlicz) return true;
  int days = env.sickPayDays(c.reg.nr_pracusia, f.czy_new, f.od, f.do_);
  env.say(f.wier + 14, f.kol + 60, ruleNumberText(days, 3), RuleColour::Bold);
  f.old_zlicz = f.czy_zlicz;
  // The counters follow the flag only when the record is saved (AKT_DNI), so that a form left
  // without saving leaves them as they were.
  return true;
}

bool lateSickNoteRule(RuleContext& c, RuleEnv& env) {
  RuleFormCopies& f = c.form;
  if (f.data_otrz == 0 || f.data_dost == 0) return true;
  if (f.data_dost - f.data_otrz + 1 > 7 && f.do_ - f.od + 1 > 7) {
    // A note received before the absence can make the span negative: no reduction then.
    f.dni_obniz = std::max(0, std::min(f.do_, f.data_dost) - (f.od + 7) + 1);
    if (f.data_dost > f.do_)
      env.message({"Data dostarczenia L-4 jest wie`ksza od daty kon`ca zasil`ku.",
                   "Skoryguj dni obnix`ki."},
                  5);
  } else {
    f.dni_obniz = 0;
  }
  return true;
}

bool letterCodeRule(const RuleContext& c) {
  if (c.form.data_prawa < ruleDate(1999, 9, 1)) return true;
  for (char ch : rt::alltrim(c.form.nr_stat))
    if (std::string_view("ABCDE").find(ch) == std::string_view::npos) return false;
  return true;
}

bool dailyRateRule(RuleContext& c, RuleEnv& env, double startRate) {
  RuleFormCopies& f = c.form;
  if (f.kw_podst == startRate) return true;
  f.czy_kwot = env.ask("Czy stawka dzienna kwotowa ?", {}, true);
  if (f.czy_kwot) {
    // With a percentage of 0 the rate cannot be traced back to a basis: the bases stay as they
    // were.
    if (f.proc == 0) return true;
    f.druk_podst = rt::roundHalfAway(f.kw_podst / (f.proc / 100), 2);
    f.suma = rt::roundHalfAway(f.druk_podst * 30, 2);
  }
  return true;
}

CounterDays counterDaysOf(const RuleProgram& program, const CountedShare& share) {
  CounterDays held;
  if (!share.counted) return held;
  // The benefit-period counter holds the days of the sickness and the rehabilitation kinds alike
  // (as the deletion takes them back).
  if (kindIs(KindFamily::CHOROBOWY, share.kind, program.zas_zus) ||
      kindIs(KindFamily::REHAB, share.kind, program.zas_zus)) {
    held.sickness = share.days;
  } else if (program.isSlot(share.kind, 2)) {
    held.care = share.days;
    if (share.childCare != "T") held.family = share.days;
  }
  return held;
}

bool saveCounters(RuleContext& c, RuleEnv& env, const CountedShare& before) {
  RuleFormCopies& f = c.form;
  const CountedShare now{f.zasilek, f.czy_zlicz == "T", f.l_dni, f.pom_dz};
  const CounterDays was = counterDaysOf(c.program, before), is = counterDaysOf(c.program, now);
  if (is.sickness != was.sickness)
    setSicknessCounter(c, env, c.reg.suma_dni1 - was.sickness + is.sickness);
  if (is.care != was.care) {
    c.reg.suma_dni2 = std::max(0, c.reg.suma_dni2 - was.care + is.care);
    c.employee.dni_op = c.reg.suma_dni2;
    redrawCounter(env, 45, c.reg.suma_dni2, 2);
  }
  if (is.family != was.family) {
    c.reg.suma_dni3 = std::max(0, c.reg.suma_dni3 - was.family + is.family);
    c.employee.dni_rdz = c.reg.suma_dni3;
    redrawCounter(env, 73, c.reg.suma_dni3, 2);
  }
  return now.counted;
}

}  // namespace zus
