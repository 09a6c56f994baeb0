// The records of a listing on the screen while the user works: the generator's browse columns
// over the selected work area in its current order, showing only the records the per-record
// callback keeps (a record the payroll library's access check refuses is not shown either).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "runtime/core/value.h"

namespace suite {

struct ListingBrowse {
  std::vector<rt::Value> columns;     // value blocks or expression texts
  std::vector<std::string> headings;  // stored texts, paired with the columns by position
  rt::Value callback;                 // .F. shows the record, "T" hides it; NIL shows all
  std::string title;                  // stored text
};

// Browses the selected work area until Esc or Enter.
void browseListing(const ListingBrowse& view);

}  // namespace suite
