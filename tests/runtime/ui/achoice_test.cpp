// The list choice on the headless screen.
#include "runtime/ui/achoice.h"

#include <gtest/gtest.h>

#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"

namespace rt::ui {
namespace {

using namespace rt::term;

class AChoiceTest : public ::testing::Test {
 protected:
  std::vector<std::string> texts = {"Alfa", "Beta", "Gamma", "Delta", "Dana"};
  std::vector<bool> allowed = {true, false, true, true, true};
  ChoiceItems items() {
    ChoiceItems i = ChoiceItems::of(texts);
    i.selectable = [this](size_t k) { return allowed[k]; };
    return i;
  }
  Headless screen_;
};

TEST_F(AChoiceTest, ArrowsSkipWhatCannotBeChosenAndLettersSearch) {
  screen().setColorString("W/B,N/W,,,R/B");
  ChoiceItems list = items();
  screen_.keys({K_DOWN, 'd', 'd', 'd', K_ENTER});
  EXPECT_EQ(achoice(5, 10, 9, 19, list), 4);  // Gamma, Delta, Dana, Delta again
  EXPECT_EQ(screen_.textAt(5, 10, 10), "Alfa      ");
  EXPECT_EQ(screen_.attrAt(6, 10), screen().colors().unselected());
  EXPECT_EQ(screen_.attrAt(8, 10), screen().colors().enhanced());
  EXPECT_EQ(screen_.cursorRow(), 8);
}

TEST_F(AChoiceTest, WithoutHandlerEscLeftAndRightGiveZero) {
  ChoiceItems list = items();
  for (int key : {K_ESC, K_LEFT, K_RIGHT}) {
    screen_.keys({key});
    EXPECT_EQ(achoice(0, 0, 4, 9, list), 0) << key;
  }
}

TEST_F(AChoiceTest, HandlerGetsModesItemAndRow) {
  ChoiceItems list = items();
  struct Call {
    int mode, item, row;
    bool operator==(const Call&) const = default;
  };
  std::vector<Call> calls;
  screen_.keys({K_UP, K_DOWN, K_END, K_DOWN, 'x', K_ENTER});
  int chosen = achoice(0, 0, 2, 9, list, [&](int mode, int item, int row) {
    calls.push_back({mode, item, row});
    return keyboard().lastKey() == K_ENTER ? int(kAcSelect) : int(kAcContinue);
  });
  EXPECT_EQ(chosen, 5);
  std::vector<Call> expected = {{kAcHitTop, 1, 0}, {kAcIdle, 3, 2},      {kAcIdle, 5, 2},
                                {kAcHitBottom, 5, 2}, {kAcException, 5, 2}, {kAcException, 5, 2}};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(screen_.textAt(0, 0, 5), "Gamma");  // scrolled so that the last item shows
}

TEST_F(AChoiceTest, InitialItemAndRowPlaceTheWindow) {
  std::vector<std::string> months;
  for (int m = 1; m <= 12; ++m) months.push_back("M" + std::to_string(m));
  ChoiceItems list = ChoiceItems::of(months);
  screen_.keys({K_ESC});
  achoice(3, 0, 7, 5, list, {}, 8, 2);
  EXPECT_EQ(screen_.textAt(3, 0, 3), "M6 ");
  EXPECT_EQ(screen_.textAt(5, 0, 3), "M8 ");
  EXPECT_EQ(screen_.attrAt(5, 0), screen().colors().enhanced());

  // Near the end the window is not left half empty.
  screen_.keys({K_ESC});
  achoice(3, 0, 7, 5, list, {}, 12, 0);
  EXPECT_EQ(screen_.textAt(3, 0, 3), "M8 ");
  EXPECT_EQ(screen_.textAt(7, 0, 3), "M12");
}

TEST_F(AChoiceTest, HandlerGotoSearchesByTheLastKey) {
  ChoiceItems list = items();
  screen_.keys({'d', 'd', K_ESC});
  int lastItem = 0;
  achoice(0, 0, 4, 9, list, [&](int mode, int item, int) {
    lastItem = item;
    if (keyboard().lastKey() == K_ESC) return int(kAcAbort);
    return mode == kAcException ? int(kAcGoto) : int(kAcContinue);
  });
  EXPECT_EQ(lastItem, 5);  // 'd' went to Delta, the second 'd' to Dana
}

TEST_F(AChoiceTest, NothingSelectableAsksTheHandlerWithNoItem) {
  allowed = {false, false, false, false, false};
  ChoiceItems list = items();
  EXPECT_EQ(achoice(0, 0, 4, 9, list), 0);
  int mode = -1;
  EXPECT_EQ(achoice(0, 0, 4, 9, list, [&](int m, int, int) { mode = m; return int(kAcAbort); }), 0);
  EXPECT_EQ(mode, kAcNoItem);
}

}  // namespace
}  // namespace rt::ui
