// Date and version strings.
#include "console/date_version.h"

#include <algorithm>

#include "runtime/core/std_dates.h"
#include "runtime/core/std_strings.h"

namespace con {

namespace {

// Digits with leading blanks standing for zeros ("  5" is 5); -1 when anything else is there or
// nothing but blanks.
int readBlankPaddedNumber(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == s.size()) return -1;
  int v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return -1;
    v = v * 10 + (s[i] - '0');
  }
  return v;
}

// Byte comparison over the shorter length: <0, 0, >0.
int comparePrefix(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = a[i], y = b[i];
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

bool textEqual(std::string_view a, std::string_view b, bool exact) {
  if (exact) return rt::trimTrailingBlanks(a) == rt::trimTrailingBlanks(b);
  // With EXACT off the right side decides the length: a prefix test.
  return a.size() >= b.size() && a.substr(0, b.size()) == b;
}

// <0 when a orders before b, 0 when they count as equal, >0 after.
int textOrder(std::string_view a, std::string_view b, bool exact) {
  if (exact) {
    a = rt::trimTrailingBlanks(a);
    b = rt::trimTrailingBlanks(b);
  }
  int c = comparePrefix(a, b);
  if (c != 0) return c;
  if (a.size() < b.size()) return -1;
  if (a.size() > b.size()) return exact ? 1 : 0;
  return 0;
}

}  // namespace

int32_t julianDay(int y, int m, int d) { return rt::makeDate(y, m, d); }

int32_t STOD(std::string_view text) {
  if (text.size() != 8 || rt::trimBlanks(text).empty()) return 0;
  int year = readBlankPaddedNumber(text.substr(0, 4));
  int month = readBlankPaddedNumber(text.substr(4, 2));
  int day = readBlankPaddedNumber(text.substr(6, 2));
  if (year < 0 || month < 0 || day < 0) return 0;
  return julianDay(year, month, day);
}

void alignOnFirstDot(std::string& left, std::string& right) {
  left = std::string(rt::trimBlanks(left));
  right = std::string(rt::trimBlanks(right));
  // A text without a dot aligns as if its dot stood just before its first character.
  auto dotColumn = [](const std::string& s) {
    auto p = s.find('.');
    return p == std::string::npos ? size_t(0) : p + 1;
  };
  size_t p1 = dotColumn(left), p2 = dotColumn(right);
  if (p1 < p2) left.insert(0, p2 - p1, ' ');
  if (p1 > p2) right.insert(0, p1 - p2, ' ');
}

std::optional<bool> compareText(std::string_view a, std::string_view op, std::string_view b,
                                bool exact) {
  op = rt::trimBlanks(op);
  if (op == "==") return a == b;
  if (op == "=") return textEqual(a, b, exact);
  if (op == "!=" || op == "<>" || op == "#") return !textEqual(a, b, exact);
  if (op == "<") return textOrder(a, b, exact) < 0;
  if (op == "<=") return textOrder(a, b, exact) <= 0;
  if (op == ">") return textOrder(a, b, exact) > 0;
  if (op == ">=") return textOrder(a, b, exact) >= 0;
  if (op == "$") return !a.empty() && b.find(a) != std::string_view::npos;
  return std::nullopt;
}

std::optional<bool> POR_STR(std::string_view first, std::string_view second, std::string_view op,
                            bool exact) {
  std::string a(first), b(second);
  alignOnFirstDot(a, b);
  return compareText(a, op, b, exact);
}

}  // namespace con
