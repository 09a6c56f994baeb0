// The card and settlement print run: `DRUK_ZAS` with 1 (cards) or 2 (settlement) owns the run's
// variables, asks for the date kind and the period (`DR_Z_INI`), opens the tables and the print
// device and walks the employee range chosen before the option started (`ky_zakres`: 1 all,
// 2 chosen groups, 3 one employee, 4 the payroll library's selection). `_ROB_TYTUL` prints the two
// title lines of each page; the print layer calls it by name.
//
// Every way out of a run closes what it opened: the device, the table sets, the working window;
// the work area selected at the start is selected again.
#pragma once

namespace zus {

inline constexpr int kPrintCards = 1;
inline constexpr int kPrintSettlement = 2;

void DRUK_ZAS(int what);
// False when the user gave up (Esc in the date-kind menu, period not chosen, tables not opened).
bool DR_Z_INI();
void DR_ZAS1();
void DR_ZAS2();
void DR_ZAS3(bool fromSelection = false);
void _ROB_TYTUL();

}  // namespace zus
