// Continuity of benefit periods and re-use of a previous basis.
//
// When a start date is entered, the new benefit is compared with the employee's earlier ones:
// the waiting period after employment, an overlap with the last benefit, the search back for the
// previous benefit of the same class (whose basis may be taken over, marking the new one "PBZ"),
// the valorisation of a rehabilitation basis, and the reset of the benefit-period counter after a
// break of more than 60 days. The functions here work on the employee's records as read from the
// register (continuity_table.h), so that they can be tested on a list of records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zus/register/rules_copies.h"
#include "zus/register/rules_env.h"

namespace zus {

// The fields of a register record that continuity and chain counting read.
struct RegisterRecord {
  uint32_t recno = 0;
  std::string nr_prac, zasilek;
  int32_t od = 0, do_ = 0;
  std::string te_mies, fakt_mies, mies_dop;
  int32_t od_dat = 0;
  double suma = 0, druk_podst = 0;
};

// The employee's records as the continuity check sees them.
struct ContinuityRecords {
  std::vector<RegisterRecord> scoped;    // the browse's current scope, in browse order
  std::vector<RegisterRecord> employee;  // all the employee's records, in browse order
  std::optional<size_t> entry;           // the record the register stands on, in `employee`
};

// Whether more than n full calendar months lie between the months of two dates (the month test
// of the continuity rules: an end in January and a start in May is more than 3).
bool monthsApartMoreThan(int32_t earlier, int32_t later, int n);

// The continuity check of a start date (CZY_MOZNA): true to accept; `previousEnd` receives the
// end of the previous benefit of the sickness class (empty when none).
bool checkContinuity(RuleContext& c, RuleEnv& env, const ContinuityRecords& records, int32_t start,
                     bool isNew, int32_t& previousEnd);

// Days of the chain before a start date (DNI_REH_SZP), over the employee's records in end-date
// order. `from` is where the register stands in that list (none at the end of the table).
int chainDaysBefore(const RuleProgram& program, const std::vector<RegisterRecord>& byEndDate,
                    std::optional<size_t> from, bool isNew, const std::string& kind, int32_t start);

// The fill-up flags as the record stores them: "T" or "F" per flag (MIESDOPTXT).
std::string monthFlagsText(const std::vector<bool>& flags);
// The flags a record's text stands for: true for each "T" of the trimmed text.
std::vector<bool> monthFlagsFromText(const std::string& text);

}  // namespace zus
