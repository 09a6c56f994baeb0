// Test helper: a routine run in a forked child that dies with SIGKILL at one of its file writes,
// as a power cut could stop it there. The parent must hold no open table when it calls this (see
// child_process.h).
#pragma once

#include <signal.h>

#include <cstdint>
#include <functional>
#include <string>

#include "runtime/db/file.h"
#include "tests/runtime/db/helpers/child_process.h"

namespace rt::db::testing {

// Runs `body` in a child killed just before its k-th write that `counted` (given the file's path)
// accepts. The child's exit code: what `body` returned when it ended first, -SIGKILL when killed.
inline int killedAtWrite(int k, const std::function<bool(const std::string& path)>& counted,
                         const std::function<int()>& body) {
  Child child([&](int, int) {
    int writes = 0;
    File::setWriteFault([&](const std::string& path, uint64_t, size_t) {
      if (counted(path) && ++writes == k) ::raise(SIGKILL);
      return 0;
    });
    return body();
  });
  return child.wait();
}

// The same, counting the writes into the file whose path ends with `fileEnd` ("SLOWNIK.dbf").
inline int killedAtWrite(int k, const std::string& fileEnd, const std::function<int()>& body) {
  return killedAtWrite(k, [&](const std::string& path) { return path.ends_with(fileEnd); }, body);
}

}  // namespace rt::db::testing
