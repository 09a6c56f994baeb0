// The update-script interpreter: reads the script section by section, hands each section's lines
// to its handler in script order and keeps the run status. Once the status is false only the
// closing sections "[koniec]" are handled; their "ok=" or "blad=" block and "blok=" blocks run.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "patch/script_reader.h"
#include "patch/update_run.h"

namespace patch {

enum class Section { None = 0, Wer = 1, Copy = 2, Dbase = 3, Koniec = 4, CopyInSrc = 5, CopyInDst = 6 };

// The section a script line opens, when it is one of the six headers exactly.
std::optional<Section> sectionOfHeader(std::string_view line);

// Interprets the whole script; returns the final run status. `src` and `dst` get their final "\".
// The installed system is held for the whole run; `systemBusy` (when given) tells whether another
// installer held it, so that nothing was done.
bool UAKTUALNIENIE(ScriptReader& reader, const std::string& src, const std::string& dst,
                   bool* systemBusy = nullptr);

// The closing section: the "ok=" block when the status is true, else the "blad=" block, then the
// "blok=" blocks. Errors are shown naming the line; the function returns false after one.
bool KOMUNIKAT(const SectionLines& lines, bool status);

// Writes the version values that waited for the run's success; false (after a message) when a
// memory file could not be written.
bool writePendingVersions(UpdateRun& run);

}  // namespace patch
