// Registration of the RESET export, its settings window and kind mappings for calls by name.
#include "runtime/core/context.h"
#include "zus/transfer/by_name.h"
#include "zus/transfer/reset_export.h"
#include "zus/transfer/reset_mappings.h"
#include "zus/transfer/reset_settings.h"

namespace zus {
namespace {

rt::Value logical(bool b) { return rt::Value::logical(b); }
rt::Value text(std::string s) { return rt::Value::text(std::move(s)); }

// A side flag that is not logical counts as true (by kind code).
bool sideOf(const rt::Args& a) { return a[1].isLogical() ? a[1].logical() : true; }

void registerList(const char* prefix, const char* listVar) {
  rt::Functions& f = rt::functions();
  namespace rm = reset_map;
  const std::string p = prefix;
  f.add(p + "_RES", [listVar](rt::Args& a) { return text(rm::lookup(rm::listOf(listVar), a[0].strOr(""))); });
  f.add(p + "_POZ", [listVar](rt::Args& a) {
    return rt::Value::integer(rm::position(rm::listOf(listVar), a[0].strOr(""), sideOf(a)));
  });
  f.add(p + "_DEL", [listVar](rt::Args& a) {
    rm::setList(listVar, rm::removed(rm::listOf(listVar), a[0].strOr(""), sideOf(a)));
    return logical(true);
  });
  f.add(p + "_DOD", [listVar](rt::Args& a) {
    rm::setList(listVar, rm::added(rm::listOf(listVar), a[0].strOr(""), a[1].strOr("")));
    return logical(true);
  });
}

}  // namespace

void registerResetMappingFunctions() {
  registerList("RO_NB", reset_map::kAbsenceList);
  registerList("RO_PR", reset_map::kPercentList);
  rt::functions().add("RS_RODZ_NB", [](rt::Args&) { return RS_RODZ_NB() ? logical(true) : rt::Value(); });
}

void registerResetExportFunctions() {
  registerResetMappingFunctions();
  rt::Functions& f = rt::functions();
  f.add("RS_INI", [](rt::Args&) {
    RS_INI();
    return logical(true);
  });
  f.add("RS_DESTROY", [](rt::Args&) {
    RS_DESTROY();
    return logical(true);
  });
  f.add("RS_PARAM", [](rt::Args&) { return logical(RS_PARAM()); });
  f.add("RS_EKSP", [](rt::Args&) { return logical(RS_EKSP()); });
}

}  // namespace zus
