// The upper and lower progress windows.
#include "console/progress.h"

#include <cmath>

#include "console/palette.h"
#include "console/window.h"
#include "runtime/term/keyboard.h"
#include "runtime/term/terminal.h"

namespace con {

namespace {

struct ProgressPlace {
  int top;     // the window's title row, where the percentage stands
  int barRow;  // the row of the bar
};
constexpr ProgressPlace kUpper{14, 16};
constexpr ProgressPlace kLower{19, 21};
constexpr int kPercentColumn = 35;
constexpr int kBarColumn = 12;

rt::term::Attr setPairAttr(int element) {
  auto& scr = rt::term::screen();
  return rt::term::firstPairAttr(pairString(kProgressSet, element), scr.colors().standard());
}

std::string open(const ProgressPlace& p) {
  std::string handle =
      ROZWIN({-kTitleBar, p.top, 10, p.top + 3, 70, std::string(), kProgressSet, false});
  auto& scr = rt::term::screen();
  rt::term::DispGuard burst;
  scr.put(p.top, kPercentColumn, percentText(0), setPairAttr(kTitlePair));
  scr.put(p.barRow, kBarColumn, std::string(kProgressBarCells, '-'), setPairAttr(kStandardPair));
  return handle;
}

bool update(const ProgressPlace& p, double done, double total) {
  auto& scr = rt::term::screen();
  rt::term::DispGuard burst;
  rt::term::Attr title = setPairAttr(kTitlePair);
  rt::term::Attr bold = setPairAttr(kBoldPair);
  if (done <= total && total > 0) {
    double fraction = done / total;
    scr.put(p.top, kPercentColumn, percentText(std::trunc(fraction * 100)), title);
    double cells = std::trunc(fraction * kProgressBarCells);
    if (cells > 0) scr.put(p.barRow, kBarColumn, std::string(size_t(cells), '-'), bold);
  } else {
    scr.put(p.top, kPercentColumn, " 100 % ", title);
    scr.put(p.barRow, kBarColumn, std::string(kProgressBarCells, '-'), bold);
  }
  return true;
}

}  // namespace

std::string percentText(double percent) {
  long v = long(std::trunc(percent));
  std::string digits = std::to_string(v);
  if (digits.size() > 3) digits = "***";
  digits.insert(0, 3 - digits.size(), ' ');
  return " " + digits + " % ";
}

bool RedrawPace::change() {
  double now = rt::term::keyboard().now();
  if (anyDrawn_ && now - lastDrawn_ < kRedrawInterval) {
    heldBack_ = true;
    return false;
  }
  return true;
}

void RedrawPace::drawn() {
  lastDrawn_ = rt::term::keyboard().now();
  anyDrawn_ = true;
  heldBack_ = false;
}

std::string INITDBASE() { return open(kUpper); }
bool GODBASE(double done, double total) { return update(kUpper, done, total); }
std::string INITPROGRES() { return open(kLower); }
bool GOPROGRES(double done, double total) { return update(kLower, done, total); }

}  // namespace con
