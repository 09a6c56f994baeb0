// The registry of functions by name: a name found again from the same text, the same place
// holding another name, a registration that replaces a function already found, and
// registrations taken back.
#include "runtime/core/functions.h"

#include <gtest/gtest.h>

#include <cstring>

#include "runtime/core/error.h"

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

// A registry put back as it was: replaced routines return, names registered since are unknown
// again (their long names' ten-character short forms too), and a routine found before the
// restore stays where it was found.
TEST(Functions, RegistrationsTakenBackLeaveTheNamesAsTheyWere) {
  Functions f;
  f.add("KEEP", [](Args&) { return Value::integer(1); });
  const NativeFunction* found = f.find("KEEP");
  Functions before = f;
  f.add("KEEP", [](Args&) { return Value::integer(2); });
  f.add("NEWCOMER", [](Args&) { return Value::integer(3); });
  f.add("A_VERY_LONG_NAME", [](Args&) { return Value::integer(4); });
  EXPECT_EQ(answer(f, "A_VERY_LON").intOr(0), 4);
  f.restore(before);
  EXPECT_EQ(answer(f, "KEEP").intOr(0), 1);
  EXPECT_EQ(f.find("KEEP"), found);
  EXPECT_FALSE(f.has("NEWCOMER"));
  EXPECT_FALSE(f.has("A_VERY_LONG_NAME"));
  EXPECT_FALSE(f.has("A_VERY_LON"));
  EXPECT_THROW(answer(f, "NEWCOMER"), Error);

  f.add("NEWCOMER", [](Args&) { return Value::integer(5); });
  EXPECT_EQ(answer(f, "NEWCOMER").intOr(0), 5);
  f.remove("newcomer");
  EXPECT_FALSE(f.has("NEWCOMER"));
  f.add("A_VERY_LONG_NAME", [](Args&) { return Value::integer(6); });
  f.remove("A_VERY_LONG_NAME");
  EXPECT_FALSE(f.has("A_VERY_LON"));
}

}  // namespace
}  // namespace rt
