// STR, VAL and TRANSFORM against the runtime's printed forms.
#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/functions.h"
#include "runtime/core/std_convert.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_functions.h"
#include "tests/runtime/core/core_test_support.h"

namespace {

using rt::Value;
using rt::testing::call;


Value num(double v, int dec = 0, int width = rt::kDefaultWidth) { return Value::number(v, dec, width); }

struct StrCase {
  Value n;
  int width;     // -1: not given
  int decimals;  // -1: not given
  const char* expected;
};

TEST(Str, WidthsDecimalsAndRounding) {
  const StrCase cases[] = {
      {num(5), -1, -1, "         5"},
      {num(1.5, 1), -1, -1, "         1.5"},
      {num(5, 2), -1, -1, "         5.00"},
      {num(85.33 * 0.8, 3), -1, -1, "        68.264"},
      {num(21, 2, 12), -1, -1, "       21.00"},  // a field N(12,2)
      {num(7, 0, 3), -1, -1, "  7"},            // a field N(3,0)
      {num(5), 3, -1, "  5"},
      {num(1.5, 1), 5, -1, "    2"},
      {num(-2.5, 1), 2, -1, "-3"},
      {num(-0.4, 1), 2, -1, " 0"},
      {num(5), 0, -1, "         5"},
      {num(5), 10, 2, "      5.00"},
      {num(1234.565, 3), 10, 2, "   1234.57"},
      {num(-1234.565, 3), 10, 2, "  -1234.57"},
      {num(1.005, 3), 10, 2, "      1.01"},
      {num(2.675, 3), 10, 2, "      2.68"},
      {num(0.125, 3), 4, 2, "0.13"},
      {num(-0.005, 3), 5, 2, "-0.01"},
      {num(-0.004, 3), 5, 2, " 0.00"},
      {num(12), 1, -1, "*"},
      {num(-5), 1, -1, "*"},
      {num(1234.56, 2), 3, -1, "***"},
      {num(1.5, 1), 3, 2, "***"},
      {num(123.456, 3), 5, 2, "*****"},
  };
  for (const auto& c : cases) {
    std::vector<Value> args{c.n};
    if (c.width >= 0) args.push_back(num(c.width));
    if (c.decimals >= 0) args.push_back(num(c.decimals));
    EXPECT_EQ(call("STR", args).str(), c.expected)
        << "STR(" << c.n.num() << " dec " << c.n.decimals() << " width " << c.n.width() << ", " << c.width << ", "
        << c.decimals << ")";
  }
}

TEST(Str, TooWideWithoutWidthIsWidenedNotStarred) {
  std::string s = call("STR", {num(123456789012.0)}).str();
  EXPECT_EQ(s.find('*'), std::string::npos);
  EXPECT_NE(s.find("123456789012"), std::string::npos);
}

TEST(Str, NonNumberIsArgumentError) {
  try {
    call("STR", {Value::text("a")});
    FAIL();
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.kind(), rt::ErrorKind::Argument);
    EXPECT_EQ(e.description(), "Argument error");
    EXPECT_EQ(e.operation(), "STR");
  }
}

TEST(FormatNumber, ReportsValuesTooWideForAField) {
  EXPECT_EQ(rt::tryFormatNumber(1.005, 12, 2), std::optional<std::string>("        1.01"));
  EXPECT_EQ(rt::tryFormatNumber(-999.995, 7, 2), std::nullopt);  // "-1000.00" needs 8
  EXPECT_EQ(rt::tryFormatNumber(-0.001, 4, 2), std::optional<std::string>("0.00"));
  EXPECT_EQ(rt::formatNumber(1e6, 5, 0), "*****");
}

struct ValCase {
  const char* text;
  double value;
  int decimals;
  const char* str;  // STR() of the result: shows the width VAL gave it
};

