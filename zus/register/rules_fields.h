// Entry rules of single fields and of the save: the count flag (OK_ZLICZ), the late sick note
// (OK_L4), the letter code (OK_LITER), the daily rate entered as an amount (OK_PODST) and the
// employee's day counters at save (AKT_DNI).
#pragma once

#include "zus/register/rules_copies.h"
#include "zus/register/rules_env.h"

namespace zus {

bool countFlagRule(RuleContext& c, RuleEnv& env);                    // OK_ZLICZ
bool lateSickNoteRule(RuleContext& c, RuleEnv& env);                 // OK_L4
bool letterCodeRule(const RuleContext& c);                           // OK_LITER
bool dailyRateRule(RuleContext& c, RuleEnv& env, double startRate);  // OK_PODST
// AKT_DNI: false when the record's days are not counted (nothing changes).
bool saveCounters(RuleContext& c, RuleEnv& env, int oldDays, const std::string& oldChildCare);

}  // namespace zus
