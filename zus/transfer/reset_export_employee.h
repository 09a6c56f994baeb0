// One employee's rows of the RESET export (`ZS_ESPPRAC`), with what the run keeps between
// employees: the open areas, the name of MAIN's full-time-equivalent field and the benefit
// records whose saved basis could not be read whole.
#pragma once

#include <string>
#include <vector>

#include "runtime/db/work_area.h"

namespace zus::reset_export {

struct ExportRun {
  rt::db::WorkArea* main = nullptr;
  rt::db::WorkArea* benefits = nullptr;  // NIEOBEC, in its order by employee and end date
  rt::db::WorkArea* dictionary = nullptr;
  rt::db::WorkArea* table = nullptr;      // the export table
  std::string fteField;                   // "SL_" + the FTE dictionary's symbol; "" when none
  std::vector<std::string> basisProblems; // one line per row written with an unreadable basis
  std::string failure;                    // why the run stopped, when a row could not be written
  bool rowTakenBack = false;              // a row begun was marked deleted: the table is packed
};

// Appends the rows of the employee MAIN stands on; false when a row could not be appended or
// written (the run stops; a row begun is taken back).
bool exportEmployee(ExportRun& run, const std::string& groupName);

// `ETAT_DZIES`: the full-time equivalent of an FTE dictionary code (its `wart` in thousandths);
// 0 when the code is not there. The dictionary keeps its order and record.
double fullTimeEquivalent(rt::db::WorkArea& dictionary, const std::string& code);

// `RS_NAZ_GR`: the dictionary name of a group key (`mnemo` when `rs_naz_gr` is 2, else `nazwa`),
// as stored; blanks as wide as `skrot`, `nazwa` and `mnemo` together when the key is not there.
std::string groupName(rt::db::WorkArea& dictionary, const std::string& key);

}  // namespace zus::reset_export
