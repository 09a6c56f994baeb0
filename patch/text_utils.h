// Small text helpers of the script handlers: blanks trimmed, prefixes, ASCII upper case, names
// that climb out of their directory.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace patch {

inline std::string trimmed(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return std::string(s.substr(b, e - b));
}

inline bool startsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

inline std::string upperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// A name taken relative to a directory that leads out of it through a ".." part.
inline bool climbsOut(std::string_view name) {
  size_t start = 0;
  for (;;) {
    size_t end = name.find_first_of("\\/", start);
    std::string_view part = name.substr(start, end == std::string_view::npos ? end : end - start);
    if (part.size() >= 2 && part.find_first_not_of(". ") == std::string_view::npos &&
        part.find("..") != std::string_view::npos)
      return true;
    if (end == std::string_view::npos) return false;
    start = end + 1;
  }
}

}  // namespace patch
