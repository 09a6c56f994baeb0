// Window handles: saving the screen under a window and drawing its frame, title and shadow.
#include "suite/screen/window.h"

#include <algorithm>
#include <cstdio>

#include "runtime/term/terminal.h"

namespace suite {
namespace {

using rt::term::screen;

int clampInt(int v, int lo, int hi) { return std::max(lo, std::min(hi, v)); }

}  // namespace

std::string openWindow(int top, int left, int bottom, int right, std::string_view title,
                       bool shadow) {
  rt::term::Screen& s = screen();
  top = clampInt(top, 0, s.maxRow());
  bottom = clampInt(bottom, top, s.maxRow());
  left = clampInt(left, 0, s.maxCol());
  right = clampInt(right, left, s.maxCol());
  int saveBottom = shadow ? std::min(bottom + 1, s.maxRow()) : bottom;
  int saveRight = shadow ? std::min(right + 2, s.maxCol()) : right;

  char coords[9];
  std::snprintf(coords, sizeof coords, "%02d%02d%02d%02d", top, left, saveBottom, saveRight);
  std::string handle = coords + s.save(top, left, saveBottom, saveRight);

  rt::term::DispGuard batch;
  rt::term::Attr attr = s.colors().standard();
  s.box(top, left, bottom, right, std::string(rt::term::kDoubleFrame) + " ", attr);
  if (!title.empty()) {
    std::string t = " " + std::string(title) + " ";
    int width = right - left - 1;
    if (int(t.size()) > width) t.resize(size_t(std::max(0, width)));
    s.put(top, left + 1 + (width - int(t.size())) / 2, t, attr);
  }
  if (shadow) {
    // The shadow darkens the cells right of and below the window, keeping their characters.
    rt::term::Attr dark = rt::term::makeAttr(8, 0);
    auto darken = [&](int r, int c) {
      if (r > s.maxRow() || c > s.maxCol()) return;
      rt::term::Cell cell = s.cell(r, c);
      s.put(r, c, std::string(1, char(cell.ch)), dark);
    };
    for (int r = top + 1; r <= bottom + 1; ++r)
      for (int c = right + 1; c <= right + 2; ++c) darken(r, c);
    for (int c = left + 2; c <= right; ++c) darken(bottom + 1, c);
  }
  return handle;
}

void closeWindow(std::string_view handle) {
  if (handle.size() < 8) return;
  int coords[4];
  for (int i = 0; i < 4; ++i) {
    char a = handle[size_t(i * 2)], b = handle[size_t(i * 2 + 1)];
    if (a < '0' || a > '9' || b < '0' || b > '9') return;
    coords[i] = (a - '0') * 10 + (b - '0');
  }
  if (coords[2] < coords[0] || coords[3] < coords[1]) return;
  screen().restore(coords[0], coords[1], coords[2], coords[3], handle.substr(8));
}

std::string openMessageWindow(const std::vector<std::string>& lines, std::string_view title,
                              int row, int col) {
  // A line holds at most 74 characters; a longer one shows its first 70 and " ...".
  std::vector<std::string> shown;
  size_t width = title.size() + 2;
  for (const std::string& line : lines) {
    std::string l = line.size() > 74 ? line.substr(0, 70) + " ..." : line;
    width = std::max(width, l.size());
    shown.push_back(l);
  }
  if (shown.size() > 20) shown.resize(20);
  int w = int(width) + 4;
  int h = int(shown.size()) + 2;
  int top = row > 0 ? row : (25 - h) / 2;
  int left = col > 0 ? col : (80 - w) / 2;
  top = clampInt(top, 0, 24 - h + 1);
  left = clampInt(left, 0, 80 - w);
  std::string handle = openWindow(top, left, top + h - 1, left + w - 1, title);
  rt::term::DispGuard batch;
  for (size_t i = 0; i < shown.size(); ++i)
    screen().put(top + 1 + int(i), left + 2, shown[i], screen().colors().standard());
  return handle;
}

}  // namespace suite
