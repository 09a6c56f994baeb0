// The copy sections "[copy]", "[copy_in_src]" and "[copy_in_dst]": files copied from one
// directory into another, once or (between "STATUS=+PRZEDS" and "STATUS=-PRZEDS") into every
// company directory, with attributes set on the copies.
//
// A copy line: source | destination [| attributes [| date [| time [| condition]]]].
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "patch/update_run.h"

namespace patch {

// No change of attributes.
inline constexpr int kKeepAttributes = -999;

struct CopyLine {
  std::string source;        // as written, a leading "\" removed
  std::string destination;   // as written, a leading "\" removed
  int attributes = kKeepAttributes;
  std::optional<std::string> date;  // YYYYMMDD
  std::optional<std::string> time;  // HH:MM:SS
  std::optional<std::string> condition;  // expression text
};

CopyLine parseCopyLine(std::string_view line);
// The attribute number of an attribute part: NIL keeps, BRAK clears, else R 1, H 2, S 4, A 32.
int attributeNumber(std::string_view text);

// Copies `source` over `dest` (names as the script gives them) for script line `line`, holding
// the table the destination belongs to meanwhile: a destination another program has open is
// refused with a message naming the line and the file. `beforeCopy` runs under the hold, before
// the destination is written. False (after a message) on failure.
bool copyIntoPlace(const std::string& source, const std::string& dest, int line,
                   const std::function<void(const std::string& table)>& beforeCopy = {});

// Handles one copy section, sources from `from`, copies into `to` (both ending with "\").
// Returns the new run status.
bool KOPIUJ_PLIKI(const SectionLines& dane, const std::string& from, const std::string& to);

}  // namespace patch
