// Entry rules of the dates (see rules_dates.h).
#include "zus/register/rules_dates.h"

#include "zus/shell/kind_predicates.h"

namespace zus {
namespace {

bool is(const RuleContext& c, KindFamily family) {
  return kindIs(family, c.form.zasilek, c.program.zas_zus);
}
bool isSlot(const RuleContext& c, int n) { return c.program.isSlot(c.form.zasilek, n); }

// The employee turned 50 in a calendar year before the year of the right.
bool fiftyPlusAt(const RuleContext& c, int32_t right) {
  return c.reg.data_ur != 0 && ruleYear(right) - 1 - ruleYear(c.reg.data_ur) >= 50;
}

const int32_t kRehabilitationCutOver = ruleDate(2005, 2, 8);

void maternityMessage(const RuleContext& c, RuleEnv& env) {
  const RuleFormCopies& f = c.form;
  if (is(c, KindFamily::MAC) && f.data_prawa >= ruleDate(2016, 4, 1) &&
      ruleMonth(f.od) != ruleMonth(f.do_))
    env.message({"Rozbij zasil`ek macierzyn`ski na poszczego`lne miesia`ce!"}, 5);
}

void redrawPercent(const RuleContext& c, RuleEnv& env) {
  env.say(c.form.wier + 5, c.form.kol + 11, ruleNumberText(c.form.proc, 3), RuleColour::Pair5);
}

void sickPayLimits(RuleContext& c, RuleEnv& env) {
  RuleFormCopies& f = c.form;
  int32_t countStart = c.employee.hasDataZus ? c.employee.data_zus : c.program.lum_data;
  env.say(f.wier + 14, f.kol + 2,
          "Suma dni wynagrodzenia za chorobe` od dnia " + ruleDateText(countStart) + ":",
          RuleColour::Normal, true);
  int days = env.sickPayDays(c.reg.nr_pracusia, f.czy_new, f.od, f.do_);
  env.say(f.wier + 14, f.kol + 60, ruleNumberText(days, 3), RuleColour::Bold);

  if (is(c, KindFamily::CH_ZK) && f.l_dni <= 6 && f.od >= ruleDate(2003, 1, 1) &&
      f.od <= ruleDate(2003, 12, 31)) {
    const char* question = "Czy pierwszy dzien` niepl`atny?";
    bool unpaid = env.ask(question, {}, f.czy_nie_pl == "T");
    f.czy_nie_pl = unpaid ? "T" : "N";
    env.say(f.wier + 4, f.kol + 44, question, RuleColour::Normal, true);
    env.say(f.wier + 4, f.kol + 74, unpaid ? "Tak" : "Nie", RuleColour::Bold);
  }

  if (is(c, KindFamily::CHOROBOWY) && !is(c, KindFamily::REHAB)) {
    int total = c.employee.dni_ch - f.old_dni + f.l_dni;
    if (f.data_prawa >= kRehabilitationCutOver && total > 182)
      env.message({"Okres zasil`kowy przekroczyl` 182 dni!",
                   "182 dzien` przypada " + ruleDateText(f.do_ - total + 182) + "r.",
                   "Suma dni wynosi " + ruleTrimmedNumber(total)},
                  5);
    else if (f.data_prawa < kRehabilitationCutOver && total > 180)
      env.message(
          {"Okres zasil`kowy przekroczyl` 180 dni!", "Suma dni wynosi " + ruleTrimmedNumber(total)},
          5);
  }
}

void careLimit(RuleContext& c, RuleEnv& env) {
  RuleFormCopies& f = c.form;
  int others = env.counterWithoutThisRecord(c.employee.dni_op);
  if (f.l_dni + others > 60) {
    env.statusLine(7);
    env.message(
        {"Pro`ba przekroczenia limitu dni opieki (60)",
         "Przekroczenie przypada na dzien`: " + ruleDateText(f.do_ - f.l_dni - others + 60) + "r."},
        0);
    env.restoreStatusLine();
  }
  if (!f.czy_new) env.familyCareCheck();
}

void paternityLimit(RuleContext& c, RuleEnv& env) {
  RuleFormCopies& f = c.form;
  int limit = f.data_prawa <= ruleDate(2011, 12, 31) ? 7 : 14;
  f.limit_ojc = limit;
  if (f.l_dni <= limit) return;
  env.statusLine(7);
  env.message(
      {"Pro`ba przekroczenia limitu dni ojcowskiego ( " + ruleNumberText(limit, 2) + " dni)",
       "Przekroczenie przypada na dzien`: " + ruleDateText(f.do_ - f.l_dni + limit) + "r."},
      0);
  env.restoreStatusLine();
}

std::string employeeNumber(const RuleContext& c) {
  return c.employee.nr_prac.empty() ? c.reg.nr_pracusia : c.employee.nr_prac;
}

void rehabilitationNinetyDays(RuleContext& c, RuleEnv& env) {
  RuleFormCopies& f = c.form;
  if (f.data_prawa < kRehabilitationCutOver || !isSlot(c, 7)) return;
  int total = env.chainDays(employeeNumber(c), f.zasilek, f.od) + f.l_dni;
  if (total > 90 && total - f.l_dni < 90) {
    env.message({"Zasil`ek ma wie`cej nix` 90 dni !",
                 "90 dzien` przypada " + ruleDateText(f.do_ - total + 90) + "r.",
                 "Zasil`ek nalex`y wprowadzic` w dwo`ch pozycjach !"},
                8);
  } else if (total - f.l_dni >= 90) {
    env.message({"Zasil`ek ma l`a`cznie wie`cej nix` 90 dni. Program wpisze 75% zasil`ku."}, 5);
    f.proc = 75;
    redrawPercent(c, env);
  }
}

void hospitalFiftyPlus(RuleContext& c, RuleEnv& env) {
  RuleFormCopies& f = c.form;
  if (f.data_prawa < ruleDate(2011, 1, 1) || !is(c, KindFamily::SZPIT) ||
      !fiftyPlusAt(c, f.data_prawa))
    return;
  int total = env.chainDays(employeeNumber(c), f.zasilek, f.od) + f.l_dni;
  int limit = c.program.zusx_chzk - c.program.zusx_chz50;
  std::string nn = ruleNumberText(limit, 2);
  if (total > limit && total - f.l_dni < limit) {
    env.message({"Suma dni chorobowych ZUS jest wie`ksza nix` " + nn + " dni !",
                 nn + " dzien` przypada " + ruleDateText(f.do_ - total + limit) + "r.",
                 "Ze wzgle`du na zmiane` procentu nalex`y wprowadzic` go w dwo`ch pozycjach !"},
                8);
  } else if (total > limit) {
    env.message({"Suma dni chorobowych ZUS ma l`a`cznie wie`cej nix` " + nn + " dni.",
                 "Program wpisze 70% zasil`ku."},
                5);
    f.proc = 70;
    redrawPercent(c, env);
  }
}

}  // namespace

std::optional<double> seniorityTablePercent(const RuleContext& c, RuleEnv& env) {
  if (c.reg.kod_fun.empty() || c.employee.employmentDate == 0) return std::nullopt;
  double years = double(c.form.od - c.employee.employmentDate) / 365.0;
  return env.tableFunction(c.reg.kod_fun, years);
}

double kindDefaultPercent(RuleContext& c, RuleEnv& env) {
  const RuleFormCopies& f = c.form;
  if (is(c, KindFamily::OPIEK)) return 80;
  if (is(c, KindFamily::SZPIT)) {
    // The 80% for the insured of 50 and more holds for rights from 1 January 2011.
    if (f.data_prawa < ruleDate(2011, 1, 1)) return 70;
    return fiftyPlusAt(c, f.data_prawa) ? 80 : 70;
  }
  if (is(c, KindFamily::CH_ZUS)) {
    // Without a table attached the statutory 80; an attached one that gives no value refuses.
    double percent =
        c.reg.kod_fun.empty() ? 80 : seniorityTablePercent(c, env).value_or(kNoTablePercent);
    return isSlot(c, 27) || isSlot(c, 20) ? 100 : percent;
  }
  if (isSlot(c, 28)) return 100;
  if (is(c, KindFamily::CH_ZK)) return c.program.zusx_pr;
  if (isSlot(c, 7)) return f.data_prawa < kRehabilitationCutOver ? 75 : 90;
  if (is(c, KindFamily::STALY)) return 0;
  return 100;
}

bool startDateRule(RuleContext& c, RuleEnv& env, int32_t start, bool isNew) {
  RuleFormCopies& f = c.form;
  RuleEmployee& e = c.employee;
  int32_t previousEnd = 0;
  bool accepted = env.continuity(start, isNew, previousEnd);
  if (accepted) {
    if (f.od > f.do_) f.do_ = f.od;
    if (isNew) f.data_prawa = f.od;
  }
  // Only this rule moves the start of the count while the form is open, so the value the form
  // opened with is the one to give back when the entry is abandoned; taking the moved value on a
  // second pass through the start date would make the move stick.
  if (!f.dat_zus_held) f.dat_zus = e.data_zus;
  if (e.hasDataZus && is(c, KindFamily::CHOROBOWY) && previousEnd != 0) {
    if (ruleYear(f.od) > ruleYear(e.data_zus) && f.od - previousEnd > 1) {
      env.message(
          {"Nasta`pil`o przerwanie cia`gl`os`ci zasil`ko`w.",
           "Program ustali nowa` date` pocza`tkowa` zliczania", "dni wynagrodzenia za chorobe`."},
          6);
      e.data_zus = f.od;
    }
  } else {
    maternityMessage(c, env);
  }
  return accepted;
}

bool endDateRule(RuleContext& c, RuleEnv& env) {
  RuleFormCopies& f = c.form;
  RuleProgram& p = c.program;
  bool accepted = f.od <= f.do_ && f.do_ - f.od <= 999;
  if (accepted) {
    f.l_dni = f.do_ - f.od + 1;
    if (f.czy_new) {
      double percent = kindDefaultPercent(c, env);
      f.proc = f.data_prawa < ruleDate(1995, 3, 1) ? env.seniorityPercent(f.od) : percent;
    }
    maternityMessage(c, env);
    if (is(c, KindFamily::CHOROBOWY) || is(c, KindFamily::REHAB))
      sickPayLimits(c, env);
    else if (isSlot(c, 2))
      careLimit(c, env);
    else if (isSlot(c, 9))
      paternityLimit(c, env);
    arrearsSplit(c, env);
  }
  if (is(c, KindFamily::OBLI)) redrawPercent(c, env);
  int year = ruleYear(p.lum_data);
  if (p.zusx_filtr && ruleYear(f.do_) != year && ruleYear(f.do_) != year - 1) {
    if (env.ask("Czy zmienic` wartos`c` parametru ?",
                {"Nal`ox`ono filtr na rok biex`a`cy i poprzedni"}, true)) {
      p.zusx_filtr = false;
      env.dropYearFilter();
    } else {
      accepted = false;
    }
  }
  rehabilitationNinetyDays(c, env);
  hospitalFiftyPlus(c, env);
  return accepted;
}

void arrearsSplit(RuleContext& c, RuleEnv& env) {
  RuleFormCopies& f = c.form;
  const RuleProgram& p = c.program;
  bool applies = (p.daysSlotLinked(5) && p.daysSlotLinked(8) &&
                  (is(c, KindFamily::CHOR_ALL) || is(c, KindFamily::REHAB))) ||
                 (p.daysSlotLinked(7) && is(c, KindFamily::MAC)) ||
                 (p.daysSlotLinked(8) && is(c, KindFamily::OPIEK));
  if (!applies) return;
  int workYear = ruleYear(p.lum_data), workMonth = ruleMonth(p.lum_data);
  int endYear = ruleYear(f.do_), endMonth = ruleMonth(f.do_);
  bool acrossTwoMonths = ruleYear(f.od) == endYear && endMonth - ruleMonth(f.od) == 1;
  // A benefit that ends in the working month of another year is wholly in arrears or not at
  // all: the split needs the working month itself.
  if (acrossTwoMonths && endMonth == workMonth && endYear == workYear) {
    f.dni_zal = f.l_dni - ruleDay(f.do_);
    if (!env.ask("Czy przepisac` te dni jako zalegl`e ?",
                 {"Zasil`ek jest na przel`omie dwo`ch miesie`cy.",
                  "Wyliczono " + ruleTrimmedNumber(f.dni_zal) + " dni z poprzedniego miesia`ca."},
                 true))
      f.dni_zal = 0;
  } else if (endYear < workYear || (endYear == workYear && endMonth < workMonth)) {
    f.dni_zal = f.l_dni;
    if (!env.ask("Czy przepisac` je jako zalegl`e ?",
                 {"Zasil`ek jest w cal`os`ci zalegl`y.",
                  "Wyliczono " + ruleTrimmedNumber(f.dni_zal) + " dni zalegl`ych."},
                 true))
      f.dni_zal = 0;
  }
}

bool rightDateRule(RuleContext& c, RuleEnv& env) {
  maternityMessage(c, env);
  return true;
}

}  // namespace zus
