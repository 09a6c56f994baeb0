// Further small routines of the suite by name: a vertical menu (`MENU`), a key wait with hot keys
// (`E_INKEY`), a window-closing key test (`K_CLOSE`), the suite's browse (`E_DBEDIT`, with the
// runtime's DBEDIT arguments), the record in hand on row 23 (`DAJ_WZORZEC`), a directory check
// (`SPRAWDZ_KAT`), the print footer (`TXT_REKLAMA`) and texts split at and joined with a
// separator (`IE_EXPLODE(text, separator)`, `IE_IMPLODE(separator, list)`).
#pragma once

#include <string>
#include <vector>

#include "runtime/core/value.h"

namespace suite {

std::vector<std::string> explode(const std::string& text, const std::string& separator);
// Values as their text: numbers trimmed, NIL as "NIL", dates as YYYYMMDD, logicals as T or F.
std::string implode(const std::string& separator, const rt::Array& values);

void registerChoiceFunctions();

}  // namespace suite