TEST(Val, ValueDecimalsAndWidth) {
  const ValCase cases[] = {
      {"12abc", 12, 0, "   12"},
      {" 1.5", 1.5, 1, " 1.5"},
      {"1.50", 1.5, 2, "1.50"},
      {"1,5", 1, 0, "  1"},
      {"", 0, 0, "         0"},
      {" ", 0, 0, "0"},
      {"abc", 0, 0, "  0"},
      {"- 5", 0, 0, "  0"},
      {"  -5", -5, 0, "  -5"},
      {"1e3", 1, 0, "  1"},
      {"-0", 0, 0, " 0"},
      {"  12", 12, 0, "  12"},
      {"1234.56", 1234.56, 2, "1234.56"},
      {"15.001 ", 15.001, 4, "15.0010"},
      {"0.1", 0.1, 1, "0.1"},
  };
  for (const auto& c : cases) {
    Value v = call("VAL", {Value::text(c.text)});
    EXPECT_DOUBLE_EQ(v.num(), c.value) << "VAL(\"" << c.text << "\")";
    EXPECT_EQ(v.decimals(), c.decimals) << "VAL(\"" << c.text << "\")";
    EXPECT_EQ(call("STR", {v}).str(), c.str) << "STR(VAL(\"" << c.text << "\"))";
  }
  EXPECT_THROW(call("VAL", {num(5)}), rt::Error);
}

struct PictureCase {
  Value v;
  const char* picture;
  const char* expected;
};

TEST(Transform, NumberPictures) {
  const PictureCase cases[] = {
      {num(5), "999", "  5"},
      {num(-5), "999", " -5"},
      {num(-2.5, 1), "999", " -3"},
      {num(1234), "999", "***"},
      {num(-123), "999", "***"},
      {num(10.5, 1), "9.99", "*.**"},
      {num(1234.567, 3), "9999999999.99", "      1234.57"},
      {num(-0.004, 3), "9999999999.99", "         0.00"},
      {num(1234567.891, 3), "99 999 999 999.99", "     1 234 567.89"},
      {num(-1234.5, 1), "99 999 999 999.99", "        -1 234.50"},
      {num(123456789012.5, 1), "99 999 999 999.99", "** *** *** ***.**"},
      {num(-123.45, 2), "99 999 999 999.99", "         - 123.45"},
      {num(-123), "99,999", "  -123"},
      {num(-1234.67, 2), "99,999.99", "-1,234.67"},
      {num(1234567), "@E 999,999,999.99", "  1.234.567,00"},
      {num(0), "@Z 999", "   "},
      {num(0), " 999 % ", "   0 % "},
      {num(100), " 999 % ", " 100 % "},
      {num(5), "@B 999", "5  "},
      {num(5), "", "         5"},
      {num(21, 2, 12), "", "       21.00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(rt::transform(c.v, c.picture), c.expected) << c.v.num() << " with \"" << c.picture << "\"";
}

TEST(Transform, TextLogicalAndDatePictures) {
  const PictureCase cases[] = {
      {Value::text("abc def"), "@!", "ABC DEF"},
      {Value::text("abcdefgh"), "@S5", "abcde"},
      {Value::text("abcdefgh"), "@!S5", "ABCDE"},
      {Value::text("abcde"), "!!!", "ABC"},
      {Value::text("abc"), "!X!", "AbC"},
      {Value::text("abcd"), "X-X", "a-c"},
      {Value::text("abcd"), "@R XX-XX", "ab-cd"},
      {Value::text("ab"), "@R XX-XX", "ab-  "},
      {Value::text("ab"), "XXXX", "ab"},
      {Value::text("\xA5\x86z"), "@!", "\xA4\x8FZ"},  // ą ć z -> Ą Ć Z
      {Value::text("\xA5"), "!", "\xA4"},
      {Value::logical(true), "Y", "Y"},
      {Value::logical(false), "Y", "N"},
      {Value::logical(false), "", "F"},
      {Value::date(0), "@D", "  .  .    "},
      {Value::date(rt::makeDate(2024, 8, 15)), "@D", "15.08.2024"},
  };
  for (const auto& c : cases) EXPECT_EQ(rt::transform(c.v, c.picture), c.expected) << "\"" << c.picture << "\"";
  EXPECT_THROW(rt::transform(Value(), "999"), rt::Error);
}

TEST(Binary, PackingRoundTrips) {
  EXPECT_EQ(call("L2BIN", {num(-2)}).str(), std::string("\xFE\xFF\xFF\xFF", 4));
  EXPECT_EQ(call("BIN2L", {Value::text(std::string("\x01\x02\x00\x00", 4))}).num(), 513);
  EXPECT_EQ(call("BIN2L", {call("L2BIN", {num(-123456789)})}).num(), -123456789);
  EXPECT_EQ(call("BIN2I", {call("I2BIN", {num(-300)})}).num(), -300);
  EXPECT_EQ(call("BIN2W", {Value::text("\xFF\xFF")}).num(), 65535);
}

}  // namespace
