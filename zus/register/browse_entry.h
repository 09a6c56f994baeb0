// The register's entry `WPROW_NB`: choose an employee, lock the employee's record, show the day
// counters and browse the employee's benefit records; leaving the browse brings the employee
// choice back, leaving the choice ends the register.
#pragma once

namespace zus {

void WPROW_NB();

// The message shown when the chosen employee's record is locked at another workstation; the
// register then ends.
inline constexpr const char* kEmployeeBusy =
    "Dane pracownika sa` ux`ywane na innym stanowisku !";

// Fills the browse's column arrays `pola`, `nagl` and `pict` of the register state.
void fillBrowseColumns();

}  // namespace zus
