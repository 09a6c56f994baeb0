// Memory variables: dynamic scope, hiding, release, TYPE by name, references, enumeration.
#include "runtime/core/memvars.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "runtime/core/error.h"
#include "runtime/core/names.h"

namespace rt {
namespace {

int num(const Memvars& m, const char* name) { return int(m.get(name).num()); }

// A routine that declares its own private and changes the caller's.
void callee(Memvars& m, bool fail) {
  PrivateFrame frame(m);
  m.declarePrivate("mine", Value::integer(7));
  m.assign("shared", Value::integer(m.get("SHARED").num() + 1));  // the caller's private
  if (fail) throw std::runtime_error("abandoned");
}

TEST(Memvars, CalleeSeesAndChangesCallerPrivatesWhichLeaveOnReturn) {
  Memvars m;
  {
    PrivateFrame caller(m);
    m.declarePrivate("Shared", Value::integer(1));
    callee(m, false);
    EXPECT_EQ(num(m, "shared"), 2);
    EXPECT_FALSE(m.exists("mine"));
    EXPECT_THROW(callee(m, true), std::runtime_error);
    EXPECT_EQ(num(m, "shared"), 3);
    EXPECT_FALSE(m.exists("mine"));  // released on the exception too
  }
  EXPECT_FALSE(m.exists("shared"));
}

TEST(Memvars, PrivateHidesPublicAndOuterPrivateUntilItsFrameEnds) {
  Memvars m;
  m.declarePublic("x", Value::text("public"));
  {
    PrivateFrame outer(m);
    m.declarePrivate("x", Value::text("outer"));
    EXPECT_FALSE(m.isPublic("x"));
    {
      PrivateFrame inner(m);
      m.declarePrivate("X", Value::text("inner"));
      m.assign("x", Value::text("inner changed"));
      EXPECT_EQ(m.get("x").str(), "inner changed");
    }
    EXPECT_EQ(m.get("x").str(), "outer");
  }
  EXPECT_EQ(m.get("x").str(), "public");
  EXPECT_TRUE(m.isPublic("x"));
}

TEST(Memvars, PublicDeclarationRules) {
  Memvars m;
  m.declarePublic("flag");
  EXPECT_TRUE(m.get("flag").isLogical());  // a new public holds .F.
  m.assign("flag", Value::integer(3));
  m.declarePublic("flag");  // already there: unchanged
  EXPECT_EQ(num(m, "flag"), 3);
  PrivateFrame f(m);
  m.declarePrivate("p", Value::integer(1));
  m.declarePublic("p");  // a visible private of that name: the declaration is ignored
  EXPECT_FALSE(m.isPublic("p"));
  m.declarePublic("p", Value::integer(5));  // with a value: assigns the visible variable
  EXPECT_EQ(num(m, "p"), 5);
}

TEST(Memvars, AssignmentToUnknownNameCreatesPrivateOfCurrentFrame) {
  Memvars m;
  {
    PrivateFrame f(m);
    m.assign("zn", Value::text("1"));
    EXPECT_FALSE(m.isPublic("zn"));
    m.declarePrivate("zn");  // declaring again in the same frame keeps the variable
    EXPECT_EQ(m.get("zn").str(), "1");
  }
  EXPECT_FALSE(m.exists("zn"));
  EXPECT_THROW(m.get("zn"), Error);
}

TEST(Memvars, ReleaseByNameAndMask) {
  Memvars m;
  m.declarePublic("pub", Value::integer(1));
  PrivateFrame outer(m);
  m.declarePrivate("zusx_a", Value::integer(1));
  PrivateFrame f(m);
  m.declarePrivate("zusx_b", Value::integer(2));
  m.declarePrivate("zusx_c", Value::integer(3));
  m.declarePrivate("other", Value::integer(4));
  m.releaseAll("ZUSX_*", false);  // only this frame's privates
  EXPECT_EQ(m.typeOf("zusx_b"), "U");
  EXPECT_EQ(m.typeOf("zusx_c"), "U");
  EXPECT_EQ(m.typeOf("zusx_a"), "N");
  EXPECT_EQ(m.typeOf("other"), "N");
  m.releaseAll("zusx_*", true);  // EXCEPT
  EXPECT_EQ(m.typeOf("other"), "U");
  m.release("pub");
  EXPECT_TRUE(m.exists("pub"));  // released variables stay declared, holding NIL
  EXPECT_EQ(m.typeOf("pub"), "U");
  m.release("never_declared");  // ignored
}

TEST(Memvars, TypeByNameNeverRaises) {
  Memvars m;
  PrivateFrame f(m);
  m.declarePrivate("arr", Value::array(std::make_shared<Array>(Array{
                              Value::integer(1), Value::array(std::make_shared<Array>(Array{
                                                     Value::date(5), Value()}))})));
  m.declarePrivate("nil");
  m.declarePrivate("s", Value::text("abc"));
  struct Case {
    const char* text;
    const char* type;
  };
  for (Case c : {Case{"arr", "A"}, {"ARR[1]", "N"}, {"arr[2][1]", "D"}, {"arr[2, 1]", "D"},
                 {"arr[2,2]", "U"}, {"arr[3]", "U"}, {"arr[0]", "U"}, {"missing", "U"},
                 {"missing[4]", "U"}, {"nil", "U"}, {"s", "C"}, {"s[1]", "U"}, {"", "U"},
                 {"arr[x]", "U"}}) {
    EXPECT_EQ(m.typeOf(c.text), c.type) << c.text;
  }
}

TEST(Memvars, ReferencesWriteThroughToTheVariable) {
  Memvars m;
  PrivateFrame f(m);
  m.declarePrivate("v", Value::integer(1));
  Value* r = m.ref("v");
  *r = Value::text("set by callee");
  EXPECT_EQ(m.get("v").str(), "set by callee");
  Value* created = m.ref("newone");  // a reference to an unknown name creates it
  EXPECT_TRUE(created->isNil());
  EXPECT_TRUE(m.exists("newone"));
}

TEST(Memvars, ListGivesVisibleVariablesOnce) {
  Memvars m;
  m.declarePublic("a", Value::integer(1));
  m.declarePublic("b", Value::integer(2));
  PrivateFrame f(m);
  m.declarePrivate("a", Value::integer(10));
  m.declarePrivate("c_long_variable_name", Value::integer(3));
  auto vars = m.list();
  ASSERT_EQ(vars.size(), 3u);
  int seen = 0;
  for (const auto& v : vars) {
    if (v.name == "A") {
      EXPECT_EQ(v.scope, Scope::Private);
      EXPECT_EQ(v.value.num(), 10);
      ++seen;
    }
    if (v.name == "B") {
      EXPECT_EQ(v.scope, Scope::Public);
      ++seen;
    }
    if (v.name == "C_LONG_VARIABLE_NAME") ++seen;
  }
  EXPECT_EQ(seen, 3);
}

TEST(Memvars, ClearAllDropsPublicsAndEmptiesPrivates) {
  Memvars m;
  m.declarePublic("pub", Value::integer(1));
  PrivateFrame f(m);
  m.declarePrivate("pub", Value::integer(2));  // hides the public
  m.declarePrivate("priv", Value::integer(3));
  m.clearAll();
  EXPECT_EQ(m.typeOf("priv"), "U");
  EXPECT_EQ(m.typeOf("pub"), "U");
  m.closeFrame(m.depth());  // closing the frame must not bring back the dropped public
  EXPECT_FALSE(m.exists("pub"));
}

TEST(MaskMatching, WildcardsIgnoreCase) {
  EXPECT_TRUE(matchesMask("ZUSX_PR", "zusx_*"));
  EXPECT_TRUE(matchesMask("A1", "?1"));
  EXPECT_TRUE(matchesMask("abc", "*"));
  EXPECT_TRUE(matchesMask("abcbc", "a*bc"));
  EXPECT_FALSE(matchesMask("zsx_pr", "zusx_*"));
  EXPECT_FALSE(matchesMask("ab", "abc"));
}

}  // namespace
}  // namespace rt
