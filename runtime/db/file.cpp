// File: descriptor ownership, exact I/O with EINTR retry, flock and OFD byte-range locks.
#include "runtime/db/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include "runtime/core/error.h"

namespace rt::db {

namespace {

File::WriteFault& writeFault() {
  static File::WriteFault fault;
  return fault;
}

std::string osText(int err) { return std::strerror(err); }

constexpr size_t kPageBytes = 4096;
constexpr size_t kHeadBytes = kPageBytes;

bool& treatAsNetwork() {
  static bool on = false;
  return on;
}

// File systems whose files other machines change behind this one's page cache.
bool networkFileSystem(int fd) {
  if (treatAsNetwork()) return true;
  struct statfs fs;
  if (::fstatfs(fd, &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:      // NFS
    case 0x517BUL:      // SMB
    case 0xFF534D42UL:  // CIFS
    case 0xFE534D42UL:  // SMB2/3
      return true;
    default:
      return false;
  }
}

}  // namespace

static File::SyncObserver& syncObserver() {
  static File::SyncObserver observer;
  return observer;
}

void File::setWriteFault(WriteFault fault) { writeFault() = std::move(fault); }
void File::setSyncObserver(SyncObserver observer) { syncObserver() = std::move(observer); }

void File::setTreatAsNetwork(bool on) { treatAsNetwork() = on; }

File::File(int fd, std::string path, bool readOnly)
    : fd_(fd), path_(std::move(path)), readOnly_(readOnly), network_(networkFileSystem(fd)) {}

File::~File() { close(); }

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      path_(std::move(other.path_)),
      readOnly_(other.readOnly_),
      network_(other.network_),
      head_(std::exchange(other.head_, nullptr)),
      headLen_(std::exchange(other.headLen_, 0)),
      headTried_(std::exchange(other.headTried_, false)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
    readOnly_ = other.readOnly_;
    network_ = other.network_;
    head_ = std::exchange(other.head_, nullptr);
    headLen_ = std::exchange(other.headLen_, 0);
    headTried_ = std::exchange(other.headTried_, false);
  }
  return *this;
}

void File::close() noexcept {
  unmapHead();
  if (fd_ >= 0) {
    ::close(fd_);  // an error on close of a file we only read or already wrote has nothing to undo
    fd_ = -1;
  }
}

File File::open(const std::string& path, Access access) {
  const bool ro = access == Access::ReadOnly;
  int fd;
  do fd = ::open(path.c_str(), (ro ? O_RDONLY : O_RDWR) | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    int err = errno;
    throw Error(ErrorKind::Open, "Open error: " + osText(err), "open", path, err, true);
  }
  return File(fd, path, ro);
}

File File::create(const std::string& path) {
  int fd;
  do fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    int err = errno;
    throw Error(ErrorKind::Create, "Create error: " + osText(err), "create", path, err, true);
  }
  return File(fd, path, false);
}

