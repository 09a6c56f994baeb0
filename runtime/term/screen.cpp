// Screen cells, output operations and the one place where changes reach the back end.
#include "runtime/term/screen.h"

#include <algorithm>
#include <vector>

namespace rt::term {
namespace {
constexpr Cell kBlankDefault{' ', makeAttr(7, 0)};

// Draws a composite operation once.
struct DispGuardLocal {
  explicit DispGuardLocal(Screen& s) : screen(s) { screen.dispBegin(); }
  ~DispGuardLocal() { screen.dispEnd(); }
  Screen& screen;
};
}  // namespace

Screen::Screen() { reset(); }

void Screen::attach(Backend* backend) {
  backend_ = backend;
  invalidate();
  if (backend_) {
    backend_->setColorMode(isColor_);
    done();
  }
}

void Screen::reset() {
  for (auto& row : cells_) row.fill(kBlankDefault);
  touched_.fill(true);
  drawnValid_ = false;
  curRow_ = curCol_ = 0;
  shape_ = CursorShape::Normal;
  colors_ = Colors{};
  isColor_ = true;
  blink_ = true;
  dispCount_ = 0;
  if (backend_) backend_->setColorMode(isColor_);
}

Cell Screen::cell(int row, int col) const {
  return inside(row, col) ? cells_[row][col] : kBlankDefault;
}

std::string Screen::rowText(int row) const {
  std::string s;
  if (row < 0 || row >= kScreenRows) return std::string(kScreenCols, ' ');
  for (const Cell& c : cells_[row]) s += char(c.ch);
  return s;
}

void Screen::setCell(int row, int col, Cell c) {
  if (!inside(row, col)) return;
  Cell& dst = cells_[row][col];
  if (dst == c) return;
  dst = c;
  touched_[row] = true;
}

void Screen::put(int row, int col, std::string_view text, Attr attr) {
  for (size_t i = 0; i < text.size(); ++i) setCell(row, col + int(i), Cell{uint8_t(text[i]), attr});
  done();
}

void Screen::say(int row, int col, std::string_view text, Attr attr) {
  curRow_ = row;
  curCol_ = col;
  out(text, attr);
}

void Screen::out(std::string_view text, Attr attr) {
  for (size_t i = 0; i < text.size(); ++i)
    setCell(curRow_, curCol_ + int(i), Cell{uint8_t(text[i]), attr});
  curCol_ += int(text.size());
  done();
}

void Screen::fill(int top, int left, int bottom, int right, uint8_t ch, Attr attr) {
  for (int r = std::max(top, 0); r <= std::min(bottom, maxRow()); ++r)
    for (int c = std::max(left, 0); c <= std::min(right, maxCol()); ++c) setCell(r, c, Cell{ch, attr});
  done();
}

void Screen::box(int top, int left, int bottom, int right, std::string_view frame, Attr attr) {
  if (bottom < top) std::swap(top, bottom);
  if (right < left) std::swap(left, right);
  std::string f(frame.substr(0, 9));
  if (f.size() < 8) f.resize(8, ' ');
  auto at = [&](int r, int c, char ch) { setCell(r, c, Cell{uint8_t(ch), attr}); };
  if (top == bottom) {
    // A box one row high is a horizontal line of the top edge.
    for (int c = left; c <= right; ++c) at(top, c, f[1]);
  } else if (left == right) {
    for (int r = top; r <= bottom; ++r) at(r, left, f[7]);
  } else {
    at(top, left, f[0]);
    at(top, right, f[2]);
    at(bottom, right, f[4]);
    at(bottom, left, f[6]);
    for (int c = left + 1; c < right; ++c) {
      at(top, c, f[1]);
      at(bottom, c, f[5]);
    }
    for (int r = top + 1; r < bottom; ++r) {
      at(r, right, f[3]);
      at(r, left, f[7]);
    }
    if (f.size() == 9)
      for (int r = top + 1; r < bottom; ++r)
        for (int c = left + 1; c < right; ++c) at(r, c, f[8]);
  }
  curRow_ = top + 1;
  curCol_ = left + 1;
  done();
}

void Screen::scroll(int top, int left, int bottom, int right, int vert, int horiz, Attr attr) {
  top = std::max(top, 0);
  left = std::max(left, 0);
  bottom = std::min(bottom, maxRow());
  right = std::min(right, maxCol());
  if (bottom < top || right < left) return;
  const int height = bottom - top + 1, width = right - left + 1;
  const Cell blank{' ', attr};
  // Read the source cells first, then write every cell of the rectangle once.
  std::vector<Cell> src;
  src.reserve(size_t(height * width));
  for (int r = top; r <= bottom; ++r)
    for (int c = left; c <= right; ++c) src.push_back(cells_[r][c]);
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) {
      int sr = r + vert, sc = c + horiz;
      bool keep = (vert != 0 || horiz != 0) && sr >= 0 && sr < height && sc >= 0 && sc < width;
      setCell(top + r, left + c, keep ? src[size_t(sr * width + sc)] : blank);
    }
  }
  done();
}

