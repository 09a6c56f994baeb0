// The suite's range picker of the prints: the employee range that the card and settlement prints
// and the RESET export read from `ky_zakres`, `ky_tab` and `ky_index`, chosen through the payroll
// library's range dialog (`ZAKRES`) before a print starts. Esc keeps the range chosen before.
#pragma once

namespace suite {

// Registers `ZAKRES_WYDR` (no arguments) for calls by name, from the menu.
void registerPrintRangeFunctions();

}  // namespace suite
