// The yearly resets of the employees' counters, menu entries called by name:
// `ZER_DNI` zeroes the care-day counters `dni_op` and `dni_rdz` of every employee;
// `ZER_DAT` sets the start of the control year `data_zus` of every employee for a year the user
// gives (1 January, or the old start for an absence that goes on over New Year) and then, after a
// second question, zeroes the sick-pay days outside the workplace `dni_poza`.
#pragma once

#include <cstdint>
#include <string>

namespace zus {

void ZER_DNI();
void ZER_DAT();

// The start of the control year `year` for the employee `nr` whose current start is `current`,
// from the employee's benefit records (NIEOBEC selected, order 1).
int32_t controlYearStart(const std::string& nr, int year, int32_t current);

}  // namespace zus
