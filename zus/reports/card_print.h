// The benefit card of one employee: the header (full or short), one table row per benefit record
// of the period, page breaks through the print layer.
//
// Called by the print run's scope loops with MAIN on the employee and the run's variables in
// place (date kind, period, box characters, widths, table lines, `brak_zas`, `czy_nagl`). The
// card reads the tables and writes none; it leaves NIEOBEC selected in the order it used and the
// nearest-key setting as it found it.
#pragma once

#include <string>

namespace zus {

// Prints the card of the employee on whom MAIN stands, or nothing when the employee has no
// benefit record in the period (or the first one is of the child-care-leave average kind).
void DR_KART(const std::string& caption);

// The seven lines of the full card header (129 columns of its frame).
void DR_NAGL();

}  // namespace zus
