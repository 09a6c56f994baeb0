// Blank trimming for the console's routines. Only the blank (0x20) counts here: the runtime's
// LTRIM/ALLTRIM also drop tabs and line ends, which the library's names and texts keep.
#pragma once

#include <string_view>

namespace con {

inline std::string_view trimTrailingBlanks(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

inline std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return trimTrailingBlanks(s);
}

}  // namespace con
