// Entry rules of the dates: the start date (OK_OD), the end date (OK_DO) with the days, the
// default percentage, the statutory limits and the arrears split (IF_OD_OK), the date of the
// right (OK_DAT_PRA) and the percentage by years of service (DAJ_PROCENT).
//
// Limits only warn; a field is refused only as OK_DO and the continuity check say.
#pragma once

#include <cstdint>
#include <optional>

#include "zus/register/rules_copies.h"
#include "zus/register/rules_env.h"

namespace zus {

bool startDateRule(RuleContext& c, RuleEnv& env, int32_t start, bool isNew);  // OK_OD
bool endDateRule(RuleContext& c, RuleEnv& env);                               // OK_DO
void arrearsSplit(RuleContext& c, RuleEnv& env);                              // IF_OD_OK
bool rightDateRule(RuleContext& c, RuleEnv& env);                             // OK_DAT_PRA

// The percentage a new record of the form's kind gets from the kind alone (the table of the
// end-date rule), before the rule for rights before 1 March 1995.
double kindDefaultPercent(RuleContext& c, RuleEnv& env);

// The percentage of a new sickness record when the attached table function gives none (no
// employment date, no value): outside 0 to 100, so that the percentage check refuses it with its
// message until the user types one, and the form does not pass the statutory 80 off as the
// table's.
inline constexpr double kNoTablePercent = -1;

// DAJ_PROCENT: the attached table function at the years of service; none when no function is
// attached, when the employment date is unknown or when the function gives no value.
std::optional<double> seniorityTablePercent(const RuleContext& c, RuleEnv& env);

}  // namespace zus
