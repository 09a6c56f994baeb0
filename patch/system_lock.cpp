// The installer's hold of an installed system.
#include "patch/system_lock.h"

#include <cerrno>

#include "runtime/core/error.h"

namespace patch {

using rt::db::File;

SystemLock::SystemLock(const std::string& systemDir) {
  try {
    hold_ = File::open(systemDir, File::Access::ReadOnly);
  } catch (const rt::Error&) {
    // A system directory that cannot be opened has nothing an update could change; the run fails
    // later on its own message.
    held_ = true;
    return;
  }
  if (hold_.lockExclusive()) {
    held_ = true;
    return;
  }
  if (errno == EWOULDBLOCK) return;
  // A network file system that locks only files opened for writing: a lock file of its own.
  try {
    hold_ = File::create(systemDir + "/" + kLockFile);
  } catch (const rt::Error&) {
    held_ = true;
    return;
  }
  held_ = hold_.lockExclusive();
}

}  // namespace patch
