// Setting files aside and putting them back.
#include "patch/file_backup.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "runtime/core/error.h"

namespace fs = std::filesystem;

namespace patch {

FileBackup::FileBackup() {
  std::string pattern = (fs::temp_directory_path() / "uzupelnienie-XXXXXX").string();
  if (!::mkdtemp(pattern.data()))
    throw rt::Error(rt::ErrorKind::Create, "Create error", "backup", pattern, errno);
  dir_ = pattern;
}

FileBackup::~FileBackup() {
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

void FileBackup::save(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec).lexically_normal();
  for (const Saved& s : saved_)
    if (s.path == p.string()) return;
  Saved s{p.string(), {}};
  if (fs::is_regular_file(p, ec)) {
    s.copy = dir_ + "/" + std::to_string(saved_.size());
    fs::copy_file(p, s.copy, fs::copy_options::overwrite_existing, ec);
    if (ec) throw rt::Error(rt::ErrorKind::Write, "Write error", "backup", p.string(), ec.value());
  }
  saved_.push_back(std::move(s));
}

void FileBackup::saveTable(const std::string& tablePath) {
  save(tablePath);
  fs::path p(tablePath);
  fs::path dir = p.parent_path();
  std::string stem = p.stem().string();
  // Companion files are found in any letter case, as the table layer finds them.
  std::error_code ec;
  for (const char* ext : {".fpt", ".cdx"}) {
    bool found = false;
    for (const auto& entry : fs::directory_iterator(dir.empty() ? "." : dir, ec)) {
      std::string name = entry.path().filename().string();
      std::string want = stem + ext;
      if (name.size() == want.size() &&
          std::equal(name.begin(), name.end(), want.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
          })) {
        save(entry.path().string());
        found = true;
      }
    }
    // A structural index that the group creates is removed again on restore.
    if (!found) save((dir / (stem + ext)).string());
  }
}

bool FileBackup::restore() {
  bool ok = true;
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    std::error_code ec;
    if (it->copy.empty()) {
      fs::remove(it->path, ec);
    } else {
      fs::copy_file(it->copy, it->path, fs::copy_options::overwrite_existing, ec);
    }
    if (ec) ok = false;
  }
  return ok;
}

}  // namespace patch
