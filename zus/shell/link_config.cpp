// Copying the link between its stored variables, its arrays and the derived item codes.
#include "zus/shell/link_config.h"

#include "runtime/core/context.h"
#include "zus/shell/link_slots.h"
#include "zus/shell/memory_files.h"

namespace zus {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }

rt::Value valueOr(std::string_view name, rt::Value fallback) {
  const rt::Value* v = vars().tryGet(name);
  return v ? *v : fallback;
}

int slotCount(const char* name, int fallback) {
  const rt::Value* v = vars().tryGet(name);
  return v && v->isNum() ? int(v->num()) : fallback;
}

}  // namespace

rt::Value& linkElement(const char* array, int n) {
  rt::Value* a = vars().find(array);
  if (!a || !a->isArray()) {
    vars().assign(array, rt::Value::newArray(size_t(n)));
    a = vars().find(array);
  }
  if (a->arr().size() < size_t(n)) a->arr().resize(size_t(n));
  return a->arr()[size_t(n - 1)];
}

std::string linkVarName(const char* stem, int slot) { return stem + std::to_string(slot); }

void declareLinkState() {
  rt::Memvars& v = vars();
  for (int n = 1; n <= kBenefitSlots; ++n) {
    v.declarePrivate(linkVarName("zsx_zus", n));
    v.declarePrivate(linkVarName("zsx_pl", n));
    v.declarePrivate(linkVarName("zsx_dni", n));
  }
  for (int n = 1; n <= kDataSlots; ++n) v.declarePrivate(linkVarName("zsx_dan", n));
  v.declarePrivate("zsx_slow1");
  v.declarePrivate("zsx_n_rsa");
  v.declarePrivate("zas_place", rt::Value::newArray(kBenefitSlots));
  v.declarePrivate("zas_zus", rt::Value::newArray(kBenefitSlots));
  v.declarePrivate("zas_dni", rt::Value::newArray(kBenefitSlots));
  v.declarePrivate("zas_slow", rt::Value::newArray(1));
  v.declarePrivate("zas_dan", rt::Value::newArray(kDataSlots));
  for (const char* name : derivedCodeDeclarationOrder()) v.declarePrivate(name);
}

void LOAD_ARRAY() {
  rt::PrivateFrame frame(vars());
  linkElement("zas_slow", 1) = valueOr("zsx_slow1", rt::Value());
  for (int n = 1; n <= kBenefitSlots; ++n) {
    // Only the dictionary key decides whether the slot is linked.
    std::string zn = std::to_string(n);
    vars().declarePrivate("zn", rt::Value::text(zn));
    if (vars().typeOf("zsx_zus" + zn) != "U") {
      linkElement("zas_zus", n) = valueOr("zsx_zus" + zn, rt::Value::text(""));
      linkElement("zas_place", n) = valueOr("zsx_pl" + zn, rt::Value::text(""));
      linkElement("zas_dni", n) = valueOr("zsx_dni" + zn, rt::Value::text(""));
    } else {
      linkElement("zas_zus", n) = rt::Value::text("");
      linkElement("zas_place", n) = rt::Value::text("");
      linkElement("zas_dni", n) = rt::Value::text("");
    }
  }
  for (int n = 1; n <= kDataSlots; ++n) {
    rt::Value dan = valueOr(linkVarName("zsx_dan", n), rt::Value());
    linkElement("zas_dan", n) = dan.isChar() ? dan : rt::Value::text("");
  }
}

void LOAD_VAR() {
  rt::Memvars& v = vars();
  int rozm1 = slotCount("rozm1", kBenefitSlots);
  int rozm2 = slotCount("rozm2", kDataSlots);
  v.assign("zsx_slow1", linkElement("zas_slow", 1));
  for (int n = 1; n <= rozm1; ++n) {
    v.assign(linkVarName("zsx_zus", n), linkElement("zas_zus", n));
    v.assign(linkVarName("zsx_pl", n), linkElement("zas_place", n));
    v.assign(linkVarName("zsx_dni", n), linkElement("zas_dni", n));
  }
  for (int n = 1; n <= rozm2; ++n) v.assign(linkVarName("zsx_dan", n), linkElement("zas_dan", n));
}

void copyDerivedCodes() {
  for (const DerivedCode& d : derivedCodes())
    vars().assign(d.name, linkElement(d.fromDays ? "zas_dni" : "zas_dan", d.slot));
}

void clearLinkArrays() {
  linkElement("zas_slow", 1) = rt::Value::text("");
  for (int n = 1; n <= kBenefitSlots; ++n) {
    linkElement("zas_zus", n) = rt::Value::text("");
    linkElement("zas_place", n) = rt::Value::text("");
    linkElement("zas_dni", n) = rt::Value::text("");
  }
  for (int n = 1; n <= kDataSlots; ++n) linkElement("zas_dan", n) = rt::Value::text("");
}

void saveLinkFile() {
  rt::Memvars& v = vars();
  {
    rt::PrivateFrame frame(v);
    v.declarePrivate("rozm1", rt::Value::integer(kBenefitSlots));
    v.declarePrivate("rozm2", rt::Value::integer(kDataSlots));
    // `zsx_n_rsa` stays the start-up's variable, so the file carries it out unchanged.
    v.declarePrivate("zsx_slow1");
    for (int n = 1; n <= kBenefitSlots; ++n) {
      v.declarePrivate(linkVarName("zsx_zus", n));
      v.declarePrivate(linkVarName("zsx_pl", n));
      v.declarePrivate(linkVarName("zsx_dni", n));
    }
    for (int n = 1; n <= kDataSlots; ++n) v.declarePrivate(linkVarName("zsx_dan", n));
    LOAD_VAR();
    saveMemoryFile(settingsPath(kLinkFileName), "zsx_*");
  }
  v.assign("czy_jest_mem", rt::Value::logical(true));
  copyDerivedCodes();
}

void registerLinkFunctions() {
  rt::functions().add("LOAD_ARRAY", [](rt::Args&) {
    LOAD_ARRAY();
    return rt::Value();
  });
  rt::functions().add("LOAD_VAR", [](rt::Args&) {
    LOAD_VAR();
    return rt::Value();
  });
}

}  // namespace zus
