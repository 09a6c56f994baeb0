// Test helper: the tags the restructure and power-loss tests build on a table with the fields
// ID and KEY: one on the key, one on the ID, and a FOR tag that holds only odd IDs.
#pragma once

#include "runtime/db/work_area.h"

namespace rt::db::testing {

inline void addKeyIdOddTags(WorkArea& w) {
  w.createTag("", "KEY", "key");
  w.createTag("", "ID", "id");
  CreateTagOptions forClause;
  forClause.forText = "val(right(id,2)) % 2 = 1";
  w.createTag("", "ODD", "key+id", forClause);
}

}  // namespace rt::db::testing
