// The hold one installer has on an installed system for its whole run: taken at start-up, before
// anything of the system is read, and let go only after the run's journal is gone. A second
// installer on the same system (from this or another workstation) is refused at once.
//
// The hold is a whole-file lock on the system's directory itself, so no file of its own is left
// behind in the system; where the file system cannot lock a directory, on the file kLockFile in it.
#pragma once

#include <string>

#include "runtime/db/file.h"

namespace patch {

inline constexpr const char* kLockFile = "UZUP_KOP.LCK";

class SystemLock {
 public:
  // `systemDir`: the installed system's directory (a Linux path).
  explicit SystemLock(const std::string& systemDir);

  // False when another installer holds the system.
  bool held() const { return held_; }

 private:
  rt::db::File hold_;
  bool held_ = false;
};

}  // namespace patch
