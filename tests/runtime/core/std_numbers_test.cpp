// ROUND, INT, ABS, MIN, MAX and MOD: values, signs and the decimals they carry.
#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/functions.h"
#include "runtime/core/std_functions.h"
#include "tests/runtime/core/core_test_support.h"

namespace {

using rt::Value;
using rt::testing::call;

Value N(double v, int dec = 0, int width = rt::kDefaultWidth) { return Value::number(v, dec, width); }
// ALLTRIM(STR(v)): the value as the runtime shows it, decimals included.
std::string shown(const Value& v) {
  std::string s = call("STR", {v}).str();
  return s.substr(s.find_first_not_of(' '));
}

struct Case {
  const char* fn;
  std::vector<Value> args;
  const char* expected;
};

TEST(Numbers, ValuesAndDecimals) {
  const Case cases[] = {
      {"ROUND", {N(2.5, 1), N(0)}, "3"},
      {"ROUND", {N(-2.5, 1), N(0)}, "-3"},
      {"ROUND", {N(-1.45, 2), N(1)}, "-1.5"},
      {"ROUND", {N(-2.675, 3), N(2)}, "-2.68"},
      {"ROUND", {N(1.005, 3), N(2)}, "1.01"},
      {"ROUND", {N(85.33 * 0.8, 3), N(2)}, "68.26"},
      {"ROUND", {N(1250), N(-2)}, "1300"},
      {"ROUND", {N(-1250), N(-2)}, "-1300"},
      {"ROUND", {N(-0.4, 1), N(0)}, "0"},
      {"ROUND", {N(1234), N(2)}, "1234.00"},
      {"ROUND", {N(1234.567, 3), N(-1)}, "1230"},
      {"INT", {N(2.7, 1)}, "2"},
      {"INT", {N(-2.7, 1)}, "-2"},
      {"INT", {N(1234.56, 2)}, "1234"},
      {"ABS", {N(-1.5, 2)}, "1.50"},
      {"MIN", {N(1), N(2.5, 1)}, "1"},
      {"MAX", {N(1), N(2.5, 1)}, "2.5"},
      {"MOD", {N(7), N(3)}, "1.00"},
      {"MOD", {N(-7), N(3)}, "2.00"},
      {"MOD", {N(7), N(-3)}, "-2.00"},
      {"MOD", {N(-7), N(-3)}, "-1.00"},
      {"MOD", {N(-7.5, 1), N(2)}, "0.50"},
      {"MOD", {N(6), N(3)}, "0.00"},
  };
  for (const auto& c : cases) {
    std::string args;
    for (const auto& a : c.args) args += std::to_string(a.num()) + ",";
    EXPECT_EQ(shown(call(c.fn, c.args)), c.expected) << c.fn << "(" << args << ")";
  }
}

TEST(Numbers, FieldWidthsCarriedOrDropped) {
  Value field = N(21, 2, 12);  // a value read from N(12,2)
  EXPECT_EQ(call("STR", {call("ABS", {field})}).str(), "       21.00");
  EXPECT_EQ(call("STR", {call("MAX", {field, N(1)})}).str(), "       21.00");
  EXPECT_EQ(call("STR", {call("INT", {field})}).str(), "       21");  // 9 integer positions
  EXPECT_EQ(call("STR", {call("ROUND", {field, N(2)})}).str(), "        21.00");
}

TEST(Numbers, ModByZeroAndWrongTypes) {
  try {
    call("MOD", {N(1), N(0)});
    FAIL();
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.kind(), rt::ErrorKind::ZeroDivisor);
    EXPECT_EQ(e.description(), "Zero divisor");
  }
  EXPECT_THROW(call("ROUND", {Value::text("1"), N(0)}), rt::Error);
  EXPECT_THROW(call("MIN", {N(1), Value::date(5)}), rt::Error);
  EXPECT_EQ(call("MIN", {Value::date(5), Value::date(3)}).date(), 3);
}

TEST(Numbers, ModDecimalsFollowSetDecimals) {
  int saved = rt::context().settings.decimals;
  rt::context().settings.decimals = 4;
  EXPECT_EQ(shown(call("MOD", {N(7), N(3)})), "1.0000");
  rt::context().settings.decimals = saved;
}

}  // namespace
