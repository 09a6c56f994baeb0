// The installer's hold of an installed system.
#include "patch/system_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace patch {

SystemLock::SystemLock(const std::string& systemDir) {
  fd_ = ::open(systemDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A system directory that cannot be opened has nothing an update could change; the run fails
  // later on its own message.
  if (fd_ < 0) {
    held_ = true;
    return;
  }
  int r;
  do r = ::flock(fd_, LOCK_EX | LOCK_NB);
  while (r != 0 && errno == EINTR);
  held_ = r == 0;
}

SystemLock::~SystemLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace patch
