// The payroll call of an employee that a killed run left pending in the transfer's journal, and
// its settling by the next holder of the employee's lock (see payroll_journal.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zus {

// The employee's journal, beside the benefit register (NIEOBEC open).
std::string payrollJournalPath(const std::string& nr);

// What payroll holds in the employee's item, in hundredths; none when it holds no such item.
// DANE_WE open; the selected area is kept.
std::optional<int64_t> payrollItemValue(const std::string& nr, const std::string& item);

// Brings the marks and payroll to agree after a pending call: the item as before the call means
// it never happened (the marks on disk stand), the item as after it means it did (the noted marks
// are written to the record, which is locked for it and keeps that lock). The caller holds the
// employee's record lock; NIEOBEC and DANE_WE are open, NIEOBEC's position is kept. Returns ""
// when nothing is pending any more, else why the employee must wait (the journal then stays).
std::string settlePendingPayrollCall(const std::string& nr);

}  // namespace zus
