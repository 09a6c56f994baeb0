// The upper and lower progress windows.
#include "console/progress.h"

#include "console/window.h"
#include "screen_fixture.h"

namespace {

using contest::ScreenTest;

class Progress : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    palette();
  }
  int filledCells(int row) {
    int n = 0;
    for (int c = 12; c < 12 + 57; ++c) n += h.attrAt(row, c) == attr(39, 7) ? 1 : 0;
    return n;
  }
};

TEST_F(Progress, PercentageAndBarAreTruncated) {
  struct Case {
    double done, total;
    const char* percent;
    int cells;
  } cases[] = {
      {0, 10, "   0 % ", 0},   {5, 10, "  50 % ", 28},  {1, 3, "  33 % ", 19},
      {2, 3, "  66 % ", 38},   {10, 10, " 100 % ", 57}, {11, 10, " 100 % ", 57},
      {1, 0, " 100 % ", 57},   {-1, 10, " -10 % ", 0},
  };
  for (const auto& c : cases) {
    std::string handle = con::INITDBASE();
    EXPECT_EQ(h.textAt(14, 35, 7), "   0 % ");
    EXPECT_TRUE(con::GODBASE(c.done, c.total));
    EXPECT_EQ(h.textAt(14, 35, 7), c.percent) << c.done << "/" << c.total;
    EXPECT_EQ(h.attrAt(14, 35), attr(39, 11));
    EXPECT_EQ(filledCells(16), c.cells) << c.done << "/" << c.total;
    EXPECT_EQ(h.textAt(16, 12, 57), std::string(57, '-'));
    con::ZWIN(handle);
  }
}

TEST_F(Progress, TheBarIsNeverCleared) {
  std::string handle = con::INITPROGRES();
  con::GOPROGRES(8, 10);
  con::GOPROGRES(2, 10);
  EXPECT_EQ(h.textAt(19, 35, 7), "  20 % ");
  EXPECT_EQ(filledCells(21), 45);
  con::ZWIN(handle);
}

TEST_F(Progress, BothWindowsTogetherDoNotOverlap) {
  rt::term::screen().fill(0, 0, 24, 79, '.', rt::term::makeAttr(7, 0));
  std::string before = h.text();
  std::string outer = con::INITDBASE();
  std::string inner = con::INITPROGRES();
  con::GODBASE(1, 2);
  con::GOPROGRES(1, 4);
  EXPECT_EQ(h.textAt(14, 35, 7), "  50 % ");
  EXPECT_EQ(h.textAt(19, 35, 7), "  25 % ");
  EXPECT_EQ(filledCells(16), 28);
  EXPECT_EQ(filledCells(21), 14);
  EXPECT_EQ(outer.substr(0, 8), "14101872");
  EXPECT_EQ(inner.substr(0, 8), "19102372");
  con::ZWIN(inner);
  con::ZWIN(outer);
  EXPECT_EQ(h.text(), before);
}

TEST_F(Progress, RedrawsArePacedOnTheScreensClock) {
  // Seconds the clock moves before each change, and whether that change is drawn at once: the
  // first one, then one at least 50 ms after the last one drawn.
  struct Step {
    double advance;
    bool drawn;
  } steps[] = {{0, true},      {0.01, false}, {0.02, false}, {0.019, false},
               {0.002, true},  {0.049, false}, {0.5, true},  {0.06, true}};
  con::RedrawPace pace;
  int n = 0;
  for (const Step& s : steps) {
    h.advance(s.advance);
    bool due = pace.change();
    EXPECT_EQ(due, s.drawn) << "change " << n;
    if (due) pace.drawn();
    EXPECT_EQ(pace.heldBack(), !s.drawn) << "change " << n;
    ++n;
  }
  pace.drawn();  // the caller shows the state held back, as before its window closes
  EXPECT_FALSE(pace.heldBack());
}

}  // namespace
