// Averaging of the basis months, the auxiliary basis and the minimum-wage floors.
#include "zus/calc/basis_average.h"

#include <cstdio>

#include "runtime/core/rounding.h"
#include "runtime/core/std_dates.h"

namespace zus::basis {
namespace {

double round2(double v) { return rt::roundHalfAway(v, 2) + 0.0; }  // + 0.0: no negative zero

bool fillsUp(const MonthTable& t, int k, const AveragingSettings& s) {
  if (!t.fillUpFlags.empty()) return size_t(k) < t.fillUpFlags.size() && t.fillUpFlags[size_t(k)];
  return s.employeeFillsUp();
}

// One pass over the months; `first` lets months drop out.
void sumPass(MonthTable& t, const AveragingSettings& s, bool first, Average& a) {
  double sum = 0;
  int days = 0;
  a.countedMonths = t.count();
  for (int k = 0; k < t.count(); ++k) {
    BasisMonth& m = t.months[size_t(k)];
    m.filledUp = fillsUp(t, k, s) ? filledUpBasis(t, k) : m.basis;
    if (s.calendarDays) {
      YearMonth ym = monthsBefore(s.payrollMonth, s.monthsBack + m.distance);
      m.calendarDays = rt::daysInMonth(ym.year, ym.month);
    }
    if (first && dropsOut(t, k, s.droppingAllowed, s.insuranceStart)) {
      m.counts = false;
      --a.countedMonths;
      continue;
    }
    sum = round2(sum + m.filledUp);
    if (s.calendarDays) days += m.calendarDays;
  }
  if (!first)
    for (const BasisMonth& m : t.months)
      if (m.basis <= 0) --a.countedMonths;
  if (a.countedMonths == 0) a.countedMonths = -1;
  a.sum = sum;
  a.calendarDayTotal = days;
  a.monthly = round2(sum / a.countedMonths);
  if (s.calendarDays)
    // No counted calendar day: no daily basis rather than a division by zero.
    a.daily = days > 0 ? round2(sum / days) : 0;
  else
    a.daily = round2(sum / (30.0 * a.countedMonths));
}

}  // namespace

double filledUpBasis(const MonthTable& t, int k) {
  const BasisMonth& m = t.months[size_t(k)];
  if (m.daysWorked == 0 || !(m.daysWorked < m.workingDays)) return m.basis;
  double w = round2(m.basis * m.workingDays / m.daysWorked);
  if (!t.noNotFilledItem && m.notFilledUp != 0)
    // The part that is not filled up comes out at its filled-up size and goes back unscaled.
    w = w - round2(m.notFilledUp * m.workingDays / m.daysWorked) + m.notFilledUp;
  return w;
}

bool dropsOut(const MonthTable& t, int k, bool droppingAllowed, DateParts start) {
  if (!droppingAllowed) return false;
  const BasisMonth& m = t.months[size_t(k)];
  if (m.daysWorked < m.workingDays / 2) return true;
  if (m.year < start.year || (m.year == start.year && m.month < start.month)) return true;
  if (m.year == start.year && m.month == start.month && start.day != 1) return true;
  return m.filledUp == 0 && m.daysWorked == 0 && m.workingDays == 0;
}

Average averageMonths(MonthTable& t, const AveragingSettings& s) {
  Average a;
  if (!s.basisItemLinked) return a;
  sumPass(t, s, true, a);
  if (a.countedMonths < t.count() && a.daily <= 0) {
    bool any = false;
    for (BasisMonth& m : t.months)
      if (m.basis > 0) {
        m.counts = true;
        any = true;
      }
    a.secondPass = true;
    if (any) sumPass(t, s, false, a);
  }
  return a;
}

double addAuxiliaryBasis(Average& a, double sum, int months) {
  if (months < 1) months = 1;
  a.daily = round2(a.daily + sum / (30.0 * months));
  a.monthly = round2(a.monthly + sum / months);
  return sum / months;
}

double monthlyFloor(const Floors& f) { return round2(f.minimumWage * f.workFraction); }

double dailyFloor(const Floors& f) {
  double wage = f.minimumWage * f.workFraction;
  return round2((wage - wage * f.contributionPercent / 100) / 30);
}

namespace {
std::string fraction(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%4.2f", rt::roundHalfAway(x, 2));
  std::string s = buf;
  return s.size() > 4 ? std::string(4, '*') : s;
}
}  // namespace

std::string monthlyFloorNote(double workFraction) {
  return "Uwaga: S`rednia` ustalono wg minimalnej pl`acy krajowej (etat:" + fraction(workFraction) + ")";
}

std::string dailyFloorNote(double workFraction) {
  return "Uwaga: Stawke` dzienna` ustalono wg minim. pl`acy kraj. (etat:" + fraction(workFraction) + ")";
}

std::string usedMonths(const MonthTable& t, bool chosenOnRecord, int shift) {
  std::string s;
  for (const BasisMonth& m : t.months) {
    if (!m.counts) continue;
    int x = chosenOnRecord ? m.month - shift : m.month;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2d", x);
    std::string piece = buf;
    s += piece.size() > 2 ? "**" : piece;
  }
  return s;
}

}  // namespace zus::basis
