// Assignments between values, down to a value that holds the one assigned to it.
#include <gtest/gtest.h>

#include <string>

#include "runtime/core/value.h"

namespace {

// An array whose only element is `element`, held by nothing else.
rt::Value arrayOf(rt::Value element) {
  rt::Value a = rt::Value::newArray(0);
  a.arr().push_back(std::move(element));
  return a;
}

TEST(ValueAssignment, TakesAnElementOfItsOwnArray) {
  const std::string longText(40, 'x');  // past the in-place storage of a short text
  for (bool moved : {false, true}) {
    rt::Value v = arrayOf(rt::Value::text(longText));
    if (moved) v = std::move(v.arr()[0]);
    else v = v.arr()[0];
    ASSERT_TRUE(v.isChar()) << moved;
    EXPECT_EQ(v.str(), longText);

    rt::Value rows = arrayOf(arrayOf(rt::Value::integer(7)));  // a row walked down in place
    if (moved) rows = std::move(rows.arr()[0]);
    else rows = rows.arr()[0];
    ASSERT_TRUE(rows.isArray()) << moved;
    EXPECT_EQ(rows.arr()[0].num(), 7);
  }
}

TEST(ValueAssignment, EveryTypeOverEveryType) {
  const rt::Value values[] = {rt::Value(),          rt::Value::text("short"),
                              rt::Value::text(std::string(40, 'y')),
                              rt::Value::number(2.5, 1), rt::Value::date(2460341),
                              rt::Value::logical(true), arrayOf(rt::Value::integer(1)),
                              rt::Value::block(rt::nativeBlock([](std::vector<rt::Value>&) {
                                return rt::Value::integer(3);
                              }))};
  for (const rt::Value& from : values) {
    for (const rt::Value& to : values) {
      rt::Value copied = to, moved = to, source = from;
      copied = from;
      moved = std::move(source);
      for (const rt::Value* v : {&copied, &moved}) {
        ASSERT_EQ(v->type(), from.type());
        if (from.isChar()) {
          EXPECT_EQ(v->str(), from.str());
        }
        if (from.isNum()) {
          EXPECT_EQ(v->num(), from.num());
          EXPECT_EQ(v->decimals(), from.decimals());
        }
        if (from.isDate()) {
          EXPECT_EQ(v->date(), from.date());
        }
        if (from.isLogical()) {
          EXPECT_EQ(v->logical(), from.logical());
        }
        if (from.isArray()) {
          EXPECT_EQ(v->arrPtr(), from.arrPtr());
        }
        if (from.isBlock()) {
          EXPECT_EQ(v->blockPtr(), from.blockPtr());
        }
      }
    }
  }
}

}  // namespace
