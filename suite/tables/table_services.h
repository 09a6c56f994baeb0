// The suite's table services by name: record and file locks (`_REC_LOCK`, `_FILE_LOCK`), a blank
// record appended and locked (`_APPE_BLAN`; given {field name, value} pairs, a record written
// whole with its append), scopes and key counts of the controlling order
// (`CMXSETSCOPE`, `CMXCLRSCOPE`, `CMXKEYCOUNT`, `CMXKEYSINCLUDED`, `CMXCOUNT`), a filter from
// expression text (`CMFILTER`) and a table opened alone from a directory (`_OPEN_LOCAL`).
// Locks answer at once: a lock held by another workstation gives false, never a wait.
#pragma once

#include <string>

#include "runtime/core/value.h"

namespace suite {

void registerTableServiceFunctions();

// Adds one {field name, value} pair to the array `_APPE_BLAN` takes.
void addFieldPair(rt::Value& pairs, const std::string& name, rt::Value value);

}  // namespace suite
