// Setting files aside in the installed system, journalling them and putting them back.
#include "patch/file_backup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "patch/messages.h"
#include "runtime/core/error.h"
#include "runtime/db/work_areas.h"

namespace fs = std::filesystem;

namespace patch {

namespace {

rt::Error backupError(const std::string& file, int code) {
  return rt::Error(rt::ErrorKind::Write, "Write error", "backup", file, code);
}

bool sameInode(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// A table one of this process's work areas has open (and so holds exclusively in the installer).
bool heldHere(const std::string& lockFile) {
  for (const auto& [n, area] : rt::db::workAreas().areas())
    if (area && sameInode(area->table().path(), lockFile)) return true;
  return false;
}

// An exclusive hold of a table for the time of its restore; nothing to hold when it is gone.
class Hold {
 public:
  explicit Hold(const std::string& lockFile) {
    if (heldHere(lockFile)) return;
    fd_ = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
      held_ = errno == ENOENT;
      return;
    }
    held_ = ::flock(fd_, LOCK_EX | LOCK_NB) == 0;
  }
  ~Hold() {
    if (fd_ >= 0) ::close(fd_);
  }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;
  bool held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = true;
};

bool syncFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

// The copy goes in under a temporary name beside the file and then replaces it in one step, so
// the file is whole, old or new, whenever the run is cut short.
bool putBack(const std::string& copy, const std::string& path) {
  std::error_code ec;
  if (copy.empty()) {
    fs::remove(path, ec);
    return !ec;
  }
  std::string temporary = path + ".uzp";
  fs::copy_file(copy, temporary, fs::copy_options::overwrite_existing, ec);
  if (ec || !syncFile(temporary) || ::rename(temporary.c_str(), path.c_str()) != 0) {
    fs::remove(temporary, ec);
    return false;
  }
  return true;
}

}  // namespace

FileBackup::FileBackup(std::string dir) : dir_(std::move(dir)) {}

FileBackup::~FileBackup() {
  if (journal_ >= 0) ::close(journal_);
}

void FileBackup::openJournal() {
  if (journal_ >= 0) return;
  std::error_code ec;
  fs::create_directories(dir_, ec);
  if (ec) throw backupError(dir_, ec.value());
  std::string name = dir_ + "/" + kJournalFile;
  journal_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (journal_ < 0) throw backupError(name, errno);
  if (::flock(journal_, LOCK_EX | LOCK_NB) != 0) {
    int code = errno;
    ::close(journal_);
    journal_ = -1;
    throw backupError(name, code);
  }
}

void FileBackup::appendJournal(const Saved& s) {
  std::string line = s.lockFile + "\t" + s.path + "\t" + s.copy + "\n";
  if (::write(journal_, line.data(), line.size()) != ssize_t(line.size()) || ::fsync(journal_) != 0)
    throw backupError(dir_ + "/" + kJournalFile, errno);
}

void FileBackup::rewriteJournal() {
  if (journal_ < 0) return;
  if (::ftruncate(journal_, 0) != 0) return;
  for (const Saved& s : saved_) {
    std::string line = s.lockFile + "\t" + s.path + "\t" + s.copy + "\n";
    if (::write(journal_, line.data(), line.size()) != ssize_t(line.size())) return;
  }
  ::fsync(journal_);
}

void FileBackup::save(const std::string& path, const std::string& lockFile) {
  std::error_code ec;
  std::string p = fs::absolute(path, ec).lexically_normal().string();
  for (const Saved& s : saved_)
    if (s.path == p) return;
  openJournal();
  Saved s{lockFile.empty() ? p : fs::absolute(lockFile, ec).lexically_normal().string(), p, {}};
  if (fs::is_regular_file(p, ec)) {
    s.copy = std::to_string(++next_);
    std::string copy = dir_ + "/" + s.copy;
    fs::copy_file(p, copy, fs::copy_options::overwrite_existing, ec);
    if (ec) throw backupError(p, ec.value());
    if (!syncFile(copy)) throw backupError(copy, errno);
  }
  // The journal names the file only once its copy is whole: a run killed before this line has
  // not changed the file yet.
  appendJournal(s);
  saved_.push_back(std::move(s));
}

void FileBackup::saveTable(const std::string& tablePath) {
  fs::path p(tablePath);
  fs::path dir = p.parent_path();
  std::string stem = p.stem().string();
  save(tablePath, tablePath);
  // Companion files are found in any letter case, as the table layer finds them.
  std::error_code ec;
  for (const char* ext : {".fpt", ".cdx"}) {
    bool found = false;
    std::string want = stem + ext;
    for (const auto& entry : fs::directory_iterator(dir.empty() ? "." : dir, ec)) {
      std::string name = entry.path().filename().string();
      if (name.size() == want.size() &&
          std::equal(name.begin(), name.end(), want.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
          })) {
        save(entry.path().string(), tablePath);
        found = true;
      }
    }
    // A structural index that the group creates is removed again on restore.
    if (!found) save((dir / want).string(), tablePath);
  }
}

