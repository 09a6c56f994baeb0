// The choice of the basis months: chosen months, months from the parameter, the start month's
// place by the previous-year rule, and the shift when the calculation month is later.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zus/calc/basis_months.h"

namespace zus::basis {
namespace {

struct Expected {
  int distance, month, year;
};

struct MonthCase {
  const char* name;
  std::string chosen;
  YearMonth start, calc;
  int parameterMonths, previousYearRule;
  std::vector<Expected> months;
};

TEST(BasisMonths, ChoiceOfMonths) {
  std::vector<Expected> twelve, twelveLater;
  for (int i = 1; i <= 12; ++i) {
    Expected e{i, i < 3 ? 3 - i : 15 - i, i < 3 ? 2024 : 2023};
    twelve.push_back(e);
    twelveLater.push_back({i + 2, e.month, e.year});
  }
  const MonthCase cases[] = {
      {"chosen months of the previous year", "1011", {2024, 3}, {2024, 3}, 12, 1,
       {{5, 10, 2023}, {4, 11, 2023}}},
      {"start month counts in its own year", "03", {2024, 3}, {2024, 3}, 12, 2, {{0, 3, 2024}}},
      {"start month counts a year back", "03", {2024, 3}, {2024, 3}, 12, 1, {{12, 3, 2023}}},
      {"chosen months shift with a later calculation", "0102", {2024, 3}, {2024, 5}, 12, 1,
       {{4, 1, 2024}, {3, 2, 2024}}},
      {"an odd last character is a one-digit month", "111", {2024, 3}, {2024, 3}, 12, 1,
       {{4, 11, 2023}, {2, 1, 2024}}},
      {"twelve months before the start month", "", {2024, 3}, {2024, 3}, 12, 1, twelve},
      {"the same calculated two months later", "  ", {2024, 3}, {2024, 5}, 12, 1, twelveLater},
      {"no months: the calculation month itself", "", {2024, 3}, {2024, 5}, 0, 1, {{0, 3, 2024}}},
      {"three months over a year end", "", {2024, 2}, {2024, 2}, 3, 1,
       {{1, 1, 2024}, {2, 12, 2023}, {3, 11, 2023}}},
  };
  for (const MonthCase& c : cases) {
    MonthTable t = chooseMonths(c.chosen, c.start, c.calc, c.parameterMonths, c.previousYearRule);
    ASSERT_EQ(t.count(), int(c.months.size())) << c.name;
    EXPECT_EQ(t.startMonth, c.start.month) << c.name;
    EXPECT_EQ(t.startYear, c.start.year) << c.name;
    for (size_t k = 0; k < c.months.size(); ++k) {
      EXPECT_EQ(t.months[k].distance, c.months[k].distance) << c.name << " month " << k + 1;
      EXPECT_EQ(t.months[k].month, c.months[k].month) << c.name << " month " << k + 1;
      EXPECT_EQ(t.months[k].year, c.months[k].year) << c.name << " month " << k + 1;
    }
  }
}

TEST(BasisMonths, MoreThanTwelveChosenMonthsStopAtTwelve) {
  MonthTable t = chooseMonths("01020304050607080910111201", {2024, 6}, {2024, 6}, 12, 1);
  EXPECT_EQ(t.count(), 12);
  EXPECT_EQ(chooseMonths("", {2024, 6}, {2024, 6}, 15, 1).count(), 12);
}

TEST(BasisMonths, MonthsFromStartToCalculation) {
  struct Case {
    YearMonth start, calc;
    int months;
  };
  for (Case c : {Case{{2023, 12}, {2024, 1}, 1}, Case{{2023, 1}, {2024, 1}, 12},
                 Case{{2022, 6}, {2024, 3}, 21}, Case{{2024, 5}, {2024, 3}, 10},
                 Case{{2024, 3}, {2024, 3}, 0}, Case{{2024, 3}, {2024, 7}, 4}})
    EXPECT_EQ(monthsFromStartToCalculation(c.start, c.calc), c.months)
        << c.start.month << "." << c.start.year << " -> " << c.calc.month << "." << c.calc.year;
}

TEST(BasisMonths, FillUpFlagsAndMonthsBefore) {
  EXPECT_EQ(fillUpFlagsOf("TFT "), (std::vector<bool>{true, false, true}));
  EXPECT_TRUE(fillUpFlagsOf("   ").empty());
  YearMonth m = monthsBefore({2024, 2}, 3);
  EXPECT_EQ(m.year, 2023);
  EXPECT_EQ(m.month, 11);
  m = monthsBefore({2024, 2}, 0);
  EXPECT_EQ(m.month, 2);
}

}  // namespace
}  // namespace zus::basis
