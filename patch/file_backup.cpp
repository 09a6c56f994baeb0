// Setting files aside in the installed system, journalling them and putting them back.
#include "patch/file_backup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "console/error_text.h"
#include "patch/areas.h"
#include "patch/messages.h"
#include "patch/run_steps.h"
#include "patch/table_hold.h"
#include "runtime/core/error.h"
#include "runtime/db/file.h"

namespace fs = std::filesystem;

namespace patch {

namespace {

rt::Error backupError(const std::string& file, int code) {
  return rt::Error(rt::ErrorKind::Write, "Write error", "backup", file, code);
}

std::string causeText(int code) { return plainAscii(con::systemErrorText(code)); }

bool syncFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

// Syncs the directory that holds `path`. The names changed there stand without it; only their
// durability is then left to the system.
void trySyncDirectoryOf(const std::string& path) {
  try {
    rt::db::File::syncDirectoryOf(path);
  } catch (const rt::Error&) {
  }
}

// The system's error code of a failed file operation.
int codeOf(const rt::Error& e) { return e.osCode() ? e.osCode() : EIO; }

// A file's modification time in nanoseconds, as the journal notes it.
int64_t mtimeNs(const struct stat& st) {
  return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// A copy made beside the file (the copies lie on another file system) through the table layer's
// file seam, synced before it replaces the file.
int copyBeside(const std::string& copy, const std::string& target, std::string& temporary) {
  temporary = rt::db::File::siblingTemporary(target);
  try {
    rt::db::File in = rt::db::File::open(copy, rt::db::File::Access::ReadOnly);
    rt::db::File out = rt::db::File::create(temporary);
    std::vector<char> chunk(1 << 16);
    uint64_t off = 0;
    for (size_t n; (n = in.readSome(off, chunk.data(), chunk.size())) > 0; off += n)
      out.writeExact(off, chunk.data(), n);
    out.sync();
    return 0;
  } catch (const rt::Error& e) {
    return codeOf(e);
  }
}

// Puts one saved file back: its copy is renamed over it, which needs no free room (the file keeps
// its mode and owner, a symbolic link stays and its target is replaced); a copy that is already
// gone was renamed back by an earlier restore. Returns 0 or the system's error code.
int putBack(const std::string& copy, const std::string& path) {
  std::string target = rt::db::File::replacementTarget(path);
  if (copy.empty()) return ::unlink(target.c_str()) == 0 || errno == ENOENT ? 0 : errno;
  struct stat st;
  if (::stat(copy.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
  int code = 0;
  try {
    rt::db::File::putInPlace(copy, path);
    return 0;
  } catch (const rt::Error& e) {
    code = codeOf(e);
  }
  if (code != EXDEV) return code;
  // The copies lie on another file system: a copy beside the file goes in its place.
  std::string temporary;
  code = copyBeside(copy, target, temporary);
  if (code == 0) {
    try {
      rt::db::File::putInPlace(temporary, path);
    } catch (const rt::Error& e) {
      code = codeOf(e);
    }
  }
  // The copy went back as the rename does it: gone, so that a restart knows this file is back.
  ::unlink(code == 0 ? copy.c_str() : temporary.c_str());
  return code;
}

bool isNumber(const std::string& s, size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return false;
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits only, and a value the number type holds: a damaged line is refused, not half read.
template <typename Number>
bool readNumber(const std::string& s, Number& value) {
  if (!isNumber(s, 20)) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size();
}

bool inside(const fs::path& file, const fs::path& root) {
  if (root.empty()) return false;
  std::string f = file.string(), r = root.string();
  if (r.back() != '/') r += '/';
  return f.size() > r.size() && f.compare(0, r.size(), r) == 0;
}

fs::path normalPath(const std::string& p) {
  fs::path n = fs::path(p).lexically_normal();
  if (n.has_filename()) return n;
  return n.parent_path();
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

}  // namespace

FileBackup::FileBackup(std::string dir) : dir_(std::move(dir)) {}

FileBackup::~FileBackup() {
  if (journal_ >= 0) ::close(journal_);
}

std::string FileBackup::journalLine(const Saved& s) {
  std::string line = s.lockFile + "\t" + s.path + "\t" + s.copy;
  if (s.noted) line += "\t" + std::to_string(s.size) + "\t" + std::to_string(s.mtime);
  return line + "\n";
}

void FileBackup::openJournal() {
  if (journal_ >= 0) return;
  std::error_code ec;
  bool made = fs::create_directories(dir_, ec);
  if (ec) throw backupError(dir_, ec.value());
  std::string name = journalName();
  journal_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (journal_ < 0) throw backupError(name, errno);
  // The journal outlives a power cut only with its name and its directory's name on the disk.
  trySyncDirectoryOf(name);
  if (made) trySyncDirectoryOf(dir_);
}

void FileBackup::appendJournal(const std::string& lines) {
  if (::write(journal_, lines.data(), lines.size()) != ssize_t(lines.size()) || ::fsync(journal_) != 0)
    throw backupError(journalName(), errno);
}

// The new journal is written whole beside the old one and renamed over it: a kill at any moment
// leaves one of the two whole. The old one names more files than the new, whose copies are gone
// or are put back once more with the same bytes.
void FileBackup::rewriteJournal() {
  std::string name = journalName();
  std::string fresh = name + ".nowy";
  int fd = ::open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  std::string text;
  for (const Saved& s : saved_) text += journalLine(s);
  bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size()) && ::fsync(fd) == 0;
  ::close(fd);
  reachStep(kStepJournalRewriting);
  if (!ok || ::rename(fresh.c_str(), name.c_str()) != 0) {
    ::unlink(fresh.c_str());
    return;
  }
  trySyncDirectoryOf(name);
  if (journal_ >= 0) ::close(journal_);
  journal_ = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
}

void FileBackup::save(const std::string& path, const std::string& lockFile) {
  std::error_code ec;
  std::string p = fs::absolute(path, ec).lexically_normal().string();
  for (Saved& s : saved_) {
    if (s.path != p) continue;
    // Changed again by a later group: the size and time noted before no longer hold.
    if (s.noted) {
      s.noted = false;
      appendJournal(journalLine(s));
    }
    return;
  }
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
  appendJournal(journalLine(s));
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

void FileBackup::noteGroupEnd() {
  std::string lines;
  for (Saved& s : saved_) {
    struct stat st;
    if (s.noted || ::stat(s.path.c_str(), &st) != 0) continue;
    s.noted = true;
    s.size = uint64_t(st.st_size);
    s.mtime = mtimeNs(st);
    lines += journalLine(s);
  }
  if (!lines.empty()) appendJournal(lines);
}

std::vector<FileBackup::Left> FileBackup::restore() {
  // Tables in the reverse order of their first saving; within a table its companions first and
  // the table file last, so another program that opens the table meanwhile meets our hold.
  std::vector<std::string> tables;
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
    if (std::find(tables.begin(), tables.end(), it->lockFile) == tables.end())
      tables.push_back(it->lockFile);
  std::vector<Left> left;
  std::vector<const Saved*> kept;
  for (const std::string& table : tables) {
    std::vector<const Saved*> files;
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      if (it->lockFile == table) files.push_back(&*it);
    std::stable_partition(files.begin(), files.end(), [&](const Saved* s) { return s->path != table; });
    // A table whose own copy is gone was put back by an earlier restore (or never needs it): its
    // companions are not put back beside a table of another state.
    const Saved* own = files.back()->path == table ? files.back() : nullptr;
    struct stat st;
    if (own && !own->copy.empty() && ::stat((dir_ + "/" + own->copy).c_str(), &st) != 0) continue;
    TableHold hold(table);
    if (!hold.held()) {
      left.push_back({table, "Baza jest uzywana przez inny program.", true});
      kept.insert(kept.end(), files.begin(), files.end());
      continue;
    }
    int failure = 0;
    for (const Saved* s : files) {
      int code = failure ? failure : putBack(s->copy.empty() ? "" : dir_ + "/" + s->copy, s->path);
      if (code == 0) continue;
      failure = code;
      kept.push_back(s);
    }
    trySyncDirectoryOf(rt::db::File::replacementTarget(table));
    if (failure) left.push_back({table, causeText(failure), false});
  }
  if (kept.empty()) {
    // Every file is back: the journal's removal ends the restore as it ends an update.
    if (!discard()) left.push_back({journalName(), causeText(errno), false});
    return left;
  }
  std::vector<Saved> remaining;
  for (const Saved& s : saved_)
    if (std::find(kept.begin(), kept.end(), &s) != kept.end()) remaining.push_back(s);
  saved_ = std::move(remaining);
  rewriteJournal();
  return left;
}

bool FileBackup::discard() {
  if (journal_ >= 0) ::close(journal_);
  journal_ = -1;
  saved_.clear();
  std::error_code ec;
  if (!fs::exists(dir_, ec)) return true;
  std::string name = journalName();
  reachStep(kStepJournalRemoving);
  if (::unlink(name.c_str()) != 0 && errno != ENOENT) return false;
  trySyncDirectoryOf(name);
  reachStep(kStepJournalRemoved);
  // Without the journal the copies are leftovers that the next start removes too.
  for (const auto& entry : fs::directory_iterator(dir_, ec)) {
    fs::remove(entry.path(), ec);
    reachStep(kStepCopyRemoved);
  }
  fs::remove_all(dir_, ec);
  return true;
}

FileBackup::Recovery FileBackup::recoverUnfinished(const std::string& dir,
                                                   const std::string& updateDir) {
  Recovery r;
  std::string name = journalName(dir);
  std::error_code ec;
  if (!fs::exists(name, ec)) {
    fs::remove_all(dir, ec);  // copies of a run that ended, or was killed before its first line
    return r;
  }
  fs::path backupDir = normalPath(fs::absolute(dir, ec).string());
  fs::path system = backupDir.parent_path();
  fs::path update = updateDir.empty() ? fs::path() : normalPath(fs::absolute(updateDir, ec).string());
  FileBackup backup(dir);
  std::ifstream in(name, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Only lines ended by their newline count: one cut short by the kill named a file not yet
  // touched.
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    if (line.empty()) continue;
    std::vector<std::string> f = splitTabs(line);
    uint64_t size = 0;
    int64_t mtime = 0;
    bool fine = (f.size() == 3 || (f.size() == 5 && readNumber(f[3], size) && readNumber(f[4], mtime))) &&
                (f[2].empty() || isNumber(f[2], 9));
    fs::path lock = fine ? normalPath(f[0]) : fs::path(), path = fine ? normalPath(f[1]) : fs::path();
    if (fine && !fs::is_directory(path.parent_path(), ec)) {
      // That file no longer belongs to anything the installed system uses.
      if (std::find(r.dropped.begin(), r.dropped.end(), path.string()) == r.dropped.end())
        r.dropped.push_back(path.string());
      continue;
    }
    for (const fs::path* p : {&lock, &path})
      if (!(inside(*p, system) || inside(*p, update)) || *p == backupDir || inside(*p, backupDir))
        fine = false;
    if (!fine) {
      r.badLine = line;
      r.dropped.clear();
      return r;
    }
    Saved s{lock.string(), path.string(), f[2]};
    if (f.size() == 5) {
      s.noted = true;
      s.size = size;
      s.mtime = mtime;
    }
    auto same = std::find_if(backup.saved_.begin(), backup.saved_.end(),
                             [&](const Saved& o) { return o.path == s.path; });
    if (same == backup.saved_.end()) backup.saved_.push_back(std::move(s));
    else if (same->copy == s.copy && same->lockFile == s.lockFile) *same = std::move(s);
    else {
      r.badLine = line;
      r.dropped.clear();
      return r;
    }
  }
  // A table changed after the run stopped keeps that change: its copy waits for the user.
  for (const Saved& s : backup.saved_) {
    struct stat st;
    if (!s.noted) continue;
    if (!s.copy.empty() && ::stat((dir + "/" + s.copy).c_str(), &st) != 0) continue;  // already back
    bool present = ::stat(s.path.c_str(), &st) == 0;
    if (!present && s.copy.empty()) continue;  // a file the run made, already removed again
    bool same = present && uint64_t(st.st_size) == s.size &&
                mtimeNs(st) == s.mtime;
    if (!same && std::find(r.changed.begin(), r.changed.end(), s.lockFile) == r.changed.end())
      r.changed.push_back(s.lockFile);
  }
  if (!r.changed.empty()) return r;
  backup.journal_ = ::open(name.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  size_t before = backup.saved_.size();
  r.left = backup.restore();
  r.restored = int(before - backup.saved_.size());
  return r;
}

void restoreRun(FileBackup& backup) {
  if (backup.empty()) return;
  std::vector<FileBackup::Left> left = backup.restore();
  if (left.empty() || backup.leftShown_) return;
  backup.leftShown_ = true;
  std::vector<std::string> lines{"Nie mozna przywrocic plikow sprzed uzupelnienia"};
  addLeftLines(lines, left);
  lines.push_back("Zostana przywrocone przy nastepnym uruchomieniu uzupelnienia.");
  warn(lines);
}

void restoreRunAndCloseAreas(FileBackup& backup) {
  restoreRun(backup);
  closeAllAreas(false);
}

void addLeftLines(std::vector<std::string>& lines, const std::vector<FileBackup::Left>& left) {
  for (const FileBackup::Left& l : left) {
    lines.push_back(pathLine(l.table));
    lines.push_back("  " + l.cause);
  }
}

}  // namespace patch
