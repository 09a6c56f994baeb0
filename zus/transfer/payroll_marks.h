// Where the days of a benefit record went in payroll, as its transfer marks keep it.
//
// `old_dni` holds all the days payroll holds of the record; `old_nr` says how many of them went to
// an arrears-days item and to which one: blank when the split was not kept (a record sent before
// it was), "-" when no day went to an arrears item, otherwise the item code (4 characters)
// followed by the days in two base-36 digits. Knowing the item and the days, a take-back returns
// the arrears days where they went, whatever the benefit or the link became since.
#pragma once

#include <string>

#include "runtime/db/work_area.h"

namespace zus {

struct ArrearsSent {
  bool known = true;   // false: sent before the split was kept
  std::string item;    // payroll days item of the arrears days; empty when none went there
  double days = 0;
};

// The `old_nr` text of a split; blank (not kept) when the days do not fit in two digits.
std::string arrearsMark(const ArrearsSent& sent);
ArrearsSent arrearsFromMark(const std::string& mark);

// Puts the transfer marks into the record's buffer (`place`, `old_zas`, `old_wart`, `old_dni`,
// `old_nr`); the caller holds the record's lock and commits.
void putTransferMarks(rt::db::WorkArea& nieobec, bool place, const std::string& kind, double amount, double days,
                      const std::string& arrearsMark);

}  // namespace zus
