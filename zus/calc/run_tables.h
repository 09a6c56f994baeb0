// Typed access for the calculation to the tables of its set and to the variables of its run.
//
// The calculation works on named work areas (`nieobec`, `main`, `main_2`, `archiw`, `sl`) and on
// variables that routines called by name read and write. These helpers keep that by-name world at
// the edge: a field is read as the type the routine needs, a missing field or variable reads as
// the type's empty value, and the selected work area is put back by a guard.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/value.h"
#include "runtime/db/work_area.h"
#include "zus/register/benefit_record.h"

namespace zus::calcrun {

// The open work area of an alias; rt::Error NoAlias when none is open under it.
rt::db::WorkArea& areaOf(std::string_view alias);
bool isOpen(std::string_view alias);

// Fields of the current record of a work area, by name.
rt::Value fieldValue(rt::db::WorkArea& area, std::string_view name);
std::string fieldText(rt::db::WorkArea& area, std::string_view name);
double fieldNumber(rt::db::WorkArea& area, std::string_view name);
int32_t fieldDate(rt::db::WorkArea& area, std::string_view name);
bool fieldFlag(rt::db::WorkArea& area, std::string_view name);
bool hasField(rt::db::WorkArea& area, std::string_view name);
void putField(rt::db::WorkArea& area, std::string_view name, const rt::Value& v);
void putAmount(rt::db::WorkArea& area, std::string_view name, double amount);

// Selects a work area and selects the previous one again when it ends.
class SelectedArea {
 public:
  SelectedArea();
  explicit SelectedArea(std::string_view alias);
  ~SelectedArea();
  SelectedArea(const SelectedArea&) = delete;
  SelectedArea& operator=(const SelectedArea&) = delete;

 private:
  int previous_;
};
void selectArea(std::string_view alias);

// Variables of the program and of the run, read leniently.
const rt::Value* variable(std::string_view name);
inline double numberVar(std::string_view name, double fallback = 0) {
  return reg::numVar(name, fallback);
}
using reg::dateVar;
using reg::flagVar;
std::string textVar(std::string_view name, std::string_view fallback = "");
// Element n (1-based) of an array variable as text; "" when missing.
inline std::string arrayText(std::string_view name, int n) { return reg::elementText(name, n); }
void setVar(std::string_view name, rt::Value v);

// A benefit slot's linked kind (`zas_zus`[n]) and a data slot's payroll item (`zas_dan`[n]).
std::string benefitKind(int slot);
std::string dataItem(int slot);
// A kind the record has (not empty, not the no-kind code).
inline bool hasKind(const std::string& kind) { return !reg::noKind(kind); }

// Calls by name, with the arguments given.
inline rt::Value callByName(std::string_view name, std::vector<rt::Value> args = {}) {
  return reg::call(name, std::move(args));
}
// A message window (stored texts) at 0, 0 of the given kind.
void message(const std::vector<std::string>& lines, int kind);
// The yes/no dialog; `yes` preselects Tak.
bool ask(bool yes, const std::string& question, const std::vector<std::string>& lines, int row = 0,
         int col = 0);
bool lastKeyWasEsc();

// Runs a closing step of a guard's destructor: while an error unwinds, a second one from closing
// a window or a table must not end the program, so it is dropped.
template <typename Step>
void closingStep(Step step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

// Calendar helpers over the runtime's day numbers.
using reg::monthOf;
using reg::yearOf;
int32_t addMonthsTo(int32_t day, int months);
// The first day of the month after the one of `day`: where the records of a run's month end,
// whatever day of its month the payroll date falls on.
int32_t nextMonthStart(int32_t day);
using rt::dtos;

}  // namespace zus::calcrun
