// The benefit record (table NIEOBEC, alias `nieobec`) and the employee record (MAIN) as the
// register reaches them: the orders of the register table by number, field access through the
// alias, and the small record conventions (no kind, date keys) every register routine shares.
//
// Tables belong to the suite: the register opens them in named sets, reads and writes fields by
// alias, locks a record before it writes it, and deletes a benefit record only by marking it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/value.h"
#include "zus/shell/settings_support.h"

namespace zus::reg {

// Orders of NIEOBEC, always selected by number.
inline constexpr int kOrderEnd = 1;       // nr_prac + DTOS(do)
inline constexpr int kOrderNote = 2;      // nr_l_4
inline constexpr int kOrderPayout = 3;    // nr_prac + DTOS(dat_wyp)
inline constexpr int kOrderInternal = 4;  // nr_prac + kod_wew
inline constexpr int kOrderBrowse = 5;    // nr_prac + DTOS(dat_wyp) + DTOS(od)

using settings::call;
using settings::vars;
inline rt::Value num(double n) { return rt::Value::integer(int64_t(n)); }
inline rt::Value txt(std::string s) { return rt::Value::text(std::move(s)); }
inline rt::Value yes(bool b) { return rt::Value::logical(b); }

// A visible variable's value, or `fallback`.
inline rt::Value var(std::string_view name, rt::Value fallback = {}) {
  return settings::varOr(name, std::move(fallback));
}
using settings::numVar;
using settings::textVar;
bool flagVar(std::string_view name, bool fallback = false);
int32_t dateVar(std::string_view name);
// Element n (1-based) of an array variable as text; "" when missing.
std::string elementText(std::string_view array, int n);

// alias->field, and the assignment alias->field := v.
rt::Value field(std::string_view alias, std::string_view name);
void setField(std::string_view alias, std::string_view name, const rt::Value& v);
std::string fieldText(std::string_view alias, std::string_view name);
double fieldNum(std::string_view alias, std::string_view name);
int32_t fieldDate(std::string_view alias, std::string_view name);
bool fieldFlag(std::string_view alias, std::string_view name);
// TYPE("alias->field"): "C", "N", "D", "L", "M", or "U" when the alias or the field is missing.
std::string fieldType(std::string_view alias, std::string_view name);
// Whether a table is open under the alias.
bool aliasOpen(std::string_view alias);

// Writes the buffered changes of the employee table and of the register table to disk, one after
// the other: every register write ends with it, so that a benefit record never reaches the disk
// without the day counters it moved in the employee's record. Tables not open are passed over.
void commitEmployeeAndRegister();

// Selects the work area of an alias (DBSELECTAREA).
void selectAlias(std::string_view alias);

// Whether a benefit kind means "no kind": empty or the no-kind code `pustykod`.
bool noKind(const std::string& kind);

// DTOS of a day number: eight digits, or eight blanks for the empty date.
using rt::dtos;
int yearOf(int32_t day);
int monthOf(int32_t day);
int32_t dateOf(int year, int month, int day);
// The year of the payroll working date `lum_data` (four digits).
int payrollYear();

// The work area selected on construction is selected again on destruction.
class KeepArea {
 public:
  KeepArea();
  ~KeepArea();
  KeepArea(const KeepArea&) = delete;
  KeepArea& operator=(const KeepArea&) = delete;

 private:
  rt::Value area_;
};

// In the selected work area: the order and the record given back on destruction.
class KeepOrderAndRecord {
 public:
  KeepOrderAndRecord();
  ~KeepOrderAndRecord();
  KeepOrderAndRecord(const KeepOrderAndRecord&) = delete;
  KeepOrderAndRecord& operator=(const KeepOrderAndRecord&) = delete;
  rt::Value record() const { return record_; }

 private:
  rt::Value area_, order_, record_;
};

// In the selected work area: both scopes cleared, and given back on destruction.
class ScopesAside {
 public:
  ScopesAside();
  ~ScopesAside();
  ScopesAside(const ScopesAside&) = delete;
  ScopesAside& operator=(const ScopesAside&) = delete;

 private:
  rt::Value area_, top_, bottom_;
};

}  // namespace zus::reg
