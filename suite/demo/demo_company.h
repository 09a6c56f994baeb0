// The demo company: a small firm with everything the benefit program reads, so that every option
// can be tried at once and the end-to-end tests have data to work on.
//
// About fifty employees (some aged over 50, some dismissed, one half-time with a low wage whose
// sick pay of the payroll month falls under the minimum-wage floors), the FTE dictionary that the
// personnel parameters name, the benefit dictionary with all 33
// kinds, departments and groups, the payroll items, two years of payroll archive (bases, days
// worked, and for the pseudo-employee "    0" the working days, the minimum wage and the parental
// benefit), a saved link configuration, the personnel items and a few benefit records. The
// payroll month is the current month.
#pragma once

#include <string>

namespace suite {

// Creates the demo company in `dir` (made when missing). Existing tables are replaced.
void createDemoCompany(const std::string& dir);

// Whether `dir` already holds a company (its employee table).
bool companyExists(const std::string& dir);

}  // namespace suite
