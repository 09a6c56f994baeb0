// The standard functions as expression text uses them: each row is a text and what the runtime
// shows for its value (numbers as ALLTRIM(STR()) shows them, so the decimals count).
#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/std_convert.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_functions.h"
#include "runtime/core/std_strings.h"

namespace {

std::string shown(const rt::Value& v) {
  switch (v.type()) {
    case rt::Type::Char: return "\"" + v.str() + "\"";
    case rt::Type::Num: return rt::alltrim(rt::strOf(v));
    case rt::Type::Date: return rt::dtoc(v.date());
    case rt::Type::Logical: return v.logical() ? ".T." : ".F.";
    case rt::Type::Nil: return "NIL";
    default: return std::string(1, v.typeLetter());
  }
}

struct Row {
  const char* text;
  const char* expected;  // "error X" for an error with description X
};

std::string run(const char* text) {
  try {
    return shown(rt::evalText(text));
  } catch (const rt::Error& e) {
    return "error " + e.description();
  }
}

class StdExpr : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::registerStandardFunctions();
    saved_ = rt::context().settings;
    rt::context().settings.dateFormat = "dd.mm.yyyy";
    rt::context().settings.epoch = 1960;
    rt::context().settings.exact = false;
    rt::context().settings.decimals = 2;
  }
  void TearDown() override { rt::context().settings = saved_; }
  rt::Settings saved_;
};

TEST_F(StdExpr, NumbersAndConversions) {
  const Row rows[] = {
      {"STR(VAL('10')/2)", "\"         5.00\""},
      {"STR(85.33*0.8)", "\"        68.264\""},
      {"STR(VAL('  12'))", "\"  12\""},
      {"STR(VAL('12')+1)", "\"        13\""},
      {"STR(YEAR(CTOD('15.08.2024')))", "\" 2024\""},
      {"STR(CTOD('01.01.2025')-CTOD('01.01.2024'))", "\"       366\""},
      {"ROUND(85.33*0.8,2)", "68.26"},
      {"ROUND(1234.567,-1)", "1230"},
      {"INT(VAL('-7')/2)", "-3"},
      {"MOD(7,3)", "1.00"},
      {"MOD(-7.5,2)", "0.50"},
      {"MOD(1,0)", "error Zero divisor"},
      {"MIN(1,2.5)", "1"},
      {"MAX(1,2.5)", "2.5"},
      {"ABS(-1.50)", "1.50"},
      {"VAL('15.001 ')", "15.0010"},
      {"STR('a')", "error Argument error"},
      {"VAL(5)", "error Argument error"},
      {"TRANSFORM(1234567.891,'99 999 999 999.99')", "\"     1 234 567.89\""},
      {"TRANSFORM(CTOD(''),'@D')", "\"  .  .    \""},
      {"LEN('abc')+AT('b','abc')", "5"},
      {"STRZERO(5,3)", "\"005\""},
      {"STRZERO(-5,4)", "\"-005\""},
      {"STRZERO(1.5,6,2)", "\"001.50\""},
      {"STRZERO(1234,3)", "\"***\""},
  };
  for (const auto& r : rows) EXPECT_EQ(run(r.text), r.expected) << r.text;
}

TEST_F(StdExpr, ArgumentsAtTheirExtremes) {
  const Row rows[] = {
      {"STOD('20240131')", "31.01.2024"},
      {"STOD('99991231')", "31.12.9999"},
      {"STOD('abc')", "  .  .    "},
      {"STOD('')", "  .  .    "},
      {"STOD('20241301')", "  .  .    "},
      // Widths and decimals far out of range are clamped, never narrowed into a huge length.
      {"STR(1,-8000000000000,2)", "\"         1\""},
      {"LEN(STR(1,8000000000000,2))", "255"},
      {"STR(1,5,-8000000000000)", "\"    1\""},
      {"STR(1.5,5,8000000000000)", "\"*****\""},
      {"STRZERO(1,-8000000000000,2)", "\"0000000001\""},
      {"LEN(STRZERO(1,8000000000000))", "255"},
      // Ten digits of @S width: 4294967299 wraps to 3 in a 32-bit count.
      {"TRANSFORM('abcdef','@S4294967299')", "\"abcdef\""},
      {"TRANSFORM('abcdef','@S99999999999999999999')", "\"abcdef\""},
      {"TRANSFORM('abcdef','@S3')", "\"abc\""},
  };
  for (const auto& r : rows) EXPECT_EQ(run(r.text), r.expected) << r.text;
}

TEST_F(StdExpr, StringsDatesAndArrays) {
  const Row rows[] = {
      {"SUBSTR('abcdef',-2)", "\"ef\""},
      {"SUBSTR(123,1)", "error Argument error"},
      {"PADL(1.5,6)", "\"   1.5\""},
      {"PADC('ab',5)", "\" ab  \""},
      {"STRTRAN('abcabc','b','X',2)", "\"abcaXc\""},
      {"LTRIM(CHR(9)+' a')", "\"a\""},
      {"ASC(UPPER(CHR(165)))", "164"},
      {"ISALPHA(CHR(165))", ".T."},
      {"EMPTY(CHR(9)+CHR(13)+CHR(10)+' ')", ".T."},
      {"EMPTY({})", ".T."},
      {"EMPTY({NIL})", ".F."},
      {"DTOC(CTOD(' 1. 2.2024'))", "\"01.02.2024\""},
      {"CTOD('01.03.95')", "01.03.1995"},
      {"CTOD('01.03.59')", "01.03.2059"},
      {"CTOD('31.02.2024')", "  .  .    "},
      {"DTOS(CTOD('05.03.2024'))", "\"20240305\""},
      {"DTOS(CTOD(''))", "\"        \""},
      {"DOW(CTOD('18.08.2024'))", "1"},
      {"CTOD('31.01.2024')-CTOD('')", "2460341"},
      {"ASCAN({'abc','ab'},'ab')", "1"},
      {"ASCAN({1,2,3},{|x| x>1})", "2"},
      {"LEN(ASORT({'b','a'}))", "2"},
      {"ASORT({'b','a','c'})[1]", "\"a\""},
      {"ATAIL({7,8})", "8"},
      {"AADD({1},5)", "5"},
  };
  for (const auto& r : rows) EXPECT_EQ(run(r.text), r.expected) << r.text;
}

TEST_F(StdExpr, SystemFunctions) {
  const Row rows[] = {
      {"SET(1)", ".F."},
      {"SET(4)", "\"dd.mm.yyyy\""},
      {"GETENV('ZEF_SURELY_UNSET_VARIABLE')", "\"\""},
      {"VALTYPE(DATE())", "\"D\""},
      {"LEN(TIME())", "8"},
      {"VALTYPE(ERRORBLOCK())", "\"U\""},
  };
  for (const auto& r : rows) EXPECT_EQ(run(r.text), r.expected) << r.text;
  EXPECT_EQ(run("SET(1, .T.)"), ".F.");
  EXPECT_TRUE(rt::context().settings.exact);
}

TEST_F(StdExpr, ExactOnChangesAscan) {
  rt::context().settings.exact = true;
  EXPECT_EQ(run("ASCAN({'abc'},'ab')"), "0");
  EXPECT_EQ(run("ASCAN({'abc'},'abc ')"), "1");
}

}  // namespace
