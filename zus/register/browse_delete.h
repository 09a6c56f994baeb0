// Deleting a benefit record from the register browse (`KAS_ZASILEK`): the record is marked
// deleted, its days are taken back from the employee's counters, and the browse is left on a
// neighbouring record of the scope.
#pragma once

namespace zus {

// Deletes the current NIEOBEC record; nothing changes when it cannot be locked.
void KAS_ZASILEK();

}  // namespace zus
