// Small text helpers of the script handlers: blanks trimmed, prefixes, ASCII upper case.
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

}  // namespace patch
