// The card's small text routines, also used by the listings and the register browse by name.
//
//   FORMAT_(amount, dash)   an amount column of exactly `zusx_szer` characters; a zero with
//                           `dash` is a centred "-"; a value too wide shows asterisks in the
//                           picture's shape, so nothing is cut silently
//   _JAKI_ZAS(kind)         the kind's dictionary name in 18 characters ("wyr." before it for a
//                           correction record); 18 blanks for an unknown kind
//   ZAMIEN_PROCENT(n)       "100%" for a sickness kind at work or marked 100%, else STR(n,3)+"%"
//   _OBNIZ()                the 25% reduction window of the employee, as text
//   WEZ_STAZ(nr, @wart)     the employee's years-of-service payroll input item
// `_JAKI_ZAS`, `ZAMIEN_PROCENT` and `_OBNIZ` read the current benefit record.
#pragma once

#include <string>

#include "runtime/core/value.h"

namespace zus {

std::string FORMAT_(double amount, bool dash = false);
// Asterisks in the shape of the last `width` characters of the amount picture: the mark of an
// amount too wide for its column.
std::string amountOverflow(int width);
std::string _JAKI_ZAS(const std::string& kind);
std::string ZAMIEN_PROCENT(double percent);
std::string _OBNIZ();
// True when the employee has input items; `value` gets the item's number when one matches.
bool WEZ_STAZ(const std::string& employee, rt::Value& value);

}  // namespace zus
