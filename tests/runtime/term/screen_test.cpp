// Screen output, boxes, saved rectangles, scrolling and buffered output, read back headless.
#include <gtest/gtest.h>

#include "runtime/term/headless.h"
#include "runtime/term/terminal.h"
#include "runtime/term/testing/screen_check.h"

namespace rt::term {
namespace {

using testing::attrsAre;
using testing::rowsAre;
using testing::screenIs;

constexpr Attr kWhiteOnBlue = makeAttr(15, 1);
constexpr Attr kYellowOnRed = makeAttr(14, 4);

TEST(Screen, SayWritesTextInColourAndLeavesCursorAfterIt) {
  Headless h;
  screen().say(2, 5, "Hello", kWhiteOnBlue);
  EXPECT_TRUE(rowsAre(h, 2, {"     Hello"}));
  EXPECT_TRUE(attrsAre(h, 2, 5, 5, kWhiteOnBlue));
  EXPECT_TRUE(attrsAre(h, 2, 10, 1, makeAttr(7, 0)));
  EXPECT_EQ(screen().row(), 2);
  EXPECT_EQ(screen().col(), 10);
  EXPECT_EQ(h.cursorRow(), 2);
  EXPECT_EQ(h.cursorCol(), 10);
  screen().out("!", kWhiteOnBlue);
  EXPECT_TRUE(rowsAre(h, 2, {"     Hello!"}));
}

TEST(Screen, PolishLettersAndBoxCharactersReadBackInUtf8) {
  Headless h;
  screen().say(1, 0, std::string("\xDA\xC4 Zasi\x88\x65k \xA5\xBE\xA9 \xC4\xBF"), 7);
  EXPECT_EQ(h.lineUtf8(1), "┌─ Zasiłek ążę ─┐");
  EXPECT_EQ(h.textUtf8(), "\n┌─ Zasiłek ążę ─┐" + std::string(23, '\n'));
}

TEST(Screen, OutputIsClippedAtEveryEdge) {
  Headless h;
  screen().say(0, 76, "abcdefg", kWhiteOnBlue);
  screen().put(-1, 0, "never", kWhiteOnBlue);
  screen().put(25, 0, "never", kWhiteOnBlue);
  screen().put(3, -2, "xyz", kWhiteOnBlue);
  EXPECT_TRUE(screenIs(h, {std::string(76, ' ') + "abcd", "", "", "z"}));
  // The cursor keeps the column past the edge, as COL() reads it.
  EXPECT_EQ(screen().col(), 83);
}

TEST(Screen, BoxDrawsFrameAndFillAndPutsCursorInside) {
  Headless h;
  screen().box(1, 2, 4, 8, std::string(kSingleFrame) + ".", kYellowOnRed);
  EXPECT_TRUE(screenIs(h, {"", "  ┌─────┐", "  │.....│", "  │.....│", "  └─────┘"}));
  EXPECT_TRUE(attrsAre(h, 1, 2, 7, kYellowOnRed));
  EXPECT_TRUE(attrsAre(h, 3, 3, 5, kYellowOnRed));
  EXPECT_EQ(screen().row(), 2);
  EXPECT_EQ(screen().col(), 3);
}

TEST(Screen, BoxWithoutFillKeepsInsideAndHandlesDegenerateShapes) {
  Headless h;
  screen().put(2, 3, "keep", makeAttr(7, 0));
  screen().box(1, 1, 3, 8, kDoubleFrame, kWhiteOnBlue);
  screen().box(5, 0, 5, 3, kSingleFrame, kWhiteOnBlue);   // one row: a line
  screen().box(7, 0, 9, 0, kSingleFrame, kWhiteOnBlue);   // one column: a line
  screen().box(11, 5, 12, 0, "12345678", kWhiteOnBlue);   // corners given in reverse
  EXPECT_TRUE(screenIs(h, {"", " ╔══════╗", " ║ keep ║", " ╚══════╝", "", "────", "", "│", "│", "│",
                           "", "122223", "766665"}));
  EXPECT_TRUE(attrsAre(h, 2, 3, 4, makeAttr(7, 0)));
}

TEST(Screen, BoxReachingPastTheScreenIsClipped) {
  Headless h;
  screen().box(22, 75, 26, 84, kSingleFrame, kWhiteOnBlue);
  EXPECT_TRUE(rowsAre(h, 22, {std::string(75, ' ') + "┌────", std::string(75, ' ') + "│",
                              std::string(75, ' ') + "│"}));
}

TEST(Screen, SaveAndRestoreRoundTripWithColours) {
  Headless h;
  screen().say(5, 10, "under", kYellowOnRed);
  std::string saved = screen().save(4, 9, 6, 16);
  ASSERT_EQ(saved.size(), 3u * 8u * 2u);
  screen().box(4, 9, 6, 16, std::string(kSingleFrame) + " ", kWhiteOnBlue);
  EXPECT_TRUE(rowsAre(h, 4, {"         ┌──────┐"}));
  screen().restore(4, 9, 6, 16, saved);
  EXPECT_TRUE(screenIs(h, {"", "", "", "", "", "          under"}));
  EXPECT_TRUE(attrsAre(h, 5, 10, 5, kYellowOnRed));
  EXPECT_TRUE(attrsAre(h, 5, 9, 1, makeAttr(7, 0)));
}

// A window with a shadow saves two columns and a row beyond its frame, which may lie off the
// screen; restoring it must put back exactly what was visible and nothing else.
TEST(Screen, SaveAndRestoreBeyondTheEdgeAreAlike) {
  struct Case {
    int top, left, bottom, right;
  };
  const Case cases[] = {{20, 70, 25, 81}, {-2, -3, 2, 4}, {0, 0, 24, 79}, {23, 78, 30, 90}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.top << "," << c.left << "," << c.bottom << "," << c.right);
    Headless h;
    for (int r = 0; r < kScreenRows; ++r)
      screen().put(r, 0, std::string(kScreenCols, char('A' + r)), makeAttr(r % 16, 0));
    std::vector<std::string> before = h.lines();
    std::string saved = screen().save(c.top, c.left, c.bottom, c.right);
    EXPECT_EQ(saved.size(), size_t((c.bottom - c.top + 1) * (c.right - c.left + 1) * 2));
    screen().fill(0, 0, 24, 79, '#', kWhiteOnBlue);
    screen().restore(c.top, c.left, c.bottom, c.right, saved);
    for (int r = 0; r < kScreenRows; ++r)
      for (int col = 0; col < kScreenCols; ++col) {
        bool inside = r >= c.top && r <= c.bottom && col >= c.left && col <= c.right;
        ASSERT_EQ(h.line(r)[size_t(col)], inside ? before[size_t(r)][size_t(col)] : '#')
            << "row " << r << " col " << col;
      }
  }
}

TEST(Screen, RestoreWithShortStringRestoresWhatItHas) {
  Headless h;
  screen().restore(0, 0, 1, 79, std::string("A\x07" "B\x1f" "C", 5));
  EXPECT_TRUE(rowsAre(h, 0, {"AB", ""}));
  EXPECT_TRUE(attrsAre(h, 0, 1, 1, makeAttr(15, 1)));
}

TEST(Screen, ScrollMovesRegionAndBlanksUncoveredCells) {
  struct Case {
    int vert, horiz;
    std::vector<std::string> rows;  // rows 1..3 after scrolling the box 1,1..3,4
  };
  const Case cases[] = {
      {1, 0, {"x2222y", "x3333y", "x    y"}},
      {-1, 0, {"x    y", "x1111y", "x2222y"}},
      {0, 1, {"x111 y", "x222 y", "x333 y"}},
      {0, -2, {"x  11y", "x  22y", "x  33y"}},
      {0, 0, {"x    y", "x    y", "x    y"}},
      {5, 0, {"x    y", "x    y", "x    y"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.vert << "/" << c.horiz);
    Headless h;
    for (int r = 1; r <= 3; ++r) screen().put(r, 0, "x" + std::string(4, char('0' + r)) + "y", 7);
    screen().scroll(1, 1, 3, 4, c.vert, c.horiz, kWhiteOnBlue);
    EXPECT_TRUE(rowsAre(h, 1, c.rows));
  }
  Headless h;
  screen().scroll(0, 0, 0, 3, 1, 0, kWhiteOnBlue);
  EXPECT_TRUE(attrsAre(h, 0, 0, 4, kWhiteOnBlue));
}

TEST(Screen, ClearUsesStandardColourAndHomesCursor) {
  Headless h;
  screen().say(10, 10, "text", 7);
  screen().setColorString("GR+/B");
  screen().clear();
  EXPECT_TRUE(screenIs(h, {}));
  EXPECT_TRUE(attrsAre(h, 24, 0, 80, makeAttr(14, 1)));
  EXPECT_EQ(h.cursorRow(), 0);
  EXPECT_EQ(h.cursorCol(), 0);
}

TEST(Screen, ClearAreaAndRecolor) {
  Headless h;
  screen().setColorString("W/B");
  screen().put(0, 0, "abcdef", makeAttr(7, 0));
  screen().put(1, 0, "ghijkl", makeAttr(7, 0));
  screen().clearArea(0, 1, 0, 2);
  EXPECT_EQ(screen().row(), 0);
  EXPECT_EQ(screen().col(), 1);
  screen().recolor(1, 4, 3, 100, makeAttr(8, 0));
  EXPECT_TRUE(rowsAre(h, 0, {"a  def", "ghijkl"}));
  EXPECT_TRUE(attrsAre(h, 0, 1, 2, makeAttr(7, 1)));
  EXPECT_TRUE(attrsAre(h, 1, 4, 76, makeAttr(8, 0)));
  EXPECT_TRUE(attrsAre(h, 1, 3, 1, makeAttr(7, 0)));
}

TEST(Screen, DispBeginDefersDrawingUntilOutermostEnd) {
  Headless h;
  int flushes = h.flushes();
  screen().dispBegin();
  screen().say(0, 0, "one", 7);
  screen().dispBegin();
  screen().say(1, 0, "two", 7);
  EXPECT_EQ(screen().dispCount(), 2);
  screen().dispEnd();
  EXPECT_EQ(screen().dispCount(), 1);
  EXPECT_TRUE(screenIs(h, {}));  // nothing shown yet
  EXPECT_EQ(h.flushes(), flushes);
  screen().dispEnd();
  EXPECT_TRUE(screenIs(h, {"one", "two"}));
  EXPECT_EQ(h.flushes(), flushes + 1);
  screen().dispEnd();  // an unmatched end does no harm
  EXPECT_EQ(screen().dispCount(), 0);
}

TEST(Screen, RefreshSendsOnlyChangedSpan) {
  Headless h;
  screen().say(3, 0, std::string(80, 'a'), 7);
  long before = h.cellsDrawn();
  screen().put(3, 40, "bcd", 7);
  EXPECT_EQ(h.cellsDrawn() - before, 3);
  before = h.cellsDrawn();
  screen().put(3, 40, "bcd", 7);  // no change, nothing drawn
  EXPECT_EQ(h.cellsDrawn() - before, 0);
  screen().invalidate();
  screen().refresh();
  EXPECT_EQ(h.cellsDrawn() - before, 25 * 80);
}

TEST(Screen, CursorShapeAndOffScreenCursor) {
  Headless h;
  screen().setCursorShape(CursorShape::Insert);
  screen().setCursor(4, 7);
  EXPECT_EQ(h.cursorShape(), CursorShape::Insert);
  EXPECT_EQ(h.cursorRow(), 4);
  screen().setCursor(30, 7);
  EXPECT_EQ(screen().row(), 30);
  EXPECT_EQ(h.cursorShape(), CursorShape::None);  // hidden while off the screen
}

TEST(Screen, StateGuardRestoresColoursAndCursor) {
  Headless h;
  screen().setColorString("W+/B");
  screen().setCursor(3, 4);
  {
    ScreenStateGuard guard;
    screen().setColorString("R/W");
    screen().setCursor(10, 10);
    screen().setCursorShape(CursorShape::None);
  }
  EXPECT_EQ(screen().colors().standard(), makeAttr(15, 1));
  EXPECT_EQ(screen().row(), 3);
  EXPECT_EQ(screen().col(), 4);
  EXPECT_EQ(screen().cursorShape(), CursorShape::Normal);
}

TEST(Screen, MonochromeSwitchReachesBackEndAndRedraws) {
  Headless h;
  EXPECT_TRUE(h.colorMode());
  long before = h.cellsDrawn();
  screen().setIsColor(false);
  EXPECT_FALSE(screen().isColor());
  EXPECT_FALSE(h.colorMode());
  EXPECT_EQ(h.cellsDrawn() - before, 25 * 80);
}

}  // namespace
}  // namespace rt::term
