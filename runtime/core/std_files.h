// Low-level file functions (FOPEN, FREAD, ...) and the whole-file helpers MEMOREAD/MEMOWRIT.
//
// Every name goes through the Windows-style name mapper. Handles are the descriptors this module
// opened; a number it did not open is refused (FERROR 6) rather than touching a descriptor that
// belongs to someone else. FERROR reports the runtime's DOS-style codes (2 not found, 3 no path,
// 4 too many files, 5 access denied, 6 bad handle, 80 exists, 29 write fault).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rt {

// The code FERROR() reports for the last file operation (0 when it succeeded).
int lastFileError();
// The DOS-style code for an errno value.
int dosErrorCode(int errnoValue);

// The whole file (a trailing end-of-file byte 0x1A dropped); std::nullopt when it cannot be read.
std::optional<std::string> readWholeFile(std::string_view name);
// Writes the whole file through a temporary file in the same directory, synced and renamed into
// place, so a reader never sees half a file. False (and FERROR set) when it fails.
bool writeWholeFile(std::string_view name, std::string_view data);

}  // namespace rt