size_t File::readSome(uint64_t off, void* buf, size_t n) const {
  auto* p = static_cast<char*>(buf);
  size_t done = 0;
  while (done < n) {
    ssize_t r = ::pread(fd_, p + done, n - done, off_t(off + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      throw Error(ErrorKind::Read, "Read error: " + osText(err), "read", path_, err, true);
    }
    if (r == 0) break;
    done += size_t(r);
  }
  return done;
}

void File::readExact(uint64_t off, void* buf, size_t n) const {
  if (readSome(off, buf, n) != n)
    throw Error(ErrorKind::Corrupt, "File is truncated (" + std::to_string(n) +
                " bytes expected at offset " + std::to_string(off) + ")", "read", path_)
        .because(ErrorCause::Truncated);
}

void File::checkWriteFault(uint64_t off, size_t n) const {
  if (readOnly_)
    throw Error(ErrorKind::Write, "Write error: file is open read-only", "write", path_, EBADF)
        .because(ErrorCause::ReadOnly);
  if (auto& fault = writeFault()) {
    if (int err = fault(path_, off, n))
      throw Error(ErrorKind::Write, "Write error: " + osText(err), "write", path_, err, true);
  }
}

void File::writeExact(uint64_t off, const void* buf, size_t n) {
  checkWriteFault(off, n);
  auto* p = static_cast<const char*>(buf);
  size_t done = 0;
  while (done < n) {
    // Large writes go in page-aligned pieces of one page: the page cache then holds the file in
    // single pages, and a later small write into one of them costs far less than into a page
    // group built by one large write (the file system walks the whole group on every write).
    const uint64_t at = off + done;
    const size_t piece = n <= kPageBytes ? n - done : std::min<size_t>(n - done, kPageBytes - at % kPageBytes);
    ssize_t r = ::pwrite(fd_, p + done, piece, off_t(at));
    if (r < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      throw Error(ErrorKind::Write, "Write error: " + osText(err), "write", path_, err, true);
    }
    if (r == 0)
      throw Error(ErrorKind::Write, "Write error: short write", "write", path_, ENOSPC, true);
    done += size_t(r);
  }
}


uint8_t* File::head(uint64_t off, size_t n) const {
  if (!headTried_ && fd_ >= 0 && !network_) {
    headTried_ = true;
    const uint64_t len = std::min<uint64_t>(size(), kHeadBytes);
    if (len > 0) {
      void* p = ::mmap(nullptr, kHeadBytes, readOnly_ ? PROT_READ : PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
      if (p != MAP_FAILED) {
        head_ = static_cast<uint8_t*>(p);
        headLen_ = size_t(len);
      }
    }
  }
  return head_ && off + n <= headLen_ ? head_ + off : nullptr;
}

void File::unmapHead() noexcept {
  if (head_) ::munmap(head_, kHeadBytes);
  head_ = nullptr;
  headLen_ = 0;
  headTried_ = false;
}

void File::readHead(uint64_t off, void* buf, size_t n) const {
  if (const uint8_t* p = head(off, n)) std::memcpy(buf, p, n);
  else readExact(off, buf, n);
}

void File::writeHead(uint64_t off, const void* buf, size_t n) {
  uint8_t* p = head(off, n);
  if (!p) {
    writeExact(off, buf, n);
    if (!head_) headTried_ = false;  // the file may have been too short to map: try again next time
    return;
  }
  checkWriteFault(off, n);
  // Stores into the mapping become visible to other processes in the order they are made: a
  // reader that sees a write's mark cleared sees the index counter that write moved before.
  std::atomic_thread_fence(std::memory_order_release);
  std::memcpy(p, buf, n);
}

uint64_t File::size() const {
  struct stat st;
  if (::fstat(fd_, &st) != 0) {
    int err = errno;
    throw Error(ErrorKind::Read, "Read error: " + osText(err), "stat", path_, err);
  }
  return uint64_t(st.st_size);
}

void File::truncate(uint64_t length) {
  unmapHead();  // the next use maps what is left
  int r;
  do r = ::ftruncate(fd_, off_t(length));
  while (r != 0 && errno == EINTR);
  if (r != 0) {
    int err = errno;
    throw Error(ErrorKind::Write, "Write error: " + osText(err), "truncate", path_, err, true);
  }
}

void File::renameTo(const std::string& newPath) {
  rename(path_, newPath);
  path_ = newPath;
}

void File::rename(const std::string& from, const std::string& to) {
  int err = 0;
  if (auto& fault = writeFault()) err = fault(to, 0, 0);
  if (err == 0 && ::rename(from.c_str(), to.c_str()) != 0) err = errno;
  if (err != 0) throw Error(ErrorKind::Write, "Write error: " + osText(err), "rename", to, err, true);
}

bool File::exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::string File::directoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

std::string File::nameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string File::withoutExtension(const std::string& path) {
  const size_t dot = path.find_last_of('.'), slash = path.find_last_of('/');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return hasExt ? path.substr(0, dot) : path;
}

void File::syncDirectoryOf(const std::string& path) {
  const std::string dir = directoryOf(path);
  int fd;
  do fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return;  // a directory we cannot open we cannot sync either; the renames stand
  int r = ::fsync(fd);
  int err = errno;
  ::close(fd);
  if (r != 0 && err != EINVAL && err != EROFS)
    throw Error(ErrorKind::Write, "Write error: " + osText(err), "sync", dir, err, true);
  if (auto& observer = syncObserver()) observer(dir);
}

bool File::isAt(const std::string& path) const {
  struct stat mine, named;
  if (::fstat(fd_, &mine) != 0 || ::stat(path.c_str(), &named) != 0) return false;
  return mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
}

std::string File::siblingTemporary(const std::string& path) {
  return replacementTarget(path) + "." + std::to_string(::getpid()) + ".tmp";
}

std::optional<pid_t> File::temporaryPid(std::string_view suffix) {
  constexpr std::string_view tail = ".tmp";
  if (suffix.size() < 2 + tail.size() || suffix.front() != '.' || !suffix.ends_with(tail)) return std::nullopt;
  const std::string_view digits = suffix.substr(1, suffix.size() - 1 - tail.size());
  // Nine digits hold every process id and cannot overflow.
  if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  pid_t pid = 0;
  for (char c : digits) pid = pid * 10 + (c - '0');
  return pid;
}

std::string File::replacementTarget(const std::string& livePath) {
  struct stat st;
  if (::lstat(livePath.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return livePath;
  char* real = ::realpath(livePath.c_str(), nullptr);
  if (!real) return livePath;  // a dangling link: there is nothing to keep but the name
  std::string target = real;
  std::free(real);
  return target;
}

void File::putInPlace(const std::string& fresh, const std::string& livePath) {
  const std::string target = replacementTarget(livePath);
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) {
    // Owner first: a change of owner clears the set-id bits that the mode then gives back. A
    // process that may not give the owner may still give a group it belongs to.
    if (::chown(fresh.c_str(), st.st_uid, st.st_gid) != 0 && ::chown(fresh.c_str(), uid_t(-1), st.st_gid) != 0) {
      // Neither: the new file stays ours, readable and writable as its mode says.
    }
    if (::chmod(fresh.c_str(), st.st_mode & 07777) != 0) {
      int err = errno;
      throw Error(ErrorKind::Write, "Write error: " + osText(err), "chmod", fresh, err, true);
    }
  }
  rename(fresh, target);
}

void File::replace(const std::string& livePath) {
  putInPlace(path_, livePath);
  path_ = livePath;
}

void File::sync() {
  if (::fdatasync(fd_) != 0 && errno != EINVAL) {
    int err = errno;
    throw Error(ErrorKind::Write, "Write error: " + osText(err), "sync", path_, err, true);
  }
  if (auto& observer = syncObserver()) observer(path_);
}

static bool flockNb(int fd, int op) {
  for (;;) {
    if (::flock(fd, op | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    return false;
  }
}

bool File::lockShared() { return flockNb(fd_, LOCK_SH); }
bool File::lockExclusive() { return flockNb(fd_, LOCK_EX); }

static struct flock rangeOf(short type, uint64_t off, uint64_t len) {
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = off_t(off);
  fl.l_len = off_t(len);
  fl.l_pid = 0;  // required for OFD locks
  return fl;
}

bool File::lockRange(uint64_t off, uint64_t len, bool exclusive) {
  // A read-only descriptor cannot hold a write lock; a shared lock is what it can honestly take.
  short type = (exclusive && !readOnly_) ? F_WRLCK : F_RDLCK;
  struct flock fl = rangeOf(type, off, len);
  for (;;) {
    if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0) return true;
    if (errno == EINTR) continue;
    return false;
  }
}

bool File::lockRangeWaiting(uint64_t off, uint64_t len, bool exclusive) {
  // By the clock, not by a count of tries: on a busy machine a sleep may last far longer.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  for (int i = 0;; ++i) {
    if (lockRange(off, len, exclusive)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(i < 100 ? 50 : 500));
  }
}

void File::unlockRange(uint64_t off, uint64_t len) noexcept {
  if (fd_ < 0) return;
  struct flock fl = rangeOf(F_UNLCK, off, len);
  while (::fcntl(fd_, F_OFD_SETLK, &fl) != 0 && errno == EINTR) {
  }
}

}  // namespace rt::db
