// File names of the company's data as the suite writes them ("MAIN", "place\par_prog"), found on
// a case-sensitive file system whatever the case of each component.
#pragma once

#include <string>

namespace suite {

// The existing path a Windows-style name stands for, or the name with slashes when none exists.
std::string findPath(const std::string& name);
bool fileExistsAnyCase(const std::string& name);

}  // namespace suite
