// Filling up, dropping out, averaging with rounding at each step, the second pass, calendar
// days, the auxiliary basis and the minimum-wage floors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zus/calc/basis_average.h"

namespace zus::basis {
namespace {

struct M {
  double basis, worked, working;
  double notFilled = 0;
};

// Months 1, 2, 3 at distances 1, 2, 3 before a start in April 2024, calculated in April.
MonthTable table(const std::vector<M>& months) {
  MonthTable t = chooseMonths("", {2024, 4}, {2024, 4}, int(months.size()), 1);
  for (size_t k = 0; k < months.size(); ++k) {
    t.months[k].basis = months[k].basis;
    t.months[k].daysWorked = months[k].worked;
    t.months[k].workingDays = months[k].working;
    t.months[k].notFilledUp = months[k].notFilled;
    t.months[k].basisRead = true;
  }
  return t;
}

AveragingSettings settings(bool fillUp, bool dropping) {
  AveragingSettings s;
  s.droppingAllowed = dropping;
  s.payrollMonth = {2024, 4};
  s.employeeFillsUp = [fillUp] { return fillUp; };
  return s;
}

TEST(BasisAverage, AveragingCases) {
  struct Case {
    const char* name;
    std::vector<M> months;
    bool fillUp, dropping, notFilledItem;
    double monthly, daily, sum;
    int counted;
    std::string used;
  };
  const Case cases[] = {
      {"a month of half the days drops out", {{3000, 21, 21}, {3000, 21, 21}, {1200, 10, 21}},
       false, true, false, 3000.00, 100.00, 6000, 2, " 3 2"},
      {"a month is filled up to its working days", {{3000, 21, 21}, {3000, 21, 21}, {1200, 15, 21}},
       true, false, false, 2560.00, 85.33, 7680, 3, " 3 2 1"},
      {"the part not filled up goes back unscaled", {{3000, 21, 21}, {3000, 21, 21}, {1200, 15, 21, 300}},
       true, false, true, 2520.00, 84.00, 7560, 3, " 3 2 1"},
      {"the same part without its item is filled up", {{3000, 21, 21}, {3000, 21, 21}, {1200, 15, 21, 300}},
       true, false, false, 2560.00, 85.33, 7680, 3, " 3 2 1"},
      {"each running sum is rounded", {{1000.005, 0, 0}, {1000.005, 0, 0}}, false, false, false,
       1000.01, 33.33, 2000.02, 2, " 3 2"},  // 2000.01 when rounded only at the end
      {"a month without days or basis drops out", {{3000, 20, 20}, {0, 0, 0}}, false, true, false,
       3000.00, 100.00, 3000, 1, " 3"},
  };
  for (const Case& c : cases) {
    MonthTable t = table(c.months);
    t.noNotFilledItem = !c.notFilledItem;
    Average a = averageMonths(t, settings(c.fillUp, c.dropping));
    EXPECT_DOUBLE_EQ(a.monthly, c.monthly) << c.name;
    EXPECT_DOUBLE_EQ(a.daily, c.daily) << c.name;
    EXPECT_DOUBLE_EQ(a.sum, c.sum) << c.name;
    EXPECT_EQ(a.countedMonths, c.counted) << c.name;
    EXPECT_EQ(usedMonths(t, false, 0), c.used) << c.name;
  }
}

TEST(BasisAverage, FilledUpBasisOfOneMonth) {
  MonthTable t = table({{1200, 15, 21, 300}, {1200, 0, 21}, {1200, 22, 21}});
  t.noNotFilledItem = false;
  EXPECT_DOUBLE_EQ(filledUpBasis(t, 0), 1560.00);  // 1680.00 - 420.00 + 300.00
  EXPECT_DOUBLE_EQ(filledUpBasis(t, 1), 1200);     // no days worked: as archived
  EXPECT_DOUBLE_EQ(filledUpBasis(t, 2), 1200);     // more days than working days
}

TEST(BasisAverage, MonthsBeforeTheInsuranceStartCountInASecondPass) {
  MonthTable t = table({{3000, 21, 21}, {2000, 20, 20}, {0, 0, 21}});
  AveragingSettings s = settings(false, true);
  s.insuranceStart = {2024, 5, 1};  // every month lies before it
  Average a = averageMonths(t, s);
  EXPECT_TRUE(a.secondPass);
  // Every month was summed, only the two with a basis counted.
  EXPECT_EQ(a.countedMonths, 2);
  EXPECT_DOUBLE_EQ(a.monthly, 2500.00);
  EXPECT_DOUBLE_EQ(a.daily, 83.33);
  EXPECT_TRUE(t.months[0].counts);
  EXPECT_TRUE(t.months[1].counts);
  EXPECT_FALSE(t.months[2].counts);
  EXPECT_EQ(usedMonths(t, false, 0), " 3 2");
}

TEST(BasisAverage, DroppingRulesOfOneMonth) {
  MonthTable t = table({{3000, 21, 21}});
  struct Case {
    const char* name;
    M month;
    DateParts insurance;
    bool allowed, drops;
  };
  // The month is March 2024.
  const Case cases[] = {
      {"dropping not allowed", {100, 1, 21}, {}, false, false},
      {"less than half the working days", {3000, 10, 21}, {}, true, true},
      {"exactly half counts", {3000, 10.5, 21}, {}, true, false},
      {"before the insurance start year", {3000, 21, 21}, {2025, 1, 1}, true, true},
      {"before the insurance start month", {3000, 21, 21}, {2024, 4, 1}, true, true},
      {"insured from the second day of the month", {3000, 21, 21}, {2024, 3, 2}, true, true},
      {"insured from the first day of the month", {3000, 21, 21}, {2024, 3, 1}, true, false},
      {"insured earlier", {3000, 21, 21}, {2020, 7, 15}, true, false},
      {"nothing at all", {0, 0, 0}, {}, true, true},
  };
  for (const Case& c : cases) {
    t.months[0].basis = t.months[0].filledUp = c.month.basis;
    t.months[0].daysWorked = c.month.worked;
    t.months[0].workingDays = c.month.working;
    EXPECT_EQ(dropsOut(t, 0, c.allowed, c.insurance), c.drops) << c.name;
  }
}

TEST(BasisAverage, CalendarDays) {
  // January, February and March 2024: 31, 29 and 31 days.
  MonthTable t = table({{2560, 21, 21}, {2560, 21, 21}, {2560, 21, 21}});
  AveragingSettings s = settings(false, false);
  s.calendarDays = true;
  Average a = averageMonths(t, s);
  EXPECT_EQ(a.calendarDayTotal, 91);
  EXPECT_DOUBLE_EQ(a.daily, 84.40);
  EXPECT_EQ(t.months[0].calendarDays, 31);
  EXPECT_EQ(t.months[1].calendarDays, 29);

  // No month counts: no daily basis instead of a division by zero.
  MonthTable none = table({{0, 0, 0}});
  s.droppingAllowed = true;
  Average zero = averageMonths(none, s);
  EXPECT_DOUBLE_EQ(zero.daily, 0);
  EXPECT_DOUBLE_EQ(zero.monthly, 0);
}

TEST(BasisAverage, AuxiliaryBasisAlone) {
  MonthTable t = table({{3000, 21, 21}});
  AveragingSettings s = settings(false, false);
  s.basisItemLinked = false;
  Average a = averageMonths(t, s);
  EXPECT_DOUBLE_EQ(a.daily, 0);
  double monthly = addAuxiliaryBasis(a, 9000, 3);
  EXPECT_DOUBLE_EQ(monthly, 3000);
  EXPECT_DOUBLE_EQ(a.monthly, 3000.00);
  EXPECT_DOUBLE_EQ(a.daily, 100.00);
  EXPECT_EQ(usedMonths(t, false, 0), " 3");
}

TEST(BasisAverage, MinimumWageFloors) {
  Floors f{4242, 0.5, 13.71};
  EXPECT_DOUBLE_EQ(monthlyFloor(f), 2121.00);
  EXPECT_DOUBLE_EQ(dailyFloor(f), 61.01);
  EXPECT_DOUBLE_EQ(dailyFloor({4242, 1, 0}), 141.40);
  EXPECT_DOUBLE_EQ(monthlyFloor({0, 1, 13.71}), 0);
  EXPECT_EQ(monthlyFloorNote(0.5), "Uwaga: S`rednia` ustalono wg minimalnej pl`acy krajowej (etat:0.50)");
  EXPECT_EQ(dailyFloorNote(1), "Uwaga: Stawke` dzienna` ustalono wg minim. pl`acy kraj. (etat:1.00)");
}

TEST(BasisAverage, UsedMonthsOfChosenMonthsAreShifted) {
  MonthTable t = chooseMonths("1112", {2024, 3}, {2024, 3}, 12, 1);
  EXPECT_EQ(usedMonths(t, true, 0), "1112");
  EXPECT_EQ(usedMonths(t, true, 2), " 910");
  t.months[0].counts = false;
  EXPECT_EQ(usedMonths(t, true, 0), "12");
}

}  // namespace
}  // namespace zus::basis
