// The employee's work-time fraction (`WYM_ETAT`): the full-time equivalent the personnel module
// keeps for the employee. Its parameters ("kadry_pp" in the personnel directory) name the FTE
// dictionary by `symbol_eta`; MAIN's field "SL_" + that symbol holds the employee's code in it,
// and the dictionary entry keeps the FTE in thousandths in the first four bytes of `wart` (1000
// a full time, 500 a half).
#pragma once

#include <optional>
#include <string>

namespace suite {

// The MAIN field of the employee's FTE code ("SL_" + the symbol, trimmed); "" when the personnel
// parameters name none (no file, a damaged one, no symbol).
std::string fteFieldName();

// The employee's entry of the FTE dictionary: its code and the full-time equivalent it holds,
// as stored (whatever the value).
struct FteEntry {
  std::string field;  // the MAIN field holding the code ("SL_ETA")
  std::string code;   // the code, trimmed
  double fte = 0;
};

// The entry of the employee MAIN stands on, from the dictionary open as `sl` (which keeps its
// order and record); none when the fraction is not set: no FTE field or code, or a code the
// dictionary lacks.
std::optional<FteEntry> employeeFteEntry();

// Whether a full-time equivalent can be one: above nothing and at most a full time. Parameters
// that name another dictionary give codes' values far outside.
bool plausibleFte(double fte);

// `WYM_ETAT`: the employee's full-time equivalent as the dictionary holds it, 1.00 where none is
// set.
double workFraction();

}  // namespace suite
