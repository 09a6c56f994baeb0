// File functions: FILE, FOPEN, FCREATE, FREAD, FREADSTR, FWRITE, FSEEK, FCLOSE, FERROR, FERASE,
// FRENAME, DIRECTORY, CURDIR, DIRCHANGE, MAKEDIR, DIRREMOVE, DISKSPACE, MEMOREAD, MEMOWRIT.
#include "runtime/core/std_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <set>

#include "runtime/core/file_names.h"
#include "runtime/core/std_args.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_register.h"

namespace rt {
namespace {

using namespace stdargs;

int& errorCode() {
  static int code = 0;
  return code;
}
void setError(int code) { errorCode() = code; }
void setErrno() { errorCode() = dosErrorCode(errno); }

std::set<int>& openHandles() {
  static std::set<int> handles;
  return handles;
}

bool knownHandle(int64_t h) {
  if (openHandles().count(int(h))) return true;
  setError(6);
  return false;
}

int openMapped(const std::string& name, int flags, PathUse use) {
  std::string path = mapPath(name, use);
  int fd;
  do fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    setErrno();
    return -1;
  }
  openHandles().insert(fd);
  setError(0);
  return fd;
}

ssize_t readFully(int fd, char* buf, size_t n) {
  size_t done = 0;
  while (done < n) {
    ssize_t r = ::read(fd, buf + done, n - done);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return done > 0 ? ssize_t(done) : -1;
    if (r == 0) break;
    done += size_t(r);
  }
  return ssize_t(done);
}

bool writeFully(int fd, const char* buf, size_t n, size_t* written = nullptr) {
  size_t done = 0;
  while (done < n) {
    ssize_t w = ::write(fd, buf + done, n - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) break;
    done += size_t(w);
  }
  if (written) *written = done;
  return done == n;
}

std::string baseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string timeText(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
  return buf;
}

int32_t dayOf(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  return makeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

// One DIRECTORY row: {name, size, date, time, attributes}.
Value directoryEntry(const std::string& path, const struct stat& st) {
  std::string name = baseName(path);
  std::string attr;
  if (!(st.st_mode & S_IWUSR)) attr += 'R';
  if (!name.empty() && name[0] == '.') attr += 'H';
  attr += S_ISDIR(st.st_mode) ? 'D' : 'A';
  Value row = Value::newArray(5);
  Array& r = row.arr();
  r[0] = Value::text(name);
  r[1] = integer(S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size));
  r[2] = Value::date(dayOf(st.st_mtime));
  r[3] = Value::text(timeText(st.st_mtime));
  r[4] = Value::text(attr);
  return row;
}

Value directory(const Args& a) {
  std::string pattern = a[0].isChar() ? a[0].str() : std::string();
  std::string attrs = a[1].isChar() ? a[1].str() : std::string();
  bool withDirs = attrs.find_first_of("Dd") != std::string::npos;
  bool withHidden = attrs.find_first_of("HhSs") != std::string::npos;
  if (pattern.empty()) pattern = "*";
  char last = pattern.back();
  if (last == '\\' || last == '/' || last == ':') pattern += '*';
  std::vector<std::string> paths;
  if (hasWildcards(pattern)) {
    paths = findFiles(pattern, withDirs);
  } else {
    std::string p = mapPath(pattern);
    struct stat st;
    if (::stat(p.c_str(), &st) == 0 && (withDirs || !S_ISDIR(st.st_mode))) paths.push_back(p);
  }
  Value result = Value::newArray();
  for (const std::string& p : paths) {
    struct stat st;
    if (::stat(p.c_str(), &st) != 0) continue;
    if (!withHidden && baseName(p)[0] == '.') continue;
    result.arr().push_back(directoryEntry(p, st));
  }
  return result;
}

bool isFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string currentDirectory() {
  char buf[PATH_MAX];
  if (!::getcwd(buf, sizeof buf)) return {};
  std::string cwd = buf;
  // Without the drive's root and the leading separator, in the Windows spelling.
  std::string root = driveRoot('C');
  if (root.size() > 1 && root.back() == '/') root.pop_back();
  if (root != "/" && cwd.compare(0, root.size(), root) == 0 && (cwd.size() == root.size() || cwd[root.size()] == '/'))
    cwd = cwd.substr(root.size());
  while (!cwd.empty() && cwd[0] == '/') cwd.erase(cwd.begin());
  for (char& c : cwd)
    if (c == '/') c = '\\';
  return cwd;
}

}  // namespace