void Screen::clear() {
  const Cell blank{' ', colors_.standard()};
  for (int r = 0; r < kScreenRows; ++r)
    for (int c = 0; c < kScreenCols; ++c) setCell(r, c, blank);
  curRow_ = curCol_ = 0;
  done();
}

void Screen::clearArea(int top, int left, int bottom, int right) {
  DispGuardLocal burst(*this);
  scroll(top, left, bottom, right, 0, 0, colors_.standard());
  setCursor(top, left);
}

void Screen::recolor(int top, int left, int bottom, int right, Attr attr) {
  for (int r = std::max(top, 0); r <= std::min(bottom, maxRow()); ++r)
    for (int c = std::max(left, 0); c <= std::min(right, maxCol()); ++c)
      setCell(r, c, Cell{cells_[r][c].ch, attr});
  done();
}

std::string Screen::save(int top, int left, int bottom, int right) const {
  std::string s;
  if (bottom < top || right < left) return s;
  s.reserve(size_t((bottom - top + 1) * (right - left + 1) * 2));
  for (int r = top; r <= bottom; ++r)
    for (int c = left; c <= right; ++c) {
      Cell cl = cell(r, c);
      s += char(cl.ch);
      s += char(cl.attr);
    }
  return s;
}

void Screen::restore(int top, int left, int bottom, int right, std::string_view saved) {
  size_t i = 0;
  for (int r = top; r <= bottom && i + 1 < saved.size(); ++r)
    for (int c = left; c <= right && i + 1 < saved.size(); ++c, i += 2)
      setCell(r, c, Cell{uint8_t(saved[i]), Attr(saved[i + 1])});
  done();
}

void Screen::setCursor(int row, int col) {
  curRow_ = row;
  curCol_ = col;
  done();
}

void Screen::setCursorShape(CursorShape shape) {
  shape_ = shape;
  done();
}

std::string Screen::colorString() const { return colorsToString(colors_); }

std::string Screen::setColorString(std::string_view colorString) {
  std::string old = colorsToString(colors_);
  colors_ = applyColorString(colorString, colors_);
  return old;
}

void Screen::setIsColor(bool on) {
  if (isColor_ == on) return;
  isColor_ = on;
  if (backend_) backend_->setColorMode(on);
  invalidate();
  done();
}

void Screen::dispEnd() {
  if (dispCount_ > 0 && --dispCount_ == 0) refresh();
}

void Screen::invalidate() {
  drawnValid_ = false;
  drawnCurRow_ = drawnCurCol_ = -1;
  touched_.fill(true);
}

void Screen::refresh() {
  if (!backend_ || dispCount_ > 0) return;
  bool any = false;
  for (int r = 0; r < kScreenRows; ++r) {
    if (!touched_[r]) continue;
    touched_[r] = false;
    int first = 0, last = kScreenCols - 1;
    if (drawnValid_) {
      while (first < kScreenCols && cells_[r][first] == drawn_[r][first]) ++first;
      if (first == kScreenCols) continue;
      while (last > first && cells_[r][last] == drawn_[r][last]) --last;
    }
    backend_->writeRun(r, first, &cells_[r][first], last - first + 1);
    std::copy(&cells_[r][first], &cells_[r][last] + 1, &drawn_[r][first]);
    any = true;
  }
  drawnValid_ = true;
  if (any || curRow_ != drawnCurRow_ || curCol_ != drawnCurCol_ || shape_ != drawnShape_) {
    // A cursor off the screen is hidden rather than drawn at a clipped place.
    bool visible = inside(curRow_, curCol_);
    backend_->showCursor(visible ? curRow_ : 0, visible ? curCol_ : 0,
                         visible ? shape_ : CursorShape::None);
    drawnCurRow_ = curRow_;
    drawnCurCol_ = curCol_;
    drawnShape_ = shape_;
    backend_->flush();
  }
}

}  // namespace rt::term
