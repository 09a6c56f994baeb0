// Names of the by-name world (variables, functions, aliases, fields): compared without regard to
// case, ASCII letters only, so they are kept upper-case as keys.
#pragma once

#include <string>
#include <string_view>

namespace rt {

inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

inline std::string upperName(std::string_view name) {
  std::string s(name);
  for (char& c : s) c = upperAscii(c);
  return s;
}

inline bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (upperAscii(a[i]) != upperAscii(b[i])) return false;
  return true;
}

// A RELEASE/SAVE mask: '*' any run, '?' any one character, case-insensitive.
bool matchesMask(std::string_view name, std::string_view mask);

}  // namespace rt
