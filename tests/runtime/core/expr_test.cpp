// Expression text: operators, literals, names, macros, blocks, assignment and errors, as tables.
#include "runtime/core/expr.h"

#include "runtime/core/core_functions.h"
#include "runtime/core/functions.h"
#include "runtime/core/operators.h"
#include "tests/runtime/core/core_test_support.h"

namespace rt {
namespace {

using testing::CoreTest;
using testing::evalShown;
using testing::show;

struct Case {
  const char* text;
  const char* expected;
};

class ExprTest : public CoreTest {
 protected:
  ExprTest() {
    registerCoreFunctions();
    // Small helpers so the cases need no standard library.
    functions().add("T_NUM", [](Args& a) {  // T_NUM(x, decimals): a run-time number
      return Value::number(a[0].num(), int(a[1].numOr(0)));
    });
    functions().add("T_SET", [](Args& a) {  // T_SET(@v, x): writes through a reference
      a.assign(0, a[1]);
      return Value::logical(a.byRef(0));
    });
    functions().add("T_COUNT", [](Args& a) { return Value::integer(int64_t(a.count())); });
  }
  void expectCases(std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(evalShown(c.text), c.expected) << c.text;
  }
};

TEST_F(ExprTest, Literals) {
  expectCases({
      {"1.250", "1.250"}, {".5", "0.5"}, {"100.0", "100.0"}, {"5", "5"}, {"-0.5", "-0.5"},
      {"-0", "0"}, {"\"ab\"", "\"ab\""}, {"'ab'", "\"ab\""}, {"[a'b\"]", "\"a'b\"\""},
      {".T.", ".T."}, {".f.", ".F."}, {".Y.", ".T."}, {".n.", ".F."}, {"NIL", "NIL"},
      {"{1, 'a', {}}", "{1, \"a\", {}}"}, {"{1,,3}", "{1, NIL, 3}"}, {"{||1}", "B"},
  });
}

TEST_F(ExprTest, NumberArithmeticKeepsTheRuntimeDecimals) {
  expectCases({
      {"1+1.5", "2.5"}, {"1.5+1.25", "2.75"}, {"1-1.00", "0.00"}, {"1.5*2", "3.0"},
      {"2*1.50", "3.00"}, {"1.25*1.25", "1.5625"}, {"T_NUM(10)/4", "2.50"},
      {"T_NUM(1)/8", "0.13"}, {"2**10", "1024.00"}, {"2^3", "8.00"}, {"10.5%3", "1.50"},
      {"T_NUM(-10)%3", "-1.00"}, {"T_NUM(10)%-3", "1.00"}, {"T_NUM(1)/0", "error Zero divisor"},
      {"5%0", "error Zero divisor"}, {"1+'a'", "error Argument error"},
      {"-'a'", "error Argument error"}, {"NIL+1", "error Argument error"},
  });
}

TEST_F(ExprTest, Precedence) {
  expectCases({
      {"2**3**2", "64.00"}, {"-2**2", "4.00"}, {"T_NUM(100)/10/5", "2.00"},
      {"T_NUM(10)-2-3", "5"}, {"1+2*3", "7"}, {"(1+2)*3", "9"}, {"\"a\"+\"b\"$\"xab\"", ".T."},
      {"T_NUM(1)+1=2", ".T."}, {".NOT. T_NUM(1)==2", ".T."}, {".T. .OR. .T. .AND. .F.", ".T."},
      {"!.F. .AND. .F.", ".F."}, {".T.=\"a\"$\"abc\"", ".T."}, {"(1, 2, 3)", "3"},
  });
}

TEST_F(ExprTest, ShortCircuitSkipsTheRightSide) {
  expectCases({
      {".F. .AND. undefvar", ".F."}, {".T. .OR. undefvar", ".T."},
      {".T. .AND. undefvar", "error Variable does not exist"},
      {".F. .AND. T_NUM(1)/0>0", ".F."}, {"IIF(.T., 1, undefvar)", "1"},
      {"IIF(.F., undefvar, 2)", "2"}, {"IF(.F., 1)", "NIL"}, {"1 .AND. .T.", "error Argument error"},
      {"IIF(1, 2, 3)", "error Argument error"}, {".NOT. 1", "error Argument error"},
  });
}

TEST_F(ExprTest, StringComparisonWithExactOff) {
  expectCases({
      {"\"abc\"=\"ab\"", ".T."}, {"\"ab\"=\"abc\"", ".F."}, {"\"abc\"=\"\"", ".T."},
      {"\"\"=\"abc\"", ".F."}, {"\"abc\"=\"abc \"", ".F."}, {"\"\"=\"  \"", ".F."},
      {"\"abc\"==\"abc \"", ".F."}, {"\"abc\"!=\"ab\"", ".F."}, {"\"abc\"#\"ab\"", ".F."},
      {"\"abc\"<>\"\"", ".F."}, {"\"ab\"<\"abc\"", ".T."}, {"\"abc\">\"ab\"", ".F."},
      {"\"abc\">=\"ab\"", ".T."}, {"\"abc\"<=\"ab\"", ".T."}, {"\"a\"<\"a \"", ".T."},
      {"\"a \"<\"a\"", ".F."}, {"\"\"<\"a\"", ".T."}, {"\"b\">\"abc\"", ".T."},
      {"\"a\"<\"B\"", ".F."}, {"\"  12\"<\"  9\"", ".T."},
      {"\"b\"$\"abc\"", ".T."}, {"\"ac\"$\"abc\"", ".F."}, {"\"\"$\"abc\"", ".F."},
      {"\"a\"$\"\"", ".F."}, {"1$\"a\"", "error Argument error"},
  });
}

TEST_F(ExprTest, StringComparisonWithExactOn) {
  context().settings.exact = true;
  expectCases({
      {"\"abc\"=\"ab\"", ".F."}, {"\"abc\"=\"abc \"", ".T."}, {"\"  \"=\"\"", ".T."},
      {"\"\"=\"  \"", ".T."}, {"\"abc\"=\"\"", ".F."}, {"\"abc\"!=\"ab\"", ".T."},
      {"\"abc \"!=\"abc\"", ".F."}, {"\"abc\"==\"abc \"", ".F."}, {"\"abc\">\"ab\"", ".T."},
      {"\"abc\"<=\"ab\"", ".F."}, {"\"a \"<\"a\"", ".F."}, {"\"ab \"<\"abc\"", ".T."},
  });
}

TEST_F(ExprTest, JoiningStrings) {
  expectCases({
      {"\"ab  \"+\"cd \"", "\"ab  cd \""}, {"\"ab  \"-\"cd \"", "\"abcd   \""},
      {"\"a b \"-\" c \"", "\"a b c  \""}, {"\"ab\"+NIL", "error Argument error"},
  });
}

TEST_F(ExprTest, NilLogicalsAndArraysCompare) {
  expectCases({
      {"NIL==NIL", ".T."}, {"NIL=NIL", ".T."}, {"NIL==0", ".F."}, {"NIL=\"\"", ".F."},
      {"NIL!=0", ".T."}, {"NIL<1", "error Argument error"}, {".F.<.T.", ".T."},
      {"{1,2}=={1,2}", ".F."}, {"{1}={1}", "error Argument error"}, {"1=\"1\"", "error Argument error"},
  });
}

TEST_F(ExprTest, DateArithmeticAndComparison) {
  vars().declarePrivate("d1", Value::date(2460341));  // 31.01.2024
  vars().declarePrivate("d0", Value::date(0));
  expectCases({
      {"d1+1", "D2460342"}, {"1+d1", "D2460342"}, {"d1-1", "D2460340"}, {"d1+1.9", "D2460342"},
      {"d1-d0", "2460341"}, {"(d1+30)-d1", "30"}, {"d0+5", "D0"}, {"d0<d1", ".T."},
      {"d0==d0", ".T."}, {"1-d1", "error Argument error"}, {"d1*2", "error Argument error"},
      {"d1+d1", "error Argument error"}, {"d1+\"a\"", "error Argument error"},
      {"d1=\"a\"", "error Argument error"},
  });
}

TEST_F(ExprTest, ArraysAndSubscripts) {
  vars().declarePrivate("a", evalText("{{1,2},{3,4}}"));
  expectCases({
      {"a[2][1]", "3"}, {"a[2,2]", "4"}, {"a[1, T_NUM(1.9, 1)]", "1"},
      {"a[3]", "error Bound error"}, {"a[0]", "error Bound error"},
      {"a[1,'x']", "error Argument error"}, {"'abc'[1]", "error Argument error"},
      {"a[1][2] := 9", "9"}, {"a[1,2]", "9"}, {"a[5] := 1", "error Bound error"},
  });
}

TEST_F(ExprTest, AssignmentToVariables) {
  vars().declarePrivate("n", Value::integer(10));
  expectCases({
      {"n := 5", "5"}, {"n", "5"}, {"n += 2", "7"}, {"n -= 1", "6"}, {"n *= 2", "12"},
      {"n /= 4", "3.00"}, {"n++", "3.00"}, {"n", "4.00"}, {"--n", "3.00"},
      {"fresh := 'x'", "\"x\""}, {"M->fresh", "\"x\""}, {"M->fresh := 'y'", "\"y\""},
      {"1 := 2", "error Syntax error"}, {"x := y := 3", "3"}, {"x", "3"},
  });
  EXPECT_FALSE(vars().isPublic("fresh"));  // an assignment creates a private
}

TEST_F(ExprTest, FunctionCallsAndReferences) {
  vars().declarePrivate("v", Value::integer(1));
  expectCases({
      {"T_SET(@v, 'changed')", ".T."}, {"v", "\"changed\""}, {"T_SET(v, 'x')", ".F."},
      {"v", "\"changed\""}, {"t_count()", "0"}, {"T_COUNT(,)", "2"}, {"T_COUNT(1,,3)", "3"},
      {"NO_SUCH_FN(1)", "error Undefined function"},
  });
}

TEST_F(ExprTest, MacrosExpandVariablesIntoText) {
  vars().declarePrivate("cond", Value::text("n > 1"));
  vars().declarePrivate("n", Value::integer(5));
  vars().declarePrivate("zn", Value::text("3"));
  vars().declarePrivate("zsx_3", Value::text("slot three"));
  vars().declarePrivate("nm", Value::text("zsx"));
  vars().declarePrivate("num", Value::integer(1));
  expectCases({
      {"&cond", ".T."}, {"&cond .AND. n < 10", ".T."}, {"zsx_&zn", "\"slot three\""},
      {"&nm._3", "\"slot three\""}, {"&('zsx_' + zn)", "\"slot three\""},
      {"&num", "error Argument error"}, {"&undefined", "error Variable does not exist"},
      {"zsx_&zn := 'new'", "\"new\""}, {"zsx_3", "\"new\""},
  });
}

TEST_F(ExprTest, MacroTextIsCompiledOnce) {
  vars().declarePrivate("m", Value::text("1+1"));
  Expr first = compile("1+1");
  evalText("&m");
  EXPECT_EQ(compile("1+1").program(), first.program());
}

TEST_F(ExprTest, BlocksSeePrivatesWhenTheyRun) {
  vars().declarePrivate("base", Value::integer(100));
  Value block = evalText("{|x, y| x + base, x * y}");
  EXPECT_EQ(show(evalBlock(block, {Value::integer(2), Value::integer(3)})), "6");
  Value sum = evalText("{|x| x + base}");
  {
    PrivateFrame callee(vars());
    vars().declarePrivate("base", Value::integer(1));  // hides the caller's base
    EXPECT_EQ(show(evalBlock(sum, {Value::integer(2)})), "3");
  }
  EXPECT_EQ(show(evalBlock(sum, {Value::integer(2)})), "102");
  EXPECT_THROW(evalBlock(sum, {}), Error);  // the missing argument is NIL
}

TEST_F(ExprTest, BlocksCaptureOuterParametersAndAssignThem) {
  Value adder = evalText("{|n| {|x| x + n}}");
  Value addFive = evalBlock(adder, {Value::integer(5)});
  EXPECT_EQ(show(evalBlock(addFive, {Value::integer(1)})), "6");
  Value counter = evalText("{|a| a := a + 1, a * 10}");
  EXPECT_EQ(show(evalBlock(counter, {Value::integer(1)})), "20");
  EXPECT_EQ(show(evalText("EVAL({|a, b| a + b}, 1, 2)")), "3");
  EXPECT_EQ(show(evalText("EVAL({|| })")), "NIL");
  EXPECT_EQ(compileBlock("{|a| a}")->text(), "{|a| a}");
  std::vector<Value> none;
  EXPECT_EQ(show(compileBlock("1 + 2")->eval(none)), "3");
  EXPECT_EQ(show(compileBlock("  { |a| a }")->eval(none)), "NIL");
  EXPECT_EQ(show(compileBlock("{1, 2}")->eval(none)), "{1, 2}");  // an array, not a block
  EXPECT_THROW(compileBlock("{|| 1"), Error);
  EXPECT_EQ(evalShown("EVAL(1)"), "error Argument error");
}

TEST_F(ExprTest, SyntaxErrorsNameTheTextAndPosition) {
  struct SyntaxCase {
    const char* text;
    const char* where;
  };
  for (SyntaxCase c : {SyntaxCase{"1+", "\"1+\" at position 3"}, {"", "\"\" at position 1"},
                       {"(1", "\"(1\" at position 3"}, {"a b", "\"a b\" at position 3"},
                       {"'abc", "\"'abc\" at position 1"}, {"f(1,", "\"f(1,\" at position 5"},
                       {"{|a| a", "\"{|a| a\" at position 7"}, {"1 ? 2", "at position 3"}}) {
    try {
      compile(c.text);
      ADD_FAILURE() << c.text << " compiled";
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Syntax) << c.text;
      EXPECT_EQ(e.description(), "Syntax error");
      EXPECT_NE(std::string(e.what()).find(c.where), std::string::npos) << e.what();
    }
  }
}

TEST_F(ExprTest, SelfExpandingTextsFailInsteadOfExhaustingTheStack) {
  vars().declarePrivate("x", Value::text("&x"));
  EXPECT_EQ(evalShown("&x"), "error Nesting too deep");
  vars().declarePrivate("b", evalText("{|| EVAL(b)}"));
  EXPECT_EQ(evalShown("EVAL(b)"), "error Nesting too deep");
  EXPECT_EQ(evalShown(std::string(5000, '(') + "1" + std::string(5000, ')')), "error Syntax error");
  std::string chain = "1";
  for (int i = 0; i < 5000; ++i) chain += "+1";
  EXPECT_EQ(evalShown(chain), "error Syntax error");
  EXPECT_EQ(evalShown(std::string(5000, '-') + "1"), "error Syntax error");
}

TEST_F(ExprTest, FunctionNamesAreSignificantToTenCharacters) {
  functions().add("T_LONGNAME_FULL", [](Args&) { return Value::integer(1); });
  functions().add("T_EXACT10X", [](Args&) { return Value::integer(2); });
  functions().add("T_EXACT10X_LONGER", [](Args&) { return Value::integer(3); });
  expectCases({
      {"T_LONGNAME()", "1"}, {"T_LONGNAME_FULL()", "1"}, {"T_LONGNAME_OTHER()", "1"},
      {"T_EXACT10X()", "2"}, {"T_EXACT10X_LONGER()", "3"},
  });
}

TEST_F(ExprTest, NativeBlocksRunFromText) {
  vars().declarePrivate("nb", Value::block(nativeBlock(
                                  [](std::vector<Value>& args) { return opAdd(args.at(0), args.at(1)); },
                                  "{|a,b| a+b}")));
  EXPECT_EQ(evalShown("EVAL(nb, 2, 3)"), "5");
  EXPECT_EQ(evalShown("VALTYPE(nb)"), "\"B\"");
}

TEST_F(ExprTest, TypeOfText) {
  vars().declarePrivate("pict", Value::text("999"));
  vars().declarePrivate("arr", evalText("{1, 'a'}"));
  vars().declarePrivate("nothing");
  expectCases({
      {"TYPE('undefvar')", "\"U\""}, {"TYPE('undefvar+1')", "\"U\""}, {"TYPE('pict[4]')", "\"UE\""},
      {"TYPE('nope[4]')", "\"U\""}, {"TYPE('x->y')", "\"U\""}, {"TYPE('nothing')", "\"U\""},
      {"TYPE('1+')", "\"UE\""}, {"TYPE('')", "\"UE\""}, {"TYPE(\"1+'a'\")", "\"UE\""},
      {"TYPE('T_NUM(1)/0')", "\"UE\""}, {"TYPE('NO_SUCH(1)')", "\"UI\""},
      {"TYPE('.F. .AND. NO_SUCH()')", "\"UI\""}, {"TYPE('{|| undefvar}')", "\"B\""},
      {"TYPE('arr[2]')", "\"C\""}, {"TYPE('arr')", "\"A\""}, {"TYPE(\"IIF(.F.,1,'a')\")", "\"C\""},
      {"TYPE(1)", "error Argument error"}, {"VALTYPE(NIL)", "\"U\""}, {"VALTYPE({})", "\"A\""},
  });
}

}  // namespace
}  // namespace rt

namespace rt {
namespace {

TEST(Registry, StartsWithTheEvaluatorsFunctions) {
  for (const char* name : {"eval", "ValType", "TYPE"}) EXPECT_TRUE(functions().has(name)) << name;
}

}  // namespace
}  // namespace rt
