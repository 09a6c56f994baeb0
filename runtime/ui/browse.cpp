// The table view (see browse.h).
#include "runtime/ui/browse.h"

#include <algorithm>

#include "runtime/core/context.h"
#include "runtime/core/functions.h"
#include "runtime/term/terminal.h"

namespace rt::ui {

namespace {

std::vector<std::string> splitHeading(const std::string& heading) {
  std::vector<std::string> lines;
  if (heading.empty()) return lines;
  size_t start = 0;
  while (true) {
    size_t semi = heading.find(';', start);
    lines.push_back(heading.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
    if (semi == std::string::npos) break;
    start = semi + 1;
  }
  return lines;
}

std::string formatValue(const Value& v, const std::string& picture) {
  if (const NativeFunction* tr = functions().find("TRANSFORM")) {
    Args a({v, Value::text(picture)});
    return (*tr)(a).strOr("");
  }
  if (v.isChar()) return v.str();
  if (v.isLogical()) return v.logical() ? "T" : "F";
  if (v.isNum()) return std::to_string(v.num());
  return {};
}

std::string fitted(std::string s, int width, bool rightAlign) {
  if (int(s.size()) > width) return s.substr(0, size_t(width));
  if (rightAlign) return std::string(size_t(width) - s.size(), ' ') + s;
  s.resize(size_t(width), ' ');
  return s;
}

}  // namespace

Browse::Browse(int top, int left, int bottom, int right, BrowseSource& source)
    : top_(top), left_(left), bottom_(bottom), right_(right), source_(source) {
  const term::Colors& c = term::screen().colors();
  standardAttr = c.standard();
  enhancedAttr = c.enhanced();
  if (!source_.empty() && source_.offEnd()) source_.goTop();
  current_ = source_.bookmark();
}

void Browse::addColumn(BrowseColumn column) {
  columns_.push_back(std::move(column));
  measured_ = false;
}

std::string Browse::headingLine(const BrowseColumn& c, int line) const {
  std::vector<std::string> lines = splitHeading(c.heading);
  return line < int(lines.size()) ? lines[size_t(line)] : std::string();
}

void Browse::measure() {
  headingLines_ = 0;
  for (const BrowseColumn& c : columns_)
    headingLines_ = std::max(headingLines_, int(splitHeading(c.heading).size()));
  dataTop_ = top_ + headingLines_ + (headSep.empty() ? 0 : 1);
  dataRows_ = std::max(1, bottom_ - dataTop_ + 1);
  bool haveRow = !source_.empty() && !source_.offEnd();
  int windowWidth = right_ - left_ + 1;
  for (BrowseColumn& c : columns_) {
    if (c.width > 0) {
      if (haveRow) c.rightAligned = c.value().isNum();
      continue;
    }
    int w = 0;
    for (const std::string& line : splitHeading(c.heading)) w = std::max(w, int(line.size()));
    if (haveRow) {
      Value v = c.value();
      c.rightAligned = v.isNum();
      w = std::max(w, int(formatValue(v, c.picture).size()));
    } else if (!c.picture.empty()) {
      std::string templ = c.picture;
      std::string functions;
      if (templ[0] == '@') {
        size_t blank = templ.find(' ');
        functions = templ.substr(1, blank == std::string::npos ? std::string::npos : blank - 1);
        templ = blank == std::string::npos ? std::string() : templ.substr(blank + 1);
      }
      w = std::max(w, int(templ.size()));
      // A date column without a template is as wide as a date, so rows added later fit.
      if (templ.empty() && functions.find_first_of("Dd") != std::string::npos)
        w = std::max(w, int(context().settings.dateFormat.size()));
    }
    c.width = std::clamp(w, 1, windowWidth);
  }
  measured_ = true;
}

std::string Browse::cellText(size_t column, const Value& v) const {
  const BrowseColumn& c = columns_[column];
  return fitted(formatValue(v, c.picture), c.width, v.isNum());
}

std::vector<size_t> Browse::visibleColumns() const {
  std::vector<size_t> shown;
  int width = right_ - left_ + 1;
  int sep = int(colSep.size());
  int x = 0;
  size_t n = columns_.size();
  size_t frozen = std::min(n, size_t(std::max(0, freeze)));
  auto fits = [&](size_t i) {
    int need = (shown.empty() ? 0 : sep) + columns_[i].width;
    return x + need <= width;
  };
  auto take = [&](size_t i) {
    x += (shown.empty() ? 0 : sep) + columns_[i].width;
    shown.push_back(i);
  };
  for (size_t i = 0; i < frozen; ++i)
    if (fits(i) || shown.empty()) take(i);
  for (size_t i = std::max(size_t(leftCol_), frozen); i < n; ++i) {
    if (fits(i)) take(i);
    else {
      if (shown.size() == frozen) take(i);  // one scrolling column always shows, cut if need be
      break;
    }
  }
  return shown;
}

void Browse::ensureVisible() {
  if (columns_.empty()) return;
  colPos_ = std::clamp(colPos_, 0, int(columns_.size()) - 1);
  if (colPos_ < freeze) return;
  if (colPos_ < leftCol_) leftCol_ = colPos_;
  leftCol_ = std::max(leftCol_, freeze);
  while (true) {
    std::vector<size_t> shown = visibleColumns();
    if (std::find(shown.begin(), shown.end(), size_t(colPos_)) != shown.end()) break;
    if (leftCol_ >= colPos_) break;
    ++leftCol_;
  }
}

void Browse::drawRow(int screenRow, bool hasRow, bool current) {
  term::Screen& s = term::screen();
  std::vector<size_t> shown = visibleColumns();
  int x = left_;
  for (size_t k = 0; k < shown.size(); ++k) {
    size_t i = shown[k];
    if (k > 0) {
      s.put(screenRow, x, colSep.substr(0, size_t(std::max(0, right_ - x + 1))), standardAttr);
      x += int(colSep.size());
    }
    std::string text = hasRow ? cellText(i, columns_[i].value()) : std::string(size_t(columns_[i].width), ' ');
    int room = right_ - x + 1;
    if (room <= 0) break;
    if (int(text.size()) > room) text.resize(size_t(room));
    bool highlight = hasRow && current && int(i) == colPos_;
    s.put(screenRow, x, text, highlight ? enhancedAttr : standardAttr);
    if (highlight) s.setCursor(screenRow, x);
    x += columns_[i].width;
  }
  if (x <= right_) s.put(screenRow, x, std::string(size_t(right_ - x + 1), ' '), standardAttr);
}

void Browse::stabilize() {
  if (!measured_) measure();
  ensureVisible();
  term::DispGuard disp;
  term::Screen& s = term::screen();
  std::vector<size_t> shown = visibleColumns();
  int width = right_ - left_ + 1;

  for (int line = 0; line < headingLines_; ++line) {
    std::string text;
    for (size_t k = 0; k < shown.size(); ++k) {
      if (k > 0) text += std::string(colSep.size(), ' ');
      const BrowseColumn& c = columns_[shown[k]];
      text += fitted(headingLine(c, line), c.width, c.rightAligned);
    }
    s.put(top_ + line, left_, fitted(text, width, false), standardAttr);
  }
  if (!headSep.empty()) {
    std::string text(size_t(width), headSep[0]);
    // The part of the separator that stands over a column separator: its middle when longer.
    std::string junction = headSep;
    if (junction.size() > colSep.size())
      junction = junction.substr((junction.size() - colSep.size()) / 2, colSep.size());
    junction.resize(colSep.size(), headSep.back());
    int x = 0;
    for (size_t k = 0; k < shown.size(); ++k) {
      if (k > 0) {
        for (size_t j = 0; j < junction.size() && x + int(j) < width; ++j) text[size_t(x) + j] = junction[j];
        x += int(colSep.size());
      }
      x += columns_[shown[k]].width;
    }
    s.put(top_ + headingLines_, left_, text, standardAttr);
  }

  if (source_.empty()) {
    for (int r = 0; r < dataRows_; ++r) drawRow(dataTop_ + r, false, false);
    return;
  }
  if (source_.offEnd()) source_.goBottom();
  uint64_t here = source_.bookmark();
  long back = source_.skip(-rowPos_);
  rowPos_ = int(-back);
  bool more = true;
  for (int r = 0; r < dataRows_; ++r) {
    if (r > 0 && more) more = source_.skip(1) == 1;
    drawRow(dataTop_ + r, more, r == rowPos_);
  }
  source_.goTo(here);
  current_ = here;
  // The cursor stays on the current cell (drawRow put it there).
}

void Browse::refreshAll() {
  if (!source_.empty() && source_.offEnd()) source_.goBottom();
  current_ = source_.bookmark();
}

bool Browse::inStep() { return !source_.offEnd() && source_.bookmark() == current_; }

BrowseMove Browse::down() {
  if (source_.skip(1) != 1) return BrowseMove::HitBottom;
  rowPos_ = std::min(rowPos_ + 1, dataRows_ - 1);
  current_ = source_.bookmark();
  return BrowseMove::Moved;
}

BrowseMove Browse::up() {
  if (source_.skip(-1) != -1) return BrowseMove::HitTop;
  rowPos_ = std::max(rowPos_ - 1, 0);
  current_ = source_.bookmark();
  return BrowseMove::Moved;
}

BrowseMove Browse::pageDown() {
  long moved = source_.skip(dataRows_);
  if (moved == 0) return BrowseMove::HitBottom;
  if (moved < dataRows_) rowPos_ = dataRows_ - 1;  // on the last row: shown at the bottom
  current_ = source_.bookmark();
  return BrowseMove::Moved;
}

BrowseMove Browse::pageUp() {
  long moved = source_.skip(-dataRows_);
  if (moved == 0) return BrowseMove::HitTop;
  if (-moved < dataRows_) rowPos_ = 0;
  current_ = source_.bookmark();
  return BrowseMove::Moved;
}

BrowseMove Browse::goTop() {
  source_.goTop();
  rowPos_ = 0;
  current_ = source_.bookmark();
  return BrowseMove::Moved;
}

BrowseMove Browse::goBottom() {
  source_.goBottom();
  rowPos_ = dataRows_ - 1;
  current_ = source_.bookmark();
  return BrowseMove::Moved;
}

BrowseMove Browse::left() {
  if (colPos_ > 0) --colPos_;
  ensureVisible();
  return BrowseMove::Moved;
}

BrowseMove Browse::right() {
  if (colPos_ + 1 < int(columns_.size())) ++colPos_;
  ensureVisible();
  return BrowseMove::Moved;
}

BrowseMove Browse::home() {
  std::vector<size_t> shown = visibleColumns();
  if (!shown.empty()) colPos_ = int(shown.front());
  return BrowseMove::Moved;
}

BrowseMove Browse::end() {
  std::vector<size_t> shown = visibleColumns();
  if (!shown.empty()) colPos_ = int(shown.back());
  return BrowseMove::Moved;
}

BrowseMove Browse::panHome() {
  colPos_ = 0;
  leftCol_ = freeze;
  ensureVisible();
  return BrowseMove::Moved;
}

BrowseMove Browse::panEnd() {
  colPos_ = std::max(0, int(columns_.size()) - 1);
  ensureVisible();
  return BrowseMove::Moved;
}

BrowseMove Browse::panLeft() {
  if (leftCol_ > freeze) --leftCol_;
  std::vector<size_t> shown = visibleColumns();
  if (std::find(shown.begin(), shown.end(), size_t(colPos_)) == shown.end() && !shown.empty())
    colPos_ = int(shown.back());
  return BrowseMove::Moved;
}

BrowseMove Browse::panRight() {
  std::vector<size_t> shown = visibleColumns();
  if (!shown.empty() && shown.back() + 1 < columns_.size()) ++leftCol_;
  shown = visibleColumns();
  if (std::find(shown.begin(), shown.end(), size_t(colPos_)) == shown.end() && !shown.empty())
    colPos_ = int(std::max(size_t(leftCol_), size_t(freeze)));
  return BrowseMove::Moved;
}

}  // namespace rt::ui
