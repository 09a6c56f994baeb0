// The display text of a benefit kind (`NB_ZAS`, also "nb_zas" in expression texts): the dictionary
// abbreviation in capitals with the kind's name, as the register browse's kind column and the
// benefit listings show it.
#pragma once

#include <string>

#include "runtime/core/value.h"

namespace zus {

// `zas` is a benefit dictionary code. With `onlyShortName` the text is the upper-case
// abbreviation alone; otherwise abbreviation, " - " and the name (marked "wyr." for a correction
// record of the register), cut to the width of the browse's kind column (28 outside the browse).
// A code not in the dictionary gives blanks of the width the text would have had. Leaves the
// dictionary on the code and the register table selected (when it is open).
std::string NB_ZAS(const std::string& zas, bool onlyShortName = false);

void registerNbZas();

}  // namespace zus
