// Colour sets for the suite's own windows.
//
// Screen colours are chosen by set number 32 to 39 (background, description, status line,
// browse, menu, warning, information, progress) from the console library's current palette,
// through `K_SET_ZESTAW`. When the console library is not present (a test of the suite alone) a
// fixed colour string per set stands in. The scope restores the previous colour state on exit.
#pragma once

#include <string>

#include "runtime/core/value.h"

namespace suite {

inline constexpr int kSetBackground = 32;
inline constexpr int kSetDescription = 33;
inline constexpr int kSetStatusLine = 34;
inline constexpr int kSetBrowse = 35;
inline constexpr int kSetMenu = 36;
inline constexpr int kSetWarning = 37;
inline constexpr int kSetInformation = 38;
inline constexpr int kSetProgress = 39;

class ColourSetScope {
 public:
  explicit ColourSetScope(int set);
  ~ColourSetScope();
  ColourSetScope(const ColourSetScope&) = delete;
  ColourSetScope& operator=(const ColourSetScope&) = delete;

 private:
  rt::Value saved_;           // what K_SET_ZESTAW returned
  std::string savedColours_;  // the colour string, when the console library is absent
  bool viaConsole_ = false;
};

// The colour string a set stands for when the console library is absent.
const char* fallbackColours(int set);

}  // namespace suite
