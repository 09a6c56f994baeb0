// The suite's listing generator `GENERUJ` with its catalogue: the user chooses columns from the
// catalogue (in the order they are to stand), one of the named orders and conditions on columns
// (a value taken through the column's picker expression; for a column without one, a value typed
// in, or chosen from its choice list or as yes/no), runs the program's extra buttons, and
// produces the listing on a device of the print layer, or browses the records through the browse
// columns (listing_browse.h). Esc in the set-up menu ends the generator.
//
// Arguments read: 3, 4, 5 the catalogue (value blocks, type strings, headings); 7 the title;
// 8 and 9 the blocks giving order numbers and their names; 10 and 11 the browse columns and their
// headings; 15 the per-record callback; 17 the
// detail alias of a two-level listing, with 18 and 19 the detail and main key blocks and 23 the
// detail-order block; 28 and 29 the labels and blocks of extra buttons. Memory variables read:
// `t_glob` (choice lists of the s/S columns). Before a picker runs, `___nr_k` holds the number
// of the catalogue column whose value is being chosen.
#pragma once

#include "runtime/core/functions.h"

namespace suite {

rt::Value generateListing(rt::Args& args);

// Registers GENERUJ (replacing the plain form of listing_generator.h).
void registerCatalogueListingGenerator();

}  // namespace suite
