// Reading the chosen employee's register records for the continuity check and the chain count,
// from the register table `nieobec` as the browse leaves it. The table's order, scope and record
// are put back before each function returns (also when it throws).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zus/register/continuity_check.h"
#include "zus/register/rules_copies.h"
#include "zus/register/rules_env.h"

namespace zus {

// The employee's records in browse order: the browse's current scope and all years, and where the
// register stands among them.
ContinuityRecords readContinuityRecords(const std::string& employee);

// The employee's records in end-date order and where the register stands among them.
std::vector<RegisterRecord> readRecordsByEndDate(const std::string& employee,
                                                 std::optional<size_t>& current);

// CZY_MOZNA on the register table.
bool continuityInRegister(RuleContext& c, RuleEnv& env, int32_t start, bool isNew,
                          int32_t& previousEnd);

// DNI_REH_SZP on the register table.
int chainDaysInRegister(const RuleProgram& program, bool isNew, const std::string& employee,
                        const std::string& kind, int32_t start);

// SPR_REHAB: the register's current record has exactly this kind.
bool currentRecordKindIs(const std::string& kind);

}  // namespace zus
