// The employee's day counters edited on the register screen (`DNI_GORNE`, key Ctrl+F2): the four
// header counters are read in place within their ranges and written to the locked employee record
// when the user changed one.
#pragma once

namespace zus {

void DNI_GORNE();

}  // namespace zus
