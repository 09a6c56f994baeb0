// PARAMETERS: arguments as privates of the callee, by-reference arguments written back.
#include "runtime/core/parameters.h"

#include "tests/runtime/core/core_test_support.h"

namespace rt {
namespace {

class ParametersTest : public testing::CoreTest {};

TEST_F(ParametersTest, ArgumentsBecomePrivatesAndReferencesReceiveTheLastValue) {
  vars().declarePrivate("kept", Value::integer(1));
  vars().declarePrivate("a", Value::text("caller's a"));
  functions().add("T_PARAMS", [](Args& args) {
    ParameterFrame params(context().memvars, args, {"a", "kept", "missing"});
    EXPECT_EQ(context().memvars.get("a").num(), 10);
    EXPECT_TRUE(context().memvars.get("missing").isNil());
    context().memvars.assign("kept", Value::integer(2));
    return Value::integer(int64_t(params.count()));
  });
  EXPECT_EQ(testing::evalShown("T_PARAMS(10, @kept)"), "2");
  EXPECT_EQ(vars().get("kept").num(), 2);               // by reference: written back
  EXPECT_EQ(vars().get("a").str(), "caller's a");       // the callee's private is gone
  vars().assign("kept", Value::integer(1));
  EXPECT_EQ(testing::evalShown("T_PARAMS(10, kept)"), "2");
  EXPECT_EQ(vars().get("kept").num(), 1);  // by value: the caller's variable is untouched
  EXPECT_FALSE(vars().exists("missing"));
}

}  // namespace
}  // namespace rt
