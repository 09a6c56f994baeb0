// The print set-up, benefit card and settlement routines by name, with the type-tested defaulting
// of their arguments.
#include "zus/reports/by_name.h"

#include "runtime/core/functions.h"
#include "suite/screen/print_range.h"
#include "zus/reports/card_print.h"
#include "zus/reports/card_text.h"
#include "zus/reports/load_tekst.h"
#include "zus/reports/print_setup_access.h"
#include "zus/reports/print_setup_run.h"
#include "zus/reports/settlement_print.h"

namespace zus {
namespace {

rt::Value none() { return rt::Value(); }

template <class F>
rt::NativeFunction noArgs(F routine) {
  return [routine](rt::Args&) {
    routine();
    return none();
  };
}

}  // namespace

void registerCardFunctions() {
  suite::registerPrintRangeFunctions();
  rt::Functions& f = rt::functions();
  f.add("DRUK_ZAS", [](rt::Args& a) {
    DRUK_ZAS(int(a[0].intOr(0)));
    return none();
  });
  f.add("DR_Z_INI", noArgs([] { DR_Z_INI(); }));
  f.add("DR_ZAS1", noArgs(DR_ZAS1));
  f.add("DR_ZAS2", noArgs(DR_ZAS2));
  f.add("DR_ZAS3", [](rt::Args& a) {
    DR_ZAS3(a[0].logicalOr(false));
    return none();
  });
  f.add("_ROB_TYTUL", noArgs(_ROB_TYTUL));
  f.add("DR_KART", [](rt::Args& a) {
    DR_KART(a[0].strOr(""));
    return none();
  });
  f.add("DR_NAGL", noArgs(DR_NAGL));
  f.add("FORMAT_", [](rt::Args& a) {
    return rt::Value::text(FORMAT_(a[0].numOr(0), a[1].logicalOr(false)));
  });
  f.add("_JAKI_ZAS", [](rt::Args& a) { return rt::Value::text(_JAKI_ZAS(a[0].strOr(""))); });
  f.add("ZAMIEN_PROCENT", [](rt::Args& a) { return rt::Value::text(ZAMIEN_PROCENT(a[0].numOr(0))); });
  f.add("LOAD_TEKST", [](rt::Args& a) {
    return rt::Value::text(LOAD_TEKST(a[0].strOr(""), a[1].isNum() ? int(a[1].num()) : 14));
  });
  f.add("_OBNIZ", [](rt::Args&) { return rt::Value::text(_OBNIZ()); });
  f.add("WEZ_STAZ", [](rt::Args& a) {
    rt::Value value = a[1];
    bool found = WEZ_STAZ(a[0].strOr(""), value);
    a.assign(1, value);
    return rt::Value::logical(found);
  });
  f.add("ZLICZ_ZAS", noArgs(ZLICZ_ZAS));
  f.add("DR_ROZL", noArgs(DR_ROZL));
  f.add("WEZ_ZAS", [](rt::Args& a) {
    int slot = int(a[0].intOr(0));
    std::string name;
    bool found = WEZ_ZAS(slot, name);
    // An unlinked slot leaves the caller's variable alone; a linked one gets the name or blanks.
    if (!cards::slotKind(slot).empty()) a.assign(1, rt::Value::text(name));
    return rt::Value::logical(found);
  });
}

}  // namespace zus
