// YYYYMMDD dates and dotted version comparisons.
#include "console/date_version.h"

#include <gtest/gtest.h>

namespace {

TEST(DateVersion, StodReadsCalendarDates) {
  struct Case {
    const char* text;
    int y, m, d;  // 0 0 0: the empty date
  } cases[] = {
      {"20050208", 2005, 2, 8}, {"20160401", 2016, 4, 1}, {"2019 501", 2019, 5, 1},
      {"20240229", 2024, 2, 29}, {"", 0, 0, 0},           {"        ", 0, 0, 0},
      {"2005020", 0, 0, 0},      {"200502081", 0, 0, 0},  {"20050231", 0, 0, 0},
      {"20051301", 0, 0, 0},     {"2005ab08", 0, 0, 0},   {"20230229", 0, 0, 0},
  };
  for (const auto& c : cases) {
    int32_t expected = c.y ? con::julianDay(c.y, c.m, c.d) : 0;
    EXPECT_EQ(con::STOD(c.text), expected) << '"' << c.text << '"';
  }
  // The day numbers are the runtime's: 31.01.2024 is day 2460341.
  EXPECT_EQ(con::julianDay(2024, 1, 31), 2460341);
}

TEST(DateVersion, VersionsCompareAlignedOnTheirFirstDot) {
  struct Case {
    const char* a;
    const char* op;
    const char* b;
    bool expected;
  } cases[] = {
      {"10.2", ">", "9.15", true},   {"1.10", "<", "1.9", true},   {"2", "<", "1.5", true},
      {" 1.5 ", "==", "1.5", true},  {"1.5", "==", "1.5", true},   {"1.5", ">", "1.5", false},
      {"3.0", ">=", "3.0", true},    {"3.01", "=", "3.0", true},   {"3.0", "=", "3.01", false},
      {"3.0", "!=", "3.1", true},    {"3.0", "<>", "3.0", false},  {"3.0", "#", "3.1", true},
      {"3.0", "<=", "2.9", false},   {"12.1", ">", "9.99", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(con::POR_STR(c.a, c.b, c.op, false), c.expected) << c.a << c.op << c.b;
}

TEST(DateVersion, EqualityFollowsExactSetting) {
  EXPECT_EQ(con::POR_STR("3.01", "3.0", "=", false), true);
  EXPECT_EQ(con::POR_STR("3.01", "3.0", "=", true), false);
}

TEST(DateVersion, QuotesAndOddOperatorsAreData) {
  // The texts are compared as data: a quotation mark is one more character, never syntax.
  EXPECT_EQ(con::POR_STR("1.0\" .or. .t. .or. \"", "2.0", "<", false), true);
  EXPECT_EQ(con::POR_STR("1.0\"", "1.0\"", "==", false), true);
  EXPECT_FALSE(con::POR_STR("1.0", "2.0", ") .or. (.t.", false).has_value());
  EXPECT_FALSE(con::POR_STR("1.0", "2.0", "", false).has_value());
}

}  // namespace
