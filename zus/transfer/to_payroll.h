// The transfer to payroll (`TO_WRITE`): the calculated benefits of one payout month become the
// payroll module's input items, through the payroll library's `SAV_SKL` and `DEL_SKL`.
//
// Each benefit record remembers what payroll holds of it in its transfer marks: `place` (the
// record was sent), `old_zas` (the kind it was sent as), `old_wart` (the amount) and `old_dni`
// (the days). A later run sends only what changed and takes the old values back first; the marks
// always follow what payroll was actually given, also when a run fails half-way through a record,
// so that no run sends a value twice or takes one back twice. A process killed between a payroll
// call and its marks leaves the call noted in the employee's journal, which the next run (or the
// register's take-back) settles before anything else of the employee (payroll_journal.h). A record
// the register deleted while payroll holds its values has them taken back by the run over its
// payout month.
#pragma once

#include <string>

namespace zus {

// Days slot (index of `zas_dni`) of the current days of a benefit slot.
int DAJ_IND(int slot);
// Days slot of the arrears days of a benefit slot.
int JAKI_IND(int slot);

// The menu entry.
void TO_WRITE();
// The set-up: confirmation, range, month, table set; abandons the run when the user leaves.
void INI_WRIT();
// The benefits of the employee on which MAIN stands; needs the run context of `TO_WRITE`.
void WRITE_FACETA();
// Whether the payroll items of benefit slot `slot` are linked: 0 yes, 1 amount item missing,
// 2 days item missing; shows its message itself. NIEOBEC and SLOWNIK stand on the record and
// its kind.
int SPRAWDZ_POLACZENIE(int slot);
// Ctrl+F3 of the register form, before the record is marked to be sent again as new: takes back
// from payroll what the marks say was sent, then clears the marks. NIEOBEC stands on the record,
// locked; SLOWNIK is open. Returns "" when done, else why not (the marks then still say what
// payroll holds).
std::string takeBackForResend();
// Closes the trace window and shows the run's summary.
void WRITE_STOP();

// The slot (1..33) whose `zas_zus` equals the kind exactly; 0 when none.
int transferSlotOfKind(const std::string& kind);

void registerPayrollTransferFunctions();

}  // namespace zus
