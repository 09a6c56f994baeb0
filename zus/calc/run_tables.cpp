// Typed field and variable access for the calculation.
#include "zus/calc/run_tables.h"

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/functions.h"
#include "runtime/db/work_areas.h"
#include "suite/company/company.h"
#include "suite/screen/services.h"
#include "zus/calc/run_context.h"

namespace zus::calcrun {
namespace {

rt::db::WorkAreas& areas() { return rt::db::workAreas(); }

}  // namespace

rt::db::WorkArea& areaOf(std::string_view alias) {
  rt::db::WorkArea* a = areas().byAlias(alias);
  if (!a) throw rt::Error(rt::ErrorKind::NoAlias, "Alias does not exist", std::string(alias));
  return *a;
}

bool isOpen(std::string_view alias) { return areas().byAlias(alias) != nullptr; }

bool hasField(rt::db::WorkArea& area, std::string_view name) { return area.fieldIndex(name) >= 0; }

rt::Value fieldValue(rt::db::WorkArea& area, std::string_view name) {
  int i = area.fieldIndex(name);
  return i < 0 ? rt::Value() : area.get(size_t(i));
}

std::string fieldText(rt::db::WorkArea& area, std::string_view name) {
  return fieldValue(area, name).strOr("");
}
double fieldNumber(rt::db::WorkArea& area, std::string_view name) {
  return fieldValue(area, name).numOr(0);
}
int32_t fieldDate(rt::db::WorkArea& area, std::string_view name) {
  rt::Value v = fieldValue(area, name);
  return v.isDate() ? v.date() : 0;
}
bool fieldFlag(rt::db::WorkArea& area, std::string_view name) {
  return fieldValue(area, name).logicalOr(false);
}

void putField(rt::db::WorkArea& area, std::string_view name, const rt::Value& v) {
  int i = area.fieldIndex(name);
  if (i < 0) throw rt::Error(rt::ErrorKind::NoField, "Variable does not exist", std::string(name));
  area.put(size_t(i), v);
}

void putAmount(rt::db::WorkArea& area, std::string_view name, double amount) {
  putField(area, name, rt::Value::number(amount, 2));
}

SelectedArea::SelectedArea() : previous_(areas().selectedNumber()) {}
SelectedArea::SelectedArea(std::string_view alias) : SelectedArea() { selectArea(alias); }
SelectedArea::~SelectedArea() { areas().select(previous_); }

void selectArea(std::string_view alias) { areas().select(areaOf(alias).number()); }

const rt::Value* variable(std::string_view name) { return rt::context().memvars.tryGet(name); }

std::string textVar(std::string_view name, std::string_view fallback) {
  const rt::Value* v = variable(name);
  return v ? v->strOr(fallback) : std::string(fallback);
}

void setVar(std::string_view name, rt::Value v) { rt::context().memvars.assign(name, std::move(v)); }

std::string benefitKind(int slot) { return arrayText("zas_zus", slot); }
std::string dataItem(int slot) { return arrayText("zas_dan", slot); }


namespace {
rt::Value linesValue(const std::vector<std::string>& lines) {
  rt::Value a = rt::Value::newArray(0);
  for (const std::string& l : lines) a.arr().push_back(rt::Value::text(l));
  return a;
}
// A message or question of a run is about the employee the run is at: the progress window shows
// that employee before it is covered.
void showEmployeeOfRun() {
  if (CalcRun* run = activeRun()) run->progressName.showHeldBack();
}

}  // namespace

void message(const std::vector<std::string>& lines, int kind) {
  showEmployeeOfRun();
  callByName("KOM3", {lines.size() == 1 ? rt::Value::text(lines.front()) : linesValue(lines),
                      rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(kind)});
}

bool ask(bool yes, const std::string& question, const std::vector<std::string>& lines, int row,
         int col) {
  showEmployeeOfRun();
  rt::Value comment = lines.empty()        ? rt::Value()
                      : lines.size() == 1 ? rt::Value::text(lines.front())
                                          : linesValue(lines);
  return callByName("DECYZJA", {rt::Value::logical(yes), rt::Value::text(question),
                                rt::Value::integer(row), rt::Value::integer(col), comment})
      .logicalOr(false);
}

bool lastKeyWasEsc() { return callByName("LASTKEY").intOr(0) == 27; }

int32_t addMonthsTo(int32_t day, int months) { return suite::addMonths(day, months); }
int32_t nextMonthStart(int32_t day) { return suite::firstOfMonth(suite::addMonths(day, 1)); }

}  // namespace zus::calcrun
