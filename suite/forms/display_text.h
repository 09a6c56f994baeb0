// Stored text and its display form.
//
// Labels and messages are stored with each Polish letter written as a Latin letter followed by a
// backtick ("Zasil`ek", "NARZE`DZIA", "niemox`liwe"). The display form carries the letters of code
// page 852 instead. `_P` turns stored text into display form; `_PL` turns typed (display) text back
// into stored form, so that a seek on a stored key finds what the user typed. A backtick after any
// other character is left as it is, so both directions keep every other byte unchanged.
#pragma once

#include <string>
#include <string_view>

namespace suite {

// Stored text -> display form in code page 852 (the routine `_P`).
std::string displayText(std::string_view stored);

// Display text in code page 852 -> stored form (the routine `_PL`).
std::string storedText(std::string_view display);

// Registers `_P` and `_PL` for calls by name.
void registerDisplayTextFunctions();

}  // namespace suite
