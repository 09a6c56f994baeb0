// The payout hint dates (`ED_DATY`), the print parameters of the benefit card (`ZUS_PARA`) and
// the settings menu entry `ED_ZAOK`.
//
// Both editors have no cancel: however they end, they save every "zusx_*" parameter to
// "zaokrag.zus" in the company directory. The dates are `zusx_d1` .. `zusx_d9`, of which the
// first `zusx_daty` are offered when a payout date is entered in the register.
#pragma once

#include "runtime/core/value.h"

namespace zus {

inline constexpr const char* kParameterFile = "zaokrag.zus";

// Saves every program parameter ("zusx_*") to the parameter file.
void saveParameters();

// `ED_DATY(x, y, dl, czy_il)`: windows from row x, column y, width dl; `askCount` false edits
// the dates of the current count at once, from inside another form.
void ED_DATY(int x, int y, int dl, bool askCount = true);
void ZUS_PARA();
// `ED_ZAOK(wybor)`: 1 the parameter window, anything else the payout dates.
void ED_ZAOK(const rt::Value& wybor);

void registerPayoutDateRoutines();

}  // namespace zus
