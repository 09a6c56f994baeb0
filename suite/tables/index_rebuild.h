// A structural index that a writer left behind when it died (the table still marked as being
// written, the index witnessing that write) no longer matches its table; the table holds the
// truth, so the index is built again from it, but only with nobody else working on the table:
// another workstation's open copy of the index must not change under it.
#pragma once

#include "suite/tables/table_defs.h"

namespace suite {

// The table opened exclusively for the rebuild (which shows that nobody else has it open), its
// structural index rebuilt, the table closed again and the user told in one line. When another
// workstation has the table open nothing is rebuilt: the user is told which table it is and
// that its indexes will be rebuilt when it is opened with nobody else working on the company;
// false then. The previously selected work area is selected again.
bool rebuildIndexesAlone(const TableDef& def);

// The same for the table open exclusively in the selected work area: rebuilt there.
void rebuildIndexesHere(const TableDef& def);

}  // namespace suite
