// What the calculation does with a benefit record by its status, and `WPISZ_STAT`, the status
// that the transfer to payroll sets on an employee's records of its month.
#pragma once

namespace zus::calcrun {

enum class RecordAction {
  Leave,      // nothing is written
  NetOnly,    // a value entered by hand: only the net amount, status "constant saved"
  Calculate,  // basis, daily rate, value, net amount and status
};

// The decision for a record with a kind, by its status and the run's repeat flag. 90 marks a
// record edited after its status was set; the constant-value and error tests take it off first.
RecordAction recordAction(double status, bool repeat);

// `WPISZ_STAT`: from the current `nieobec` record on, while the record belongs to the employee
// `main` is on and ends before the first day of the month after the one of `_miesp`, every record with a kind and
// a status that is not constant gets `status`. The selected area is kept. Each record written is
// locked first, in addition to the caller's locks (which the caller releases); a record held by
// another workstation is passed over.
void writeMonthStatus(double status);

}  // namespace zus::calcrun
