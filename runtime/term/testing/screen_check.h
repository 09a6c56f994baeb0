// Test helpers for screens read back from the headless back end.
//
// Expected screens are written as UTF-8 string literals, one per row, with the box characters as
// they look ("┌──┐"); a row shorter than 80 columns must be blank to its end. On a mismatch the
// message shows the first differing cell and a framed picture of the screen with row and column
// rulers.
//
//   EXPECT_TRUE(rt::term::testing::rowsAre(h, 3, {"┌────┐", "│ Ok │", "└────┘"}));
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "runtime/term/glyphs.h"
#include "runtime/term/headless.h"
#include "runtime/term/screen.h"

namespace rt::term::testing {

// One shown row in UTF-8, all 80 columns.
inline std::string utf8Row(const Headless& h, int row) { return glyphsToUtf8(h.line(row)); }

// The screen (rows first..last) in a frame with rulers; `mark` flags one cell with a caret.
inline std::string picture(const Headless& h, int first = 0, int last = kScreenRows - 1,
                           int markRow = -1, int markCol = -1) {
  std::ostringstream o;
  std::string tens = "    ", ones = "    ";
  for (int c = 0; c < kScreenCols; ++c) {
    tens += c % 10 == 0 ? char('0' + c / 10) : ' ';
    ones += char('0' + c % 10);
  }
  o << tens << '\n' << ones << "\n   +" << std::string(kScreenCols, '-') << "+\n";
  for (int r = first; r <= last; ++r) {
    o << (r < 10 ? "  " : " ") << r << '|' << utf8Row(h, r) << '|' << (r == markRow ? " <" : "")
      << '\n';
    if (r == markRow) o << "    " << std::string(size_t(markCol), ' ') << "^\n";
  }
  o << "   +" << std::string(kScreenCols, '-') << "+\n";
  return o.str();
}

// Rows from `firstRow` on show `expected` (UTF-8).
inline ::testing::AssertionResult rowsAre(const Headless& h, int firstRow,
                                          const std::vector<std::string>& expected) {
  for (size_t i = 0; i < expected.size(); ++i) {
    int row = firstRow + int(i);
    std::string want = utf8ToGlyphs(expected[i], '\x01');
    want.resize(kScreenCols, ' ');
    std::string got = h.line(row);
    for (int c = 0; c < kScreenCols; ++c) {
      if (got[size_t(c)] == want[size_t(c)]) continue;
      return ::testing::AssertionFailure()
             << "first difference at row " << row << ", column " << c << ": expected '"
             << glyphsToUtf8(want.substr(size_t(c), 1)) << "', shown '"
             << glyphsToUtf8(got.substr(size_t(c), 1)) << "'\nexpected row: |"
             << glyphsToUtf8(want) << "|\n"
             << picture(h, 0, kScreenRows - 1, row, c);
    }
  }
  return ::testing::AssertionSuccess();
}

// The whole screen shows `expected` (rows not listed must be blank).
inline ::testing::AssertionResult screenIs(const Headless& h,
                                           const std::vector<std::string>& expected) {
  std::vector<std::string> all(expected);
  all.resize(kScreenRows);
  return rowsAre(h, 0, all);
}

// `width` cells of `row` from `col` carry the attribute `attr`.
inline ::testing::AssertionResult attrsAre(const Headless& h, int row, int col, int width,
                                           Attr attr) {
  for (int c = col; c < col + width; ++c)
    if (h.attrAt(row, c) != attr)
      return ::testing::AssertionFailure()
             << "attribute at row " << row << ", column " << c << " is "
             << attrToColorPair(h.attrAt(row, c)) << ", expected " << attrToColorPair(attr)
             << '\n'
             << picture(h, 0, kScreenRows - 1, row, c);
  return ::testing::AssertionSuccess();
}

}  // namespace rt::term::testing
