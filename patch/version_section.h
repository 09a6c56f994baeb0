// The version section "[wer]": reads version values from memory files of the installed system
// into the script variables u_zm0..u_zm9 and u_zmA..u_zmF, runs the preparatory blocks, tests the
// update's condition and, when it holds, queues the new values for the memory files (they are
// written once the whole run has succeeded, see UpdateRun).
//
// Lines: "name = file | variable [| new value]", "blok=<block>", and as the section's last line
// "warunek=<block>".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "patch/update_run.h"
#include "runtime/core/value.h"

namespace patch {

struct VersionEntry {
  std::string variable;  // script variable to fill
  std::string file;      // memory file, relative to the destination
  std::string memVariable;
  std::optional<std::string> newValue;
  int line = 0;
};

// A variable line split into its parts; nothing when a part is missing.
std::optional<VersionEntry> parseVersionLine(std::string_view line, int number);

// Handles one section; returns the new run status.
bool USTAL_WERSJE(const SectionLines& dane, UpdateRun& run);

// Puts the value into the script variable of that name (one of the sixteen, any letter case);
// false for any other name.
bool DOPUBLICA(std::string_view name, const rt::Value& value);

// Declares the script variables as publics with their start values ("" and the destination).
void declareScriptVariables(const std::string& dst);

}  // namespace patch
