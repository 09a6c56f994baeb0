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

bool is(const RuleContext& c, KindFamily family) {
  return kindIs(family, c.form.zasilek, c.program.zas_zus);
}

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
  if ((f.czy_zlicz != "T" && f.czy_zlicz != "N") || f.czy_zlicz == f.old_zlicz) return true;
  int days = env.sickPayDays(c.reg.nr_pracusia, f.czy_new, f.od, f.do_);
  env.say(f.wier + 14, f.kol + 60, ruleNumberText(days, 3), RuleColour::Bold);
  f.old_zlicz = f.czy_zlicz;
  // The benefit-period counter holds the days of the sickness and the rehabilitation kinds alike
  // (as the save and the deletion count them), so both move with the flag.
  if (f.czy_new) return true;
  // The days the counters hold for the record are those it was stored with; a change of its
  // dates in this edit reaches the counters at the save, which takes the stored days off and
  // adds the new ones.
  const int moved = f.czy_zlicz == "T" ? f.old_dni : -f.old_dni;
  if (is(c, KindFamily::CHOROBOWY) || is(c, KindFamily::REHAB)) {
    setSicknessCounter(c, env, c.reg.suma_dni1 + moved);
  } else if (c.program.isSlot(f.zasilek, 2)) {
    // The care counters likewise; the family-member counter by the care answer the record was
    // counted with, which the save then carries over to the new answer.
    c.reg.suma_dni2 = std::max(0, c.reg.suma_dni2 + moved);
    c.employee.dni_op = c.reg.suma_dni2;
    redrawCounter(env, 45, c.reg.suma_dni2, 2);
    if (f.old_pom != "T") {
      c.reg.suma_dni3 = std::max(0, c.reg.suma_dni3 + moved);
      c.employee.dni_rdz = c.reg.suma_dni3;
      redrawCounter(env, 73, c.reg.suma_dni3, 2);
    }
  }
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
    // With a percentage of 0 the rate cannot be traced back: the daily basis is the rate itself.
    double basis = f.proc == 0 ? f.kw_podst : f.kw_podst / (f.proc / 100);
    f.druk_podst = rt::roundHalfAway(basis, 2);
    f.suma = rt::roundHalfAway(f.druk_podst * 30, 2);
  }
  return true;
}

bool saveCounters(RuleContext& c, RuleEnv& env, int oldDays, const std::string& oldChildCare) {
  RuleFormCopies& f = c.form;
  if (f.czy_zlicz != "T") return false;
  if (is(c, KindFamily::CHOROBOWY) || is(c, KindFamily::REHAB)) {
    setSicknessCounter(c, env, c.reg.suma_dni1 - oldDays + f.l_dni);
  } else if (c.program.isSlot(f.zasilek, 2)) {
    c.reg.suma_dni2 = std::max(0, c.reg.suma_dni2 - oldDays + f.l_dni);
    c.employee.dni_op = c.reg.suma_dni2;
    redrawCounter(env, 45, c.reg.suma_dni2, 2);
    bool wasChild = oldChildCare == "T", isChild = f.pom_dz == "T";
    if (wasChild && isChild) return true;
    int family = c.reg.suma_dni3;
    if (!wasChild && !isChild)
      family += f.l_dni - oldDays;
    else if (wasChild)
      family += f.l_dni;
    else
      family -= oldDays;
    c.reg.suma_dni3 = std::max(0, family);
    c.employee.dni_rdz = c.reg.suma_dni3;
    redrawCounter(env, 73, c.reg.suma_dni3, 2);
  }
  return true;
}

}  // namespace zus
