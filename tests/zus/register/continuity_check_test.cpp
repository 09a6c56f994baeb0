// Continuity of benefit periods: waiting period, overlap, the search for the previous benefit of
// the class, the offer of its basis, the 60-day counter reset and the days of a preceding chain.
#include "zus/register/continuity_check.h"

#include <gtest/gtest.h>

#include "runtime/core/std_functions.h"
#include "tests/zus/register/rules_test_env.h"

namespace {

using namespace rules_test;
using zus::ContinuityRecords;
using zus::RegisterRecord;
using zus::RuleContext;

RegisterRecord rec(int slot, int32_t from, int32_t to) {
  static uint32_t next = 1;
  RegisterRecord r;
  r.recno = next++;
  r.nr_prac = "    1";
  r.zasilek = kind(slot);
  r.od = from;
  r.do_ = to;
  return r;
}

ContinuityRecords records(std::vector<RegisterRecord> list) {
  ContinuityRecords r;
  r.scoped = list;
  r.employee = list;
  if (!list.empty()) r.entry = list.size() - 1;  // the browse on the last record
  return r;
}

RuleContext newForm(int slot) {
  RuleContext c = context();
  c.form.czy_new = true;
  c.form.zasilek = kind(slot);
  return c;
}

struct Outcome {
  bool accepted;
  int32_t previousEnd;
};
Outcome check(RuleContext& c, ScriptedEnv& env, const ContinuityRecords& r, int32_t start) {
  int32_t end = -1;
  bool ok = zus::checkContinuity(c, env, r, start, c.form.czy_new, end);
  return {ok, end};
}

TEST(MonthsApart, CountsCalendarMonthsOnly) {
  struct Case {
    int32_t earlier, later;
    bool expected;
  } cases[] = {
      {d(2011, 1, 31), d(2011, 5, 1), true},
      {d(2011, 3, 15), d(2011, 6, 20), false},
      {d(2011, 1, 20), d(2011, 4, 30), false},
      {d(2010, 11, 30), d(2011, 3, 1), true},
      {d(2011, 3, 1), 0, true},  // an empty later date
      {0, d(2011, 5, 1), true},  // an empty earlier date
      {d(1990, 1, 1), d(1990, 5, 1), true},
      {d(1990, 1, 1), d(1990, 4, 30), false},
  };
  for (const Case& k : cases)
    EXPECT_EQ(zus::monthsApartMoreThan(k.earlier, k.later, 3), k.expected)
        << rt::dtos(k.earlier) << " " << rt::dtos(k.later);
}

TEST(Continuity, RefusesAnEmptyOrTooEarlyStart) {
  RuleContext c = newForm(1);
  ScriptedEnv env;
  EXPECT_FALSE(check(c, env, records({}), 0).accepted);
  EXPECT_FALSE(check(c, env, records({}), d(1989, 12, 31)).accepted);
  EXPECT_TRUE(check(c, env, records({}), d(1990, 1, 1)).accepted);
}

TEST(Continuity, OverlapWithTheLastBenefitIsRefusedOnce) {
  ContinuityRecords r = records({rec(1, d(2011, 3, 1), d(2011, 3, 10))});
  RuleContext c = newForm(1);
  ScriptedEnv env;
  EXPECT_FALSE(check(c, env, r, d(2011, 3, 10)).accepted);
  EXPECT_TRUE(env.said("Data kon`cza`ca poprzedni zasil`ek jest identyczna !"));
  EXPECT_TRUE(c.form.byl_kom);
  EXPECT_TRUE(check(c, env, r, d(2011, 3, 10)).accepted);
  EXPECT_EQ(env.messages.size(), 1u);

  RuleContext other = newForm(2);
  ScriptedEnv later;
  EXPECT_FALSE(check(other, later, r, d(2011, 3, 5)).accepted);
  EXPECT_TRUE(later.said("Data kon`cza`ca poprzedni zasil`ek jest po`z`niejsza !"));

  // An edited record and a maternity-allowance kind other than slot 4 are not checked.
  RuleContext edited = newForm(1);
  edited.form.czy_new = false;
  ScriptedEnv none;
  EXPECT_TRUE(check(edited, none, r, d(2011, 3, 5)).accepted);
  RuleContext parental = newForm(3);
  EXPECT_TRUE(check(parental, none, r, d(2011, 3, 5)).accepted);
  EXPECT_TRUE(none.messages.empty());
}

TEST(Continuity, WaitingPeriodEndsTheCheck) {
  for (int32_t waiting : {d(2011, 1, 31), d(2011, 3, 31)}) {
    RuleContext c = newForm(1);
    c.employee.data_zatr = d(2011, 3, 10);
    c.employee.waitingDate = waiting;
    c.employee.status = 1;
    c.employee.dni_ch = 10;
    ScriptedEnv env;
    Outcome run = check(c, env, records({rec(1, d(2010, 12, 1), d(2010, 12, 5))}), d(2011, 3, 20));
    EXPECT_TRUE(run.accepted);
    bool other = waiting == d(2011, 1, 31);
    EXPECT_EQ(
        env.said("Pamie`taj, x`e okres wyczekiwania upl`ywa dopiero " + rt::dtoc(d(2011, 4, 9))),
        other);
    EXPECT_EQ(env.questions.empty(), other);  // no search, offer or reset follows the notice
  }
}

TEST(Continuity, BreakOfMoreThanThreeMonthsOffersOnlyTheCounterReset) {
  RuleContext c = newForm(1);
  c.employee.dni_ch = 30;
  c.reg.suma_dni1 = 30;
  ScriptedEnv env;
  Outcome run = check(c, env, records({rec(1, d(2005, 1, 10), d(2005, 1, 20))}), d(2005, 5, 15));
  EXPECT_TRUE(run.accepted);
  EXPECT_EQ(run.previousEnd, d(2005, 1, 20));
  ASSERT_EQ(env.questions, (std::vector<std::string>{"Czy to zrobic` ? "}));
  EXPECT_EQ(env.comments[0][0], "Byl`a jux` przerwa 60 dni !");
  EXPECT_EQ(c.employee.dni_ch, 0);
  EXPECT_EQ(c.reg.suma_dni1, 0);
  EXPECT_EQ(c.employee.data_do, d(2005, 1, 20));
  EXPECT_EQ(c.form.nieobec, "");

  // The register standing on a care benefit, or a zero counter: no reset offered.
  ContinuityRecords care =
      records({rec(1, d(2005, 1, 10), d(2005, 1, 20)), rec(2, d(2005, 2, 1), d(2005, 2, 3))});
  RuleContext again = newForm(1);
  again.employee.dni_ch = 30;
  ScriptedEnv quiet;
  check(again, quiet, care, d(2005, 6, 15));
  EXPECT_TRUE(quiet.questions.empty());
}

TEST(Continuity, PreviousBasisWithinThreeMonthsIsOfferedAndLoaded) {
  RegisterRecord previous = rec(1, d(2005, 2, 1), d(2005, 2, 20));
  previous.te_mies = "030201";
  previous.fakt_mies = " 3 2 1";
  previous.mies_dop = "TFT";
  previous.od_dat = d(2005, 4, 1);
  previous.suma = 3000;
  previous.druk_podst = 100;
  RuleContext c = newForm(1);
  c.form.kw_podst = 55;
  c.form.czy_kwot = true;
  ScriptedEnv env;
  Outcome run = check(c, env, records({previous}), d(2005, 5, 15));
  EXPECT_TRUE(run.accepted);
  EXPECT_EQ(run.previousEnd, d(2005, 2, 20));
  ASSERT_EQ(env.questions.size(), 1u);
  EXPECT_EQ(env.questions[0], "Czy wczytac` poprzednia` podstawe` wymiaru zasil`ku ?");
  EXPECT_EQ(env.comments[0][0], "Nie byl`o jeszcze przerwy 3 pel`nych miesie`cy kalendarzowych.");
  EXPECT_TRUE(env.defaults[0]);
  EXPECT_EQ(c.form.nieobec, "PBZ");
  EXPECT_EQ(c.form.ten_tekst, "030201");
  EXPECT_EQ(c.form.fakt_mies, " 3 2 1");
  EXPECT_EQ(c.form.czy_wsk, "T");
  EXPECT_EQ(c.form.mies_dop, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(c.form.od_dat, d(2005, 4, 1));
  EXPECT_EQ(c.form.suma, 3000);
  EXPECT_EQ(c.form.druk_podst, 100);
  EXPECT_EQ(c.form.kw_podst, 0);
  EXPECT_FALSE(c.form.czy_kwot);
  EXPECT_NE(std::find(env.drawn.begin(), env.drawn.end(), "17,50:Tak"), env.drawn.end());

  // Once marked, no second offer; "Nie" on a new record clears a basis.
  ScriptedEnv twice;
  check(c, twice, records({previous}), d(2005, 5, 15));
  EXPECT_TRUE(twice.questions.empty());
  RuleContext refused = newForm(1);
  refused.form.suma = 10;
  refused.form.fakt_mies = "01";
  ScriptedEnv no;
  no.answers = {false};
  check(refused, no, records({previous}), d(2005, 5, 15));
  EXPECT_EQ(refused.form.suma, 0);
  EXPECT_EQ(refused.form.fakt_mies, "");
  EXPECT_EQ(refused.form.nieobec, "");
}

TEST(Continuity, BeforeJuly2004ClassesAreSeparate) {
  ContinuityRecords r =
      records({rec(2, d(2004, 2, 1), d(2004, 2, 10)), rec(1, d(2004, 2, 20), d(2004, 3, 1))});
  RuleContext care = newForm(2);
  ScriptedEnv env;
  Outcome run = check(care, env, r, d(2004, 3, 15));
  EXPECT_EQ(run.previousEnd, 0);  // the care benefit found ends only the care class
  EXPECT_EQ(env.questions.size(), 1u);

  RuleContext sickness = newForm(1);
  ScriptedEnv other;
  EXPECT_EQ(check(sickness, other, r, d(2004, 3, 15)).previousEnd, d(2004, 3, 1));

  // From July 2004 a sickness benefit also stops at a care benefit.
  ContinuityRecords later =
      records({rec(1, d(2004, 7, 1), d(2004, 7, 5)), rec(2, d(2004, 8, 1), d(2004, 8, 3))});
  RuleContext after = newForm(1);
  ScriptedEnv env2;
  EXPECT_EQ(check(after, env2, later, d(2004, 8, 20)).previousEnd, d(2004, 8, 3));
}

TEST(Continuity, RehabilitationBasisValorisation) {
  rt::registerStandardFunctions();
  struct Case {
    double percent;
    bool rehab;
    size_t questions;
    const char* note;
  } cases[] = {
      {105, true, 2, nullptr},
      {100, false, 1, "Wczytana podstawa nie zostanie zwaloryzowana, gdyx`"},
      {0, false, 1, "Wczytana podstawa mox`e byc` zwaloryzowana jes`li zostanie"},
  };
  for (const Case& k : cases) {
    RuleContext c = newForm(7);
    c.program.zusx_rehab = rt::Value::number(k.percent, 1);
    ScriptedEnv env;
    check(c, env, records({rec(1, d(2011, 1, 1), d(2011, 1, 31))}), d(2011, 2, 10));
    ASSERT_EQ(env.questions.size(), k.questions) << k.percent;
    EXPECT_EQ(env.comments[0][0],
              "Mox`na wczytac` poprzednia` podstawe` zasil`ku w celu waloryzacji.");
    EXPECT_EQ(c.form.rehab, k.rehab) << k.percent;
    EXPECT_EQ(c.form.nieobec, "PBZ");
    if (k.note) {
      EXPECT_TRUE(env.said(k.note)) << k.percent;
    }
    if (k.questions == 2) {
      EXPECT_EQ(env.comments[1][2], "kto`ry wynosi        105.0%.");  // STR's default width
    }
  }
  // The same kind as the record where the search ended: no comment, no valorisation.
  RuleContext same = newForm(7);
  ScriptedEnv env;
  check(same, env, records({rec(7, d(2011, 1, 1), d(2011, 1, 31))}), d(2011, 2, 10));
  ASSERT_EQ(env.questions.size(), 1u);
  EXPECT_TRUE(env.comments[0].empty());
}

TEST(ChainDays, RecordsOfTheSameKindEndingTheDayBefore) {
  zus::RuleProgram program = context().program;
  struct Case {
    std::vector<RegisterRecord> records;
    int expected;
  } cases[] = {
      {{rec(7, d(2011, 4, 1), d(2011, 4, 30)), rec(7, d(2011, 5, 1), d(2011, 5, 31))}, 61},
      {{rec(7, d(2011, 4, 1), d(2011, 4, 20)), rec(7, d(2011, 5, 1), d(2011, 5, 31))}, 51},
      {{rec(7, d(2011, 3, 1), d(2011, 3, 31)), rec(1, d(2011, 4, 1), d(2011, 4, 30)),
        rec(7, d(2011, 5, 1), d(2011, 5, 31))},
       31},
      {{rec(7, d(2011, 4, 1), d(2011, 4, 30)), rec(7, d(2011, 5, 1), d(2011, 5, 30))}, 0},
      {{rec(1, d(2011, 5, 1), d(2011, 5, 31))}, 0},
  };
  for (const Case& k : cases)
    EXPECT_EQ(zus::chainDaysBefore(program, k.records, std::nullopt, true, kind(7), d(2011, 6, 1)),
              k.expected);
}

TEST(ChainDays, HospitalCountsInsuranceSicknessOfTheWorkingYear) {
  zus::RuleProgram program = context().program;  // working date in 2011
  std::vector<RegisterRecord> byEnd{
      rec(1, d(2010, 12, 1), d(2010, 12, 10)), rec(1, d(2011, 1, 3), d(2011, 1, 7)),
      rec(10, d(2011, 1, 10), d(2011, 1, 12)), rec(16, d(2011, 1, 20), d(2011, 1, 29))};
  // A new record: the same days wherever the browse stands (on the newer record, on the older
  // one, past the last).
  for (std::optional<size_t> cursor : {std::optional<size_t>(3), std::optional<size_t>(1),
                                       std::optional<size_t>(0), std::optional<size_t>()})
    EXPECT_EQ(zus::chainDaysBefore(program, byEnd, cursor, true, kind(15), d(2011, 2, 1)), 15)
        << (cursor ? int(*cursor) : -1);
  // An edited record: the records before it.
  EXPECT_EQ(zus::chainDaysBefore(program, byEnd, 3, false, kind(15), d(2011, 2, 1)), 5);
}

TEST(MonthFlags, TextAndBack) {
  EXPECT_EQ(zus::monthFlagsText({}), "");
  EXPECT_EQ(zus::monthFlagsText({true, false, true}), "TFT");
  EXPECT_EQ(zus::monthFlagsFromText("TFx  "), (std::vector<bool>{true, false, false}));
}

}  // namespace
