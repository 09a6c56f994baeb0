// Test helper: a writer killed in the middle of a change of a shared table, after the record
// reached the table and before its keys reached the structural index, as a power cut or a closed
// window leaves it: the table marked as being written, the index witnessing that write.
#pragma once

#include <signal.h>

#include <string>

#include "runtime/core/value.h"
#include "runtime/db/file.h"
#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/child_process.h"
#include "tests/runtime/db/helpers/shared_use.h"

namespace rt::db::testing {

// Field `field` of the table's first record set to `value` by a forked writer killed at its first
// page of keys; true when it was killed there. The caller holds no table open.
inline bool killWriterBeforeItsKeys(const std::string& tablePath, const char* field, const Value& value) {
  Child writer([&](int, int) {
    File::setWriteFault([](const std::string& path, uint64_t off, size_t) {
      // Past the index's header (where the witness of the write is set): its first page of keys.
      if ((path.ends_with(".cdx") || path.ends_with(".CDX")) && off >= 1024) ::raise(SIGKILL);
      return 0;
    });
    WorkArea& w = workAreas().use(tablePath, sharedUse());
    w.goTo(1);
    if (!w.lockCurrent()) return 4;
    w.put(size_t(w.fieldIndex(field)), value);
    w.commit();
    return 0;
  });
  return writer.wait() == -SIGKILL;
}

}  // namespace rt::db::testing
