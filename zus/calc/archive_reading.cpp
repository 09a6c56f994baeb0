// The archive reading of the basis and the per-employee fill-up switch.
#include "zus/calc/archive_reading.h"

#include <cstdio>

#include "zus/calc/basis_vars.h"

namespace zus::basis {
namespace {

std::string twoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

std::string fourDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%4d", n);
  return buf;
}

void warnOnce(const ArchiveSetting& s, const std::vector<std::string>& lines) {
  if (s.oneEmployee && s.warn) s.warn(lines);
}

// The warning before month 1 of one employee is read: it is not archived yet, or lies after the
// employee's current payroll month.
void checkFirstMonth(const MonthTable& t, const ArchiveSetting& s) {
  const BasisMonth& m = t.months.front();
  int c = s.monthsBack + m.distance + 12 * (s.employeeArchived.year - s.payrollMonth.year) +
          s.employeeArchived.month - s.payrollMonth.month + 1;
  std::string when = twoDigits(m.month) + "." + fourDigits(m.year);
  if (c == 0)
    warnOnce(s, {"Podstawa z " + when + " jest pobrana z biex`a`cego miesia`ca!",
                 "Sprawdz` jej poprawnos`c`!"});
  else if (c < 0)
    warnOnce(s, {"Nie ma jeszcze podstawy z " + when + "!", "Sprawdz` zamknie`cie miesia`ca!"});
}

// A month of the basis the archive does not keep: the reading ends with `outcome`.
ArchiveOutcome missing(const ArchiveSetting& s, const BasisMonth& m, ArchiveOutcome outcome) {
  reportMissingMonth(s, {m.year, m.month});
  return outcome;
}

}  // namespace

bool seekArchive(const std::string& employee, const std::string& item) {
  selectAlias("archiw");
  return call("DBSEEK", {rt::Value::text(employee + item)}).logicalOr(false);
}

std::optional<double> archiveMonth(int depth, bool pseudoEmployee, int monthsBack) {
  int d = pseudoEmployee ? depth : monthsBack + depth;
  rt::Value v = call("POB_AR", {rt::Value::integer(d), rt::Value::logical(false)});
  if (!v.isNum()) return std::nullopt;
  return v.num();
}

double archiveValue(int depth, bool pseudoEmployee, int monthsBack) {
  return archiveMonth(depth, pseudoEmployee, monthsBack).value_or(0);
}

void reportMissingMonth(const ArchiveSetting& s, YearMonth month) {
  warnOnce(s, {"Archiwum pl`ac nie obejmuje miesia`ca " + twoDigits(month.month) + "." +
                   fourDigits(month.year) + "!",
               "Zasil`ek nie zostal` obliczony: brak danych w archiwum."});
}

bool employeeFillsUp() {
  int mode = int(numVar("zusx_kor", 1));
  if (mode == 1) return true;
  if (mode == 2) return false;
  rt::Value area = call("SELECT");
  rt::Value slArea = call("SELECT", {rt::Value::text("sl")});
  if (slArea.intOr(0) <= 0) return false;
  selectAlias("sl");
  rt::Value order = call("INDEXORD"), record = call("RECNO");
  call("DBSETORDER", {rt::Value::integer(1)});
  bool fills = false;
  std::string header = textVar("zusx_slownik").substr(0, 1) + "  ";
  if (call("DBSEEK", {rt::Value::text(header)}).logicalOr(false)) {
    std::string field = "SL_" + trim(aliasField("sl", "skrot").strOr(""));
    // An employee table without that dictionary's field has no entry: not filled up.
    rt::Value code = aliasField("main", field);
    if (code.isChar() && call("DBSEEK", {code}).logicalOr(false))
      fills = aliasField("sl", "dop_zus").numOr(0) == 1;
  }
  call("DBSETORDER", {order});
  call("DBGOTO", {record});
  if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
  return fills;
}

int systemDepth(const BasisMonth& m, const ArchiveSetting& s) {
  YearMonth closed = s.closedMonth.value_or(YearMonth{});
  return s.monthsBack + m.distance + 12 * (closed.year - s.payrollMonth.year) + closed.month -
         s.payrollMonth.month + 1;
}

