// Choice of the basis months and their distances back from the calculation month.
#include "zus/calc/basis_months.h"

#include <cstdlib>

#include "runtime/core/std_strings.h"

namespace zus::basis {
namespace {

// VAL of a piece of a month list: leading blanks skipped, digits read up to the first other
// character.
int monthNumber(const std::string& piece) {
  int n = 0;
  size_t i = 0;
  while (i < piece.size() && piece[i] == ' ') ++i;
  for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i) n = n * 10 + (piece[i] - '0');
  return n;
}

}  // namespace

int monthsFromStartToCalculation(YearMonth start, YearMonth calc) {
  int d = calc.month - start.month;
  if (start.month > calc.month) d += 12;
  if (start.year < calc.year)
    return d + 12 * (calc.year - start.year - (start.month > calc.month ? 1 : 0));
  return d;
}

MonthTable chooseMonths(const std::string& chosenMonths, YearMonth start, YearMonth calc,
                        int parameterMonths, int previousYearRule) {
  MonthTable t;
  t.startMonth = start.month;
  t.startYear = start.year;
  bool shifted = start.month != calc.month || start.year != calc.year;
  int correction = shifted ? monthsFromStartToCalculation(start, calc) : 0;

  std::string list(rt::trimBlanks(chosenMonths));
  for (size_t pos = 0; pos < list.size() && t.months.size() < size_t(kMaxMonths); pos += 2) {
    BasisMonth m;
    m.month = monthNumber(list.substr(pos, 2));
    if (m.month == start.month) {
      bool sameYear = previousYearRule == 2;
      m.distance = sameYear ? 0 : 12;
      m.year = sameYear ? start.year : start.year - 1;
    } else if (m.month < start.month) {
      m.distance = start.month - m.month;
      m.year = start.year;
    } else {
      m.distance = start.month - m.month + 12;
      m.year = start.year - 1;
    }
    m.distance += correction;
    t.months.push_back(m);
  }
  if (!t.months.empty()) return t;

  if (parameterMonths <= 0) {
    // The calculation month itself, shown as the start month.
    BasisMonth m;
    m.month = start.month;
    m.year = start.year;
    t.months.push_back(m);
    return t;
  }
  int n = parameterMonths > kMaxMonths ? kMaxMonths : parameterMonths;
  for (int i = 1; i <= n; ++i) {
    BasisMonth m;
    m.distance = i + correction;
    m.month = i < start.month ? start.month - i : start.month - i + 12;
    m.year = i < start.month ? start.year : start.year - 1;
    t.months.push_back(m);
  }
  return t;
}

std::vector<bool> fillUpFlagsOf(const std::string& stored) {
  std::vector<bool> flags;
  std::string s(rt::trimBlanks(stored));
  for (char c : s) flags.push_back(c == 'T');
  return flags;
}

YearMonth monthsBefore(YearMonth payroll, int depth) {
  int index = payroll.year * 12 + (payroll.month - 1) - depth;
  int year = index >= 0 ? index / 12 : -((-index + 11) / 12);
  return {year, index - year * 12 + 1};
}

}  // namespace zus::basis