int lastFileError() { return errorCode(); }

int dosErrorCode(int e) {
  switch (e) {
    case 0: return 0;
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EMFILE: case ENFILE: return 4;
    case EACCES: case EPERM: case EROFS: case EISDIR: return 5;
    case EBADF: return 6;
    case EEXIST: case ENOTEMPTY: return 80;
    case ENOSPC: case EIO: return 29;
    case EBUSY: case EAGAIN: return 32;
    default: return e;
  }
}

std::optional<std::string> readWholeFile(std::string_view name) {
  std::string path = mapPath(name);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    setErrno();
    return std::nullopt;
  }
  std::string data;
  char buf[65536];
  while (true) {
    ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      setErrno();
      ::close(fd);
      return std::nullopt;
    }
    if (r == 0) break;
    data.append(buf, size_t(r));
  }
  ::close(fd);
  if (!data.empty() && data.back() == '\x1A') data.pop_back();
  setError(0);
  return data;
}

bool writeWholeFile(std::string_view name, std::string_view data) {
  std::string path = mapPath(name, PathUse::Create);
  std::string tmp = path + ".tmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    setErrno();
    return false;
  }
  bool ok = writeFully(fd, data.data(), data.size()) && ::fsync(fd) == 0;
  if (!ok) setErrno();
  if (::close(fd) != 0 && ok) {
    setErrno();
    ok = false;
  }
  if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
    setErrno();
    ok = false;
  }
  if (!ok) {
    ::unlink(tmp.c_str());
    return false;
  }
  setError(0);
  return true;
}

