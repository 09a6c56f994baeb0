// Field access by alias and the record conventions of the register.
#include "zus/register/benefit_record.h"

#include "runtime/core/error.h"
#include "runtime/core/names.h"
#include "runtime/core/std_dates.h"
#include "runtime/db/work_areas.h"

namespace zus::reg {

bool flagVar(std::string_view name, bool fallback) { return var(name).logicalOr(fallback); }
int32_t dateVar(std::string_view name) {
  rt::Value v = var(name);
  return v.isDate() ? v.date() : 0;
}

std::string elementText(std::string_view array, int n) {
  rt::Value a = var(array);
  if (!a.isArray() || n < 1 || size_t(n) > a.arr().size()) return "";
  return a.arr()[size_t(n - 1)].strOr("");
}

namespace {
rt::FieldResolver& resolver() {
  rt::FieldResolver* r = rt::context().fields;
  if (!r) throw rt::Error(rt::ErrorKind::NoAlias, "Alias does not exist", "NIEOBEC");
  return *r;
}
std::string upper(std::string_view s) { return rt::upperName(s); }
}  // namespace

rt::Value field(std::string_view alias, std::string_view name) {
  return resolver().readAliasField(upper(alias), upper(name));
}

void setField(std::string_view alias, std::string_view name, const rt::Value& v) {
  resolver().writeAliasField(upper(alias), upper(name), v);
}

std::string fieldText(std::string_view alias, std::string_view name) {
  return field(alias, name).strOr("");
}
double fieldNum(std::string_view alias, std::string_view name) {
  return field(alias, name).numOr(0);
}
int32_t fieldDate(std::string_view alias, std::string_view name) {
  rt::Value v = field(alias, name);
  return v.isDate() ? v.date() : 0;
}
bool fieldFlag(std::string_view alias, std::string_view name) {
  return field(alias, name).logicalOr(false);
}

std::string fieldType(std::string_view alias, std::string_view name) {
  rt::FieldResolver* r = rt::context().fields;
  return r ? r->fieldType(upper(alias), upper(name)) : "U";
}

void commitEmployeeAndRegister() {
  for (const char* alias : {"main", "nieobec"})
    if (rt::db::WorkArea* area = rt::db::workAreas().byAlias(alias)) area->commit();
}

bool aliasOpen(std::string_view alias) {
  return call("SELECT", {txt(std::string(alias))}).intOr(0) > 0;
}

void selectAlias(std::string_view alias) { call("DBSELECTAREA", {txt(std::string(alias))}); }

bool noKind(const std::string& kind) {
  if (kind.find_first_not_of(' ') == std::string::npos) return true;
  return kind == textVar("pustykod");
}

int yearOf(int32_t day) {
  if (day == 0) return 0;
  int y, m, d;
  rt::splitDate(day, y, m, d);
  return y;
}

int monthOf(int32_t day) {
  if (day == 0) return 0;
  int y, m, d;
  rt::splitDate(day, y, m, d);
  return m;
}

int32_t dateOf(int year, int month, int day) { return rt::makeDate(year, month, day); }

int payrollYear() { return yearOf(dateVar("lum_data")); }

KeepArea::KeepArea() : area_(call("SELECT")) {}
KeepArea::~KeepArea() {
  try {
    if (area_.intOr(0) > 0) call("DBSELECTAREA", {area_});
  } catch (...) {
  }
}

KeepOrderAndRecord::KeepOrderAndRecord()
    : area_(call("SELECT")), order_(call("INDEXORD")), record_(call("RECNO")) {}
KeepOrderAndRecord::~KeepOrderAndRecord() {
  try {
    KeepArea keep;
    if (area_.intOr(0) > 0) call("DBSELECTAREA", {area_});
    call("ORDSETFOCUS", {order_});
    call("DBGOTO", {record_});
  } catch (...) {
  }
}

ScopesAside::ScopesAside()
    : area_(call("SELECT")),
      top_(call("ORDSCOPE", {num(0), rt::Value()})),
      bottom_(call("ORDSCOPE", {num(1), rt::Value()})) {}

ScopesAside::~ScopesAside() {
  try {
    KeepArea keep;
    if (area_.intOr(0) > 0) call("DBSELECTAREA", {area_});
    call("ORDSCOPE", {num(0), top_});
    call("ORDSCOPE", {num(1), bottom_});
  } catch (...) {
  }
}

}  // namespace zus::reg
