// The settlement of benefits: counts and amounts per benefit kind over the employees of a print
// run, printed once at its end.
//
// The accumulators belong to the print run (`il_zas`, `wart_zas`, `il_prac`, `wart_prac`: 33
// elements, one per link slot; `zas_il`, `il_obl`, `il_blad`). A calculable kind counts days, any
// other kind counts records; a record of an accident at work always adds its days, and also to
// the accident columns. Only records whose status holds a usable value are summed.
#pragma once

#include <string>

namespace zus {

// Adds the records of the period of the employee on whom MAIN stands. Leaves the selected area
// and NIEOBEC's order as it found them.
void ZLICZ_ZAS();

// Prints the information box and the table of kinds, then clears the accumulators.
void DR_ROZL();

// The dictionary name of the kind linked to `slot`, padded to the name field; false when the slot
// is unlinked or its kind is not in the dictionary.
bool WEZ_ZAS(int slot, std::string& name);

}  // namespace zus
