// Start-up of the benefit program: `APPSYS`, `MAIN`, `TOTAL_ZAS`, the link message and the
// names that must be callable by name.
//
// `MAIN` owns the program state for the whole run: it opens a private frame, declares the state,
// reads the settings files, hands control to the suite's menu engine and finally calls the
// suite's closing routine. The suite's libraries are reached by name (`MAIN_SCR`, `INI_FIRM`,
// `DANEPLAC`, `FEKRAN`, ...), as the program imports them.
#pragma once

#include <array>

namespace zus {

void APPSYS();
int MAIN();
// True when the run is set up; false when the payroll library reports no payroll data.
bool TOTAL_ZAS();
// The three-line message shown by the working options when no link was ever configured.
void KOMUNIKAT();

// The fifteen public functions that do nothing.
const std::array<const char*, 15>& noOpFunctionNames();
// The names declared as required for calls by name, in order.
const std::array<const char*, 28>& requiredFunctionNames();
// The option entries the menu "zus" reaches.
const std::array<const char*, 19>& optionEntryNames();

// Registers the program shell's own routines (start-up, link message, no-op functions, status
// tables and tests, kind predicates, link copies).
void registerShellFunctions();

// For every option entry and required name of the program not registered by a subsystem yet:
// a stand-in that says the option is not available yet (after the link message, for the options
// that need the link). Leaves names already registered alone.
void registerPendingEntries();

}  // namespace zus
