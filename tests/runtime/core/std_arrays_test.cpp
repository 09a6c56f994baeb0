// Array functions: scans under SET EXACT, sorting in place, size changes and copies.
#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/functions.h"
#include "runtime/core/std_functions.h"
#include "tests/runtime/core/core_test_support.h"

namespace {

using rt::Value;
using rt::testing::call;

Value S(const std::string& s) { return Value::text(s); }
Value N(double v) { return Value::number(v); }
Value A(std::vector<Value> items) { return Value::array(std::make_shared<rt::Array>(std::move(items))); }

// A block from a C++ function, for the functions that take one.
struct LambdaBlock : rt::Block {
  std::function<Value(std::vector<Value>&)> fn;
  explicit LambdaBlock(std::function<Value(std::vector<Value>&)> f) : fn(std::move(f)) {}
  Value eval(std::vector<Value>& args) override { return fn(args); }
};
Value block(std::function<Value(std::vector<Value>&)> f) { return Value::block(std::make_shared<LambdaBlock>(std::move(f))); }

std::string render(const Value& arr) {
  std::string out;
  for (const Value& v : arr.arr()) {
    if (!out.empty()) out += ",";
    out += v.isNil() ? "NIL" : v.isChar() ? v.str() : std::to_string(int(v.num()));
  }
  return out;
}

struct ExactGuard {
  bool saved = rt::context().settings.exact;
  explicit ExactGuard(bool on) { rt::context().settings.exact = on; }
  ~ExactGuard() { rt::context().settings.exact = saved; }
};

struct ScanCase {
  bool exact;
  std::vector<Value> items;
  Value wanted;
  int expected;
};

TEST(Ascan, FollowsExactRules) {
  const ScanCase cases[] = {
      {false, {S("abc"), S("ab")}, S("ab"), 1},
      {false, {S("ab")}, S("abc"), 0},
      {false, {S("abc")}, S(""), 1},
      {false, {S("abc ")}, S("abc"), 1},
      {false, {S("abc")}, S("abc "), 0},
      {true, {S("abc")}, S("ab"), 0},
      {true, {S("abc")}, S("abc "), 1},
      {true, {S("x"), S(" ")}, S(""), 2},
      {false, {N(1), S("2"), N(3)}, N(2), 0},
      {false, {Value(), N(1)}, Value(), 1},
      {false, {S("A"), S("b")}, S("B"), 0},
  };
  for (const auto& c : cases) {
    ExactGuard guard(c.exact);
    EXPECT_EQ(call("ASCAN", {A(c.items), c.wanted}).num(), c.expected) << render(A(c.items)) << " exact " << c.exact;
  }
  EXPECT_EQ(call("ASCAN", {A({S("b"), S("a"), S("b")}), S("b"), N(2)}).num(), 3);
  EXPECT_EQ(call("ASCAN", {A({N(1), N(2), N(3)}), block([](auto& a) { return Value::logical(a[0].num() > 1); })}).num(), 2);
}

TEST(Asort, InPlaceExactByteOrderAndBlocks) {
  Value a = A({S("b"), S("a "), S("a"), S("\xA5"), S("B")});
  Value same = call("ASORT", {a});
  EXPECT_EQ(render(a), "B,a,a ,b,\xA5");
  EXPECT_EQ(same.arrPtr(), a.arrPtr());

  Value n = A({N(3), N(1), N(2), N(5), N(4)});
  call("ASORT", {n, Value(), Value(), block([](auto& x) { return Value::logical(x[0].num() > x[1].num()); })});
  EXPECT_EQ(render(n), "5,4,3,2,1");

  Value part = A({N(9), N(3), N(2), N(1), N(0)});
  call("ASORT", {part, N(2), N(3)});
  EXPECT_EQ(render(part), "9,1,2,3,0");

  // A block that is no strict order still leaves every element in the array.
  Value odd = A({N(2), N(1), N(2), N(1), N(2)});
  call("ASORT", {odd, Value(), Value(), block([](auto& x) { return Value::logical(x[0].num() <= x[1].num()); })});
  EXPECT_EQ(render(odd), "1,1,2,2,2");
}

TEST(ArrayChanges, SizeDeleteInsertFillCopy) {
  Value a = A({N(1), N(2), N(3), N(4)});
  call("ADEL", {a, N(2)});
  EXPECT_EQ(render(a), "1,3,4,NIL");
  Value b = A({N(1), N(2), N(3), N(4)});
  call("AINS", {b, N(2)});
  EXPECT_EQ(render(b), "1,NIL,2,3");
  call("ADEL", {b, N(0)});  // outside 1..LEN: ignored
  call("AINS", {b, N(9)});
  EXPECT_EQ(render(b), "1,NIL,2,3");
  call("ASIZE", {b, N(2)});
  EXPECT_EQ(render(b), "1,NIL");
  EXPECT_EQ(call("AADD", {b, S("x")}).str(), "x");
  EXPECT_EQ(render(b), "1,NIL,x");
  call("AFILL", {b, N(7), N(2)});
  EXPECT_EQ(render(b), "1,7,7");
  Value dst = A({N(0), N(0), N(0), N(0)});
  call("ACOPY", {A({N(1), N(2), N(3)}), dst, N(2), N(5), N(3)});
  EXPECT_EQ(render(dst), "0,0,2,3");
  EXPECT_EQ(call("ATAIL", {dst}).num(), 3);
  EXPECT_EQ(render(call("ARRAY", {N(3)})), "NIL,NIL,NIL");
  EXPECT_EQ(call("ARRAY", {N(2), N(3)}).arr()[1].arr().size(), 3u);
}

TEST(ArrayCopies, CloneIsDeep) {
  Value inner = A({N(1)});
  Value outer = A({inner, S("x")});
  Value copy = call("ACLONE", {outer});
  EXPECT_NE(copy.arrPtr(), outer.arrPtr());
  EXPECT_NE(copy.arr()[0].arrPtr(), inner.arrPtr());
  EXPECT_EQ(copy.arr()[0].arr()[0].num(), 1);
}

TEST(Aeval, PassesElementAndIndex) {
  std::vector<std::pair<double, double>> seen;
  call("AEVAL", {A({N(10), N(20)}), block([&](auto& x) {
                   seen.emplace_back(x[0].num(), x[1].num());
                   return Value();
                 })});
  EXPECT_EQ(seen, (std::vector<std::pair<double, double>>{{10, 1}, {20, 2}}));
}

}  // namespace
