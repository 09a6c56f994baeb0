// Month arithmetic, rounding and text services of the suite, called by name as the options do.
#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/std_functions.h"
#include "suite/company/company.h"
#include "suite/payroll/payroll_values.h"
#include "suite/register.h"
#include "suite/screen/choices.h"
#include "suite/screen/services.h"

namespace {

rt::Value call(const char* name, std::vector<rt::Value> args) {
  return rt::functions().call(name, std::move(args));
}
rt::Value day(int y, int m, int d) { return rt::Value::date(suite::dayNumber(y, m, d)); }
rt::Value n(double v) { return rt::Value::number(v, 2); }

class Services : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::registerStandardFunctions();
    suite::registerSuiteFunctions();
    rt::context().memvars.declarePublic("lum_data", day(2024, 3, 1));
  }
};

TEST_F(Services, MonthsMoveByWholeMonthsKeepingTheDayWithinTheMonth) {
  struct Case {
    rt::Value from;
    int months;
    rt::Value to;
  } cases[] = {
      {day(2024, 1, 31), 1, day(2024, 2, 29)},  {day(2023, 1, 31), 1, day(2023, 2, 28)},
      {day(2024, 3, 15), -3, day(2023, 12, 15)}, {day(2024, 12, 31), 2, day(2025, 2, 28)},
      {rt::Value::date(0), 5, rt::Value::date(0)},
  };
  for (const Case& c : cases) EXPECT_EQ(call("DOD_MIES", {c.from, rt::Value::integer(c.months)}).date(), c.to.date());
  EXPECT_EQ(call("BOM", {day(2024, 2, 17)}).date(), day(2024, 2, 1).date());
  EXPECT_EQ(call("EOM", {day(2024, 2, 17)}).date(), day(2024, 2, 29).date());
}

TEST_F(Services, YearAndMonthCountBackFromThePayrollMonth) {
  EXPECT_EQ(call("_ROK", {rt::Value::integer(0)}).num(), 2024);
  EXPECT_EQ(call("_MIESIAC", {rt::Value::integer(0)}).num(), 3);
  EXPECT_EQ(call("_ROK", {rt::Value::integer(3)}).num(), 2023);
  EXPECT_EQ(call("_MIESIAC", {rt::Value::integer(3)}).num(), 12);
  EXPECT_EQ(call("_MIESIAC", {rt::Value::integer(14)}).num(), 1);
}

TEST_F(Services, RoundingToAStepTakesHalvesAwayFromZero) {
  EXPECT_DOUBLE_EQ(call("LICZ_ZAOKR", {n(68.264), n(0.01)}).num(), 68.26);
  EXPECT_DOUBLE_EQ(call("LICZ_ZAOKR", {n(2.675), n(0.01)}).num(), 2.68);
  EXPECT_DOUBLE_EQ(call("LICZ_ZAOKR", {n(12.5), n(1)}).num(), 13);
  EXPECT_DOUBLE_EQ(call("LICZ_ZAOKR", {n(-12.5), n(1)}).num(), -13);
  EXPECT_DOUBLE_EQ(call("LICZ_ZAOKR", {n(1234.56), n(10)}).num(), 1230);
  EXPECT_DOUBLE_EQ(call("E_ROUND", {n(85.33 * 0.8), rt::Value::integer(2)}).num(), 68.26);
}

TEST_F(Services, TextHelpers) {
  EXPECT_EQ(call("STRZER", {rt::Value::integer(7), rt::Value::integer(2)}).str(), "07");
  EXPECT_EQ(call("STRZER", {rt::Value::integer(2024), rt::Value::integer(2)}).str(), "2024");
  EXPECT_EQ(call("Z_DUZEJ", {rt::Value::text("styczen`")}).str(), "Styczen`");
  EXPECT_EQ(call("TOKEN", {rt::Value::text("a | bb | c"), rt::Value::text(" | "), rt::Value::integer(2)}).str(), "bb");
  EXPECT_EQ(call("TOKEN", {rt::Value::text("a|b"), rt::Value::text("|"), rt::Value::integer(5)}).str(), "");
  EXPECT_EQ(call("NUMTOKEN", {rt::Value::text("a | bb | c"), rt::Value::text(" | ")}).num(), 3);
  EXPECT_EQ(call("_INDEX_NAME", {rt::Value::text("nieobec"), rt::Value::integer(3)}).str(), "NIEOB_WYP");
}

TEST(PayrollInputValue, FourBytesLittleEndianBothWays) {
  for (int32_t v : {0, 1, 12345, -1, -250000, 2147483647}) {
    std::string w = suite::encodeInputValue(v);
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(suite::decodeInputValue(w + "rest"), v);
  }
  EXPECT_EQ(suite::encodeInputValue(258), std::string("\x02\x01\x00\x00", 4));
}

}  // namespace

namespace {

TEST(TextLists, SplitAndJoinKeepEveryField) {
  EXPECT_TRUE(suite::explode("", "\r\n").empty());
  EXPECT_EQ(suite::explode("a\tb\t\tc", "\t"), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_EQ(suite::explode("l1\r\nl2\r\n", "\r\n"), (std::vector<std::string>{"l1", "l2", ""}));
  rt::registerStandardFunctions();
  rt::Array values{rt::Value::text("x"), rt::Value::number(1234.5, 2), rt::Value(),
                   rt::Value::integer(7)};
  EXPECT_EQ(suite::implode("\t", values), "x\t1234.50\tNIL\t7");
}

}  // namespace
