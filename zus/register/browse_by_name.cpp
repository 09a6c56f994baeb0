// The register browse, the day counters, the yearly resets and the kind text, registered for
// calls by name (menu entries, the browse's user function, expression texts, other routines of
// the register).
#include <optional>

#include "runtime/core/context.h"
#include "zus/register/browse_delete.h"
#include "zus/register/browse_entry.h"
#include "zus/register/browse_keys.h"
#include "zus/register/browse_state.h"
#include "zus/register/by_name.h"
#include "zus/register/counters_count.h"
#include "zus/register/counters_editor.h"
#include "zus/register/counters_notes.h"
#include "zus/register/nb_zas.h"
#include "zus/register/resets_entries.h"

namespace zus {

namespace {

using rt::Args;
using rt::Value;

std::optional<int32_t> dateArg(const Value& v) {
  if (v.isDate()) return v.date();
  return std::nullopt;
}

int32_t dayOf(const Value& v) { return v.isDate() ? v.date() : 0; }

}  // namespace

void registerRegisterBrowseFunctions() {
  rt::Functions& f = rt::functions();
  registerNbZas();
  f.add("WPROW_NB", [](Args&) {
    WPROW_NB();
    return Value();
  });
  f.add("DBE_NB", [](Args& a) { return Value::integer(DBE_NB(int(a[0].intOr(0)))); });
  f.add("KAS_ZASILEK", [](Args&) {
    KAS_ZASILEK();
    return Value();
  });
  f.add("DAJ_SCOPY", [](Args&) {
    DAJ_SCOPY();
    return Value();
  });
  f.add("ILE_POZA", [](Args&) { return Value::integer(int64_t(ILE_POZA())); });
  f.add("POMOC", [](Args&) { return Value::integer(POMOC()); });
  f.add("DAJ_UWAGI", [](Args&) {
    DAJ_UWAGI();
    return Value();
  });
  f.add("ZLICZ_CHOR", [](Args& a) {
    return Value::integer(
        ZLICZ_CHOR(a[0].strOr(""), a[1].logicalOr(false), dateArg(a[2]), dateArg(a[3])));
  });
  f.add("WEZ_DATE", [](Args&) { return Value::date(WEZ_DATE()); });
  f.add("SUMA_DN", [](Args& a) { return Value::integer(int64_t(SUMA_DN(a[0].numOr(0)))); });
  f.add("OK_POM_DZ", [](Args&) { return Value::logical(OK_POM_DZ()); });
  f.add("MIES_KAL", [](Args& a) {
    return Value::logical(MIES_KAL(dayOf(a[0]), dayOf(a[1]), int(a[2].intOr(0))));
  });
  f.add("CZY_JEST_L_4", [](Args& a) {
    return Value::logical(
        CZY_JEST_L_4(a[0].strOr(""), a[1].logicalOr(false), a[2].logicalOr(false)));
  });
  f.add("ILE_TYCH_DNI", [](Args& a) {
    std::optional<std::string> note;
    if (a[1].isChar()) note = a[1].str();
    return Value::integer(int64_t(ILE_TYCH_DNI(a[0].logicalOr(false), note)));
  });
  f.add("ILE_DNI", [](Args& a) {
    std::optional<bool> flag;
    if (a[1].isLogical()) flag = a[1].logical();
    return Value::integer(int64_t(ILE_DNI(a[0].logicalOr(false), flag)));
  });
  f.add("DNI_GORNE", [](Args&) {
    DNI_GORNE();
    return Value();
  });
  f.add("ZER_DNI", [](Args&) {
    ZER_DNI();
    return Value();
  });
  f.add("ZER_DAT", [](Args&) {
    ZER_DAT();
    return Value();
  });
}

}  // namespace zus
