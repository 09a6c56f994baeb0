// Palettes, colour sets, shadows and the screen clear.
#include "console/palette.h"

#include "runtime/core/context.h"
#include "screen_fixture.h"

namespace {

using contest::ScreenTest;
using rt::term::makeAttr;
using rt::term::screen;

class Palette : public ScreenTest {};

TEST_F(Palette, ChoosingByNameIsExactAndFallsBackToKolor0) {
  struct Case {
    const char* wanted;
    bool colour;
    const char* installed;
    bool shadow;
  } cases[] = {
      {"kolor1", true, "KOLOR0", true},          {"  KOLOR2 ", true, "KOLOR2", false},
      {"KOLOR1", true, "KOLOR1", true},          {"KOLOR3", true, "KOLOR3", false},
      {"", true, "KOLOR0", true},                {"BIALOCZARNA1", true, "BIALOCZARNA1", false},
      {"KOLOR1", false, "BIALOCZARNA0", false},  {"BIALOCZARNA1", false, "BIALOCZARNA1", false},
  };
  for (const auto& c : cases) {
    palette(c.wanted, c.colour);
    EXPECT_EQ(con::K_DAJ_PALETE(), c.installed) << c.wanted;
    EXPECT_EQ(con::K_DAJ_CIEN(), c.shadow) << c.wanted;
    EXPECT_FALSE(con::K_DAJ_RAMKI()) << "classic frames after every change";
    EXPECT_EQ(con::paletteState().currentSet, 32);
    EXPECT_EQ(screen().colorString().substr(0, 8),
              rt::term::colorsToString(rt::term::applyColorString(con::standardString(32), {}))
                  .substr(0, 8));
  }
}

TEST_F(Palette, PaletteChangeTellsADeclaredFlag) {
  rt::context().memvars.declarePrivate("nowa_paleta", rt::Value::logical(false));
  palette();
  EXPECT_TRUE(rt::context().memvars.get("nowa_paleta").logical());
  rt::context().memvars.release("nowa_paleta");
}

TEST_F(Palette, SelectingASetAndGivingItBack) {
  palette();
  std::string before = screen().colorString();
  con::ColourState query = con::K_SET_ZESTAW();
  EXPECT_EQ(query.set, 32);
  EXPECT_EQ(query.colours, before);
  EXPECT_EQ(con::paletteState().currentSet, 32);

  con::ColourState saved = con::K_SET_ZESTAW(con::ColourState{38, std::nullopt});
  EXPECT_EQ(con::paletteState().currentSet, 38);
  EXPECT_EQ(screen().colors().standard(), makeAttr(0, 1 + 8));  // "N"/"B*"
  con::K_SET_ZESTAW(saved);
  EXPECT_EQ(con::paletteState().currentSet, 32);
  EXPECT_EQ(screen().colorString(), before);
}

TEST_F(Palette, ColourStringsOfTheSets) {
  palette();
  struct Case {
    std::string got, expected;
  } cases[] = {
      {con::K_SET_KOLOR(0, 36, 1, 22), "W"},
      {con::K_SET_KOLOR(0, 38, 7, std::nullopt), "W+/B*"},
      {con::K_SET_KOLOR(0, 33, std::nullopt, std::nullopt), "W+/N*,W+/N*,,,W+/N*"},
      {con::K_INV(0, 36, 1), "W/N*"},
      {con::K_NORM(0, 38), "N/B*,N/BG*,,,N/W"},
      {con::K_NORM(5, 38), "N/B*,N/BG*,,,N/W"},
      {con::K_NORM_(0, 39), "N/RB,N/BG*,,,N/RB"},
      {con::K_SPEC_MEN(0, 36), "N+/W,GR+/B,,,N/W"},
      {con::K_BOLD(0, 35), "W+/B"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
  // None of those applied anything.
  EXPECT_EQ(con::K_SET_ZESTAW().colours, con::K_SET_KOLOR(0, std::nullopt, std::nullopt,
                                                          std::nullopt));
  palette("BIALOCZARNA0", false);
  EXPECT_EQ(con::K_SET_KOLOR(0, 36, 1, 22), "N");
}

TEST_F(Palette, ApplyingFollowsTheCoArgument) {
  palette();
  std::string start = screen().colorString();
  con::K_NORM(0, 38);
  EXPECT_EQ(screen().colorString(), start);
  EXPECT_EQ(con::K_SET_KOLOR(5, 38, std::nullopt, std::nullopt), start);  // returns the old one
  EXPECT_NE(screen().colorString(), start);
  con::K_NORM();  // the current set (32) again
  EXPECT_EQ(screen().colorString(), start);
  EXPECT_EQ(con::paletteState().currentSet, 32);  // applying another set keeps the current one
}

TEST_F(Palette, NoPaletteOrAnUnknownSetChangesNothing) {
  std::string start = screen().colorString();
  EXPECT_EQ(con::K_NORM(), "");
  EXPECT_EQ(con::K_BOLD(-1, 38), "");
  EXPECT_EQ(con::K_INV(-1, 36, 1), "");
  EXPECT_FALSE(con::K_DAJ_RAMKI(0));
  EXPECT_FALSE(con::K_DAJ_CIEN());
  con::K_CLEAR(1);
  EXPECT_EQ(con::K_SET_ZESTAW(con::ColourState{38, std::nullopt}).set, 32);
  EXPECT_EQ(con::paletteState().currentSet, 32);
  EXPECT_EQ(screen().colorString(), start);

  palette();
  start = screen().colorString();
  EXPECT_EQ(con::K_SET_ZESTAW(con::ColourState{40, std::nullopt}).set, 32);
  EXPECT_EQ(con::paletteState().currentSet, 32);
  EXPECT_EQ(con::K_NORM(-1, 31), "");
  EXPECT_EQ(con::K_SET_KOLOR(-1, 38, 13, std::nullopt), "");
  EXPECT_EQ(con::K_SET_KOLOR(0, 38, 1, 40), "");
  EXPECT_EQ(screen().colorString(), start);
}

TEST_F(Palette, FrameCodeCanBeSetUntilTheNextPaletteChange) {
  palette("KOLOR1");
  EXPECT_TRUE(con::K_DAJ_RAMKI(0));
  EXPECT_TRUE(con::K_DAJ_RAMKI(7));  // anything but 0 and 1 only answers
  EXPECT_FALSE(con::K_DAJ_RAMKI(1));
}

TEST_F(Palette, ShadowStripsStayOnTheScreen) {
  palette();
  const rt::term::Attr grey = makeAttr(7, 0);
  auto shaded = [&](int r, int c) { return h.attrAt(r, c) == grey; };
  screen().fill(0, 0, 24, 79, 'x', makeAttr(15, 1));

  con::K_CIEN(5, 10, 10, 40);
  for (int r = 6; r <= 10; ++r) EXPECT_TRUE(shaded(r, 41) && shaded(r, 42)) << r;
  EXPECT_FALSE(shaded(5, 41));
  for (int c = 12; c <= 42; ++c) EXPECT_TRUE(shaded(11, c)) << c;
  EXPECT_FALSE(shaded(11, 11));
  EXPECT_EQ(h.line(11)[20], 'x');  // the characters stay

  screen().fill(0, 0, 24, 79, 'x', makeAttr(15, 1));
  con::K_CIEN(5, 10, 10, 78);
  EXPECT_TRUE(shaded(6, 79));
  EXPECT_TRUE(shaded(11, 79));
  screen().fill(0, 0, 24, 79, 'x', makeAttr(15, 1));
  con::K_CIEN(5, 10, 22, 79);
  for (int r = 0; r < 25; ++r)
    for (int c = 0; c < 80; ++c) ASSERT_FALSE(shaded(r, c)) << r << "," << c;
  con::K_CIEN(5, 10, 10, 40, false);
  EXPECT_FALSE(shaded(6, 41));
}

TEST_F(Palette, ClearWithTheBackgroundTile) {
  palette();
  screen().setCursor(7, 9);
  con::K_CLEAR(1);
  EXPECT_EQ(h.line(1).substr(0, 20), "    Torv Zefiron    ");
  EXPECT_EQ(h.line(3).substr(0, 20), "Zefiron        Torv ");
  EXPECT_EQ(h.line(21).substr(60, 20), "    Torv Zefiron    ");
  EXPECT_EQ(h.line(23).substr(40, 20), "Zefiron        Torv ");
  EXPECT_EQ(h.line(24), std::string(80, ' '));
  EXPECT_EQ(h.attrAt(1, 4), attr(32, 9));   // the words in the window pair
  EXPECT_EQ(h.attrAt(0, 0), attr(32, 1));   // the rest in the standard pair
  EXPECT_EQ(h.attrAt(24, 5), attr(32, 1));
  EXPECT_EQ(screen().row(), 7);
  EXPECT_EQ(screen().col(), 9);
}

}  // namespace
