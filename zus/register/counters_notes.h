// Sick-note numbers of the register (order 2 of NIEOBEC, `nr_l_4`): whether a number exists
// (`CZY_JEST_L_4`, with the 90-day rule along a chain of sick notes for rights before 8 February
// 2005) and the days along a chain (`ILE_TYCH_DNI`, `ILE_DNI`).
//
// A chain runs from a record through its `poprz_l_4` to the record carrying that number, over
// the whole register. The routines work on the selected table (NIEOBEC) and give the browse its
// order, scope and record back.
#pragma once

#include <optional>
#include <string>

namespace zus {

bool CZY_JEST_L_4(const std::string& note, bool mustExist, bool newRecord);

// Days of the note `note` (default: the current record's previous note) and of every note before
// it in its chain; a chain that comes back to a note already counted ends there.
double ILE_TYCH_DNI(bool restoreScope, std::optional<std::string> note = std::nullopt);

// The same walk behind a flag (default: the current record's `okr_zas`), starting at the note held
// in the caller's variable `to_l_4`; 0 when the flag is false or there is no such variable.
double ILE_DNI(bool restoreScope, std::optional<bool> flag = std::nullopt);

}  // namespace zus
