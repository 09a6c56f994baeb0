// The date rules of the benefit form: days and refusals of the end date, default percentages,
// statutory limits, arrears and the start-date rule.
#include "zus/register/rules_dates.h"

#include <gtest/gtest.h>

#include "tests/zus/register/rules_test_env.h"

namespace {

using namespace rules_test;
using zus::RuleContext;

RuleContext newRecord(int slot, int32_t from, int32_t to, int32_t right) {
  RuleContext c = context();
  c.form.czy_new = true;
  c.form.zasilek = kind(slot);
  c.form.od = from;
  c.form.do_ = to;
  c.form.data_prawa = right;
  return c;
}

TEST(EndDateRule, RefusesAnEndBeforeTheStartOrBeyondAThousandDays) {
  struct Case {
    int32_t from, to;
    bool accepted;
    int days;
  } cases[] = {
      {d(2011, 3, 1), d(2011, 2, 28), false, 5},  // days keep their value
      {d(2011, 3, 1), d(2011, 3, 1) + 999, true, 1000},
      {d(2011, 3, 1), d(2011, 3, 1) + 1000, false, 5},
      {d(2011, 3, 1), d(2011, 3, 10), true, 10},
  };
  for (const Case& k : cases) {
    RuleContext c = newRecord(3, k.from, k.to, k.from);
    c.form.l_dni = 5;
    ScriptedEnv env;
    EXPECT_EQ(zus::endDateRule(c, env), k.accepted) << k.to - k.from;
    EXPECT_EQ(c.form.l_dni, k.days) << k.to - k.from;
  }
}

TEST(EndDateRule, DefaultPercentageOfANewRecordFollowsTheKindAndTheRight) {
  struct Case {
    int slot;
    int32_t right;
    int32_t born;
    double expected;
  } cases[] = {
      {2, d(2011, 1, 5), 0, 80},                 // care
      {15, d(2010, 12, 30), d(1959, 5, 1), 70},  // hospital before the cut-over
      {15, d(2010, 12, 31), d(1959, 5, 1), 70},  // 50, but the 80% holds from 1 January 2011
      {15, d(2011, 1, 1), d(1960, 5, 1), 80},    // 2011 - 1 - 1960 = 50
      {15, d(2011, 1, 1), d(1961, 5, 1), 70},
      {15, d(2010, 12, 31), 0, 70},  // birth date unknown
      {1, d(2011, 1, 5), 0, 80},     // ZUS sickness, no table attached
      {27, d(2011, 1, 5), 0, 100},   // accident kinds
      {20, d(2011, 1, 5), 0, 100},
      {28, d(2011, 1, 5), 0, 100},
      {10, d(2011, 1, 5), 0, 85},  // employer sick pay: zusx_pr
      {7, d(2005, 2, 7), 0, 75},   // rehabilitation before 8 February 2005
      {7, d(2005, 2, 8), 0, 90},
      {6, d(2011, 1, 5), 0, 0},    // constant value
      {3, d(2011, 1, 5), 0, 100},  // maternity and the rest
      {1, d(1995, 2, 28), 0, 77},  // before 1 March 1995: by years of service
      {2, d(1995, 2, 28), 0, 77},
  };
  for (const Case& k : cases) {
    RuleContext c = newRecord(k.slot, k.right, k.right + 4, k.right);
    c.reg.data_ur = k.born;
    c.program.zusx_pr = 85;
    ScriptedEnv env;
    zus::endDateRule(c, env);
    EXPECT_EQ(c.form.proc, k.expected) << "slot " << k.slot << " right " << rt::dtos(k.right);
  }
}

TEST(EndDateRule, AnAttachedTableGivesTheSicknessPercentageByYearsOfService) {
  RuleContext c = newRecord(1, d(2011, 1, 5), d(2011, 1, 9), d(2011, 1, 5));
  c.reg.kod_fun = "F1";
  c.employee.employmentDate = d(2001, 1, 8);
  ScriptedEnv env;
  env.tableValue = 92.5;
  zus::endDateRule(c, env);
  EXPECT_EQ(c.form.proc, 92.5);
  EXPECT_NEAR(env.tableArgument, double(d(2011, 1, 5) - d(2001, 1, 8)) / 365, 1e-9);

  // No employment date: the table is not asked, and the percentage is one the percentage check
  // refuses (not the statutory 80 passed off as the table's).
  c = newRecord(1, d(2011, 1, 5), d(2011, 1, 9), d(2011, 1, 5));
  c.reg.kod_fun = "F1";
  ScriptedEnv noDate;
  noDate.tableValue = 92.5;
  zus::endDateRule(c, noDate);
  EXPECT_EQ(c.form.proc, zus::kNoTablePercent);
  EXPECT_EQ(noDate.tableArgument, -1);
  // The table gives no value: the same.
  c = newRecord(1, d(2011, 1, 5), d(2011, 1, 9), d(2011, 1, 5));
  c.reg.kod_fun = "F1";
  c.employee.employmentDate = d(2001, 1, 8);
  ScriptedEnv noValue;
  noValue.tableValue = std::nullopt;
  zus::endDateRule(c, noValue);
  EXPECT_EQ(c.form.proc, zus::kNoTablePercent);
}

TEST(EndDateRule, PaternityLimitIsSevenDaysUpTo2011AndFourteenAfter) {
  RuleContext c = newRecord(9, d(2012, 1, 1), d(2012, 1, 10), d(2011, 12, 31));
  ScriptedEnv env;
  zus::endDateRule(c, env);
  ASSERT_EQ(env.messages.size(), 1u);
  EXPECT_EQ(env.messages[0].lines[0], "Pro`ba przekroczenia limitu dni ojcowskiego (  7 dni)");
  EXPECT_EQ(env.messages[0].lines[1],
            "Przekroczenie przypada na dzien`: " + rt::dtoc(d(2012, 1, 7)) + "r.");
  EXPECT_EQ(env.statusLines, (std::vector<int>{7, -1}));

  c = newRecord(9, d(2012, 1, 1), d(2012, 1, 10), d(2012, 1, 1));
  ScriptedEnv later;
  zus::endDateRule(c, later);
  EXPECT_TRUE(later.messages.empty());
  EXPECT_EQ(c.form.limit_ojc, 14);
}

TEST(EndDateRule, BenefitPeriodOf182DaysWarnsWithTheDayItFallsOn) {
  for (bool edited : {false, true}) {
    RuleContext c = newRecord(1, d(2011, 1, 1), d(2011, 1, 20), d(2011, 1, 1));
    c.form.czy_new = !edited;
    c.employee.dni_ch = edited ? 190 : 170;
    c.form.old_dni = edited ? 20 : 0;
    ScriptedEnv env;
    EXPECT_TRUE(zus::endDateRule(c, env));
    ASSERT_EQ(env.messages.size(), 1u) << edited;
    EXPECT_EQ(env.messages[0].lines[1], "182 dzien` przypada " + rt::dtoc(d(2011, 1, 12)) + "r.");
    EXPECT_EQ(env.messages[0].lines[2], "Suma dni wynosi 190");
  }
  RuleContext before = newRecord(1, d(2005, 1, 1), d(2005, 1, 20), d(2005, 1, 1));
  before.employee.dni_ch = 165;
  ScriptedEnv env;
  zus::endDateRule(before, env);
  ASSERT_EQ(env.messages.size(), 1u);
  EXPECT_EQ(env.messages[0].lines[0], "Okres zasil`kowy przekroczyl` 180 dni!");
}

TEST(EndDateRule, CareBenefitOverSixtyDaysNamesTheDayOfTheExcess) {
  RuleContext c = newRecord(2, d(2011, 2, 1), d(2011, 2, 10), d(2011, 2, 1));
  c.employee.dni_op = 55;
  ScriptedEnv env;
  zus::endDateRule(c, env);
  ASSERT_TRUE(env.said("Pro`ba przekroczenia limitu dni opieki (60)"));
  EXPECT_TRUE(env.said("Przekroczenie przypada na dzien`: " + rt::dtoc(d(2011, 2, 5)) + "r."));
  EXPECT_EQ(env.familyChecks, 0);  // only an edited record checks the family-member limit
}

TEST(EndDateRule, RehabilitationChainCrossingNinetyDays) {
  RuleContext c = newRecord(7, d(2005, 3, 1), d(2005, 3, 20), d(2005, 3, 1));
  ScriptedEnv env;
  env.chain = 80;
  zus::endDateRule(c, env);
  ASSERT_TRUE(env.said("Zasil`ek ma wie`cej nix` 90 dni !"));
  EXPECT_TRUE(env.said("90 dzien` przypada " + rt::dtoc(d(2005, 3, 10)) + "r."));
  EXPECT_EQ(c.form.proc, 90);

  c = newRecord(7, d(2005, 3, 1), d(2005, 3, 20), d(2005, 3, 1));
  ScriptedEnv after;
  after.chain = 95;
  zus::endDateRule(c, after);
  EXPECT_TRUE(after.said("Program wpisze 75% zasil`ku."));
  EXPECT_EQ(c.form.proc, 75);
}

TEST(EndDateRule, HospitalBenefitAtFiftyAndOverChangesPercentageAfterTheLimit) {
  RuleContext c = newRecord(15, d(2011, 2, 1), d(2011, 2, 15), d(2011, 2, 1));
  c.reg.data_ur = d(1950, 6, 1);
  ScriptedEnv env;
  env.chain = 10;  // 10 + 15 crosses 19
  zus::endDateRule(c, env);
  EXPECT_TRUE(env.said("Suma dni chorobowych ZUS jest wie`ksza nix` 19 dni !"));
  EXPECT_TRUE(env.said("19 dzien` przypada " + rt::dtoc(d(2011, 2, 9)) + "r."));

  c = newRecord(15, d(2011, 2, 1), d(2011, 2, 5), d(2011, 2, 1));
  c.reg.data_ur = d(1950, 6, 1);
  ScriptedEnv over;
  over.chain = 20;
  zus::endDateRule(c, over);
  EXPECT_TRUE(over.said("Program wpisze 70% zasil`ku."));
  EXPECT_EQ(c.form.proc, 70);
}

TEST(EndDateRule, YearFilterQuestion) {
  for (bool yes : {true, false}) {
    RuleContext c = newRecord(3, d(2008, 3, 1), d(2008, 3, 5), d(2008, 3, 1));
    c.program.zusx_filtr = true;
    c.program.zas_dni.clear();  // no arrears question before the filter's
    ScriptedEnv env;
    env.answers = {yes};
    EXPECT_EQ(zus::endDateRule(c, env), yes);
    EXPECT_EQ(env.questions.back(), "Czy zmienic` wartos`c` parametru ?");
    EXPECT_EQ(c.program.zusx_filtr, !yes);
    EXPECT_EQ(env.filterDrops, yes ? 1 : 0);
  }
}

TEST(ArrearsSplit, OffersTheDaysOfEarlierMonths) {
  struct Case {
    int32_t from, to, working;
    bool answer;
    int expected;  // -1: unchanged (no question)
  } cases[] = {
      {d(2011, 1, 28), d(2011, 2, 5), d(2011, 2, 15), true, 4},
      {d(2011, 1, 28), d(2011, 2, 5), d(2011, 2, 15), false, 0},
      {d(2010, 12, 28), d(2011, 1, 5), d(2011, 1, 15), true, -1},  // December to January
      {d(2010, 3, 1), d(2010, 3, 10), d(2011, 2, 15), true, 10},   // an earlier year: all
      {d(2011, 1, 3), d(2011, 1, 12), d(2011, 2, 15), true, 10},   // an earlier month
      {d(2010, 1, 28), d(2010, 2, 5), d(2011, 2, 15), true, 9},    // same month a year before
      {d(2011, 2, 1), d(2011, 2, 5), d(2011, 2, 15), true, -1},
  };
  for (const Case& k : cases) {
    RuleContext c = newRecord(1, k.from, k.to, k.from);
    c.program.lum_data = k.working;
    c.form.l_dni = k.to - k.from + 1;
    c.form.dni_zal = -1;
    ScriptedEnv env;
    env.answers = {k.answer};
    zus::arrearsSplit(c, env);
    EXPECT_EQ(c.form.dni_zal, k.expected) << rt::dtos(k.from) << "-" << rt::dtos(k.to);
    EXPECT_EQ(env.questions.empty(), k.expected == -1) << rt::dtos(k.from);
  }
  // Without the days items linked nothing is asked.
  RuleContext c = newRecord(1, d(2011, 1, 28), d(2011, 2, 5), d(2011, 1, 28));
  c.program.zas_dni.assign(33, rt::Value::text(""));
  ScriptedEnv env;
  zus::arrearsSplit(c, env);
  EXPECT_TRUE(env.questions.empty());
}

TEST(StartDateRule, BreakAfterThePreviousSicknessSetsANewCountStart) {
  struct Case {
    int32_t previousEnd;
    int32_t expectedDataZus;
  } cases[] = {
      {d(2011, 1, 3), d(2011, 1, 10)},
      {d(2011, 1, 9), d(2010, 1, 1)},  // no break
      {0, d(2010, 1, 1)},              // no previous sickness
  };
  for (const Case& k : cases) {
    RuleContext c = newRecord(1, d(2011, 1, 10), d(2011, 1, 5), 0);
    c.employee.data_zus = d(2010, 1, 1);
    ScriptedEnv env;
    env.continuityEnd = k.previousEnd;
    EXPECT_TRUE(zus::startDateRule(c, env, c.form.od, true));
    EXPECT_EQ(c.employee.data_zus, k.expectedDataZus) << rt::dtos(k.previousEnd);
    EXPECT_EQ(c.form.do_, d(2011, 1, 10));  // the end never precedes the start
    EXPECT_EQ(c.form.data_prawa, d(2011, 1, 10));
    EXPECT_EQ(c.form.dat_zus, d(2010, 1, 1));
  }
}

TEST(StartDateRule, MaternityAcrossMonthsFromApril2016AsksToSplit) {
  RuleContext c = newRecord(3, d(2016, 4, 20), d(2016, 5, 10), 0);
  ScriptedEnv env;
  zus::startDateRule(c, env, c.form.od, true);
  EXPECT_TRUE(env.said("Rozbij zasil`ek macierzyn`ski na poszczego`lne miesia`ce!"));
  EXPECT_TRUE(zus::rightDateRule(c, env));
  EXPECT_EQ(env.messages.size(), 2u);
}

}  // namespace
