// Memory files as the suite names them: the extension `MEMORXPF` gives, existence tests through
// the Windows-style file names, additive restore and save by mask.
#pragma once

#include <string>
#include <string_view>

namespace suite {

// ".mem": the extension of memory files named without one.
std::string memoryFileExtension();

bool memoryFileExists(const std::string& path);

// Additive restore: existing variables take the stored values and keep their scope; the others
// become privates of the current frame.
void restoreMemory(const std::string& path);

// Saves the variables whose names match the mask ("zusx_*"; "" for all).
void saveMemory(const std::string& path, std::string_view mask);

}  // namespace suite
