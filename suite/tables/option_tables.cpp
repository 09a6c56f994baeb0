// Closing what an option left open.
#include "suite/tables/option_tables.h"

#include <algorithm>
#include <exception>

#include "runtime/db/work_areas.h"
#include "suite/tables/table_sets.h"

namespace suite {

OptionTables::OptionTables()
    : sets_(openSets()), selected_(rt::db::workAreas().selectedNumber()), unwinding_(std::uncaught_exceptions()) {
  for (auto& [number, area] : rt::db::workAreas().areas()) {
    areas_.insert(number);
    if (area->lockedRecords().empty() && !area->table().fileLocked()) lockFree_.insert(number);
  }
}

OptionTables::~OptionTables() {
  rt::db::WorkAreas& w = rt::db::workAreas();
  // An option that ended with an error did not reach its own write: a change still in a record
  // buffer of a shared table is half made and is not written by the closing. (An exclusive
  // table's record appended and not yet written keeps its values: dropping them would leave a
  // blank record.)
  const bool failed = std::uncaught_exceptions() > unwinding_;
  if (failed)
    for (auto& [number, area] : w.areas())
      if (!areas_.count(number) && area->table().shared()) area->discardChanges();
  std::vector<std::string> now = openSets();
  for (auto it = now.rbegin(); it != now.rend(); ++it) {
    if (std::find(sets_.begin(), sets_.end(), *it) != sets_.end()) continue;
    try {
      closeSet(*it);
    } catch (...) {  // closed all the same; the option's own outcome is what the user is told
    }
  }
  std::vector<int> opened;
  for (auto& [number, area] : w.areas())
    if (!areas_.count(number)) opened.push_back(number);
  for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
    try {
      w.close(*it);
    } catch (...) {  // as above
    }
  }
  for (int number : lockFree_)
    if (rt::db::WorkArea* area = w.byNumber(number)) {
      try {
        area->unlockAll();
      } catch (...) {  // a lock that cannot be given back goes with the process
      }
    }
  w.select(selected_);
}

}  // namespace suite
