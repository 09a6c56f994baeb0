// The one rounding routine: halves away from zero on the decimal reading of the double.
#include "runtime/core/rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "runtime/core/std_convert.h"

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

// The 15-digit reading through the formatted print and strtod: the reference of snap15.
double snappedByPrint(double v) {
  if (!std::isfinite(v) || v == 0) return v;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", v);
  return std::strtod(buf, nullptr);
}

// The rounding on the decimal text alone, through the formatted print: the reference the routine
// must agree with, bit for bit.
double roundedByDigits(double v, int decimals) {
  if (!std::isfinite(v) || v == 0) return v;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
  int exponent = std::atoi(std::strchr(buf, 'e') + 1);
  char digits[16];
  int n = 0;
  for (const char* p = buf; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits[n++] = *p;
  int keep = exponent + decimals + 1;
  if (keep >= n) return v < 0 ? -snappedByPrint(-v) : snappedByPrint(v);
  if (keep < 0) return 0.0;
  double mantissa = 0;
  for (int k = 0; k < keep; ++k) mantissa = mantissa * 10 + (digits[k] - '0');
  if (digits[keep] >= '5') mantissa += 1;
  char out[64];
  std::snprintf(out, sizeof out, "%.0fe%d", mantissa, -decimals);
  double r = std::strtod(out, nullptr);
  if (r == 0) return 0.0;
  return v < 0 ? -r : r;
}

// Amounts in cents, amounts worked on (products, quotients, sums), days and wide or tiny values,
// at 0 to 4 places and now and then more: the routine, its quick way for values already at their
// places included, gives the same rounding and the same text as the formatted print would.
TEST(RoundHalfAway, AgreesWithTheFormattedPrint) {
  std::mt19937_64 gen(2026);
  std::uniform_int_distribution<int64_t> cents(-1000000000, 1000000000);
  std::uniform_real_distribution<double> factor(0, 2);
  for (int i = 0; i < 60000; ++i) {
    double amount = double(cents(gen)) / 100;
    double values[] = {amount, amount * 0.8, amount / 30, amount * factor(gen),
                       std::round(amount) + 0.5, amount * 1e6, amount / 1e7, double(i % 32)};
    for (double v : values) {
      int decimals = i % 7 == 6 ? int(gen() % 16) : i % 5;
      double quick = roundHalfAway(v, decimals), digits = roundedByDigits(v, decimals);
      ASSERT_EQ(std::memcmp(&quick, &digits, sizeof quick), 0) << v << " to " << decimals;
      int tens = -int(gen() % 6);  // to tens, hundreds...
      double quickTens = roundHalfAway(v, tens), digitsTens = roundedByDigits(v, tens);
      ASSERT_EQ(std::memcmp(&quickTens, &digitsTens, sizeof quickTens), 0) << v << " to " << tens;
      double snapped = snap15(v), printed15 = snappedByPrint(v);
      ASSERT_EQ(std::memcmp(&snapped, &printed15, sizeof snapped), 0) << v;
      char printed[400];
      std::snprintf(printed, sizeof printed, "%.*f", decimals, std::fabs(digits));
      bool minus = digits < 0 && std::strspn(printed, "0.") != std::strlen(printed);
      ASSERT_EQ(formatNumber(v, 60, decimals),
                std::string(60 - std::strlen(printed) - minus, ' ') + (minus ? "-" : "") + printed)
          << v << " to " << decimals;
      ASSERT_EQ(trimmedStrOf(v, decimals), (minus ? "-" : "") + std::string(printed)) << v << " to " << decimals;
    }
  }
}

TEST(Snap15, ReadsTheDoubleAsItsDecimal) {
  EXPECT_EQ(snap15(85.33 * 0.8), 68.264);
  EXPECT_EQ(snap15(0.1 + 0.2), 0.3);
}

}  // namespace
}  // namespace rt
