// The window "Dane o podstawach": one benefit's basis month by month, shown from the register
// (the saved basis record read back) and in a calculation of one employee (the values just
// computed). F6 in the window prints the table; any other key closes it.
#pragma once

#include <functional>
#include <string>

#include "zus/calc/saved_basis_record.h"

namespace zus::basis {

// `DAJ_MC`: the month's abbreviation in display form; three blanks for a number outside 1..12.
std::string monthAbbreviation(int month);

// What the window shows beyond the basis set: the employee, the record and the parameters.
struct WindowSubject {
  std::string firstName, surname, number;  // number: `nr_pseudo` or `nr_prac`
  int32_t from = 0, to = 0;                // nieobec->od, nieobec->do
  bool firstDayUnpaid = false;             // nieobec->czy_nie_pl
  bool averageKind = false;                // the kind of link slot 5: only an average
  bool calendarDays = false;               // `zusx_dni_kal`: the "Kal." column
  int auxiliaryFrom = 0, auxiliaryTo = 0;  // `zusx_pom_od`, `zusx_pom_do`
  int auxiliaryMonth = 0, auxiliaryYear = 0;  // `zusx_pom_m`, `zusx_pom_r`
  // The register's window takes the value texts from the record when the saved texts are
  // blank: STR(procent, 3), STR(podst_zas, 6, 2), STR(l_dni, 3), STR(wartosc, 8, 2).
  std::array<std::string, 4> recordTexts;
};

enum class WindowKind {
  Register,     // `NVIEW_DANE`: remark in the normal colour, texts fall back on the record
  Calculation,  // `PODST_OBL`: remark bold, texts as computed, the parental top-up message
};

// Draws the window, waits for one key, prints on F6 and closes the window. `parentalShortfall`
// is `kwota_tmp` with its decimals (Calculation only).
void showBasisWindow(const BasisSet& b, const WindowSubject& subject, WindowKind kind,
                     const Num& parentalShortfall, const std::function<void()>& print);

// The sum of the filled-up bases of the months that count.
double countedSum(const BasisSet& b);

}  // namespace zus::basis
