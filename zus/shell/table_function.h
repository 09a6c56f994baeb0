// The table function attached to the benefit program: which of the payroll module's table
// functions gives a benefit's percentage from the years of service, and its evaluation.
//
// The attachment is `_kod_fun` in the memory file "zus_kod" of the company directory ("" or no
// file: none attached). The payroll library keeps each function's tables as memory variables
// named after the last character c of its code: `ft_il_p`c (number of intervals n),
// `ft_pocz_`c (n + 1 interval bounds), `ft_st1_`c (value at each interval's start) and
// `ft_st2_`c (slope of each interval).
#pragma once

#include <optional>
#include <string>

namespace zus {

inline constexpr const char* kTableFunctionFile = "zus_kod";

// `WSKAZ_FUN`: asks, lets the user choose a function (`FT_EDIT`) and saves its code.
void WSKAZ_FUN();
// `ODLACZ_FUN`: shows the attached function and, on confirmation, stores an empty code.
void ODLACZ_FUN();

// `_OBLICZ_FT`: the function's value at the argument. No value (after its message) when the
// tables of the code are missing or malformed, empty, or the argument lies outside them.
std::optional<double> evaluateTableFunction(const std::string& code, double argument);

void registerTableFunctionRoutines();

}  // namespace zus
