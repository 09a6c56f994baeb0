// Browse sources over indexes and work areas (see browse_source.h).
#include "runtime/ui/browse_source.h"

#include "runtime/db/work_area.h"

namespace rt::ui {

long IndexSource::skip(long n) {
  if (count_ == 0) return 0;
  long target = long(current_) + n;
  if (target < 0) target = 0;
  if (target >= long(count_)) target = long(count_) - 1;
  long moved = target - long(current_);
  current_ = size_t(target);
  return moved;
}

void WorkAreaSource::goTop() { area_.goTop(); }

void WorkAreaSource::goBottom() { area_.goBottom(); }

long WorkAreaSource::skip(long n) {
  if (n == 0) {
    area_.skip(0);
    return 0;
  }
  if (area_.eof()) {
    // From the phantom record only the way back leads anywhere.
    if (n > 0) return 0;
    area_.goBottom();
    if (area_.eof()) return 0;
    ++n;
    long moved = -1;
    return moved + skip(n);
  }
  long moved = 0;
  while (moved < n) {
    area_.skip(1);
    if (area_.eof()) {
      area_.skip(-1);
      break;
    }
    ++moved;
  }
  while (moved > n) {
    area_.skip(-1);
    if (area_.bof()) break;
    --moved;
  }
  return moved;
}

bool WorkAreaSource::empty() {
  uint32_t here = area_.recno();
  area_.goTop();
  bool none = area_.eof();
  if (!none) area_.goTo(here);
  return none;
}

bool WorkAreaSource::offEnd() { return area_.eof(); }

uint64_t WorkAreaSource::bookmark() { return area_.recno(); }

void WorkAreaSource::goTo(uint64_t mark) { area_.goTo(uint32_t(mark)); }

}  // namespace rt::ui
