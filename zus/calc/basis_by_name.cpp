// The basis routines callable by name: the calculation run calls `PODST_OBL`, the register's F6
// key `NVIEW_DANE`; the others serve routines and expressions that run while a basis is worked out.
#include "runtime/core/context.h"
#include "runtime/core/rounding.h"
#include "runtime/core/std_dates.h"
#include "zus/calc/archive_reading.h"
#include "zus/calc/basis_average.h"
#include "zus/calc/basis_routines.h"
#include "zus/calc/basis_vars.h"
#include "zus/calc/basis_window.h"
#include "zus/calc/by_name.h"

namespace zus {
namespace {

using namespace zus::basis;

// Month k (from 1) of the published month table, or -1 when there is no such month.
int monthIndex(const MonthTable& t, const rt::Value& k) {
  int64_t i = k.intOr(0);
  return i >= 1 && i <= t.count() ? int(i - 1) : -1;
}

DateParts insuranceStart() {
  DateParts p;
  rt::Value d = var("_data_puc");
  if (d.isDate() && d.date() != 0) rt::splitDate(d.date(), p.year, p.month, p.day);
  return p;
}

}  // namespace

void registerBasisFunctions() {
  rt::Functions& f = rt::functions();
  f.add("PODST_OBL", [](rt::Args& a) {
    return rt::Value::logical(PODST_OBL(a[0].strOr("")));
  });
  f.add("NVIEW_DANE", [](rt::Args&) {
    NVIEW_DANE();
    return rt::Value();
  });
  f.add("DAJ_MC", [](rt::Args& a) { return rt::Value::text(monthAbbreviation(int(a[0].intOr(0)))); });
  f.add("Z_ARCH", [](rt::Args& a) {
    bool pseudo = a[1].isLogical() && a[1].logical();
    double v = archiveValue(int(a[0].intOr(0)), pseudo, int(numVar("miesp")));
    return rt::Value::number(v, 2);
  });
  f.add("KOREKTA_MC", [](rt::Args&) { return rt::Value::integer(int64_t(KOREKTA_MC())); });
  f.add("KORYGUJ_PODST", [](rt::Args& a) {
    MonthTable t = monthTableFromVars();
    int k = monthIndex(t, a[0]);
    return rt::Value::number(k < 0 ? 0 : filledUpBasis(t, k), 2);
  });
  f.add("CZY_WYPADLO", [](rt::Args& a) {
    MonthTable t = monthTableFromVars();
    int k = monthIndex(t, a[0]);
    return rt::Value::logical(k >= 0 && dropsOut(t, k, textVar("zusx_wypad") == "T", insuranceStart()));
  });
  // The auxiliary basis, added into `ta_podstawa` and `pd_mies`; asked with .T. it sums nothing.
  f.add("POD_POM", [](rt::Args& a) {
    if (a[0].isLogical() && a[0].logical()) return rt::Value::integer(0);
    int from = int(numVar("zusx_pom_od")), to = int(numVar("zusx_pom_do"));
    YearMonth start{int(numVar("akt_rok")), int(numVar("akt_mies"))};
    YearMonth calc = yearMonthOf(var("_miesp"));
    bool shifted = start.month != calc.month || start.year != calc.year;
    int correction = shifted ? int(KOREKTA_MC()) : 0;
    std::optional<double> sum = auxiliarySum(aliasField("main", "nr_prac").strOr(""), textVar("pod_pom"),
                                             from, to, correction, int(numVar("miesp")));
    if (!sum) return rt::Value::integer(0);
    Average avg;
    avg.daily = numVar("ta_podstawa");
    avg.monthly = numVar("pd_mies");
    double result = addAuxiliaryBasis(avg, *sum, to - from + 1);
    rt::context().memvars.assign("ta_podstawa", rt::Value::number(avg.daily, 2));
    rt::context().memvars.assign("pd_mies", rt::Value::number(avg.monthly, 2));
    return rt::Value::number(result, 2);
  });
}

}  // namespace zus
