// Months of the basis: the window, marking keys, codes and flags in step, and the run check.
#include "zus/register/basis_months_codes.h"

#include <gtest/gtest.h>

#include "runtime/core/std_dates.h"
#include "runtime/term/keys.h"

namespace {

using zus::BasisMonthMarks;
using zus::BasisMonthWindow;

int32_t d(int y, int m, int day) { return rt::makeDate(y, m, day); }

TEST(BasisMonthWindow, YearsAndLatestMonthFollowTheParameter) {
  struct Case {
    int32_t end;
    int biez;
    std::string years;  // per month January..December: '6' for 2006, '5' for 2005
    int latest;
  } cases[] = {
      {d(2006, 7, 15), 1, "666666555555", 6},
      {d(2006, 7, 15), 2, "666666655555", 7},
      {d(2006, 1, 15), 2, "655555555555", 1},
      {d(2006, 1, 15), 1, "555555555555", 12},
  };
  for (const Case& k : cases) {
    BasisMonthWindow w = BasisMonthWindow::ending(k.end, k.biez);
    EXPECT_EQ(w.latestMonth(), k.latest) << rt::dtos(k.end) << " " << k.biez;
    std::string years;
    for (int m = 1; m <= 12; ++m) years += w.yearOf(m) == 2006 ? '6' : '5';
    EXPECT_EQ(years, k.years) << rt::dtos(k.end) << " " << k.biez;
  }
  BasisMonthWindow july = BasisMonthWindow::ending(d(2006, 7, 15), 1);
  EXPECT_EQ(july.entryText(7), " LIPIEC      2005       ");
  EXPECT_EQ(july.entryText(6), " CZERWIEC    2006       ");
  EXPECT_EQ(july.oldestFirst().front(), 7);
  EXPECT_EQ(july.oldestFirst().back(), 6);
}

TEST(BasisMonthMarks, MarkingKeysKeepCodesAndFlagsInStep) {
  BasisMonthMarks marks("", {});
  zus::BasisMonthKeys keys;
  bool escaped = false;
  EXPECT_EQ(zus::applyBasisMonthKey(marks, keys, keys.ins, 3, escaped), 1);
  zus::applyBasisMonthKey(marks, keys, keys.ins, 2, escaped);
  zus::applyBasisMonthKey(marks, keys, rt::term::K_CTRL_D, 1, escaped);
  EXPECT_EQ(marks.codes(), "030201");
  EXPECT_EQ(marks.flags(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(zus::basisMonthsDisplayList(marks.codes()), "03,02,01");

  zus::applyBasisMonthKey(marks, keys, keys.ins, 1, escaped);            // filled up: nothing
  zus::applyBasisMonthKey(marks, keys, rt::term::K_CTRL_D, 2, escaped);  // plain mark: nothing
  EXPECT_EQ(marks.codes(), "030201");
  zus::applyBasisMonthKey(marks, keys, keys.ins, 2, escaped);  // unmark February
  EXPECT_EQ(marks.codes(), "0301");
  EXPECT_EQ(marks.flags(), (std::vector<bool>{false, true}));
  zus::applyBasisMonthKey(marks, keys, rt::term::K_CTRL_D, 1, escaped);  // unmark January
  EXPECT_EQ(marks.codes(), "03");
  EXPECT_EQ(marks.flags(), (std::vector<bool>{false}));

  EXPECT_EQ(zus::applyBasisMonthKey(marks, keys, keys.enter, 3, escaped), 0);
  EXPECT_FALSE(escaped);
  EXPECT_EQ(zus::applyBasisMonthKey(marks, keys, keys.esc, 3, escaped), 0);
  EXPECT_TRUE(escaped);
  EXPECT_EQ(zus::applyBasisMonthKey(marks, keys, rt::term::K_DOWN, 3, escaped), 2);
}

TEST(BasisMonthMarks, MarkAllAndClearAll) {
  BasisMonthMarks marks("0302", {true, false});
  zus::BasisMonthKeys keys;
  bool escaped = false;
  zus::applyBasisMonthKey(marks, keys, rt::term::K_CTRL_INS, 5, escaped);
  EXPECT_EQ(marks.codes(), "030201040506070809101112");
  std::vector<bool> flags{true, false};
  flags.resize(12, false);
  EXPECT_EQ(marks.flags(), flags);
  zus::applyBasisMonthKey(marks, keys, rt::term::K_CTRL_DEL, 5, escaped);
  EXPECT_EQ(marks.codes(), "");
  EXPECT_TRUE(marks.flags().empty());
  for (int m = 1; m <= 12; ++m) EXPECT_FALSE(marks.marked(m));
}

TEST(BasisMonthMarks, FlagsArePairedWithCodesWhenRead) {
  BasisMonthMarks fewer("030201      ", {true});
  EXPECT_EQ(fewer.codes(), "030201");
  EXPECT_EQ(fewer.flags(), (std::vector<bool>{true, false, false}));
  EXPECT_TRUE(fewer.filledUp(3));
  BasisMonthMarks more("", {true, false});
  EXPECT_TRUE(more.flags().empty());
  BasisMonthMarks odd("13xx05", {});
  EXPECT_EQ(odd.codes(), "05");
}

TEST(BasisMonthMarks, RunCheckFollowsTheWindowOrder) {
  struct Case {
    int32_t end;
    int biez;
    std::string codes;
    bool oneRun;
  } cases[] = {
      {d(2006, 12, 15), 2, "1201", false},  // December and January at opposite ends
      {d(2006, 6, 15), 2, "1201", true},    // neighbours across the year
      {d(2006, 6, 15), 1, "030201", true}, {d(2006, 6, 15), 1, "0301", false},
      {d(2006, 6, 15), 1, "", true},
  };
  for (const Case& k : cases)
    EXPECT_EQ(BasisMonthMarks(k.codes, {}).oneRun(BasisMonthWindow::ending(k.end, k.biez)),
              k.oneRun)
        << k.codes << " " << rt::dtos(k.end);
}

TEST(BasisMonthMarks, ShownTexts) {
  BasisMonthWindow w = BasisMonthWindow::ending(d(2006, 7, 1), 1);
  BasisMonthMarks marks("0302", {false, true});
  EXPECT_EQ(zus::basisMonthShownText(w, marks, 1), " STYCZEN`     2006       ");
  EXPECT_EQ(zus::basisMonthShownText(w, marks, 3), "\x10MARZEC      2006       \x11");
  EXPECT_EQ(zus::basisMonthShownText(w, marks, 2), "\x10LUTY        2006  DOP  \x11");
}

}  // namespace
