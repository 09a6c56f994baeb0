// The transfer's journal of one payroll call: what is about to change in a payroll input item,
// written before the call and cleared once the benefit record's marks say it.
//
// Payroll keeps its items in its own table, so the call and the marks cannot be written as one
// step: a process killed between them would leave payroll holding a value the marks deny, and
// the next transfer would send it again. With the journal, the next run that holds the employee
// compares the item with the values noted: the item as before means the call never happened
// (the marks on disk are still right), the item as after means it did (the marks noted are
// written). Both the transfer and the register's take-back call payroll only while they hold the
// employee's record lock, so one journal per employee has one writer at a time, and the next
// holder of the lock knows that its writer is gone.
//
// File "PRZEKAZ_<employee number in hex>.JRN" in the company directory, ASCII lines:
//   ZAMIAR
//   <employee><TAB><record><TAB><routine><TAB><item><TAB><change><TAB><before><TAB><after>
//   <place T/F><TAB><kind><TAB><amount><TAB><days><TAB><arrears mark>
//   KONIEC <checksum of the lines above>
// Values of the item in hundredths, "-" for an item payroll does not hold. Once the marks are
// on disk the first line is overwritten with ROZLICZONE (nothing pending); the file goes when the
// employee is done. The text is written in place, before the call, with one write: a text that
// ends before its last line was never finished, so its call never started.
//
// The journal is not synced: the tables beside it are not either (their writes reach the disk in
// the order the system chooses), so a sync could not order it against them after a power cut,
// and for a killed process the system's cache keeps every write in the order it was made.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace zus {

struct PayrollIntent {
  std::string nr;           // employee number as stored
  uint32_t recno = 0;       // the benefit record
  std::string routine;      // SAV_SKL or DEL_SKL
  std::string item;         // payroll input item code
  int64_t change = 0;       // hundredths given to the routine
  std::optional<int64_t> before, after;  // the item's value; none: payroll holds no such item
  // The record's marks once the call went through.
  bool place = false;
  std::string kind;
  double amount = 0, days = 0;
  std::string arrearsMark;
};

class PayrollJournal {
 public:
  // The journal of the employee in the company directory `dir`.
  static std::string pathFor(const std::string& dir, const std::string& nr);

  // Writes the intent; the payroll call may follow. rt::Error when it cannot.
  static void write(const std::string& path, const PayrollIntent& intent);
  // The call's marks are on disk: nothing is pending.
  static void clear(const std::string& path);
  // Removes a journal with nothing pending (an employee done); one still pending stays.
  static void removeIfClear(const std::string& path);

  // The pending intent; none when there is no journal or nothing pending. A damaged journal is
  // rt::Error Corrupt naming it.
  static std::optional<PayrollIntent> read(const std::string& path);
};

// Test seam: called with "intent" after the journal is written, "payroll" after the payroll call
// returned and "marks" after the record's marks are on disk. Pass an empty function to remove it.
using PayrollStepHook = std::function<void(const char* step)>;
void setPayrollStepHook(PayrollStepHook hook);
void payrollStepReached(const char* step);

}  // namespace zus
