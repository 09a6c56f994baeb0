// The value rules callable by name: `_ZASILEK`, `_NETTO`, `DAJ_ZAOKR`, `_ROUND2`, `DNI_X`,
// `DNI_NIE_PL`, `CZY_KARA`, `ZAP_PBZ`. Each adapter defaults a missing or mistyped argument by
// its type and hands over to the typed rule.
#include "runtime/core/functions.h"
#include "zus/calc/run_tables.h"
#include "zus/calc/value_current.h"
#include "zus/calc/value_rounding.h"

namespace zus::calcrun {
namespace {

rt::Value amount(double v) { return rt::Value::number(v, 2); }

int32_t currentRecordDate(const char* field) {
  return isOpen("nieobec") ? fieldDate(areaOf("nieobec"), field) : 0;
}

}  // namespace

void registerValueFunctions() {
  rt::Functions& f = rt::functions();
  f.add("_ZASILEK", [](rt::Args& a) {
    return amount(currentBenefitValue(a[0].strOr(""), int(a[1].intOr(0)), a[2].numOr(0)));
  });
  f.add("_NETTO", [](rt::Args& a) { return amount(currentNetAmount(a[0].numOr(0))); });
  f.add("DAJ_ZAOKR", [](rt::Args& a) {
    return amount(roundByKind(a[0].numOr(0), a[1].numOr(0.01), textVar("zusx_rzaok", "M")));
  });
  f.add("_ROUND2", [](rt::Args& a) { return amount(roundUpToStep(a[0].numOr(0), a[1].numOr(0.01))); });
  f.add("DNI_X", [](rt::Args& a) {
    return rt::Value::integer(
        daysAfterAlcohol(int(a[0].intOr(0)), a[1].logicalOr(false), currentRecordDate("data_prawa")));
  });
  f.add("DNI_NIE_PL", [](rt::Args& a) { return rt::Value::integer(daysAfterUnpaidFirst(int(a[0].intOr(0)))); });
  f.add("CZY_KARA", [](rt::Args& a) {
    int32_t windowStart = isOpen("main") ? fieldDate(areaOf("main"), "pocz_obniz") : 0;
    return amount(reducedValue(a[0].numOr(0), int(numberVar("il_dni")), int(numberVar("razem_dni")),
                               currentRecordDate("od"), currentRecordDate("do"), windowStart,
                               numberVar("zusx_zaok1", 0.01)));
  });
  f.add("ZAP_PBZ", [](rt::Args&) {
    copyEarlierBasis();
    return rt::Value();
  });
}

}  // namespace zus::calcrun
