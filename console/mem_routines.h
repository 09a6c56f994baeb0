// Reading and changing one variable of a memory file, for the update installer and its scripts.
//
// The file is read into a scope of its own: the caller's memory variables are neither released
// nor shadowed once the call returns, and no temporary file is written. Afterwards the update
// variables (u_zm1 .. u_zm9, u_zm0, u_dst_path, u_zmA .. u_zmF) exist as publics, with the values
// they had before the call ("" for one that did not exist), also after an error.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/core/value.h"

namespace con {

inline constexpr const char* kUpdateVariables[] = {
    "u_zm1", "u_zm2", "u_zm3", "u_zm4",      "u_zm5", "u_zm6", "u_zm7", "u_zm8", "u_zm9",
    "u_zm0", "u_dst_path", "u_zmA", "u_zmB", "u_zmC", "u_zmD", "u_zmE", "u_zmF"};

// The value of `variable` (a name, or an expression over the file's variables) in the memory
// file `file` (its name as it stands on disk); "" when the file or the name is missing.
rt::Value READ_MEM(std::string_view file, std::string_view variable);

// Sets (or adds) `variable` in the memory file to `valueText` converted to the type the file
// holds for it (number, logical ".T.", date YYYYMMDD, else text); with a non-empty `mask` only the
// variables matching it are written back. Nothing happens when the file does not exist.
void WRITE_MEM(std::string_view file, std::string_view variable, std::string_view valueText,
               std::optional<std::string> mask = std::nullopt);

// "name.mem" as the runtime's "name.xpf" (from the first dot); any other name unchanged.
std::string FMEMORXPF(std::string_view name);

// Declares the update variables public; a missing (or released) one gets "".
void ensureUpdateVariables();

}  // namespace con
