// The payout date of a benefit: the proposal of a new record's date from the payout hint dates
// (`zusx_d1`..`zusx_d9`, the first `zusx_daty` of them) and the payout-date check `DAJ_DATKI`.
//
// Two different tests decide whether a hint date is out of date, one where the form proposes a
// date and one where the user picks one from the list; both compare month numbers first and the
// years only then, and the stored settings of users rely on the questions coming as they do.
#pragma once

#include <cstdint>
#include <vector>

namespace zus {

// The hint dates in force: the first `zusx_daty` of `zusx_d1`..`zusx_d9` (empty dates kept).
std::vector<int32_t> payoutHintDates();

// 1-based number of the hint date whose day of the month lies nearest to the day of `payout`;
// a tie goes to the lower number; 0 when there are no hint dates.
int nearestHintDate(int32_t payout, const std::vector<int32_t>& hints);

// Out of date where a new record's date is proposed: an earlier month than the working date's,
// in an earlier year.
bool hintStaleForProposal(int32_t hint, int32_t workingDate);
// Out of date where a hint date is picked from the list: an earlier month than the working
// date's, and a year not after the working date's.
bool hintStaleOnChoice(int32_t hint, int32_t workingDate);

// The proposal for a new record (the employee has records): the last record's payout date in
// the browse's order, moved to the nearest hint date, after offering to bring stale hint dates
// up to date. Leaves the register table on the record it was on.
int32_t proposePayoutDate();

// `DAJ_DATKI`: the check of `_dat_wyp`.
bool DAJ_DATKI();

}  // namespace zus
