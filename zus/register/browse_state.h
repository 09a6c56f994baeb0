// The register's working state for one run of `WPROW_NB`: private variables that every routine
// called from the browse reads and writes by name (chosen employee, header counters, birth date,
// browse order, column arrays), and the small operations on it that other routines share:
// restoring the browse's scope (`DAJ_SCOPY`), the days outside the workplace (`ILE_POZA`) and the
// redraw of one header counter.
#pragma once

#include <string>

namespace zus {

// Places of the header counters on the register screen.
struct CounterPlace {
  int row, col, width;
  const char* var;    // working copy in the register state
  const char* field;  // employee-record field
};
inline constexpr CounterPlace kSickDays{4, 23, 3, "suma_dni1", "dni_ch"};
inline constexpr CounterPlace kCareDays{4, 45, 2, "suma_dni2", "dni_op"};
inline constexpr CounterPlace kFamilyCareDays{4, 73, 2, "suma_dni3", "dni_rdz"};
inline constexpr CounterPlace kDaysOutside{5, 51, 2, "suma_poza", "dni_poza"};

// Declares the register state as privates of the caller's frame, with their initial values.
void declareRegisterState();

// Restores the browse's view in the selected work area (NIEOBEC): order `ord_baz`, the employee
// scope (the previous and current year only while `zusx_filtr` is on) and the remembered record.
void DAJ_SCOPY();

// Sets the browse's order and employee scope in the selected work area (no repositioning).
void setEmployeeScope();

// Days outside the workplace that the payroll input holds for `nr_pracusia` (0 when none).
double ILE_POZA();

// Redraws a header counter from its working copy, bold in colour set 38.
void showCounter(const CounterPlace& place);

// The year filter note of the header: "FILTR na lata: " + years, or 24 blanks.
std::string filterNote();

}  // namespace zus
