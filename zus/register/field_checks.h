// The edit form's field checks and key actions that work on its working copies (private
// variables named after the record's fields with a leading underscore, and `skr_zas`).
//
// A check returns true to let the user leave the entry and false to keep the cursor in it; a
// refusal says nothing unless a message is named. Key actions take the hot key's procedure, line
// and the name of the active entry.
#pragma once

#include <string>

namespace zus {

// --- kind and value ----------------------------------------------------------------------------
// `OK_ZAS(_wier, _kol)`: the kind typed as an abbreviation, else chosen in the dictionary picker;
// shows the kind's mnemonic at (_wier, _kol) and applies the status rules of an edited record.
bool OK_ZAS(int row, int col);
// `OK_WARTOSC`: the value's range and the switch between constant value and not calculated.
bool OK_WARTOSC();
// Writes the status text of `_status` in bold on the form's status line.
void showFormStatus();

// --- percentage and flags ----------------------------------------------------------------------
bool OK_PROC();
bool OK_KOREKT();
bool OK_WYPADEK();
bool OK_100();
// `SZUK_PROC(od)`: the sickness percentage by years of service at the first day `od`.
int SZUK_PROC(int32_t od);
// The percentage by whole years of service (75 up to 3, 80 up to 8, else 100).
int percentForYears(double years);

// --- keys of the form ---------------------------------------------------------------------------
void DAJ_F5(const std::string& activeVar);
void DAJ_F7();
void DAJ_CT_F2();
void DAJ_CT_F3();

}  // namespace zus
