// Second phase of the basis: filling each month up to full working days, months dropping out,
// averaging the counted months (with a second pass without dropping when the first gives no
// positive basis), the auxiliary basis and the minimum-wage floors.
//
// Every running sum and every average is rounded to two decimals at its step, as on paper.
#pragma once

#include <functional>
#include <string>

#include "zus/calc/basis_months.h"

namespace zus::basis {

// `KORYGUJ_PODST`: month k's basis filled up to its working days (k counts from 0 here).
double filledUpBasis(const MonthTable& t, int k);

// The insurance start date as its parts (all 0 when empty).
struct DateParts {
  int year = 0, month = 0, day = 0;
};

// `CZY_WYPADLO`: does month k drop out of the basis.
bool dropsOut(const MonthTable& t, int k, bool droppingAllowed, DateParts insuranceStart);

struct AveragingSettings {
  bool basisItemLinked = true;   // `podstawka` not empty: without it no month is summed
  bool droppingAllowed = false;  // `zusx_wypad` = "T"
  bool calendarDays = false;     // `zusx_dni_kal`: divide by the calendar days of the months
  DateParts insuranceStart;      // `_data_puc`
  YearMonth payrollMonth;        // month of `lum_data`
  int monthsBack = 0;            // `miesp`
  // Whether month k is filled up when the record stores no fill-up flags (`_ZUSX_KOR`).
  std::function<bool()> employeeFillsUp = [] { return true; };
};

struct Average {
  double sum = 0;           // `suma_zar`: sum of the counted months of the last pass
  double monthly = 0;       // `pd_mies`
  double daily = 0;         // `ta_podstawa`
  int countedMonths = 0;    // `ile_razy` (-1 when none)
  int calendarDayTotal = 0; // `te_dni`
  bool secondPass = false;  // `zerowa`
};

// Fills up, drops and averages the table's months; updates filledUp, counts and calendarDays.
Average averageMonths(MonthTable& t, const AveragingSettings& s);

// Adds the auxiliary basis (sum `sum` over `months` months) to the averages and returns the
// auxiliary monthly basis (`POD_POM`'s result, unrounded).
double addAuxiliaryBasis(Average& a, double sum, int months);

// The minimum-wage floors.
struct Floors {
  double minimumWage = 0;          // `min_pl_br`
  double workFraction = 0;         // `wymiar_et`
  double contributionPercent = 0;  // `zusx_sprsk`
};
double monthlyFloor(const Floors& f);  // ROUND(wage x fraction, 2)
double dailyFloor(const Floors& f);    // the wage less contributions per day of a 30-day month

// The notes of the two floors, in stored form, with the work-time fraction as STR(x, 4, 2).
std::string monthlyFloorNote(double workFraction);
std::string dailyFloorNote(double workFraction);

// `fakt_mies`: the counted months, two characters each (" 3"), shifted back by `shift`
// (`zusx_ozn`) when the months were chosen on the record.
std::string usedMonths(const MonthTable& t, bool chosenOnRecord, int shift);

}  // namespace zus::basis
