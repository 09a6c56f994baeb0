// Colour strings: pairs to attributes, slots kept by empty pairs, the normalised text back.
#include <gtest/gtest.h>

#include "runtime/term/color.h"
#include "runtime/term/headless.h"
#include "runtime/term/terminal.h"

namespace rt::term {
namespace {

TEST(ColorPair, ParsesLettersModifiersAndDigits) {
  struct Case {
    const char* text;
    int fore, back;
  };
  const Case cases[] = {
      {"W/N", 7, 0},     {"W+/B", 15, 1},   {"n/w", 0, 7},     {"GR+/N", 14, 0},
      {"BG/R", 3, 4},    {"RB+/G", 13, 2},  {"N/W*", 0, 15},   {"W*/B", 7, 9},
      {"+W/B", 15, 1},   {"GR+/B*", 14, 9}, {"15/1", 15, 1},   {"7", 7, 0},
      {"I", 0, 7},       {"X", 0, 0},       {"U/N", 1, 0},     {" W / B ", 7, 1},
      {"N+/N", 8, 0},    {"/B", 0, 1},      {"RG/N", 6, 0},
  };
  for (const Case& c : cases) {
    Attr a = 0xEE;
    EXPECT_TRUE(parseColorPair(c.text, a)) << c.text;
    EXPECT_EQ(a, makeAttr(c.fore, c.back)) << c.text << " gave " << attrToColorPair(a);
  }
  Attr a = 0x11;
  EXPECT_FALSE(parseColorPair("", a));
  EXPECT_FALSE(parseColorPair("  ", a));
  EXPECT_FALSE(parseColorPair("Q/N", a));
  EXPECT_EQ(a, 0x11);
}

TEST(ColorString, EmptyPairsKeepTheirSlots) {
  Colors base = applyColorString("W/N,N/W,N/N,N/N,N/W", Colors{});
  Colors c = applyColorString("W+/B,,,,GR/N", base);
  EXPECT_EQ(c.standard(), makeAttr(15, 1));
  EXPECT_EQ(c.enhanced(), makeAttr(0, 7));
  EXPECT_EQ(c.unselected(), makeAttr(6, 0));
  c = applyColorString("R/W", c);  // only the standard pair changes
  EXPECT_EQ(c.standard(), makeAttr(4, 7));
  EXPECT_EQ(c.unselected(), makeAttr(6, 0));
  c = applyColorString(",B/W,,,,,,extra", c);
  EXPECT_EQ(c.enhanced(), makeAttr(1, 7));
}

TEST(ColorString, NormalisedTextRoundTrips) {
  Colors c = applyColorString("w+/b,n/w*,GR+/RB,,BG/N", Colors{});
  std::string text = colorsToString(c);
  EXPECT_EQ(text, "W+/B,N/W*,GR+/RB,N/N,BG/N");
  EXPECT_EQ(applyColorString(text, Colors{}), c);
  EXPECT_EQ(colorsToString(Colors{}), kDefaultColorString);
}

TEST(ColorString, FirstPairForOneOutput) {
  EXPECT_EQ(firstPairAttr("GR+/R,W/N", 7), makeAttr(14, 4));
  EXPECT_EQ(firstPairAttr(",W/N", 0x1F), 0x1F);
  EXPECT_EQ(firstPairAttr("", 0x1F), 0x1F);
}

TEST(ColorString, SetColorReturnsPreviousString) {
  Headless h;
  EXPECT_EQ(screen().setColorString("W+/B,N/W,,,W/N"), "W/N,N/W,N/N,N/N,N/W");
  EXPECT_EQ(screen().setColorString("R/N"), "W+/B,N/W,N/N,N/N,W/N");
  EXPECT_EQ(screen().colorString(), "R/N,N/W,N/N,N/N,W/N");
}

}  // namespace
}  // namespace rt::term
