// The suite's listing generator `GENERUJ`, in a plain form: the user picks one of the named
// orders and a device; every record of the selected work area from the top, in that order, is
// offered to the per-record callback and, unless the callback answers "T", printed as one line
// of the browse columns under the title and the column headings.
//
// Arguments used: 7 title, 8 blocks giving order numbers, 9 their names, 10 value blocks (or
// expression texts) of the columns, 11 their headings, 15 the per-record callback block. The
// other arguments (the catalogue for the user's own choice of columns and conditions) are
// accepted and not offered in this form.
#pragma once

#include <string>

#include "runtime/core/value.h"

namespace suite {

// The text a listing shows for a value: trimmed text, numbers with their decimals, dates as
// DTOC, logicals as "Tak"/"Nie".
std::string listingText(const rt::Value& v);

void registerListingGenerator();

}  // namespace suite
