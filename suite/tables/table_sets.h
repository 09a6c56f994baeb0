// Table sets: the tables an option needs, opened together and closed together.
//
//   _OPEN_SET("MAIN | SLOWNIK | NIEOBEC", "SSs")  opens each table in a work area of its own,
//       under its alias (SLOWNIK as `sl`), from its company directory, with its structural index in its first order;
//       one mode letter per table: "S" or "s" shared, "e" or "E" exclusive. True when every table
//       is open, the last one selected; when one fails, those opened are closed again and the
//       previously selected work area is selected.
//   _CLOSE_SET("MAIN")   closes the set opened with that first name (or its alias)
//   _CLOSE_ONLY("DANE_KD")  closes one table opened alone
// The set knows the work area selected before it opened and selects it again when it closes.
#pragma once

#include <string>
#include <vector>

namespace suite {

std::vector<std::string> splitSetNames(const std::string& names);

bool openSet(const std::string& names, const std::string& modes);
void closeSet(const std::string& firstName);
void closeOnly(const std::string& name);

// The table file whose absence stopped the last opening of a set; "" when none was missing.
const std::string& missingTableOfLastSet();

// Sets opened and not yet closed, by their first name.
std::vector<std::string> openSets();

void registerTableSetFunctions();

}  // namespace suite
