// The one rounding routine: halves away from zero on the decimal reading of the double.
#include "runtime/core/rounding.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rt {
namespace {

TEST(RoundHalfAway, RoundsTheDecimalReading) {
  struct Case {
    double value;
    int decimals;
    double expected;
  };
  for (Case c : {Case{85.33 * 0.8, 2, 68.26}, {68.264, 2, 68.26}, {2.675, 2, 2.68},
                 {1.005, 2, 1.01}, {1234.565, 2, 1234.57}, {0.125, 2, 0.13}, {2.5, 0, 3},
                 {-2.5, 0, -3}, {-1.45, 1, -1.5}, {-2.675, 2, -2.68}, {-0.005, 2, -0.01},
                 {-0.004, 2, 0}, {-0.4, 0, 0}, {1250, -2, 1300}, {-1250, -2, -1300},
                 {1234.567, -1, 1230}, {0.5, 0, 1}, {0.04, 0, 0}, {49, -2, 0}, {50, -2, 100},
                 {0.1 + 0.2, 1, 0.3}, {1234, 2, 1234}, {0, 2, 0}, {999.995, 2, 1000},
                 {123456789.125, 2, 123456789.13}, {1e-20, 2, 0}}) {
    EXPECT_DOUBLE_EQ(roundHalfAway(c.value, c.decimals), c.expected)
        << c.value << " to " << c.decimals;
  }
}

TEST(RoundHalfAway, NeverGivesNegativeZero) {
  EXPECT_FALSE(std::signbit(roundHalfAway(-0.004, 2)));
  EXPECT_FALSE(std::signbit(roundHalfAway(-0.4, 0)));
}

TEST(Snap15, ReadsTheDoubleAsItsDecimal) {
  EXPECT_EQ(snap15(85.33 * 0.8), 68.264);
  EXPECT_EQ(snap15(0.1 + 0.2), 0.3);
}

}  // namespace
}  // namespace rt
