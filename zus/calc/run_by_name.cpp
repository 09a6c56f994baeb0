// The calculation run's routines callable by name: the menu entry `OBL_ZAS`, the run's steps, the
// status write `WPISZ_STAT` of the transfer to payroll, the ZUS switch `_ZUSX_ZAS`, and the value
// rules.
#include "runtime/core/functions.h"
#include "zus/calc/by_name.h"
#include "zus/calc/run_context.h"
#include "zus/calc/run_status.h"
#include "zus/calc/value_current.h"

namespace zus {

void registerCalcRunFunctions() {
  using namespace calcrun;
  rt::Functions& f = rt::functions();
  f.add("OBL_ZAS", [](rt::Args&) {
    OBL_ZAS();
    return rt::Value();
  });
  f.add("WPISZ_STAT", [](rt::Args& a) {
    writeMonthStatus(a[0].numOr(0));
    return rt::Value();
  });
  // The run's steps act on the run in progress and do nothing outside one.
  f.add("OBL_FACETA", [](rt::Args&) {
    if (CalcRun* run = activeRun()) calculateEmployee(*run);
    return rt::Value();
  });
  f.add("JAKA_PODSTAWA", [](rt::Args&) {
    if (CalcRun* run = activeRun()) chooseBasis(*run);
    return rt::Value();
  });
  f.add("OBL_KON", [](rt::Args&) {
    if (CalcRun* run = activeRun()) showSummary(*run);
    return rt::Value();
  });
  f.add("_ZUSX_ZAS", [](rt::Args&) { return rt::Value::logical(calculatesZusBenefits()); });
  registerValueFunctions();
}

}  // namespace zus
