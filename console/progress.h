// The two fixed progress windows: a percentage and a bar of 57 cells, the upper one (rows 14-17)
// for an outer progress and the lower one (rows 19-22) for an inner one; with their shadows they
// never overlap. Open returns the window handle, which the caller closes with ZWIN.
#pragma once

#include <string>

namespace con {

inline constexpr int kProgressBarCells = 57;

std::string INITDBASE();
bool GODBASE(double done, double total);
std::string INITPROGRES();
bool GOPROGRES(double done, double total);

// Paces the redraws of a display that changes at every step of a long loop (the employee a run
// is at): on a real terminal drawing a change takes longer than many steps. A change is drawn
// when it is the first one or kRedrawInterval has passed on the screen's clock since the last
// one drawn; the caller keeps the latest state and, when heldBack(), draws it before the window
// closes or a question covers it, so the last state is always shown.
class RedrawPace {
 public:
  static constexpr double kRedrawInterval = 0.05;  // seconds

  // A change happened: true when it is to be drawn now, false when it is held back.
  bool change();
  // The caller drew the state (also one held back).
  void drawn();
  bool heldBack() const { return heldBack_; }

 private:
  double lastDrawn_ = 0;
  bool anyDrawn_ = false;
  bool heldBack_ = false;
};

// A percentage through the picture " 999 % " (seven characters; stars when it does not fit).
std::string percentText(double percent);

}  // namespace con