std::vector<std::string> FileBackup::restore() {
  // Tables in the reverse order of their first saving; within a table its companions first and
  // the table file last, so another program that opens the table meanwhile meets our hold.
  std::vector<std::string> tables;
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
    if (std::find(tables.begin(), tables.end(), it->lockFile) == tables.end())
      tables.push_back(it->lockFile);
  std::vector<std::string> left;
  std::vector<const Saved*> kept;
  for (const std::string& table : tables) {
    std::vector<const Saved*> files;
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      if (it->lockFile == table) files.push_back(&*it);
    std::stable_partition(files.begin(), files.end(), [&](const Saved* s) { return s->path != table; });
    Hold hold(table);
    bool whole = hold.held();
    for (const Saved* s : files) {
      if (whole && putBack(s->copy.empty() ? "" : dir_ + "/" + s->copy, s->path)) continue;
      whole = false;
      kept.push_back(s);
    }
    if (!whole) left.push_back(table);
  }
  if (kept.empty()) {
    discard();
    return left;
  }
  std::vector<Saved> remaining;
  for (const Saved& s : saved_)
    if (std::find(kept.begin(), kept.end(), &s) != kept.end()) remaining.push_back(s);
  saved_ = std::move(remaining);
  rewriteJournal();
  return left;
}

void FileBackup::discard() {
  if (journal_ >= 0) ::close(journal_);
  journal_ = -1;
  saved_.clear();
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

bool FileBackup::recoverUnfinished(const std::string& dir, int& restored,
                                   std::vector<std::string>& left) {
  restored = 0;
  left.clear();
  std::string name = dir + "/" + kJournalFile;
  std::error_code ec;
  if (!fs::exists(name, ec)) {
    fs::remove_all(dir, ec);  // copies of a run killed before its first journal line
    return true;
  }
  int fd = ::open(name.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
  if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (fd >= 0) ::close(fd);
    return false;
  }
  FileBackup backup(dir);
  backup.journal_ = fd;
  std::ifstream in(name, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Only lines ended by their newline count: one cut short by the kill named a file not yet
  // touched.
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    size_t a = line.find('\t'), b = a == std::string::npos ? a : line.find('\t', a + 1);
    if (b == std::string::npos) continue;
    backup.saved_.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), line.substr(b + 1)});
  }
  size_t before = backup.saved_.size();
  left = backup.restore();
  restored = int(before - backup.saved_.size());
  return true;
}

void restoreRun(FileBackup& backup) {
  if (backup.empty()) return;
  std::vector<std::string> left = backup.restore();
  if (left.empty()) return;
  std::vector<std::string> lines{"Nie mozna przywrocic plikow sprzed uzupelnienia"};
  for (const std::string& table : left) lines.push_back(pathLine(table));
  lines.push_back("Zostana przywrocone przy nastepnym uruchomieniu uzupelnienia.");
  warn(lines);
}

}  // namespace patch
