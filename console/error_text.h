// What the user reads about a runtime error: built in this one place from the error's fields
// (its kind, the details of its description, the operation, the file and the system's error code), and shown the way the
// library reports failures (a warning window that waits for a key).
#pragma once

#include <string>
#include <vector>

#include "runtime/core/error.h"

namespace con {

// The Polish heading for an error's kind ("Uszkodzony plik", "Bl`a`d zapisu", ...).
std::string errorHeading(rt::ErrorKind kind);

// A Polish text for the system's error code (errno); "bl`a`d systemu nr <n>" for the rare ones.
std::string systemErrorText(int code);

// The details of the runtime's English description worth telling the user, in Polish (a record
// number in a damaged index, "trzeba odbudowac` indeksy"); empty when the heading says it all.
std::vector<std::string> errorDetails(const std::string& description);

// A description the runtime wrote in English is replaced by the heading of its kind and its
// details; one written in Polish by the layer that threw the error is shown as it is.

// One line for places that show an error next to their own text: the heading and its details.
std::string errorSummary(const rt::Error& e);

// The lines of the message: "<heading>: <operation>", the details, "Plik: <file>" when a file is
// named, "Kod bl`e`du systemu: <n> (<text>)" when the system refused something.
std::vector<std::string> errorLines(const rt::Error& e);

// Shows errorLines(e) in the warning window.
void reportError(const rt::Error& e);

}  // namespace con
