// The table view (TBrowse-like): columns of values over the rows of a BrowseSource, inside a
// screen rectangle, with headings, a heading separator line, column separators, a highlighted
// current cell, sideways scrolling over columns wider than the window and frozen left columns.
//
// Layout, top to bottom: the heading lines (a heading may hold several lines joined by ";"), the
// heading separator line when one is given, then one screen row per source row. The browse keeps
// the current row's place on the screen (rowPos); stabilize() draws the rows around it by
// skipping back and forth over the source and returns the source to the current row.
//
// Movement functions only move; drawing happens in stabilize(), called by the loop that owns the
// browse.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/core/value.h"
#include "runtime/term/color.h"
#include "runtime/ui/browse_source.h"

namespace rt::ui {

struct BrowseColumn {
  std::string heading;             // lines joined by ";"
  std::function<Value()> value;    // read while the source stands on the row
  std::string picture;             // TRANSFORM picture, "" for the plain text of the value
  int width = 0;                   // 0: from the heading and the first value
  bool rightAligned = false;       // numbers: heading and cells to the right (set when measured)
};

// What a movement came to.
enum class BrowseMove { Moved, HitTop, HitBottom };

class Browse {
 public:
  Browse(int top, int left, int bottom, int right, BrowseSource& source);

  void addColumn(BrowseColumn column);
  size_t columnCount() const { return columns_.size(); }

  // Separators in code page 852 (which has no mixed single/double tees): a line with a tee over
  // the column separator, and blank, vertical line, blank between columns.
  std::string headSep = "\xC4\xC2\xC4";
  std::string colSep = " \xB3 ";
  int freeze = 0;                          // leftmost columns that never scroll away

  // Colours: standard for the cells, enhanced for the current cell.
  term::Attr standardAttr, enhancedAttr;

  // --- state ---
  int rowPos() const { return rowPos_; }       // 0-based screen row of the current row
  int colPos() const { return colPos_; }       // 0-based current column
  int leftColumn() const { return leftCol_; }  // first scrolling column shown
  int dataRows() const { return dataRows_; }
  bool isEmpty() { return source_.empty(); }
  BrowseSource& source() { return source_; }

  // --- movement ---
  BrowseMove down();
  BrowseMove up();
  BrowseMove pageDown();
  BrowseMove pageUp();
  BrowseMove goTop();
  BrowseMove goBottom();
  BrowseMove left();
  BrowseMove right();
  BrowseMove home();      // leftmost column on the screen
  BrowseMove end();       // rightmost column on the screen
  BrowseMove panHome();   // first column
  BrowseMove panEnd();    // last column
  BrowseMove panLeft();   // columns one to the right, the current column stays if it can
  BrowseMove panRight();

  // The source moved under the browse (a seek, a deletion): draw again around its current row.
  void refreshAll();
  // Whether the source still stands where the browse left it.
  bool inStep();
  // Draws the whole browse.
  void stabilize();

  // The text of a value in a column (padded or cut to the column width).
  std::string cellText(size_t column, const Value& v) const;

 private:
  void measure();
  std::vector<size_t> visibleColumns() const;
  void ensureVisible();
  void drawRow(int screenRow, bool hasRow, bool current);
  std::string headingLine(const BrowseColumn& c, int line) const;

  int top_, left_, bottom_, right_;
  BrowseSource& source_;
  std::vector<BrowseColumn> columns_;
  bool measured_ = false;
  int headingLines_ = 0;
  int dataTop_ = 0, dataRows_ = 0;
  int rowPos_ = 0, colPos_ = 0, leftCol_ = 0;
  uint64_t current_ = 0;  // the source's bookmark of the current row, as the browse left it
};

}  // namespace rt::ui
