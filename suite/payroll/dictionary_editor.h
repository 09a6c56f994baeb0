// The editor of one dictionary of SLOWNIK (`MODISLOW`): the entries of a dictionary letter in a
// window; Enter edits the selected entry's abbreviation, name and value, Ins adds an entry under
// a new two-character code, Del deletes one after a question, Esc leaves.
//
// Works on the table set's `sl` when it is open, else on SLOWNIK opened shared for the call; the
// previously selected area (and the set's order and record) come back on every way out. Every
// change is written under a record lock; a refused lock is told with a message and changes nothing.
#pragma once

namespace suite {

void editDictionary(char letter);

}  // namespace suite
