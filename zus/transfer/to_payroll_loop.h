// The batch-run shape both transfers share: the run context read by name, the set-up steps that
// may abandon the run, the retried opening of the table set, and the walk over the chosen
// employee range.
//
// The run context lives in privates of the entry's frame (`zakr`, `tab`, `indeks`, `slowo`, `k`,
// the counters), because the per-employee routine is also called by name from the payroll
// library's own employee selection and must find it there. A set-up step that the user leaves
// abandons the run by throwing TransferAbandoned, which the entry catches; whatever the step had
// opened is closed before the throw.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/core/error.h"
#include "runtime/core/value.h"
#include "runtime/db/work_area.h"
#include "zus/calc/run_tables.h"
#include "zus/register/benefit_record.h"

namespace zus::transfer_run {

struct TransferAbandoned {};
[[noreturn]] void abandonRun();

// --- the run context, by name ---
inline rt::Value runVar(const char* name) { return reg::var(name); }
inline double runNum(const char* name) { return reg::numVar(name); }
void setRunVar(const char* name, rt::Value v);
void addToRunVar(const char* name, double n);

// --- work areas of the open set ---
// The area open under the alias; rt::Error NoAlias when none is.
using calcrun::areaOf;
inline void selectAlias(const char* alias) { calcrun::selectArea(alias); }
// The selected area's number (0 when none is selected) and its re-selection.
int selectedArea();
void selectAreaNumber(int number);
rt::Value fieldOf(rt::db::WorkArea& area, const char* name);
std::string textOf(rt::db::WorkArea& area, const char* name);
using calcrun::putField;

// Texts: without the blanks around them, and whether only blanks.
std::string trimmed(const std::string& s);
bool blank(const std::string& s);
// Element `slot` (from 1) of a link array (`zas_zus`, `zas_place`, `zas_dni`); "" when missing.
inline std::string linkText(const char* array, int slot) { return reg::elementText(array, slot); }

// Calls a routine of the suite (or of another part of the program) by name.
inline rt::Value callByName(const char* name, std::vector<rt::Value> args = {}) {
  return reg::call(name, std::move(args));
}

// True when the last key the user pressed was Esc.
bool lastKeyWasEsc();

// --- set-up steps ---
// `DECYZJA` with default yes, the question and the explanation lines; abandons on Esc or "no".
void confirmOrAbandon(const char* question, const std::vector<std::string>& explanation);
// `ZAKRES` with the context's `zakr`, `tab` and `indeks` by reference; abandons when cancelled.
void askEmployeeRange();
// The opening loop: `_OPEN_SET` until it succeeds or the user gives up with Esc after `KOM2`.
// On success MAIN is selected in the order of the range and the wait window is closed; on
// giving up the set is closed, `previousArea` selected, the window closed and the run abandoned.
void openTablesOrAbandon(const char* names, const char* modes, int previousArea,
                         const rt::Value& waitWindow);

// --- the employee loop ---
// Opens the trace window (not for the library's own selection), walks the range calling the
// routine named `employeeRoutine` with NIEOBEC selected and MAIN on the employee, and stops on
// the user's break key as the range allows. The library's selection gets `genPlaceTitle`.
void visitEmployeeRange(const char* employeeRoutine, const char* genPlaceTitle);

// The employee's name in the trace window.
void showEmployeeName(rt::db::WorkArea& main);

// What went wrong in a table's write or close, in the user's words, with the file's name.
std::string failureText(const rt::Error& e);
// Writes the record's buffer to the disk; a write that fails (a lock held too long by
// another workstation, a disk error) leaves the buffer as on disk and says why.
bool commitRecord(rt::db::WorkArea& area, std::string& why);
// An amount with two decimals.
std::string amountText(double v);

// The summary line about critical errors.
std::string criticalErrorsLine(double count);
// LTRIM(STR(n)) of a whole number.
std::string countText(double n);

// Keeps records marked deleted hidden while a transfer runs (the transfers must see only the
// records that exist) and restores the setting afterwards.
class DeletedHidden {
 public:
  explicit DeletedHidden(bool hidden = true);
  ~DeletedHidden();
  DeletedHidden(const DeletedHidden&) = delete;
  DeletedHidden& operator=(const DeletedHidden&) = delete;

 private:
  bool previous_;
};

// Closes the run's table set (by its first name), releases MAIN's locks first, and selects the
// area of before the run, however the run ends. Every table is closed and every lock released
// also when one of them fails.
class TransferTablesGuard {
 public:
  explicit TransferTablesGuard(int previousArea) : previousArea_(previousArea) {}
  ~TransferTablesGuard();
  TransferTablesGuard(const TransferTablesGuard&) = delete;
  TransferTablesGuard& operator=(const TransferTablesGuard&) = delete;

  // Closes now; the first failure's text, "" when none.
  std::string close();
  // Closes now and shows the failure, when there was one.
  void closeAndReport();

 private:
  int previousArea_;
  bool closed_ = false;
};

}  // namespace zus::transfer_run
