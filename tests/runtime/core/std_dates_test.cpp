// Day numbers, DTOC/CTOD under the date format and epoch, DTOS/STOD and the clock hook.
#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/functions.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_functions.h"
#include "tests/runtime/core/core_test_support.h"

namespace {

using rt::Value;
using rt::testing::call;


// Puts the date settings back after a test that changes them.
struct DateSettingsGuard {
  std::string format = rt::context().settings.dateFormat;
  int epoch = rt::context().settings.epoch;
  ~DateSettingsGuard() {
    rt::context().settings.dateFormat = format;
    rt::context().settings.epoch = epoch;
  }
};

TEST(DayNumbers, MatchTheJulianDayCount) {
  EXPECT_EQ(rt::makeDate(2024, 1, 31), 2460341);
  EXPECT_EQ(rt::makeDate(2024, 2, 30), 0);
  EXPECT_EQ(rt::makeDate(1900, 2, 29), 0);
  EXPECT_NE(rt::makeDate(2000, 2, 29), 0);
  for (int32_t day : {rt::makeDate(1, 1, 1), rt::makeDate(1999, 12, 31), rt::makeDate(2024, 2, 29),
                      rt::makeDate(9999, 12, 31)}) {
    int y, m, d;
    rt::splitDate(day, y, m, d);
    EXPECT_EQ(rt::makeDate(y, m, d), day);
  }
  EXPECT_EQ(rt::dayOfWeek(rt::makeDate(2024, 8, 18)), 1);  // a Sunday
  EXPECT_EQ(rt::dayOfWeek(rt::makeDate(2024, 8, 15)), 5);
  EXPECT_EQ(rt::dayOfWeek(0), 0);
}

struct CtodCase {
  const char* text;
  int y, m, d;  // 0, 0, 0: the empty date
};

TEST(Ctod, ReadsDayMonthYearWithEpochAndBlanks) {
  DateSettingsGuard guard;
  rt::context().settings.dateFormat = "dd.mm.yyyy";
  rt::context().settings.epoch = 1960;
  const CtodCase cases[] = {
      {"01.03.95", 1995, 3, 1},   {"01.03.59", 2059, 3, 1},  {"01.03.60", 1960, 3, 1},
      {"01.03.09", 2009, 3, 1},   {"01.03.1895", 1895, 3, 1}, {" 1. 2.2024", 2024, 2, 1},
      {"01. 5.2019", 2019, 5, 1}, {"29.02.2000", 2000, 2, 29}, {"15.08.2024xyz", 2024, 8, 15},
      {"31.02.2024", 0, 0, 0},    {"29.02.1900", 0, 0, 0},    {"32.01.2024", 0, 0, 0},
      {"01.13.2024", 0, 0, 0},    {"", 0, 0, 0},               {"  .  .    ", 0, 0, 0},
      {"abc", 0, 0, 0},           {"2024.02.01", 0, 0, 0},     {"1.2", 0, 0, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(rt::ctod(c.text), c.y ? rt::makeDate(c.y, c.m, c.d) : 0) << "CTOD(\"" << c.text << "\")";
  EXPECT_THROW(call("CTOD", {Value::number(1)}), rt::Error);
}

TEST(Dtoc, FollowsTheDateFormat) {
  DateSettingsGuard guard;
  int32_t day = rt::makeDate(2024, 3, 5);
  rt::context().settings.dateFormat = "dd.mm.yyyy";
  EXPECT_EQ(rt::dtoc(day), "05.03.2024");
  EXPECT_EQ(rt::dtoc(0), "  .  .    ");
  rt::context().settings.dateFormat = "mm/dd/yy";
  EXPECT_EQ(rt::dtoc(day), "03/05/24");
  EXPECT_EQ(rt::ctod("03/05/24"), day);
  rt::context().settings.dateFormat = "yyyy-mm-dd";
  EXPECT_EQ(rt::dtoc(day), "2024-03-05");
  EXPECT_EQ(rt::ctod("2024-03-05"), day);
}

TEST(Dtos, AndStodAreExact) {
  EXPECT_EQ(rt::dtos(rt::makeDate(2024, 3, 5)), "20240305");
  EXPECT_EQ(rt::dtos(0), "        ");
  EXPECT_EQ(rt::stod("20050208"), rt::makeDate(2005, 2, 8));
  for (const char* bad : {"", "        ", "2024 5 1", "20240231", "2024030", "202403050", "abcdefgh"})
    EXPECT_EQ(rt::stod(bad), 0) << bad;
  EXPECT_TRUE(call("STOD", {Value::number(20240101)}).isDate());
}

TEST(DateFunctions, PartsAndTheirWidths) {
  Value d = Value::date(rt::makeDate(2024, 8, 15));
  EXPECT_EQ(call("STR", {call("YEAR", {d})}).str(), " 2024");
  EXPECT_EQ(call("STR", {call("MONTH", {d})}).str(), "  8");
  EXPECT_EQ(call("DAY", {d}).num(), 15);
  EXPECT_EQ(call("DOW", {d}).num(), 5);
  EXPECT_EQ(call("YEAR", {Value::date(0)}).num(), 0);
  EXPECT_EQ(call("CMONTH", {d}).str(), "August");
  EXPECT_THROW(call("YEAR", {Value::text("x")}), rt::Error);
}

TEST(Clock, CanBeReplaced) {
  rt::setClock([] { return rt::ClockReading{rt::makeDate(2024, 12, 31), 13 * 3600 + 5 * 60 + 9.5}; });
  EXPECT_EQ(call("DATE", {}).date(), rt::makeDate(2024, 12, 31));
  EXPECT_EQ(call("TIME", {}).str(), "13:05:09");
  EXPECT_DOUBLE_EQ(call("SECONDS", {}).num(), 47109.5);
  rt::setClock(nullptr);
  EXPECT_GT(call("DATE", {}).date(), rt::makeDate(2020, 1, 1));
}

}  // namespace
