// What the listings' picker expressions and value blocks call by name: the status pickers, the
// dictionary of a dictionary column, the employee pickers by surname and by additional number,
// the payroll transfer status text, and the double-line box characters.
//
// Every picker leaves the selected work area, the dictionary's order, MAIN's order and record,
// the colour set and the screen as it found them, and answers "" when the user gives up.
#pragma once

#include <string>

namespace zus {

// The calculation status chosen from `stat_mess`, left-aligned in 40 characters, or "".
std::string WYBOR_STAT();
// "Przepisany", "Nie przepisany" or "Przepisany-zmiany" left-aligned in 20 characters, or "".
std::string PRZEPIS_STAT();
// The code of the dictionary that the catalogue column being chosen shows (column number in
// `___nr_k`, else `g_wybor2`); "" when neither holds a column of `naglowki`.
std::string DAJ_KOD();
// A surname (of MAIN's width) of an employee chosen by the payroll library's chooser, or "".
std::string MY_WYB_PRAC();
// The additional number of an employee chosen the same way, or "".
std::string WYB_NR_PS();
// Sets the sixteen box-character variables (`zn_lg` ... `zn_kon2`) by `p_graf`.
void INI_ZN();

void registerListingPickers();

}  // namespace zus
