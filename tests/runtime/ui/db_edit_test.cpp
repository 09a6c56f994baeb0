// The table browse with a key handler, over rows of an array, on the headless screen.
#include "runtime/ui/db_edit.h"

#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/std_functions.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/term/testing/screen_check.h"

namespace rt::ui {
namespace {

using namespace rt::term;

struct Person {
  std::string name;
  double amount;
};

class DbEditTest : public ::testing::Test {
 protected:
  void SetUp() override { registerStandardFunctions(); }

  // Columns "Name" and "Amount" over `rows`, in the window rows 2..top+7, columns 0..29.
  Browse makeBrowse(IndexSource& source, int bottom = 7, int right = 29) {
    Browse b(2, 0, bottom, right, source);
    b.headSep = "\xC4\xC2\xC4";
    b.addColumn({"Name", [this, &source] { return Value::text(rows[source.current()].name); }, "", 0});
    b.addColumn({"Amount", [this, &source] { return Value::number(rows[source.current()].amount, 2); },
                 "99999.99", 0});
    return b;
  }

  std::vector<Person> rows = {{"Anna  ", 10}, {"Bogna ", 20.5}, {"Celina", 30},
                              {"Dorota", 40}, {"Ewa   ", 50}, {"Fryda ", 60}};
  Headless screen_;
};

TEST_F(DbEditTest, DrawsHeadingsSeparatorAndRows) {
  IndexSource source(rows.size());
  Browse b = makeBrowse(source);
  b.stabilize();
  // Headings stand over their columns (numbers to the right); the separator line has a tee
  // where the column separator runs down.
  EXPECT_TRUE(testing::rowsAre(screen_, 2,
                               {"Name       Amount",
                                "───────┬──────────────────────",
                                "Anna   │    10.00",
                                "Bogna  │    20.50",
                                "Celina │    30.00",
                                "Dorota │    40.00",
                                ""}));
  // The current cell (first column of the first row) is highlighted.
  EXPECT_EQ(screen_.attrAt(4, 0), b.enhancedAttr);
  EXPECT_EQ(screen_.attrAt(4, 9), b.standardAttr);
}

TEST_F(DbEditTest, HandlerSeesModesAndEndsTheBrowse) {
  IndexSource source(rows.size());
  Browse b = makeBrowse(source);
  std::vector<int> modes;
  screen_.keys({K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_UP, K_CTRL_PGUP, K_UP, 'x', K_ESC});
  dbEdit(b, [&](int mode, int) {
    modes.push_back(mode);
    return keyboard().lastKey() == K_ESC ? kDeAbort : kDeContinue;
  });
  std::vector<int> expected = {kDeIdle, kDeIdle, kDeIdle, kDeIdle, kDeIdle, kDeIdle, kDeHitBottom,
                               kDeIdle, kDeIdle, kDeHitTop, kDeException, kDeException};
  EXPECT_EQ(modes, expected);
  EXPECT_EQ(source.current(), 0u);
}

TEST_F(DbEditTest, ScrollsWhenTheCursorPassesTheLastRow) {
  IndexSource source(rows.size());
  Browse b = makeBrowse(source);
  screen_.keys({K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_ESC});
  dbEdit(b, {});
  EXPECT_EQ(screen_.textAt(4, 0, 6), "Celina");
  EXPECT_EQ(screen_.textAt(7, 0, 6), "Fryda ");
  EXPECT_EQ(b.rowPos(), 3);
  EXPECT_EQ(screen_.attrAt(7, 0), b.enhancedAttr);
}

TEST_F(DbEditTest, CtrlWIsReportedIdleAndCanEndTheBrowse) {
  IndexSource source(rows.size());
  Browse b = makeBrowse(source);
  int calls = 0;
  screen_.keys({K_DOWN, K_CTRL_W});
  dbEdit(b, [&](int mode, int column) {
    ++calls;
    if (mode == kDeIdle && keyboard().lastKey() == K_CTRL_W) {
      EXPECT_EQ(column, 2);  // Ctrl+End went to the last column
      return int(kDeAbort);
    }
    return int(kDeContinue);
  });
  EXPECT_EQ(calls, 3);
}

TEST_F(DbEditTest, HandlerThatMovesTheSourceIsFollowedAndRefreshRereads) {
  IndexSource source(rows.size());
  Browse b = makeBrowse(source);
  screen_.keys({'e', K_ENTER, K_ESC});
  dbEdit(b, [&](int mode, int) {
    if (mode != kDeException) return int(kDeContinue);
    switch (keyboard().lastKey()) {
      case 'e': source.goTo(4); return int(kDeContinue);  // a seek by the handler
      case K_ENTER:
        rows[4].name = "Edyta";
        return int(kDeRefresh);
      default: return int(kDeAbort);
    }
  });
  EXPECT_EQ(source.current(), 4u);
  EXPECT_EQ(screen_.textAt(4 + b.rowPos(), 0, 5), "Edyta");
  EXPECT_EQ(screen_.attrAt(4 + b.rowPos(), 0), b.enhancedAttr);
}

TEST_F(DbEditTest, EmptySourceReportsEmptyThenEveryKeyAsException) {
  IndexSource source(0);
  Browse b = makeBrowse(source);
  std::vector<int> modes;
  screen_.keys({K_DOWN, K_ESC});
  dbEdit(b, [&](int mode, int) {
    modes.push_back(mode);
    return keyboard().lastKey() == K_ESC ? kDeAbort : kDeContinue;
  });
  EXPECT_EQ(modes, (std::vector<int>{kDeEmpty, kDeException, kDeException}));
  // Columns as wide as their headings and pictures, drawn without rows.
  EXPECT_EQ(screen_.textAt(4, 0, 17), "     \xB3           ");
}

TEST_F(DbEditTest, DateColumnsOfAnEmptySourceAreAsWideAsADate) {
  IndexSource source(0);
  Browse b(2, 0, 7, 29, source);
  b.headSep = "\xC4\xC2\xC4";
  b.addColumn({"Od", [] { return Value::date(0); }, "@D", 0});
  b.addColumn({"X", [] { return Value::text("x"); }, "", 0});
  b.stabilize();
  // Ten columns of date ("dd.mm.yyyy"), then the separator.
  EXPECT_EQ(screen_.textAt(4, 0, 12), std::string(10, ' ') + " \xB3");
}

TEST_F(DbEditTest, ColumnsBeyondTheWidthScrollSideways) {
  IndexSource source(rows.size());
  Browse b(0, 0, 5, 19, source);
  b.colSep = "|";
  for (const char* h : {"One", "Two", "Three"})
    b.addColumn({h, [h] { return Value::text(std::string(h) + "......"); }, "", 9});
  b.stabilize();
  EXPECT_TRUE(testing::rowsAre(screen_, 0, {"One       Two", "─────────┬──────────", "One......|Two......"}));
  b.right();
  b.right();
  b.stabilize();
  EXPECT_EQ(b.leftColumn(), 1);
  EXPECT_TRUE(testing::rowsAre(screen_, 0, {"Two       Three", "─────────┬──────────", "Two......|Three...."}));
  EXPECT_EQ(screen_.attrAt(2, 10), b.enhancedAttr);

  b.freeze = 1;
  b.panEnd();
  b.stabilize();
  EXPECT_EQ(screen_.textAt(0, 0, 20), "One       Three     ");
}

}  // namespace
}  // namespace rt::ui
