// What the user reads about a runtime error: built in this one place from the error's fields
// (its description, the operation, the file and the system's error code), and shown the way the
// library reports failures (a warning window that waits for a key).
#pragma once

#include <string>
#include <vector>

#include "runtime/core/error.h"

namespace con {

// The lines of the message: "<description>: <operation>", "Plik: <file>" when a file is named,
// "Kod bl`e`du systemu: <n> (<text>)" when the system refused something.
std::vector<std::string> errorLines(const rt::Error& e);

// Shows errorLines(e) in the warning window.
void reportError(const rt::Error& e);

}  // namespace con
