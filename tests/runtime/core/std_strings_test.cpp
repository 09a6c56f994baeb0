// String functions: substrings, search, padding, trimming, classes and memo lines.
#include <gtest/gtest.h>

#include "runtime/core/error.h"
#include "runtime/core/functions.h"
#include "runtime/core/std_functions.h"
#include "runtime/core/std_strings.h"
#include "tests/runtime/core/core_test_support.h"

namespace {

using rt::Value;
using rt::testing::call;

Value S(const std::string& s) { return Value::text(s); }
Value N(double v, int dec = 0) { return Value::number(v, dec); }

struct TextCase {
  const char* fn;
  std::vector<Value> args;
  std::string expected;
};

TEST(Strings, TextResults) {
  const TextCase cases[] = {
      {"SUBSTR", {S("abcdef"), N(0), N(2)}, "ab"},
      {"SUBSTR", {S("abcdef"), N(-2)}, "ef"},
      {"SUBSTR", {S("abcdef"), N(-10), N(3)}, "abc"},
      {"SUBSTR", {S("abcdef"), N(7)}, ""},
      {"SUBSTR", {S("abcdef"), N(2), N(-1)}, ""},
      {"SUBSTR", {S("abcdef"), N(2.7, 1), N(2)}, "bc"},
      {"SUBSTR", {S("abcdef"), N(5), N(10)}, "ef"},
      {"LEFT", {S("abc"), N(0)}, ""},
      {"LEFT", {S("abc"), N(2)}, "ab"},
      {"RIGHT", {S("abc"), N(10)}, "abc"},
      {"RIGHT", {S("abc"), N(2)}, "bc"},
      {"PADC", {S("ab"), N(5)}, " ab  "},
      {"PADL", {S("abcdef"), N(3)}, "abc"},
      {"PADC", {S("abcdef"), N(3)}, "abc"},
      {"PADL", {S("ab"), N(5), S("*")}, "***ab"},
      {"PADR", {S("ab"), N(0)}, ""},
      {"PADR", {S("ab"), N(4)}, "ab  "},
      {"PADL", {N(1.5, 1), N(6)}, "   1.5"},
      {"STRTRAN", {S("abcabc"), S("b")}, "acac"},
      {"STRTRAN", {S("abcabc"), S("b"), S("X"), N(2)}, "abcaXc"},
      {"STRTRAN", {S("abcabc"), S("b"), S("X"), N(1), N(1)}, "aXcabc"},
      {"STRTRAN", {S("aaa"), S("aa"), S("b")}, "ba"},
      {"STRTRAN", {S("abc"), S(""), S("X")}, "abc"},
      {"STUFF", {S("abcdef"), N(2), N(3), S("XY")}, "aXYef"},
      {"STUFF", {S("abcdef"), N(2), N(0), S("XY")}, "aXYbcdef"},
      {"STUFF", {S("abcdef"), N(-2), N(1), S("X")}, "abcdefX"},
      {"STUFF", {S("abcdef"), N(2), N(-1), S("X")}, "aX"},
      {"TRIM", {S("  a b  ")}, "  a b"},
      {"RTRIM", {S("a\t ")}, "a\t"},
      {"LTRIM", {S("\t a")}, "a"},
      {"ALLTRIM", {S(" \r\n a  ")}, "a"},
      {"SPACE", {N(0)}, ""},
      {"SPACE", {N(-1)}, ""},
      {"SPACE", {N(3)}, "   "},
      {"REPLICATE", {S("ab"), N(3)}, "ababab"},
      {"REPLICATE", {S("ab"), N(-2)}, ""},
      {"CHR", {N(321)}, "A"},
      {"UPPER", {S("za\xBE\xA2\x88\x86 g\xA9\x98l\xA5 ja\xAB\xE4")}, "ZA\xBD\xE0\x9D\x8F G\xA8\x97L\xA4 JA\x8D\xE3"},
      {"LOWER", {S("ZA\xBD\xE0\x9D\x8F")}, "za\xBE\xA2\x88\x86"},
      {"DESCEND", {S("AB")}, "\xBF\xBE"},
      {"MEMOTRAN", {S("a\r\nb")}, "a;b"},
      {"MEMOTRAN", {S("a\r\nb"), S(" ")}, "a b"},
      {"HARDCR", {S("a\x8D\nb")}, "a\r\nb"},
      {"MEMOLINE", {S("one two three"), N(8), N(2)}, "three   "},
      {"MEMOLINE", {S("one two three"), N(8), N(1)}, "one two "},
      {"MEMOLINE", {S("a\r\nb"), N(3), N(2)}, "b  "},
      {"MEMOLINE", {S("a\r\nb"), N(3), N(3)}, ""},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += (a.isChar() ? "\"" + a.str() + "\"" : std::to_string(a.num())) + ",";
    EXPECT_EQ(call(c.fn, c.args).str(), c.expected) << c.fn << "(" << shown << ")";
  }
}

TEST(Strings, NumberAndLogicalResults) {
  EXPECT_EQ(call("AT", {S("b"), S("abcb")}).num(), 2);
  EXPECT_EQ(call("RAT", {S("b"), S("abcb")}).num(), 4);
  EXPECT_EQ(call("RAT", {S("aa"), S("aaaa")}).num(), 3);
  EXPECT_EQ(call("AT", {S(""), S("abc")}).num(), 0);
  EXPECT_EQ(call("ASC", {S("")}).num(), 0);
  EXPECT_EQ(call("ASC", {S("\xA5")}).num(), 165);
  EXPECT_EQ(call("LEN", {S("abc")}).num(), 3);
  EXPECT_EQ(call("LEN", {Value::newArray(4)}).num(), 4);
  EXPECT_EQ(call("MLCOUNT", {S("one two three"), N(8)}).num(), 2);
  EXPECT_EQ(call("MLCOUNT", {S("abc\r\n"), N(10)}).num(), 1);
  EXPECT_EQ(call("MLCOUNT", {S("abcdefghij"), N(4)}).num(), 3);  // a long word is cut
  EXPECT_EQ(call("MLCOUNT", {S("")}).num(), 0);

  EXPECT_TRUE(call("ISALPHA", {S("a1")}).logical());
  EXPECT_FALSE(call("ISDIGIT", {S(" 1")}).logical());
  EXPECT_TRUE(call("ISALPHA", {S("\xA5")}).logical());  // ą
  EXPECT_TRUE(call("ISUPPER", {S("\xA4")}).logical());  // Ą
  EXPECT_FALSE(call("ISUPPER", {S("\xA5")}).logical());
  EXPECT_TRUE(call("ISLOWER", {S("\xBE")}).logical());  // ż
  EXPECT_FALSE(call("ISALPHA", {S("")}).logical());
  EXPECT_FALSE(call("ISALPHA", {S("\xC4")}).logical());  // a frame line is no letter
}

TEST(Strings, Empty) {
  EXPECT_TRUE(call("EMPTY", {S("\t\r\n ")}).logical());
  EXPECT_FALSE(call("EMPTY", {S(std::string(1, '\0'))}).logical());
  EXPECT_TRUE(call("EMPTY", {N(0)}).logical());
  EXPECT_FALSE(call("EMPTY", {N(0.001, 3)}).logical());
  EXPECT_TRUE(call("EMPTY", {Value::date(0)}).logical());
  EXPECT_TRUE(call("EMPTY", {Value::logical(false)}).logical());
  EXPECT_TRUE(call("EMPTY", {Value()}).logical());
  EXPECT_TRUE(call("EMPTY", {Value::newArray(0)}).logical());
  EXPECT_FALSE(call("EMPTY", {Value::newArray(1)}).logical());
}

TEST(Strings, WrongTypesAreArgumentErrors) {
  for (const char* fn : {"SUBSTR", "TRIM", "LTRIM", "ALLTRIM", "UPPER", "LEFT", "AT"}) {
    try {
      call(fn, {N(123), N(1)});
      ADD_FAILURE() << fn;
    } catch (const rt::Error& e) {
      EXPECT_EQ(e.description(), "Argument error") << fn;
      EXPECT_EQ(e.operation(), fn);
    }
  }
}

TEST(MemoLines, WrapsAtBlanksAndExpandsTabs) {
  EXPECT_EQ(rt::memoLines("ab\tc", 10, 4), std::vector<std::string>{"ab  c"});
  EXPECT_EQ(rt::memoLines("abcde fgh", 5), (std::vector<std::string>{"abcde", "fgh"}));
  EXPECT_EQ(rt::memoLines("a\r\n\r\nb", 5), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(rt::memoLines("abcdef", 4, 4, false), (std::vector<std::string>{"abcd", "ef"}));
}

}  // namespace

namespace {

TEST(Strings, HugeCountsAreStringOverflowNotAllocation) {
  for (const char* fn : {"SPACE", "PADR"}) {
    std::vector<Value> args = std::string(fn) == "SPACE" ? std::vector<Value>{N(1e12)} : std::vector<Value>{S("a"), N(1e12)};
    try {
      call(fn, args);
      ADD_FAILURE() << fn;
    } catch (const rt::Error& e) {
      EXPECT_EQ(e.description(), "String overflow") << fn;
    }
  }
  EXPECT_THROW(call("REPLICATE", {S("ab"), N(9e15)}), rt::Error);
}

}  // namespace
