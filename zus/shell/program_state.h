// The program state of the benefit program: the variables `MAIN` declares for the whole run and
// the initial values of the program parameters.
//
// Every option, the suite's libraries and stored expression texts read these variables by name,
// so their names and types are the interface. `MAIN` declares them as privates of its own frame
// (visible to everything that runs beneath it) and a few as publics.
#pragma once

#include <array>

namespace zus {

// The 40 program parameters in the order `MAIN` declares them.
inline constexpr int kParameterCount = 40;
const std::array<const char*, kParameterCount>& parameterDeclarationOrder();

// Step of `MAIN`: the display conventions and variables the suite's libraries read.
void declareSuiteVariables();

// Step of `MAIN`: the 40 parameters; `zusx_filtr`, `zusx_ozn`, `zusx_chzk`, `zusx_wysuw` and
// `zusx_chz50` get their values here, the others stay without value.
void declareParameters();

// Step of `TOTAL_ZAS`: the other 35 parameters get their initial values.
void defaultParameters();

// After the saved parameters were restored: a text `zusx_kor` becomes 1 exactly for "T", else 2;
// `zusx_pole`, `zusx_zatr` and `zusx_mnoz` of the wrong type go back to their defaults.
void repairParameterKor();
void repairParameterTypes();

}  // namespace zus
