// Field rules of the benefit form: late sick note, letter code, count flag, daily rate as an
// amount, and the day counters at save.
#include "zus/register/rules_fields.h"

#include <gtest/gtest.h>

#include "tests/zus/register/rules_test_env.h"

namespace {

using namespace rules_test;
using zus::RuleContext;

TEST(LateSickNote, ReductionDaysCountFromTheEighthDayToTheDelivery) {
  struct Case {
    int32_t received, delivered, to;
    int expected;
    bool warned;
  } cases[] = {
      {d(2011, 3, 1), d(2011, 3, 10), d(2011, 3, 20), 3, false},
      {d(2011, 3, 1), d(2011, 3, 7), d(2011, 3, 20), 0, false},   // 7 days inclusive
      {d(2011, 3, 1), d(2011, 3, 25), d(2011, 3, 20), 13, true},  // delivered after the end
      {d(2011, 3, 1), d(2011, 3, 10), d(2011, 3, 7), 0, false},   // a benefit of 7 days
      {d(2011, 2, 20), d(2011, 3, 1), d(2011, 3, 20), 0, false},  // received before the absence
      {0, d(2011, 3, 25), d(2011, 3, 20), 99, false},             // a date missing: unchanged
  };
  for (const Case& k : cases) {
    RuleContext c = context();
    c.form.od = d(2011, 3, 1);
    c.form.do_ = k.to;
    c.form.data_otrz = k.received;
    c.form.data_dost = k.delivered;
    c.form.dni_obniz = 99;
    ScriptedEnv env;
    EXPECT_TRUE(zus::lateSickNoteRule(c, env));
    EXPECT_EQ(c.form.dni_obniz, k.expected) << rt::dtos(k.delivered);
    EXPECT_EQ(env.said("Data dostarczenia L-4 jest wie`ksza od daty kon`ca zasil`ku."), k.warned);
  }
}

TEST(LetterCode, OnlyABCDEFromSeptember1999) {
  struct Case {
    const char* code;
    int32_t right;
    bool accepted;
  } cases[] = {
      {"AB  ", d(1999, 9, 1), true}, {"AF  ", d(1999, 9, 1), false}, {"AF  ", d(1999, 8, 31), true},
      {"    ", d(2011, 1, 1), true}, {" E  ", d(2011, 1, 1), true},  {"A B ", d(2011, 1, 1), false},
  };
  for (const Case& k : cases) {
    RuleContext c = context();
    c.form.nr_stat = k.code;
    c.form.data_prawa = k.right;
    EXPECT_EQ(zus::letterCodeRule(c), k.accepted) << "'" << k.code << "' " << rt::dtos(k.right);
  }
}

TEST(CountFlag, TakesOnlyTOrNAndLeavesTheCountersToTheSave) {
  struct Case {
    bool isNew;
    const char* before;
    const char* now;
    bool accepted;
  } cases[] = {
      {false, "T", "N", true}, {false, "N", "T", true}, {true, "T", "N", true},
      {false, "T", "T", true}, {false, "T", "X", false}, {true, "T", " ", false},
  };
  for (const Case& k : cases) {
    RuleContext c = context();
    c.form.zasilek = kind(1);
    c.form.czy_new = k.isNew;
    c.form.l_dni = 10;
    c.form.old_dni = k.isNew ? 0 : 10;
    c.form.old_zlicz = k.before;
    c.form.czy_zlicz = k.now;
    c.reg.suma_dni1 = c.employee.dni_ch = 40;
    ScriptedEnv env;
    env.sickDays = 12;
    EXPECT_EQ(zus::countFlagRule(c, env), k.accepted) << k.before << k.now << k.isNew;
    EXPECT_EQ(c.reg.suma_dni1, 40);
    EXPECT_EQ(c.employee.dni_ch, 40);
    EXPECT_EQ(c.form.old_zlicz, k.accepted ? k.now : k.before);
  }
}

TEST(CountFlag, AnEditedSicknessOrRehabilitationRecordLeavesTheCounterAsTheSavedRecordSays) {
  // The flag changed in the form, then the save, from a counter of 40 holding the stored 10 days
  // (or not, for "N" before): the counter ends where the flag says. The sickness record was
  // lengthened to 12 days in the form before the flag changed.
  struct Case {
    int slot;  // 1 sickness, 7 rehabilitation
    int days;  // in the form
    const char* before;
    const char* now;
    int expected;
  } cases[] = {{1, 12, "T", "N", 30}, {1, 12, "N", "T", 52}, {7, 10, "T", "N", 30}, {7, 10, "N", "T", 50}};
  for (const Case& k : cases) {
    RuleContext c = context();
    c.form.zasilek = kind(k.slot);
    c.form.czy_new = false;
    c.form.old_dni = 10;
    c.form.l_dni = k.days;
    c.form.old_zlicz = k.before;
    c.form.czy_zlicz = k.now;
    c.reg.suma_dni1 = c.employee.dni_ch = 40;
    ScriptedEnv env;
    EXPECT_TRUE(zus::countFlagRule(c, env));
    zus::saveCounters(c, env, {c.form.zasilek, std::string(k.before) == "T", c.form.old_dni, "T"});
    EXPECT_EQ(c.employee.dni_ch, k.expected) << k.slot << k.before << k.now;
  }
}

TEST(CountFlag, AnEditedCareRecordLeavesAndReentersTheCareCountersAsItIsSaved) {
  struct Case {
    const char* before;
    const char* now;
    const char* careBefore;  // child-care answer as stored
    const char* careNow;
    int care, family;  // dni_op and dni_rdz after the save, from 20 and 10
  } cases[] = {
      {"T", "N", "T", "T", 14, 10},
      {"T", "N", "N", "N", 14, 4},
      {"N", "T", "N", "N", 26, 16},
      {"N", "T", "N", "T", 26, 10},  // counted again, now as care of a child
      {"N", "T", "T", "N", 26, 16},
  };
  for (const Case& k : cases) {
    RuleContext c = context();
    c.form.zasilek = kind(2);
    c.form.czy_new = false;
    c.form.l_dni = c.form.old_dni = 6;
    c.form.old_zlicz = k.before;
    c.form.czy_zlicz = k.now;
    c.form.old_pom = k.careBefore;
    c.form.pom_dz = k.careNow;
    c.reg.suma_dni2 = c.employee.dni_op = 20;
    c.reg.suma_dni3 = c.employee.dni_rdz = 10;
    ScriptedEnv env;
    EXPECT_TRUE(zus::countFlagRule(c, env));
    zus::saveCounters(c, env,
                      {c.form.zasilek, std::string(k.before) == "T", c.form.old_dni, k.careBefore});
    EXPECT_EQ(c.employee.dni_op, k.care) << k.before << k.now << k.careBefore << k.careNow;
    EXPECT_EQ(c.employee.dni_rdz, k.family) << k.before << k.now << k.careBefore << k.careNow;
  }
}

TEST(DailyRate, AnAmountRateGivesTheDailyAndMonthlyBasis) {
  RuleContext c = context();
  c.form.kw_podst = 80;
  c.form.proc = 80;
  ScriptedEnv env;
  EXPECT_TRUE(zus::dailyRateRule(c, env, 75));
  EXPECT_EQ(env.questions, (std::vector<std::string>{"Czy stawka dzienna kwotowa ?"}));
  EXPECT_TRUE(c.form.czy_kwot);
  EXPECT_EQ(c.form.druk_podst, 100);
  EXPECT_EQ(c.form.suma, 3000);

  // A percentage of 0: the rate cannot be traced back, the bases stay as they were.
  c.form.proc = 0;
  c.form.kw_podst = 90;
  zus::dailyRateRule(c, env, 75);
  EXPECT_EQ(c.form.druk_podst, 100);
  EXPECT_EQ(c.form.suma, 3000);
  c.form.kw_podst = 80;
  c.form.proc = 80;

  // The rate as it started: no question; "Nie": the rate is calculated, bases unchanged.
  ScriptedEnv same;
  zus::dailyRateRule(c, same, 80);
  EXPECT_TRUE(same.questions.empty());
  ScriptedEnv no;
  no.answers = {false};
  c.form.kw_podst = 50;
  zus::dailyRateRule(c, no, 80);
  EXPECT_FALSE(c.form.czy_kwot);
  EXPECT_EQ(c.form.druk_podst, 100);
}

TEST(SaveCounters, CareCountersFollowTheChildCareAnswers) {
  struct Case {
    const char* before;
    const char* now;
    int family;  // dni_rdz afterwards, from 10
  } cases[] = {
      {"N", "N", 10 - 4 + 6},
      {"T", "N", 10 + 6},
      {"N", "T", 10 - 4},
      {"T", "T", 10},
  };
  for (const Case& k : cases) {
    RuleContext c = context();
    c.form.zasilek = kind(2);
    c.form.l_dni = 6;
    c.form.pom_dz = k.now;
    c.reg.suma_dni2 = c.employee.dni_op = 20;
    c.reg.suma_dni3 = c.employee.dni_rdz = 10;
    ScriptedEnv env;
    EXPECT_TRUE(zus::saveCounters(c, env, {kind(2), true, 4, k.before}));
    EXPECT_EQ(c.employee.dni_op, 22);
    EXPECT_EQ(c.employee.dni_rdz, k.family) << k.before << k.now;
    EXPECT_EQ(c.reg.suma_dni3, k.family);
  }
}

TEST(SaveCounters, SicknessDaysAndUncountedRecords) {
  RuleContext c = context();
  c.form.zasilek = kind(7);  // rehabilitation counts with sickness
  c.form.l_dni = 12;
  c.reg.suma_dni1 = c.employee.dni_ch = 30;
  ScriptedEnv env;
  EXPECT_TRUE(zus::saveCounters(c, env, {kind(7), true, 5, "T"}));
  EXPECT_EQ(c.employee.dni_ch, 37);
  EXPECT_EQ(env.drawn.back(), "4,23: 37");

  c.form.czy_zlicz = "N";
  EXPECT_FALSE(zus::saveCounters(c, env, {kind(7), false, 0, "T"}));
  EXPECT_EQ(c.employee.dni_ch, 37);

  c.form.czy_zlicz = "T";
  c.form.zasilek = kind(3);  // maternity: no counter
  EXPECT_TRUE(zus::saveCounters(c, env, {kind(3), true, 0, "T"}));
  EXPECT_EQ(c.employee.dni_ch, 37);
}

}  // namespace
