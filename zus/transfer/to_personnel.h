// The transfer to personnel (`GOTO_KADRY`): the days of the calculated benefits paid in a range of
// months become day records of the personnel module (table CZAS_P), one per calendar day.
//
// A benefit and its day records share an internal number, `kod_wew`, given the first time the
// benefit is sent and right-aligned in the field. Sending a benefit again deletes all its day
// records and writes them anew; the day records of a benefit that no longer exists in the register
// are removed; a day record numbered "!" belongs to the personnel module alone and is never
// touched. A benefit day that replaces a holiday day of the personnel module is counted, told to
// the user and listed in "WYDRUKI\url_kas.lst" so that the holiday can be corrected there.
#pragma once

#include <string>

namespace zus {

void GOTO_KADRY();
// The set-up: personnel program present, confirmation, range, period, table set; abandons the
// run when the user leaves.
void INI_GOTO_K();
// The employee on which MAIN stands; needs the run context of `GOTO_KADRY`.
void KADRUJ_FACETA();
// Removes the day records of the employee's vanished benefits in the period; true when any went.
bool A_KASOWANE();
// Deletes the employee's day records numbered `kodWew`, all or none; true when it could not
// (some were locked elsewhere, or the number is "!").
bool KAS_Z_CZAS(const std::string& kodWew);
// The next internal number for the employee of the current benefit record.
std::string NEW_KOD_WEW();
// Writes the current benefit record's day records from `od` to `do`; false (a critical error
// counted) when a day stopped it, the days after that day untouched.
bool WPISZ_1ZAS();
// Closes the trace window, shows the summary and writes the holiday list.
void WRITE_KON();
// Writes the holiday list "WYDRUKI\url_kas.lst" (only where the directory WYDRUKI exists).
void O_URLOPACH();
// Fills `symb_ua` with the three-character holiday codes of `symbol_u_1`.
void DEF_TAB_U();

void registerPersonnelTransferFunctions();

}  // namespace zus
