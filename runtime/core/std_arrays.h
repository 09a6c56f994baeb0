// Array helpers others call directly: the default sort order of ASORT and deep copies.
#pragma once

#include "runtime/core/value.h"

namespace rt {

// ASORT's order without a block: strings in byte order, exactly; values of different types are
// grouped by type (arrays, strings, logicals, dates, numbers, NIL, blocks).
bool sortsBefore(const Value& a, const Value& b);

// A deep copy: nested arrays are copied too (ACLONE).
Value cloneArray(const Value& array);

}  // namespace rt
