// Reading the payroll archive ARCHIW for the basis of one benefit record.
//
// The one rule for every reader of the archive: select `archiw`, seek the employee number (or
// the system pseudo-employee "    0" for company-wide values) followed by the payroll item code,
// and read the depths needed before any other seek moves the table. Depth d of an employee's
// record is the month d months before the payroll month; the pseudo-employee's depth 0 is the
// month after the last archiving of the system parameters (`closed_dat`).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "zus/calc/basis_months.h"

namespace zus::basis {

inline constexpr const char* kSystemEmployee = "    0";

// Selects `archiw` and seeks employee + item; true when found.
bool seekArchive(const std::string& employee, const std::string& item);
// `Z_ARCH`: the positioned record's value `depth` months back from the calculation month
// (`monthsBack` + depth), or at the archive depth itself for the pseudo-employee; none when the
// archive keeps no such month (a stored 0 is a value).
std::optional<double> archiveMonth(int depth, bool pseudoEmployee, int monthsBack);
// The same with 0 for a month the archive does not keep, for the readers that want a number.
double archiveValue(int depth, bool pseudoEmployee, int monthsBack);

// `_ZUSX_KOR`: is the current employee's basis filled up ("T") — by the parameter, or in the
// dictionary mode by the employee's entry of the dictionary `zusx_slownik`. The dictionary keeps
// its order and record.
bool employeeFillsUp();

// What the reading needs from the run and the program state.
struct ArchiveSetting {
  std::string employee;        // main->nr_prac
  int monthsBack = 0;          // `miesp`
  YearMonth payrollMonth;      // month of `lum_data`
  std::optional<YearMonth> closedMonth;  // month of `closed_dat`; none when it is no date
  YearMonth employeeArchived;  // main->rok_arc, main->mies_arc
  bool oneEmployee = false;    // `zakr` = 3: the warnings are shown
  std::string basisItem;             // `podstawka`
  std::string daysWorkedItem;        // `dni_pracy`
  std::string systemWorkingDaysItem; // `dni_w_mies`
  std::string workingDaysItem;       // `zas_dan`[13]
  std::string notFilledUpItem;       // `zas_dan`[12]
  bool droppingAllowed = false;      // `zusx_wypad` = "T"
  double daysWorkedDivisor = 1;      // `zusx_mnoz`
  std::function<bool()> fillsUp = employeeFillsUp;
  // A warning window of the one-employee run (`KOM3` with the lines, 0, 0, 5).
  std::function<void(const std::vector<std::string>&)> warn;
};

enum class ArchiveOutcome { Read, BasisMissing, WorkingDaysMissing };

// The first phase: reads the four series into the table. The table must already hold its months.
// A month that lies outside what the archive keeps is missing data, never 0: the basis (and the
// part not filled up) gives BasisMissing, the days gives WorkingDaysMissing, and a one-employee
// run names the month in a warning window.
ArchiveOutcome readArchive(MonthTable& t, const ArchiveSetting& s);

// The pseudo-employee's archive depth of month k's working days.
int systemDepth(const BasisMonth& m, const ArchiveSetting& s);

// `POD_POM`'s sum: the auxiliary item summed over the archive depths `from` to `to` (shifted by
// `correction`); nullopt when the item is not linked or not archived for the employee. When
// `missingDepth` is given, a depth the archive does not keep is put there (the first one).
std::optional<double> auxiliarySum(const std::string& employee, const std::string& item, int from,
                                   int to, int correction, int monthsBack,
                                   std::optional<int>* missingDepth = nullptr);

// The warning of a one-employee run about a month the archive does not keep.
void reportMissingMonth(const ArchiveSetting& s, YearMonth month);

}  // namespace zus::basis
