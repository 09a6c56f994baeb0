// What the user reads about a runtime error: built in this one place from the error's fields
// (its kind, its cause, the operation, the file and the system's error code), never from the
// runtime's English description, and shown the way the library reports failures (a warning
// window that waits for a key).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/core/error.h"

namespace con {

// The Polish heading for an error's kind ("Uszkodzony plik", "Bl`a`d zapisu", ...).
std::string errorHeading(rt::ErrorKind kind);

// A Polish text for the system's error code (errno); "bl`a`d systemu nr <n>" for the rare ones.
std::string systemErrorText(int code);

// Why it failed, in Polish: from the error's cause, else from the system's error code, else from
// what the kind and the file tell (a damaged index); empty when nothing more is known.
std::string errorReason(const rt::Error& e);

// One line for places that show an error next to their own text: the heading (or the user's
// text the layer that threw the error wrote) and the reason.
std::string errorSummary(const rt::Error& e);

// The lines of the message: the heading with the operation in Polish, "Plik: <file>" (a path
// longer than a message line keeps its end), "Przyczyna: <reason>" and what to do when there is
// a remedy. Other lines are left whole: message windows cut what does not fit, stderr does not.
std::vector<std::string> errorLines(const rt::Error& e);

// A file operation of the standard library that failed, as a runtime error: its file and the
// system's code tell what failed.
rt::Error errorOf(const std::filesystem::filesystem_error& e);

// Shows errorLines(e) in the warning window.
void reportError(const rt::Error& e);

}  // namespace con
