// Small services of the suite's libraries the program calls by name: month arithmetic around the
// payroll month (`DOD_MIES`, `BOM`, `EOM`, `_ROK`, `_MIESIAC`), rounding (`LICZ_ZAOKR`,
// `E_ROUND`), text (`STRZER`, `Z_DUZEJ`, `UNICHR`, `TOKEN`, `NUMTOKEN`, `E_TRANSFOR`), the break
// key of a run (`PRZERWANIE`), the process name (`NAZWA_PROCESU`), the program's directory
// (`_PATH_TO_EXE`) and the order names of the suite's tables (`_INDEX_NAME`).
#pragma once

#include <cstdint>

namespace suite {

// The date moved by n whole months; a day past the end of the target month becomes its last day.
int32_t addMonths(int32_t day, int months);
int32_t firstOfMonth(int32_t day);
int32_t lastOfMonth(int32_t day);

void registerServiceFunctions();

}  // namespace suite
