// Date and version strings: YYYYMMDD text to a date, and the comparison of dotted version texts.
//
// Dates are Julian day numbers as the runtime keeps them (0 = the empty date). Version texts are
// compared natively under the runtime's string rules, never by building expression text from them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace con {

// Julian day number of a calendar date; 0 when the date does not exist.
int32_t julianDay(int year, int month, int day);

// "YYYYMMDD" (a blank may stand for a leading zero of month or day) to a day number; 0 (the empty
// date) for anything that is not 8 characters naming a calendar date.
int32_t STOD(std::string_view text);

// The two texts trimmed and padded on the left so that their first dots stand in one column.
void alignOnFirstDot(std::string& left, std::string& right);

// One comparison of two character values under the runtime's rules ("=" follows SET EXACT).
// Operators: = == != <> # < <= > >= $. Unknown operator: nullopt.
std::optional<bool> compareText(std::string_view left, std::string_view op, std::string_view right,
                                bool exact);

// POR_STR: align, then compare. nullopt for an operator that is none of the above.
std::optional<bool> POR_STR(std::string_view first, std::string_view second, std::string_view op,
                            bool exact);

}  // namespace con