namespace detail {

void registerFileFunctions(Functions& f) {
  f.add("FILE", [](Args& a) {
    if (!a[0].isChar() || a[0].str().empty()) return Value::logical(false);
    const std::string& name = a[0].str();
    if (hasWildcards(name)) return Value::logical(!findFiles(name).empty());
    return Value::logical(isFile(mapPath(name)));
  });
  f.add("FOPEN", [](Args& a) {
    const std::string& name = needStr(a, 0, "FOPEN");
    int64_t mode = optInt(a, 1, 0, "FOPEN");
    int access = int(mode & 3);
    int flags = access == 1 ? O_WRONLY : access == 2 ? O_RDWR : O_RDONLY;
    return integer(openMapped(name, flags, PathUse::Open));
  });
  f.add("FCREATE", [](Args& a) {
    const std::string& name = needStr(a, 0, "FCREATE");
    return integer(openMapped(name, O_RDWR | O_CREAT | O_TRUNC, PathUse::Create));
  });
  f.add("FCLOSE", [](Args& a) {
    int64_t h = needInt(a, 0, "FCLOSE");
    if (!knownHandle(h)) return Value::logical(false);
    openHandles().erase(int(h));
    if (::close(int(h)) != 0) {
      setErrno();
      return Value::logical(false);
    }
    setError(0);
    return Value::logical(true);
  });
  f.add("FREAD", [](Args& a) {
    int64_t h = needInt(a, 0, "FREAD");
    int64_t n = std::min(needInt(a, 2, "FREAD"), kMaxTextLength);
    if (!knownHandle(h) || n <= 0) return integer(0);
    std::string buf(size_t(n), '\0');
    ssize_t r = readFully(int(h), buf.data(), buf.size());
    if (r < 0) {
      setErrno();
      return integer(0);
    }
    setError(0);
    // The bytes read replace the start of the caller's buffer; the rest of it is kept.
    std::string target = a[1].isChar() ? a[1].str() : std::string();
    if (target.size() < size_t(r)) target.resize(size_t(r));
    target.replace(0, size_t(r), buf, 0, size_t(r));
    a.assign(1, Value::text(std::move(target)));
    return integer(r);
  });
  f.add("FREADSTR", [](Args& a) {
    int64_t h = needInt(a, 0, "FREADSTR");
    int64_t n = std::min(needInt(a, 1, "FREADSTR"), kMaxTextLength);
    if (!knownHandle(h) || n <= 0) return Value::text("");
    std::string buf(size_t(n), '\0');
    ssize_t r = readFully(int(h), buf.data(), buf.size());
    if (r < 0) {
      setErrno();
      return Value::text("");
    }
    setError(0);
    buf.resize(size_t(r));
    size_t zero = buf.find('\0');
    if (zero != std::string::npos) buf.resize(zero);
    return Value::text(std::move(buf));
  });
  f.add("FWRITE", [](Args& a) {
    int64_t h = needInt(a, 0, "FWRITE");
    const std::string& s = needStr(a, 1, "FWRITE");
    size_t n = a[2].isNil() ? s.size() : size_t(std::clamp<int64_t>(needInt(a, 2, "FWRITE"), 0, int64_t(s.size())));
    if (!knownHandle(h)) return integer(0);
    size_t written = 0;
    if (writeFully(int(h), s.data(), n, &written)) setError(0);
    else setErrno();
    return integer(int64_t(written));
  });
  f.add("FSEEK", [](Args& a) {
    int64_t h = needInt(a, 0, "FSEEK");
    int64_t offset = needInt(a, 1, "FSEEK");
    int64_t origin = optInt(a, 2, 0, "FSEEK");
    if (!knownHandle(h)) return integer(0);
    int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    off_t pos = ::lseek(int(h), off_t(offset), whence);
    if (pos < 0) {
      setErrno();
      pos = ::lseek(int(h), 0, SEEK_CUR);
      return integer(pos < 0 ? 0 : int64_t(pos));
    }
    setError(0);
    return integer(int64_t(pos));
  });
  f.add("FERROR", [](Args&) { return integer(lastFileError()); });
  f.add("FERASE", [](Args& a) {
    std::string path = mapPath(needStr(a, 0, "FERASE"));
    if (::unlink(path.c_str()) != 0) {
      setErrno();
      return integer(-1);
    }
    setError(0);
    return integer(0);
  });
  f.add("FRENAME", [](Args& a) {
    std::string from = mapPath(needStr(a, 0, "FRENAME"));
    std::string to = mapPath(needStr(a, 1, "FRENAME"), PathUse::Create);
    // A file of the new name is not replaced, as on the system the names come from.
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0 && to != from) {
      setError(5);
      return integer(-1);
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
      setErrno();
      return integer(-1);
    }
    setError(0);
    return integer(0);
  });
  f.add("DIRECTORY", [](Args& a) { return directory(a); });
  f.add("CURDIR", [](Args&) { return Value::text(currentDirectory()); });
  f.add("DIRCHANGE", [](Args& a) {
    std::string path = mapPath(needStr(a, 0, "DIRCHANGE"));
    if (::chdir(path.c_str()) != 0) return integer(dosErrorCode(errno));
    return integer(0);
  });
  f.add("MAKEDIR", [](Args& a) {
    std::string path = mapPath(needStr(a, 0, "MAKEDIR"), PathUse::Create);
    if (::mkdir(path.c_str(), 0777) != 0) return integer(dosErrorCode(errno));
    return integer(0);
  });
  f.add("DIRREMOVE", [](Args& a) {
    std::string path = mapPath(needStr(a, 0, "DIRREMOVE"));
    if (::rmdir(path.c_str()) != 0) return integer(dosErrorCode(errno));
    return integer(0);
  });
  f.add("DISKSPACE", [](Args& a) {
    int64_t drive = a[0].isNum() ? needInt(a, 0, "DISKSPACE") : 0;
    std::string path = drive >= 1 && drive <= 26 ? driveRoot(char('A' + drive - 1)) : std::string(".");
    struct statvfs vs;
    if (::statvfs(path.c_str(), &vs) != 0) return integer(0);
    return Value::number(double(vs.f_bavail) * double(vs.f_frsize), 0);
  });
  f.add("MEMOREAD", [](Args& a) {
    auto data = readWholeFile(needStr(a, 0, "MEMOREAD"));
    return Value::text(data ? std::move(*data) : std::string());
  });
  f.add("MEMOWRIT", [](Args& a) {
    const std::string& name = needStr(a, 0, "MEMOWRIT");
    return Value::logical(writeWholeFile(name, needStr(a, 1, "MEMOWRIT")));
  });
}

}  // namespace detail
}  // namespace rt
