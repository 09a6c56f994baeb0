// What the two yearly resets share: the employee table opened alone and exclusively, a visit of
// every employee record, and the messages they end with.
#pragma once

#include <functional>
#include <string>

namespace zus::resets {

// Opens the employee table alone and exclusively; when another user has it open, says so and
// answers false (nothing is written then).
bool openEmployeesExclusively();

// Runs `body` on every record of the selected table, first to last.
void forEveryRecord(const std::function<void()>& body);

// A message window of the given kind with one stored text.
void tell(const std::string& stored, int kind);

// The message of a missing optional field of the employee table, e.g. "DATA_ZUS".
void tellMissingField(const std::string& upperName);

}  // namespace zus::resets
