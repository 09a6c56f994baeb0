// The value rules on their own: rounding by step and kind, the net amount after the tax advance,
// unpaid days, the benefit value with its deductions and display texts, the parental comparison
// and the reduction window.
#include <gtest/gtest.h>

#include "suite/company/company.h"
#include "zus/calc/value_amounts.h"
#include "zus/calc/value_rounding.h"

namespace {

using namespace zus::calcrun;

int32_t d(int y, int m, int dd) { return suite::dayNumber(y, m, dd); }

struct RoundCase {
  double x, step;
  const char* kind;
  double expected;
};

TEST(ValueRounding, ByStepAndKind) {
  const RoundCase cases[] = {
      {85.33 * 0.8, 0.01, "M", 68.26},  // 68.264 on paper
      {85.33 * 0.8, 0.01, "G", 68.27},
      {2.675, 0.01, "M", 2.68},         // a half as written rounds away from zero
      {12.345, 0.01, "M", 12.35},
      {100.01, 1, "G", 101},
      {100.00, 1, "G", 100},            // a whole multiple stays
      {100.00, 0.01, "G", 100},
      {12.34, 0.1, "G", 12.4},
      {12.35, 0.1, "M", 12.4},
      {12.34, 0.1, "M", 12.3},
      {1234.5, 10, "M", 1230},          // 123.45 steps: below the half
      {1235, 10, "M", 1240},
      {7.777, 0, "M", 7.777},           // a step of 0 leaves the number
      {7.777, 0, "G", 7.777},
      {7.5, 1, "m", 8},                 // only "M" is mathematical: "m" raises
  };
  for (const RoundCase& c : cases)
    EXPECT_DOUBLE_EQ(roundByKind(c.x, c.step, c.kind), c.expected)
        << c.x << " step " << c.step << " kind " << c.kind;
}

struct NetCase {
  double value, tax, relief;
  int32_t payout;
  double expected;
};

TEST(ValueNetAmount, TaxAdvanceAsPercentOrAmount) {
  const NetCase cases[] = {
      {1000.40, 18, 0, d(2024, 3, 10), 820.40},   // 18% of the value rounded to 1000
      {1000.40, 150, 0, d(2024, 3, 10), 850.40},  // 150 or more is an amount
      {1000.00, 18, 200, d(2024, 3, 10), 1000},   // relief above the tax: no tax
      {1000.40, 18, 0.55, d(2024, 3, 10), 821.40},  // 179.45 to whole units
      {1000.40, 18, 0.55, d(2005, 12, 31), 820.90},  // before 2006: one decimal kept
      {1000.40, 18, 0.55, 0, 820.90},             // an empty payout date counts as before
      {100, 150, 0, d(2024, 3, 10), 0},           // never negative
      {0, 18, 0, d(2024, 3, 10), 0},
  };
  for (const NetCase& c : cases)
    EXPECT_DOUBLE_EQ(netAmount(c.value, c.tax, c.relief, c.payout), c.expected)
        << c.value << " tax " << c.tax << " relief " << c.relief;
}

TEST(ValueUnpaidDays, AlcoholAndFirstDay) {
  EXPECT_EQ(daysAfterAlcohol(4, true, d(1999, 9, 1)), 0);
  EXPECT_EQ(daysAfterAlcohol(4, true, d(1999, 8, 31)), 1);
  EXPECT_EQ(daysAfterAlcohol(10, true, d(2024, 1, 1)), 5);
  EXPECT_EQ(daysAfterAlcohol(10, false, d(2024, 1, 1)), 0);
  EXPECT_EQ(daysAfterUnpaidFirst(1), 0);
  EXPECT_EQ(daysAfterUnpaidFirst(0), 0);
  EXPECT_EQ(daysAfterUnpaidFirst(7), 6);
}

// A sick-pay record of 10 days in March 2024 at 80%, rounded to 0.01 mathematically.
BenefitFields sickPay() {
  BenefitFields r;
  r.kind = "Z10";
  r.percent = 80;
  r.from = d(2024, 3, 1);
  r.to = d(2024, 3, 10);
  r.rightFrom = d(2024, 3, 1);
  r.days = 10;
  return r;
}

ValueSettings settings() {
  ValueSettings s;
  s.averageKind = "Z05";
  s.maternityKinds = {"Z03", "Z04", "Z08", "Z09"};
  return s;
}

struct ValueCase {
  const char* what;
  std::function<void(BenefitFields&, ValueSettings&)> change;
  int days;
  double basis;
  double value;
  double rate;  // -1: the daily rate is not set
};

TEST(ValueBenefit, PercentDeductionsAndRounding) {
  const ValueCase cases[] = {
      {"80% of the basis", [](BenefitFields&, ValueSettings&) {}, 10, 100, 800, 80},
      {"100% mark", [](BenefitFields& r, ValueSettings&) { r.full = true; }, 10, 100, 1000, 100},
      {"accident mark", [](BenefitFields& r, ValueSettings&) { r.accident = true; }, 10, 100, 1000, 100},
      {"amount rate ignores the percent", [](BenefitFields& r, ValueSettings&) { r.amountRate = true; r.full = true; },
       10, 45.678, 456.80, 45.68},
      {"no days", [](BenefitFields&, ValueSettings&) {}, 0, 100, 0, -1},
      {"no basis", [](BenefitFields&, ValueSettings&) {}, 10, 0, 0, -1},
      {"alcohol from 1999-09-01: 5 unpaid", [](BenefitFields& r, ValueSettings&) { r.alcohol = true; }, 10, 100, 400, 80},
      {"alcohol, 4 days: nothing paid", [](BenefitFields& r, ValueSettings&) { r.alcohol = true; }, 4, 100, 0, 80},
      {"alcohol before 1999-09-01: 3 unpaid",
       [](BenefitFields& r, ValueSettings&) { r.alcohol = true; r.rightFrom = d(1999, 8, 31); }, 4, 100, 80, 80},
      {"alcohol and first day unpaid", [](BenefitFields& r, ValueSettings&) { r.alcohol = true; r.firstDayUnpaid = true; },
       10, 100, 320, 80},
      {"late sick note: 10 days at 45.00 lose 112.50",
       [](BenefitFields& r, ValueSettings&) { r.full = true; r.reductionDays = 10; }, 30, 45, 1237.50, 45},
      {"late sick note before 1999-09-01 does not reduce",
       [](BenefitFields& r, ValueSettings&) { r.full = true; r.reductionDays = 10; r.rightFrom = d(1999, 8, 1); },
       30, 45, 1350, 45},
      {"rounding upwards to whole units",
       [](BenefitFields&, ValueSettings& s) { s.kind = "G"; s.valueStep = 1; }, 3, 85.33, 205, 68.27},
      {"rounding mathematically to whole units",
       [](BenefitFields&, ValueSettings& s) { s.valueStep = 1; }, 3, 85.33, 205, 68.26},
      {"daily rate to 0.10 upwards",
       [](BenefitFields&, ValueSettings& s) { s.kind = "G"; s.rateStep = 0.1; }, 3, 85.33, 204.90, 68.3},
  };
  for (const ValueCase& c : cases) {
    BenefitFields r = sickPay();
    ValueSettings s = settings();
    c.change(r, s);
    ValueOutcome out = benefitValue(r, r.kind, c.days, c.basis, s, false, {});
    EXPECT_DOUBLE_EQ(out.value, c.value) << c.what;
    if (c.rate < 0) EXPECT_FALSE(out.rate) << c.what;
    else EXPECT_DOUBLE_EQ(out.rate.value_or(-1), c.rate) << c.what;
    EXPECT_FALSE(out.textsFilled) << c.what;
  }
}

TEST(ValueBenefit, EmptyKindArgumentGivesNothing) {
  BenefitFields r = sickPay();
  EXPECT_EQ(benefitValue(r, "", 10, 100, settings(), false, {}).value, 0);
}

TEST(ValueBenefit, DisplayTextsGoOnWithNoPaidDays) {
  BenefitFields r = sickPay();
  r.alcohol = true;
  ValueOutcome out = benefitValue(r, r.kind, 4, 100, settings(), true, {});
  ASSERT_TRUE(out.textsFilled);
  EXPECT_EQ(out.value, 0);
  EXPECT_EQ(out.texts[0], " 80");
  EXPECT_EQ(out.texts[1], "     80.00");
  EXPECT_EQ(out.texts[2], " 10");  // the record's days, before the unpaid ones
  EXPECT_EQ(out.texts[3], "      0.00");
}

TEST(ValueBenefit, AverageKindIsItsAverageAlone) {
  BenefitFields r = sickPay();
  r.kind = "Z05";
  r.average = 3456.78;
  ValueOutcome out = benefitValue(r, r.kind, 0, 0, settings(), true, {});
  ASSERT_TRUE(out.textsFilled);
  EXPECT_EQ(out.texts[0], "0");
  EXPECT_EQ(out.texts[2], "0");
  EXPECT_EQ(out.texts[3], "   3456.78");
}

struct ParentalCase {
  int32_t from, to;
  int days;
  double shortfall;     // -1: no comparison
  const char* message;  // expected message, or nullptr
};

TEST(ValueBenefit, MaternityComparedWithParentalBenefit) {
  const ParentalCase cases[] = {
      // 3100.00 less 18% tax 558 is 2542; the whole parental 3000 is 458 more.
      {d(2024, 3, 1), d(2024, 3, 31), 31, 458, nullptr},
      // 1500.00 nets 1230; the share of 15 days is round1(96.77 x 15) = 1451.6.
      {d(2024, 3, 1), d(2024, 3, 31), 15, 221.6, nullptr},
      {d(2024, 3, 15), d(2024, 4, 10), 27, -1, "Rozbij zasil`ek macierzyn`ski na poszczego`lne miesia`ce!"},
      // The same month number a year later is another month.
      {d(2025, 12, 20), d(2026, 12, 10), 30, -1, "Rozbij zasil`ek macierzyn`ski na poszczego`lne miesia`ce!"},
      {0, d(2024, 3, 31), 31, -1, "Brak daty pocza`tku zasil`ku!"},
      {d(2024, 3, 1), 0, 31, -1, "Brak daty kon`ca zasil`ku!"},
  };
  for (const ParentalCase& c : cases) {
    BenefitFields r = sickPay();
    r.kind = "Z04";
    r.full = true;
    r.from = c.from;
    r.to = c.to;
    std::vector<std::string> said;
    ValueHooks hooks{[] { return 3000.0; },
                     [&](const std::vector<std::string>& lines) { said.insert(said.end(), lines.begin(), lines.end()); }};
    ValueOutcome out = benefitValue(r, r.kind, c.days, 100, settings(), false, hooks);
    EXPECT_DOUBLE_EQ(out.value, 100.0 * c.days) << "the comparison does not change the value";
    if (c.shortfall < 0) EXPECT_FALSE(out.parentalShortfall);
    else EXPECT_NEAR(out.parentalShortfall.value_or(-1), c.shortfall, 1e-9);
    if (c.message) ASSERT_EQ(said, std::vector<std::string>{c.message});
    else EXPECT_TRUE(said.empty());
  }
}

TEST(ValueBenefit, ParentalAboveTheBenefitGivesNoShortfall) {
  BenefitFields r = sickPay();
  r.kind = "Z03";
  r.full = true;
  r.from = d(2024, 3, 1);
  r.to = d(2024, 3, 31);
  ValueHooks hooks{[] { return 100.0; }, {}};
  EXPECT_EQ(benefitValue(r, r.kind, 31, 100, settings(), false, hooks).parentalShortfall.value_or(-1), 0);
}

struct WindowCase {
  const char* what;
  int32_t from, to;
  int paid, all;
  double value, expected;
};

TEST(ValueReductionWindow, QuarterOffTheDaysInside) {
  int32_t start = d(2024, 1, 1);  // the window runs to 2025-01-01
  const WindowCase cases[] = {
      {"inside", d(2024, 3, 1), d(2024, 3, 10), 10, 10, 800, 600},
      {"starting before", d(2023, 12, 20), d(2024, 1, 5), 17, 17, 1700, 1575},
      {"wholly before", d(2023, 11, 1), d(2023, 11, 10), 10, 10, 800, 800},
      {"wholly after", d(2025, 3, 1), d(2025, 3, 10), 10, 10, 800, 800},
      {"no paid days", d(2024, 3, 1), d(2024, 3, 10), 0, 10, 800, 800},
  };
  for (const WindowCase& c : cases)
    EXPECT_DOUBLE_EQ(reducedValue(c.value, c.paid, c.all, c.from, c.to, start, 0.01), c.expected) << c.what;
}

}  // namespace
