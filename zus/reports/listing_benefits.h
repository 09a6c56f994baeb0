// The benefit listing "Zestawienie zasil`ko`w ZUS": one row per benefit record of NIEOBEC, joined
// to its employee in MAIN through a relation, handed to the suite's listing generator with the
// catalogue of listing_catalogue.h, the browse columns, the named orders and the per-record
// callback `MY_FUN_G`.
//
// When MAIN has the order "NR_PSEUDO", two more orders sort the benefits by the employee's
// additional number: tags "jeden" (with the end date) and "dwa" (with the payout date), built for
// the run in a temporary index bag named after the process (`NAZWA_PROCESU()` + "z.cdx"). The bag
// lies in the system's temporary directory, not in the company directory that several
// workstations share (their process numbers may coincide), and is erased when the run ends,
// however it ends, after the tables are closed.
#pragma once

#include <string>

#include "runtime/core/value.h"

namespace zus {

void G_WYDR_ZAS();
// Fills the run's `wartosci`, `typy` and `naglowki` with the catalogue of this listing.
void PRZYG_WYD();
// The per-record callback: sets `podatek`; .F. to list the record, "T" to leave it out.
rt::Value MY_FUN_G();

// Where the run's temporary index bag lies.
std::string temporaryBagPath();

void registerBenefitListing();

}  // namespace zus
