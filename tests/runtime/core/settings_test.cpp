// SET settings by number: the defaults the programs rely on and ON/OFF texts.
#include "runtime/core/settings.h"

#include <gtest/gtest.h>

namespace rt {
namespace {

TEST(Settings, DefaultsAndAccessByNumber) {
  Settings s;
  EXPECT_TRUE(s.get(int(SetId::Deleted)).logical());
  EXPECT_FALSE(s.get(int(SetId::Exact)).logical());
  EXPECT_EQ(s.get(int(SetId::DateFormat)).str(), "dd.mm.yyyy");
  EXPECT_EQ(s.get(int(SetId::Epoch)).num(), 1960);
  EXPECT_EQ(s.get(int(SetId::Decimals)).num(), 2);
}

TEST(Settings, SetReturnsThePreviousValueAndReadsOnOff) {
  Settings s;
  EXPECT_FALSE(s.set(9, Value::text("ON")).logical());  // SOFTSEEK
  EXPECT_TRUE(s.softSeek);
  EXPECT_TRUE(s.set(11, Value::text("off")).logical());  // DELETED
  EXPECT_FALSE(s.deleted);
  s.set(27, Value::logical(true));  // CONFIRM
  EXPECT_TRUE(s.confirm);
  s.set(32, Value::text("OFF"));  // SCOREBOARD
  EXPECT_FALSE(s.scoreboard);
  EXPECT_EQ(s.set(4, Value::text("yyyy-mm-dd")).str(), "dd.mm.yyyy");
  EXPECT_EQ(s.dateFormat, "yyyy-mm-dd");
  s.set(5, Value::integer(1950));
  EXPECT_EQ(s.epoch, 1950);
  EXPECT_TRUE(s.set(1, Value()).isLogical());  // NIL only reads
  EXPECT_FALSE(s.exact);
}

TEST(Settings, NumbersWithoutAMemberAreKept) {
  Settings s;
  EXPECT_TRUE(s.get(40).isNil());
  s.set(40, Value::text("ON"));
  EXPECT_EQ(s.get(40).str(), "ON");
}

}  // namespace
}  // namespace rt
