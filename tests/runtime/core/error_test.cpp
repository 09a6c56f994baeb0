// Runtime errors raised by expression text carry the runtime's description, operation and code.
#include "runtime/core/error.h"

#include "tests/runtime/core/core_test_support.h"

namespace rt {
namespace {

class ErrorTest : public testing::CoreTest {};

TEST_F(ErrorTest, OperatorErrorsNameTheOperatorAndCode) {
  struct Case {
    const char* text;
    ErrorKind kind;
    const char* what;
    int code;
  };
  vars().declarePrivate("a", evalText("{1,2,3}"));
  vars().declarePrivate("zero", Value::integer(0));
  for (Case c : {Case{"'a'+1", ErrorKind::Argument, "Argument error: +", 1081},
                 {"'a'-1", ErrorKind::Argument, "Argument error: -", 1082},
                 {"1<'a'", ErrorKind::Argument, "Argument error: <", 1073},
                 {"1='a'", ErrorKind::Argument, "Argument error: =", 1071},
                 {".NOT. 1", ErrorKind::Argument, "Argument error: .NOT.", 1077},
                 {"1/zero", ErrorKind::ZeroDivisor, "Zero divisor: /", 1340},
                 {"1%zero", ErrorKind::ZeroDivisor, "Zero divisor: %", 1341},
                 {"a[4]", ErrorKind::Bound, "Bound error: array access", 1132},
                 {"a[4] := 1", ErrorKind::Bound, "Bound error: array assign", 1133},
                 {"undefvar", ErrorKind::NoVariable, "Variable does not exist: UNDEFVAR", 1003},
                 {"nofn()", ErrorKind::NoFunction, "Undefined function: NOFN", 1001},
                 {"al->fld", ErrorKind::NoAlias, "Alias does not exist: AL", 1002}}) {
    try {
      evalText(c.text);
      ADD_FAILURE() << c.text << " raised nothing";
    } catch (const Error& e) {
      EXPECT_EQ(e.kind(), c.kind) << c.text;
      EXPECT_STREQ(e.what(), c.what) << c.text;
      EXPECT_EQ(baseCode(e), c.code) << c.text;
    }
  }
}

TEST(ErrorText, FileAndOsCodeAreKept) {
  Error e(ErrorKind::Open, "Open error", "FOPEN", "place/par_prog", 2, true);
  EXPECT_STREQ(e.what(), "Open error: FOPEN (place/par_prog)");
  EXPECT_EQ(e.osCode(), 2);
  EXPECT_TRUE(e.canRetry());
  EXPECT_EQ(baseCode(e), 0);
}

}  // namespace
}  // namespace rt
