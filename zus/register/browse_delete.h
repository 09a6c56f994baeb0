// Deleting a benefit record from the register browse (`KAS_ZASILEK`): the record is marked
// deleted, its days are taken back from the employee's counters, and the browse is left on a
// neighbouring record of the scope.
#pragma once

namespace zus {

// Deletes the current NIEOBEC record; when it cannot be locked nothing changes and the user is
// told so.
void KAS_ZASILEK();

inline constexpr const char* kRecordBusyNoDelete =
    "Zapis jest ux`ywany na innym stanowisku - usunie`cie nie nasta`pi !";

}  // namespace zus
