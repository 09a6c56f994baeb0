// Mapping Windows-style names to the files that exist, component by component.
#include "runtime/core/file_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>

namespace rt {
namespace {

struct DriveRoots {
  std::string common;
  std::map<char, std::string> byLetter;
  DriveRoots() {
    const char* env = std::getenv("ZEF_DRIVE_ROOT");
    common = env && *env ? env : "/";
  }
};

DriveRoots& roots() {
  static DriveRoots r;
  return r;
}

bool exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Names in a directory, sorted so that a choice among several case variants is repeatable.
std::vector<std::string> listDirectory(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(std::move(n));
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

std::string join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// Splits "C:\a\b" into the mapped starting directory ("" = the current one) and the rest with
// slashes.
std::pair<std::string, std::string> splitRoot(std::string_view name) {
  std::string s(name);
  std::replace(s.begin(), s.end(), '\\', '/');
  if (s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':')
    return {driveRoot(s[0]), s.substr(2)};
  if (!s.empty() && s[0] == '/') return {"/", s.substr(1)};
  return {"", s};
}

}  // namespace

void setDriveRoot(std::string root) { roots().common = std::move(root); }
void setDriveRoot(char letter, std::string root) {
  roots().byLetter[char(std::toupper(static_cast<unsigned char>(letter)))] = std::move(root);
}
std::string driveRoot(char letter) {
  auto& r = roots();
  auto it = r.byLetter.find(char(std::toupper(static_cast<unsigned char>(letter))));
  return it != r.byLetter.end() ? it->second : r.common;
}

std::string mapPath(std::string_view name, PathUse /*use*/) {
  // Both uses resolve alike: a file created under a name that exists in another case is that
  // file, as on the system the names come from.
  auto [path, rest] = splitRoot(name);
  bool found = true;  // every component so far exists
  size_t pos = 0;
  while (pos <= rest.size()) {
    size_t slash = rest.find('/', pos);
    bool last = slash == std::string::npos;
    std::string comp = rest.substr(pos, last ? std::string::npos : slash - pos);
    pos = last ? rest.size() + 1 : slash + 1;
    if (comp.empty()) {
      if (last && !rest.empty() && !path.empty() && path.back() != '/') path += '/';  // "dir\"
      continue;
    }
    std::string exact = join(path, comp);
    if (found && comp != "." && comp != ".." && !exists(exact)) {
      found = false;
      for (const std::string& candidate : listDirectory(path)) {
        if (equalsNoCase(candidate, comp)) {
          exact = join(path, candidate);
          found = true;
          break;
        }
      }
    }
    path = std::move(exact);
  }
  if (path.empty()) path = ".";
  return path;
}

bool hasWildcards(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

bool wildcardMatch(std::string_view pattern, std::string_view name) {
  // "*.*" and "x*.*" also match names without an extension, as on the system the names come from.
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos)
    return wildcardMatch(pattern.substr(0, pattern.size() - 2), name);
  // Iterative match with backtracking to the last '*'.
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || std::tolower(static_cast<unsigned char>(pattern[p])) ==
                                         std::tolower(static_cast<unsigned char>(name[n])))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::vector<std::string> findFiles(std::string_view pattern, bool withDirectories) {
  std::string s(pattern);
  std::replace(s.begin(), s.end(), '\\', '/');
  size_t cut = s.rfind('/');
  std::string dirPart, namePart;
  if (cut != std::string::npos) {
    dirPart = s.substr(0, cut + 1);
    namePart = s.substr(cut + 1);
  } else if (s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':') {
    dirPart = s.substr(0, 2);
    namePart = s.substr(2);
  } else {
    namePart = s;
  }
  std::string dir = dirPart.empty() ? std::string() : mapPath(dirPart);
  std::vector<std::string> result;
  if (namePart.empty()) return result;
  for (const std::string& candidate : listDirectory(dir)) {
    if (!wildcardMatch(namePart, candidate)) continue;
    std::string full = join(dir, candidate);
    if (!withDirectories && isDirectory(full)) continue;
    result.push_back(std::move(full));
  }
  return result;
}

bool fileExists(std::string_view name) { return exists(mapPath(name)); }

}  // namespace rt
