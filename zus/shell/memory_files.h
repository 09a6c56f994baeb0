// The benefit program's settings files: names, existence tests, restore and save.
//
// Settings are memory files. "zas.zus" and "zaokrag.zus" carry their own extension; the others
// are named without one and get the memory-file extension the suite gives (`MEMORXPF`). Files of
// the company live in `_path_spec`; "minipl" and "place\par_prog" in the current directory.
#pragma once

#include <string>
#include <string_view>

namespace zus {

// `MEMORXPF`: the memory-file extension, with its dot.
std::string memFileExtension();

// `_path_spec` + name (the company directory ends with its separator).
std::string settingsPath(std::string_view name);

bool settingsFileExists(const std::string& path);

// Restores a memory file additively: existing variables take the stored values and keep their
// scope; new ones become privates of the current frame.
void restoreMemoryFile(const std::string& path);

// Saves every variable whose name matches the mask ("zusx_*") to the file.
void saveMemoryFile(const std::string& path, std::string_view mask);

}  // namespace zus
