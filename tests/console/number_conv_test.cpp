// Digit strings, byte strings and the generator.
#include "console/number_conv.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct CtonCase {
  const char* digits;
  double base;
  double expected;
};

TEST(NumberConv, CtonReadsDigitsOfTheBaseOnly) {
  const CtonCase cases[] = {
      {"FF", 16, 255}, {"ff", 16, 0},   {"102", 2, 0},   {" 12 ", 10, 12}, {"Z", 36, 35},
      {"-5", 10, 0},   {"", 10, 0},     {"1 2", 10, 0},  {"0", 1, 0},      {"1", 1, 0},
      {"ZZ", 40, 35 * 40 + 35},        {"777", 8, 511}, {"G", 16, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(con::CTON(c.digits, c.base), c.expected) << c.digits << " base " << c.base;
}

struct NtocCase {
  double number, base;
  std::optional<double> width;
  const char* expected;
};

TEST(NumberConv, NtocWritesDigitsWithoutLeadingZeros) {
  const NtocCase cases[] = {
      {255, 16, {}, "FF"},
      {10, 36, {}, "A"},
      {0, 2, {}, ""},
      {5, 2, 8, "     101"},
      {255, 16, 1, "FF"},
      {-3, 10, 4, "    "},
      {0, 10, 3, "   "},
      // A base below 2 would never finish; it answers an empty (padded) text.
      {12, 1, {}, ""},
      {12, 0, 2, "  "},
      {12, -4, {}, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(con::NTOC(c.number, c.base, c.width), c.expected) << c.number << " base " << c.base;
}

TEST(NumberConv, N2binWritesBigEndianBytesOfAtLeastTheWidth) {
  EXPECT_EQ(con::N2BIN(258, 2), std::string("\x01\x02", 2));
  EXPECT_EQ(con::N2BIN(0, 2), std::string("\x00\x00", 2));
  EXPECT_EQ(con::N2BIN(65, 4), std::string("\x00\x00\x00\x41", 4));
  EXPECT_EQ(con::N2BIN(std::string_view("0102"), 1), std::string("\x01\x02", 2));  // not cut
  // An odd digit count leaves the first digit as a byte of its own.
  EXPECT_EQ(con::N2BIN(std::string_view("102"), 1), std::string("\x01\x02", 2));
}

TEST(NumberConv, Bin2nInvertsN2binForEveryWholeNumberOfTheWidth) {
  EXPECT_EQ(con::BIN2N(std::string("\x01\x02", 2)), 258);
  EXPECT_EQ(con::BIN2N(""), 0);
  for (double n = 0; n < 65536; n += 1) ASSERT_EQ(con::BIN2N(con::N2BIN(n, 2)), n) << n;
  EXPECT_EQ(con::BIN2N(con::N2BIN(4294967295.0, 4)), 4294967295.0);
}

TEST(NumberConv, RandomFollowsTheRecurrenceFromItsSeed) {
  con::RandomSeed gen;
  gen.set(12345.67);
  double seed = 12345.67;
  for (int i = 0; i < 5; ++i) {
    seed = std::fmod(seed * 31415621.0 + 1.0, 100000000.0);
    EXPECT_DOUBLE_EQ(gen.next(10), 10 * (seed / 100000000.0));
  }
}

TEST(NumberConv, RandomSeedsFromTheClockOnFirstUse) {
  con::RandomSeed gen;
  EXPECT_FALSE(gen.seed().has_value());
  double v = gen.next(100);
  EXPECT_GE(v, 0);
  EXPECT_LT(v, 100);
  EXPECT_TRUE(gen.seed().has_value());
}

}  // namespace
