// The company set-up of the suite (`INI_FIRM`): the company's directories, the payroll month and
// the suite's public variables the options read.
//
// The program runs with the company data directory as its current directory. `INI_FIRM` sets, as
// public variables: `_path_spec` and `_path_plac` (that directory) and `_path_kadr` (its KADRY
// subdirectory), each ending with a separator; the payroll month `lum_data` and the company name
// `firm_nazwa` from the payroll module's file "lumdata" (today when the file is missing);
// `len_slow`, `lum_alfa`, `main_const`, `i_indeks`, `z_indeks`, the key-code variables
// (`Enter`, `Esc`, ...), the month names `tab_mies` and the print layer's `p_graf`, `dev_b_on`,
// `dev_b_off`, `dev_u_on`, `dev_u_off`.
#pragma once

#include <cstdint>
#include <string>

namespace suite {

void INI_FIRM();

// The company data directory (the current directory) with a trailing separator.
std::string companyDir();

// Day number of a calendar date (0 for no such day), as the runtime's date values count days.
int32_t dayNumber(int year, int month, int day);
void splitDayNumber(int32_t dayNumber, int& year, int& month, int& day);

// The payroll month file: "lumdata" + the memory-file extension in the payroll directory.
inline constexpr const char* kPayrollMonthFile = "lumdata";
// The last archiving of the system parameters: "closed" + extension in the payroll directory.
inline constexpr const char* kClosedFile = "closed";

void registerCompanyFunctions();

}  // namespace suite
