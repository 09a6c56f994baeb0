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

// A percentage through the picture " 999 % " (seven characters; stars when it does not fit).
std::string percentText(double percent);

}  // namespace con
