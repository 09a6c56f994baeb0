// The parameter window "Parametry programu" (`ED_PAR`), its label routine `_DLEN`, the list of
// dictionaries parameters 7 and 8 can refer to (`USTAL_SLOWNIKI`) and the menu entry that edits
// such a dictionary (`_EDITSLOW`).
//
// The window edits 19 numbered parameters field by field with the option-screen widgets. Seven
// of them go through working copies (`zaok1`, `zaok2`, `mies`, `wypad`, `kor`, `rodz_zaok`,
// `pr_zas`, privates so that the check texts can name them) written back at the end; the others
// are edited in place. There is no cancel: every way out checks the auxiliary basis period,
// may offer to take a changed period back, and saves the whole parameter set.
#pragma once

#include <string>
#include <vector>

namespace zus {

// `_DLEN`: the label's display form; element `ktory` of the caller's private array `were`
// becomes its length plus 2 (the offset of the value column from the label column).
std::string _DLEN(const std::string& storedLabel, int ktory);

void ED_PAR(int ilOpcji, int wiersz);

struct DictionaryList {
  std::vector<std::string> texts;  // `_slowniki`: skrot + " - " + nazwa, as stored
  std::vector<std::string> letters;  // `_kody_sl`: the dictionary letters
};
// `USTAL_SLOWNIKI`: the dictionaries whose header row's `wart` ends in "1" or "3", in table order.
DictionaryList USTAL_SLOWNIKI();

// `_EDITSLOW(podl)`: the dictionary editor for parameter 7 (1) or 8 (2) when it is by dictionary.
void _EDITSLOW(int podl);

void registerParameterRoutines();

}  // namespace zus
