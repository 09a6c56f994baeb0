// Saving and restoring memory variables through memory files.
#include "runtime/memfile/memfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/file_names.h"
#include "runtime/core/names.h"

namespace rt::mem {
namespace {

// Closes a descriptor and removes a temporary file unless released.
class TempFile {
 public:
  TempFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  int close() {
    int r = ::close(fd_);
    fd_ = -1;
    return r;
  }
  void keep() { path_.clear(); }

 private:
  int fd_;
  std::string path_;
};

[[noreturn]] void fail(ErrorKind kind, const char* what, const char* op, std::string_view file, int err) {
  std::string description = std::string(what) + ": " + std::strerror(err);
  throw Error(kind, description, op, std::string(file), err, true);
}

mode_t currentUmask() {
  mode_t m = ::umask(0);
  ::umask(m);
  return m;
}

std::string directoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string withExtension(std::string_view name) {
  size_t lastSep = name.find_last_of("\\/:");
  std::string_view last = lastSep == std::string_view::npos ? name : name.substr(lastSep + 1);
  std::string out(name);
  if (!last.empty() && last.find('.') == std::string_view::npos) out += kExtension;
  return out;
}

std::vector<Variable> readFile(std::string_view name) {
  std::string path = mapPath(name);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail(ErrorKind::Open, "Open error", "RESTORE", name, errno);
  TempFile guard(fd, {});
  std::string bytes;
  char buf[65536];
  while (true) {
    ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) fail(ErrorKind::Read, "Read error", "RESTORE", name, errno);
    if (r == 0) break;
    bytes.append(buf, size_t(r));
  }
  return decode(bytes, name);
}

void writeFile(std::string_view name, const std::vector<Variable>& vars) {
  std::string bytes = encode(vars);
  std::string path = mapPath(name, PathUse::Create);
  std::string dir = directoryOf(path);
  std::string pattern = dir + "/.zefmem_XXXXXX";
  std::vector<char> tmpl(pattern.begin(), pattern.end());
  tmpl.push_back('\0');
  int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
  if (fd < 0) fail(ErrorKind::Create, "Create error", "SAVE", name, errno);
  TempFile tmp(fd, tmpl.data());
  ::fchmod(fd, 0666 & ~currentUmask());  // as an ordinary new file, not mkstemp's 0600
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) fail(ErrorKind::Write, "Write error", "SAVE", name, w < 0 ? errno : ENOSPC);
    done += size_t(w);
  }
  if (::fsync(fd) != 0) fail(ErrorKind::Write, "Write error", "SAVE", name, errno);
  if (tmp.close() != 0) fail(ErrorKind::Write, "Write error", "SAVE", name, errno);
  if (::rename(tmp.path().c_str(), path.c_str()) != 0) fail(ErrorKind::Write, "Write error", "SAVE", name, errno);
  tmp.keep();
  // The rename itself reaches the disk with the directory.
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

std::vector<Variable> collect(std::string_view mask, bool except) {
  std::vector<Variable> vars;
  for (MemvarInfo& info : context().memvars.list()) {
    Type t = info.value.type();
    if (t != Type::Char && t != Type::Num && t != Type::Date && t != Type::Logical) continue;
    if (!mask.empty() && matchesMask(info.name, mask) == except) continue;
    vars.push_back({std::move(info.name), std::move(info.value)});
  }
  std::sort(vars.begin(), vars.end(), [](const Variable& a, const Variable& b) { return a.name < b.name; });
  return vars;
}

void applyRestored(const std::vector<Variable>& vars, bool additive) {
  Memvars& memvars = context().memvars;
  if (!additive) memvars.clearAll();
  for (const Variable& v : vars) {
    if (additive && memvars.exists(v.name)) memvars.assign(v.name, v.value);
    else memvars.declarePrivate(v.name, v.value);
  }
}

void save(std::string_view name, std::string_view mask, bool except) {
  writeFile(withExtension(name), collect(mask, except));
}

void restore(std::string_view name, bool additive) {
  // Read and check everything first: a damaged file changes no variable.
  std::vector<Variable> vars = readFile(withExtension(name));
  applyRestored(vars, additive);
}

}  // namespace rt::mem
