// Test helper: runs a routine in a forked child that dies with SIGKILL just before one of its
// file writes, at a moment when none of the tables watched is half-written (no mark of a write in
// progress in its header), so that the kill tries the program between two of its writes. The
// parent must hold no open table when it calls this (see child_process.h).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/runtime/db/helpers/killed_at_write.h"

namespace transfer_test {

// Whether a table's header carries the mark of a write in progress (byte 14).
inline bool writeInProgress(const std::string& dbfPath) {
  int fd = ::open(dbfPath.c_str(), O_RDONLY);
  if (fd < 0) return false;
  unsigned char mark = 0;
  bool marked = ::pread(fd, &mark, 1, 14) == 1 && mark == 1;
  ::close(fd);
  return marked;
}

// Runs `body` in a child killed before its `nth` write made while none of `watched` (table paths)
// is half-written. True when the child was killed there; false when `body` ended first (there is
// no such write).
inline bool killedBeforeWrite(int nth, const std::vector<std::string>& watched, const std::function<void()>& body) {
  auto between = [&](const std::string&) {
    for (const std::string& t : watched)
      if (writeInProgress(t)) return false;
    return true;
  };
  return rt::db::testing::killedAtWrite(nth, between, [&] {
           body();
           return 0;
         }) == -SIGKILL;
}

}  // namespace transfer_test
