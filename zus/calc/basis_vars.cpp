// The basis routines' by-name access helpers.
#include "zus/calc/basis_vars.h"

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/std_dates.h"

namespace zus::basis {

rt::Value aliasField(std::string_view alias, std::string_view field) {
  rt::FieldResolver* r = rt::context().fields;
  if (!r) return rt::Value();
  try {
    return r->readAliasField(alias, field);
  } catch (const rt::Error& e) {
    // A table or memo that cannot be read is not an absent field: the run must not go on as
    // if the value were empty.
    if (e.kind() == rt::ErrorKind::Corrupt || e.kind() == rt::ErrorKind::Read) throw;
    return rt::Value();
  }
}

void setAliasField(std::string_view alias, std::string_view field, const rt::Value& v) {
  if (rt::FieldResolver* r = rt::context().fields) r->writeAliasField(alias, field, v);
}

YearMonth yearMonthOf(const rt::Value& date) {
  if (!date.isDate() || date.date() == 0) return {};
  int y, m, d;
  rt::splitDate(date.date(), y, m, d);
  return {y, m};
}

}  // namespace zus::basis