ArchiveOutcome readArchive(MonthTable& t, const ArchiveSetting& s) {
  t.noNotFilledItem = s.notFilledUpItem.empty();
  if (s.basisItem.empty()) return ArchiveOutcome::Read;
  if (!seekArchive(s.employee, s.basisItem)) return ArchiveOutcome::BasisMissing;
  for (size_t k = 0; k < t.months.size(); ++k) {
    BasisMonth& m = t.months[k];
    if (k == 0) checkFirstMonth(t, s);
    std::optional<double> v = archiveMonth(m.distance, false, s.monthsBack);
    if (!v) return missing(s, m, ArchiveOutcome::BasisMissing);
    m.basis = *v;
    m.basisRead = true;
  }

  bool days = s.fillsUp() || s.droppingAllowed;
  if (days && !s.daysWorkedItem.empty() && seekArchive(s.employee, s.daysWorkedItem)) {
    double divisor = s.daysWorkedDivisor != 0 ? s.daysWorkedDivisor : 1;
    for (BasisMonth& m : t.months) {
      std::optional<double> v = archiveMonth(m.distance, false, s.monthsBack);
      if (!v) return missing(s, m, ArchiveOutcome::WorkingDaysMissing);
      m.daysWorked = *v / divisor;
      m.daysWorkedRead = true;
    }
  }

  if (!(s.fillsUp() || s.droppingAllowed)) return ArchiveOutcome::Read;
  bool wanted = true;
  bool lastSeekFailed = false;
  if (!s.workingDaysItem.empty()) {
    lastSeekFailed = !seekArchive(s.employee, s.workingDaysItem);
    if (!lastSeekFailed) {
      for (BasisMonth& m : t.months) {
        std::optional<double> v = archiveMonth(m.distance, false, s.monthsBack);
        if (!v) return missing(s, m, ArchiveOutcome::WorkingDaysMissing);
        m.workingDays = *v;
        m.workingDaysRead = true;
      }
      wanted = false;
    }
  }
  if (wanted && !s.systemWorkingDaysItem.empty()) {
    // Without a date of the last archiving the system's months cannot be placed.
    if (!s.closedMonth) return ArchiveOutcome::WorkingDaysMissing;
    lastSeekFailed = !seekArchive(kSystemEmployee, s.systemWorkingDaysItem);
    if (!lastSeekFailed) {
      if (systemDepth(t.months.front(), s) < 0)
        warnOnce(s, {"UWAGA: Ostatnio zarchiwizowane dni robocze za " +
                         twoDigits(s.closedMonth->month) + "." + fourDigits(s.closedMonth->year),
                     "Sprawdz` je w historii parametro`w systemowych w module Pl`ace!"});
      for (BasisMonth& m : t.months) {
        int depth = systemDepth(m, s);
        m.workingDaysRead = depth >= 0;
        if (depth < 0) {
          m.workingDays = 0;
          continue;
        }
        std::optional<double> v = archiveMonth(depth, true, s.monthsBack);
        if (!v) return missing(s, m, ArchiveOutcome::WorkingDaysMissing);
        m.workingDays = *v;
      }
      wanted = false;
    }
  }
  // Still wanted: a failed seek leaves the record without its working days; with neither item
  // linked the working days stay 0 and the part not filled up is not read.
  if (wanted) return lastSeekFailed ? ArchiveOutcome::WorkingDaysMissing : ArchiveOutcome::Read;

  if (s.fillsUp() && !s.notFilledUpItem.empty() && seekArchive(s.employee, s.notFilledUpItem))
    for (BasisMonth& m : t.months) {
      std::optional<double> v = archiveMonth(m.distance, false, s.monthsBack);
      if (!v) return missing(s, m, ArchiveOutcome::BasisMissing);
      m.notFilledUp = *v;
    }
  return ArchiveOutcome::Read;
}

std::optional<double> auxiliarySum(const std::string& employee, const std::string& item, int from,
                                   int to, int correction, int monthsBack,
                                   std::optional<int>* missingDepth) {
  if (item.empty() || !seekArchive(employee, item)) return std::nullopt;
  double sum = 0;
  for (int i = from; i <= to; ++i) {
    std::optional<double> v = archiveMonth(i + correction, false, monthsBack);
    if (!v && missingDepth && !*missingDepth) *missingDepth = i + correction;
    sum += v.value_or(0);
  }
  return sum;
}

}  // namespace zus::basis
