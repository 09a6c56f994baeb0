// Months, employee numbers and a seeded generator shared by the builders of demo data (the demo
// company and the benchmark's large company).
#pragma once

#include <cstdint>
#include <string>

#include "suite/company/company.h"

namespace suite::demo {

inline std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// The employee number as MAIN keeps it: five characters, right-aligned.
inline std::string employeeNumber(int n) {
  std::string s = std::to_string(n);
  return std::string(5 - s.size(), ' ') + s;
}

struct Month {
  int year, month;
};

inline Month monthsBack(Month m, int back) {
  int index = m.year * 12 + (m.month - 1) - back;
  return {index / 12, index % 12 + 1};
}

inline int daysIn(Month m) {
  Month next = monthsBack(m, -1);
  return dayNumber(next.year, next.month, 1) - dayNumber(m.year, m.month, 1);
}

// Monday to Friday of the month.
inline int workingDays(Month m) {
  int count = 0;
  int first = dayNumber(m.year, m.month, 1);
  for (int d = 0; d < daysIn(m); ++d)
    if ((first + d) % 7 < 5) ++count;  // the day number modulo 7 is 0 on Mondays
  return count;
}

// A small deterministic generator, so that built data is the same on every run for a seed.
struct Random {
  uint32_t state;
  uint32_t next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  int between(int lo, int hi) { return lo + int(next() % uint32_t(hi - lo + 1)); }
};

}  // namespace suite::demo
