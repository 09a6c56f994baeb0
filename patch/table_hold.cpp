// Holding a table while the installer writes its files.
#include "patch/table_hold.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "runtime/core/error.h"
#include "runtime/core/file_names.h"
#include "runtime/db/work_areas.h"

namespace fs = std::filesystem;

namespace patch {

namespace {

bool sameInode(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool heldHere(const std::string& table) {
  for (const auto& [n, area] : rt::db::workAreas().areas())
    if (area && sameInode(area->table().path(), table)) return true;
  return false;
}

}  // namespace

TableHold::TableHold(const std::string& table) {
  if (heldHere(table)) return;
  try {
    file_ = rt::db::File::open(table, rt::db::File::Access::ReadOnly);
    held_ = file_.lockExclusive();
  } catch (const rt::Error& e) {
    held_ = e.osCode() == ENOENT;
  }
}

std::string tableOf(const std::string& file) {
  fs::path p(file);
  std::string table = rt::mapPath((p.parent_path() / (p.stem().string() + ".dbf")).string());
  struct stat st;
  return ::lstat(table.c_str(), &st) == 0 ? table : file;
}

}  // namespace patch
