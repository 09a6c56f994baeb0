// The edit buffer of a form field: shapes from pictures, typing and the value read back.
#include "runtime/ui/get_buffer.h"

#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/std_functions.h"

namespace rt::ui {
namespace {

class GetBufferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    context().settings.dateFormat = "dd.mm.yyyy";
  }
  static Value num(double v, int dec = 0) { return Value::number(v, dec); }
  static void typeText(GetBuffer& b, std::string_view text, bool insert = false) {
    for (char c : text) b.type(static_cast<unsigned char>(c), insert);
  }
};

struct ShapeCase {
  const char* what;
  Value value;
  const char* picture;
  const char* buffer;
};

TEST_F(GetBufferTest, PicturesShapeTheBuffer) {
  const ShapeCase cases[] = {
      {"three digits", num(5), "999", "  5"},
      {"amount", num(1234.567, 3), "9999999999.99", "      1234.57"},
      {"blanks between groups", num(1234567.891, 3), "99 999 999 999.99", "     1 234 567.89"},
      {"number without picture takes its width", Value::number(42, 2, 8), "", "   42.00"},
      {"text without picture takes its length", Value::text("abc  "), "", "abc  "},
      {"upper-case function", Value::text("abc"), "@!", "ABC"},
      {"template shorter than text", Value::text("abcdef"), "XXX", "abc"},
      {"empty date", Value::date(0), "@D", "  .  .    "},
      {"logical", Value::logical(true), "", "T"},
      {"logical Y/N", Value::logical(false), "Y", "N"},
  };
  for (const ShapeCase& c : cases) {
    GetBuffer b(c.value, c.picture);
    EXPECT_EQ(b.buffer(), c.buffer) << c.what;
  }
}

TEST_F(GetBufferTest, CursorStepsOverLiteralsOfTheTemplate) {
  GetBuffer b(num(0, 2), "99 999 999 999.99");
  b.clear();
  typeText(b, "12345678901");
  EXPECT_EQ(b.buffer(), "12 345 678 901.  ");
  EXPECT_EQ(b.pos(), 15);  // first decimal place
  typeText(b, "5");
  EXPECT_DOUBLE_EQ(b.value(num(0, 2)).num(), 12345678901.5);
}

TEST_F(GetBufferTest, NumberPointRightAlignsTheIntegerPart) {
  GetBuffer b(num(0, 2), "9999999999.99");
  b.clear();
  typeText(b, "77");
  EXPECT_TRUE(b.toDecimals());
  typeText(b, "5");
  EXPECT_EQ(b.buffer(), "        77.50");
  Value v = b.value(num(0, 2));
  EXPECT_DOUBLE_EQ(v.num(), 77.5);
  EXPECT_EQ(v.decimals(), 2);
}

TEST_F(GetBufferTest, MinusSignMakesTheNumberNegative) {
  GetBuffer b(num(0), "999");
  b.clear();
  typeText(b, "-12");
  EXPECT_DOUBLE_EQ(b.value(num(0)).num(), -12);
}

TEST_F(GetBufferTest, TemplateFiltersWhatIsTyped) {
  GetBuffer digits(Value::text("    "), "9999");
  typeText(digits, "1a2");
  EXPECT_EQ(digits.buffer(), "12  ");

  GetBuffer upper(Value::text("   "), "!XX");
  typeText(upper, "\xA5\xA5x");  // a-ogonek (code page 852) upper-cased only where "!" says so
  EXPECT_EQ(upper.buffer(), "\xA4\xA5x");

  GetBuffer flag(Value::text(" "), "!");
  typeText(flag, "t");
  EXPECT_EQ(flag.buffer(), "T");
  EXPECT_TRUE(flag.typedOut());

  GetBuffer logical(Value::logical(false), "");
  EXPECT_FALSE(logical.type('x', false));
  EXPECT_TRUE(logical.type('y', false));
  EXPECT_TRUE(logical.value(Value::logical(false)).logical());
}

TEST_F(GetBufferTest, InsertDeleteAndBackspaceStayInsideTheRun) {
  GetBuffer b(Value::text("abcd"), "");
  b.right();
  b.type('X', true);
  EXPECT_EQ(b.buffer(), "aXbc");  // the last character falls off
  b.del();
  EXPECT_EQ(b.buffer(), "aXc ");
  b.backspace();
  EXPECT_EQ(b.buffer(), "ac  ");
  b.end();
  EXPECT_EQ(b.pos(), 2);
  b.home();
  b.deleteToEnd();
  EXPECT_EQ(b.buffer(), "    ");
  EXPECT_TRUE(b.changed());
}

TEST_F(GetBufferTest, ScrollingFieldShowsAWindowAroundTheCursor) {
  GetBuffer b(Value::text(std::string(10, ' ')), "@!S4");
  EXPECT_EQ(b.displayWidth(), 4);
  typeText(b, "abcdef");
  EXPECT_EQ(b.displayText(), "DEF ");  // the cursor waits after the last letter typed
  EXPECT_EQ(b.displayCursor(), 3);
  b.home();
  EXPECT_EQ(b.displayText(), "ABCD");
  EXPECT_EQ(b.value(Value::text("")).str(), "ABCDEF    ");
}

TEST_F(GetBufferTest, TextLongerThanTemplateKeepsItsTail) {
  GetBuffer b(Value::text("abcdef"), "XXX");
  typeText(b, "xy");
  EXPECT_EQ(b.value(Value::text("abcdef")).str(), "xycdef");
}

TEST_F(GetBufferTest, DatesReadBackAndImpossibleDatesAreRefused) {
  GetBuffer b(Value::date(0), "");
  typeText(b, "15032024");
  bool valid = false;
  Value d = b.value(Value::date(0), &valid);
  ASSERT_TRUE(valid);
  EXPECT_EQ(functions().call("DTOC", {d}).str(), "15.03.2024");

  GetBuffer bad(Value::date(0), "@D");
  typeText(bad, "31022024");
  bad.value(Value::date(0), &valid);
  EXPECT_FALSE(valid);

  GetBuffer blank(Value::date(0), "");
  blank.type('1', false);
  blank.backspace();
  Value empty = blank.value(Value::date(0), &valid);
  EXPECT_TRUE(valid);
  EXPECT_EQ(empty.date(), 0);
}

}  // namespace
}  // namespace rt::ui
