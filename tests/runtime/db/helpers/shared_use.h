// Test helper: the options of a shared opening, as the programs open their tables.
#pragma once

#include "runtime/db/work_areas.h"

namespace rt::db::testing {

inline UseOptions sharedUse() {
  UseOptions o;
  o.shared = true;
  return o;
}

}  // namespace rt::db::testing
