// The print viewer: a finished print shown on the screen, scrolled with the cursor keys.
//
// Lines wider than the screen scroll sideways; bold and underline show as attributes; page
// breaks show as a thin rule with the page number. Up/Down move a line, PgUp/PgDn a screenful,
// Home/End (and Ctrl+PgUp/Ctrl+PgDn) to the first or last line, Left/Right ten columns,
// Ctrl+Left/Ctrl+Right forty; Esc or Enter leaves. The screen beneath is given back.
#pragma once

#include <string>
#include <vector>

#include "runtime/print/styled_text.h"

namespace rt::print {

struct ViewLine {
  std::vector<StyledRun> runs;
  bool pageBreak = false;  // a rule before page `page`
  int page = 1;
};

struct PrintedDocument {
  std::string title;
  std::vector<ViewLine> lines;
  int pages = 1;

  // Adds a printed line (style codes embedded), continuing the style state of the line before.
  void addLine(std::string_view text);
  void addPageBreak();

 private:
  StyleState state_;
};

class Viewer {
 public:
  explicit Viewer(const PrintedDocument& doc) : doc_(doc) {}
  // Runs until Esc or Enter.
  void run();

  // Position, for tests and for the caller's curiosity.
  int topLine() const { return top_; }
  int leftColumn() const { return left_; }

  static constexpr int kBodyTop = 1;
  static constexpr int kBodyRows = 23;

 private:
  enum class Outcome { Continue, Leave };
  Outcome handle(int key);
  void draw() const;
  int maxTop() const;
  int maxLeft() const;

  const PrintedDocument& doc_;
  int top_ = 0;
  int left_ = 0;
};

}  // namespace rt::print
