// The benefit listing with employee master rows: the employees of MAIN as main rows, each with
// its benefits of NIEOBEC as detail rows, handed to the suite's listing generator with the
// catalogue of listing_catalogue.h (columns marked for the employee's or the benefit's row). The
// generator's extra button "Par. dod." chooses whether an employee's benefits come by end date or
// by payout date (`nporzadek`).
#pragma once

#include <string>

#include "runtime/core/value.h"

namespace zus {

void G_WYDRZAS2();
// `NB_ZAS` for the same arguments, with the selected work area and MAIN's order and record put
// back afterwards.
rt::Value NB_ZAS2(const rt::Value& kind, const rt::Value& shortOnly);

namespace master_listing {

// The window "Parametry dodatkowe": sets `nporzadek` (starting from `zusx_dt_obl`); true.
bool GETPARDOD();
// NIEOBEC's controlling order by `nporzadek`: 1 by end date, otherwise 3 by payout date; true.
bool USTAW_PORZ();
// The per-employee callback: `podatek` from the current benefit, NIEOBEC moved to the
// employee's first benefit; .F. to list the employee, "T" to leave it out.
rt::Value MY_FUN_G1();
// The employee status list of STATUS: code left-aligned in three characters, then the name.
rt::Value TWORZ_TS();

}  // namespace master_listing

void registerMasterListing();

}  // namespace zus
