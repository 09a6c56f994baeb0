// The registry of functions by name: a name found again from the same text, the same place
// holding another name, and a registration that replaces a function already found.
#include "runtime/core/functions.h"

#include <gtest/gtest.h>

#include <cstring>

namespace rt {
namespace {

Value answer(Functions& f, std::string_view name) {
  Args none;
  return f.call(name, none);
}

TEST(Functions, NamesFoundAgainFollowTheirTextAndNewRegistrations) {
  Functions f;
  f.add("Foo", [](Args&) { return Value::integer(1); });
  f.add("BAR", [](Args&) { return Value::integer(2); });
  char name[8] = "foo";
  EXPECT_EQ(answer(f, name).intOr(0), 1);
  EXPECT_EQ(answer(f, name).intOr(0), 1);
  std::memcpy(name, "bar", 3);  // the same place, another name
  EXPECT_EQ(answer(f, name).intOr(0), 2);
  f.add("bar", [](Args&) { return Value::integer(3); });
  EXPECT_EQ(answer(f, name).intOr(0), 3);
  std::memcpy(name, "baz", 3);
  EXPECT_FALSE(f.has(name));
  f.add("BAZ", [](Args&) { return Value::integer(4); });
  EXPECT_EQ(answer(f, name).intOr(0), 4);
  Functions copy = f;  // a copy finds through its own table
  f.add("BAZ", [](Args&) { return Value::integer(5); });
  EXPECT_EQ(answer(copy, name).intOr(0), 4);
  EXPECT_EQ(answer(f, name).intOr(0), 5);
}

}  // namespace
}  // namespace rt
