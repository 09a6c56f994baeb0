// The installer's hold of an installed system.
#include "patch/system_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace patch {

namespace {

// 0, or the errno of a refused exclusive lock.
int lockExclusive(int fd) {
  int r;
  do r = ::flock(fd, LOCK_EX | LOCK_NB);
  while (r != 0 && errno == EINTR);
  return r == 0 ? 0 : errno;
}

}  // namespace

SystemLock::SystemLock(const std::string& systemDir) {
  fd_ = ::open(systemDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A system directory that cannot be opened has nothing an update could change; the run fails
  // later on its own message.
  if (fd_ < 0) {
    held_ = true;
    return;
  }
  int code = lockExclusive(fd_);
  if (code != 0 && code != EWOULDBLOCK) {
    // A network file system that locks only files opened for writing: a lock file of its own.
    ::close(fd_);
    fd_ = ::open((systemDir + "/" + kLockFile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    code = fd_ < 0 ? 0 : lockExclusive(fd_);
  }
  held_ = code == 0;
}

SystemLock::~SystemLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace patch
