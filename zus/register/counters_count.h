// Sick-pay day counting in the employee's control year and the small day rules of the register:
// `ZLICZ_CHOR` (count, limit warnings, capped result), `WEZ_DATE` (start of the control year),
// `SUMA_DN` and `OK_POM_DZ` (14-day limit of care for a family member other than a child) and
// `MIES_KAL` (calendar-month distance).
//
// They run inside the register: the employee record is positioned and locked by the browse, and
// the edit form's working copies (`_zasilek`, `_czy_zlicz`, `_data_prawa`, ...) are read by name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zus {

// Limit of employer sick-pay days for the employee: `zusx_chz50` for an employee of 50 or more
// (by the age rule on `_data_ur` and `_data_prawa`), else `zusx_chzk`.
bool fiftyOrOver();

// Counts the employee's sick-pay days from the start of the control year. `od` and `to` are the
// form's dates (absent: no days of the form); warns about the limit for a new sickness entry and
// returns the count capped at the employee's limit. Leaves the selected work area and the order
// and record of NIEOBEC as it found them.
int ZLICZ_CHOR(const std::string& employee, bool czyNew, std::optional<int32_t> od = std::nullopt,
               std::optional<int32_t> to = std::nullopt);

// Start of the control year: the employee's `data_zus` when the table has it, else `lum_data`.
int32_t WEZ_DATE();

// A counter without the stored days of the record being edited (as it is for a new record).
double SUMA_DN(double dn);

// Check of the form's care answer `_pom_dz`: false unless "T" or "N"; warns when care for a
// family member other than a child goes beyond 14 days.
bool OK_POM_DZ();

// Whether `to` lies more than n calendar months after `from` (days of the month play no part).
bool MIES_KAL(int32_t from, int32_t to, int n);

}  // namespace zus
