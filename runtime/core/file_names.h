// Windows-style file names on Linux.
//
// The programs name files the Windows way ("place\par_prog", "C:\ZEFIRON\FIRMA.INI",
// "WYDRUKI\url_kas.lst") and in any letter case. Every file the system opens goes through
// mapPath: backslashes become slashes, a drive letter becomes a configured directory, and each
// component of the path is looked up regardless of case when the exact name does not exist.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rt {

enum class PathUse {
  Open,    // the file should exist: every component, the last included, is matched by case
  Create,  // the directory part is matched; the last component keeps its spelling unless a
           // file of that name in another case exists (the same file on the original system)
};

// The Linux path for a Windows-style name. Components that are not found are kept as given, so
// opening the result fails in the usual way.
std::string mapPath(std::string_view name, PathUse use = PathUse::Open);

// The directory a drive letter stands for. Unset letters use the common root: the environment
// variable ZEF_DRIVE_ROOT when set, else "/".
void setDriveRoot(std::string root);              // common root for every letter
void setDriveRoot(char letter, std::string root);  // one letter
std::string driveRoot(char letter);

// Whether a name holds the wildcards * or ?.
bool hasWildcards(std::string_view name);
// Case-insensitive wildcard match of one file name ('*' any run, '?' one character).
bool wildcardMatch(std::string_view pattern, std::string_view name);

// Files matching a Windows-style pattern ("DANE\*.DBF"): the directory part is mapped, the last
// component matched case-insensitively with wildcards. Returns mapped paths, sorted by name;
// directories are included only when `withDirectories` is set.
std::vector<std::string> findFiles(std::string_view pattern, bool withDirectories = false);

// Whether a file or directory exists under the mapped name.
bool fileExists(std::string_view name);

}  // namespace rt
