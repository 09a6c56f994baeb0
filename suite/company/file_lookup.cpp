// Case-insensitive lookup of each path component.
#include "suite/company/file_lookup.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace suite {
namespace {

namespace fs = std::filesystem;

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace

std::string findPath(const std::string& name) {
  std::string path = name;
  std::replace(path.begin(), path.end(), '\\', '/');
  std::error_code ec;
  if (fs::exists(path, ec)) return path;
  fs::path p(path);
  fs::path built = p.is_absolute() ? fs::path("/") : fs::path(".");
  for (const fs::path& part : p.relative_path()) {
    fs::path exact = built / part;
    if (fs::exists(exact, ec)) {
      built = exact;
      continue;
    }
    bool found = false;
    for (const auto& entry : fs::directory_iterator(built, ec)) {
      if (sameIgnoringCase(entry.path().filename().string(), part.string())) {
        built = entry.path();
        found = true;
        break;
      }
    }
    if (!found) return path;
  }
  std::string result = built.string();
  if (!p.is_absolute() && result.rfind("./", 0) == 0) result = result.substr(2);
  return result;
}

bool fileExistsAnyCase(const std::string& name) {
  std::error_code ec;
  return fs::exists(findPath(name), ec);
}

}  // namespace suite
