// The payroll library's pickers: a dictionary of SLOWNIK (`POBSLOWNIK`), an entry of one
// (`POBSLOWO`), a dictionary's entries to edit (`MODISLOW`, dictionary_editor.h), a payroll item
// of the current `DANEPLAC` selection (`SEL_SKL`) and a table function (`FT_EDIT`).
//
// A picker left with Esc gives the no-code value `pustykod` (or 0, or leaves the variable as it
// was) and LASTKEY tells Esc. The dictionary pickers work on the table set's `sl` when it is open
// (and leave it on the chosen entry), else on SLOWNIK opened for the pick.
#pragma once

#include <string>
#include <vector>

namespace suite {

struct DictionaryRow {
  std::string kod, skrot, nazwa;
};

// Header rows ("X  ") of every dictionary, or the entries of the dictionary with letter `letter`.
std::vector<DictionaryRow> dictionaries();
std::vector<DictionaryRow> dictionaryEntries(char letter);

void registerPickerFunctions();

}  // namespace suite
