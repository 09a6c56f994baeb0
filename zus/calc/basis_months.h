// The month table of one benefit basis: which calendar months make up the basis and how far each
// lies back from the calculation month, with the monthly series read from the payroll archive.
//
// Month k = 1 is the first month of the record's chosen months (or the month before the start
// month when the months come from the parameter, or the calculation month itself when the
// parameter asks for none); the table keeps that order everywhere: averaging, the saved record,
// the window and the print.
#pragma once

#include <string>
#include <vector>

namespace zus::basis {

inline constexpr int kMaxMonths = 12;

struct YearMonth {
  int year = 0;
  int month = 0;
};

// One month of the basis.
struct BasisMonth {
  int distance = 0;        // months back from the calculation month (`historia`)
  int month = 0;           // calendar month (`_mies`)
  int year = 0;            // calendar year (`_roczek`)
  double basis = 0;        // archive basis (`podst_cz`)
  double filledUp = 0;     // basis filled up to full working days (`podst_skor`)
  double daysWorked = 0;   // `d_prac_cz`
  double workingDays = 0;  // `d_mies_cz`
  bool counts = true;      // false when the month dropped out (`wyp_mies`)
  int calendarDays = 0;    // `dni_kal`
  double notFilledUp = 0;  // part of the basis not filled up (`niedop_pod`)
  // Values read from the archive carry two decimals, the initial zeros none: the saved record
  // writes each with its own decimals.
  bool basisRead = false, daysWorkedRead = false, workingDaysRead = false;
};

struct MonthTable {
  int startMonth = 0;  // `akt_mies`: month of the benefit's first day
  int startYear = 0;   // `akt_rok`
  std::vector<BasisMonth> months;  // `max_hist` of them, at most kMaxMonths
  bool noNotFilledItem = true;     // `skl_niedop`: no payroll item for the part not filled up
  std::vector<bool> fillUpFlags;   // `pod_mc_kor`: one per chosen month, empty when none stored
  int count() const { return int(months.size()); }
};

// `KOREKTA_MC`: months from the start month to the calculation month.
int monthsFromStartToCalculation(YearMonth start, YearMonth calculation);

// The months of the basis. `chosenMonths` is the record's `te_mies` (two-digit months run
// together), `parameterMonths` is `zusx_mies` (0 to 12) and `previousYearRule` is `zusx_biez`
// (1: a chosen month equal to the start month means that month of the previous year).
// More than twelve chosen months are cut to twelve.
MonthTable chooseMonths(const std::string& chosenMonths, YearMonth start, YearMonth calculation,
                        int parameterMonths, int previousYearRule);

// The fill-up flags of `mies_dop`: true for each "T".
std::vector<bool> fillUpFlagsOf(const std::string& stored);

// The calendar month `depth` months before the payroll month.
YearMonth monthsBefore(YearMonth payroll, int depth);

}  // namespace zus::basis
