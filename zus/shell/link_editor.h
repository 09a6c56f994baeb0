// The link editor `LOAD_ZUS`: five tables in which the user binds the benefit dictionary, the 33
// benefit slots' dictionary entries, their amount items, the 33 days items and the 40 data items
// to the company's own codes.
//
// Its routines talk through privates of `LOAD_ZUS` by name: the label arrays `tab_sl`,
// `tab_skrot`, `tab_day`, `tab_skr`, the value arrays `zus_sl`, `zus_skrot`, `zus_plac`,
// `zus_day`, `zus_skr`, the rows on screen `tablica` and the key handler's flags. The RESET
// kind-mapping screen declares the same names and calls `USTAL_TABL` with table 2.
//
// A choice changes the link arrays at once. At the end the user saves the link (file, link flag
// and derived codes follow the arrays) or declines, and then the arrays go back to what they
// held on entry, so that the arrays, the derived codes, the flag and the file always agree.
#pragma once

#include <string>

namespace zus {

void LOAD_ZUS();

// `USTAL_NAGLOWEK`: the heading of a table, centred in 76 characters.
std::string linkTableHeading(int table);
// `USTAL_TABL`: fills `tablica` with the rows of the table; the number of rows.
int USTAL_TABL(int table);

void registerLinkEditorRoutines();

}  // namespace zus
