// Entry rules of single fields and of the save: the count flag (OK_ZLICZ), the late sick note
// (OK_L4), the letter code (OK_LITER), the daily rate entered as an amount (OK_PODST) and the
// employee's day counters at save (AKT_DNI).
#pragma once

#include <string>

#include "zus/register/rules_copies.h"
#include "zus/register/rules_env.h"

namespace zus {

bool countFlagRule(RuleContext& c, RuleEnv& env);                    // OK_ZLICZ
bool lateSickNoteRule(RuleContext& c, RuleEnv& env);                 // OK_L4
bool letterCodeRule(const RuleContext& c);                           // OK_LITER
bool dailyRateRule(RuleContext& c, RuleEnv& env, double startRate);  // OK_PODST
// What a benefit record adds to the employee's day counters: its kind, whether its days are
// counted, its days and its child-care answer ("T" = child).
struct CountedShare {
  std::string kind;
  bool counted = false;
  int days = 0;
  std::string childCare = "T";
};

// Days a record holds in each of the counters `dni_ch`, `dni_op` and `dni_rdz`.
struct CounterDays {
  int sickness = 0, care = 0, family = 0;
};
CounterDays counterDaysOf(const RuleProgram& program, const CountedShare& share);

// AKT_DNI: the counters move by the difference between what the record held in them when the
// form opened (`before`; nothing for a new record) and what the saved record holds. False when
// the saved record's days are not counted.
bool saveCounters(RuleContext& c, RuleEnv& env, const CountedShare& before);

}  // namespace zus
