// The transfer to payroll: entry, set-up, link check, slot maps and summary.
#include "zus/transfer/to_payroll.h"

#include "runtime/core/context.h"
#include "runtime/db/work_areas.h"
#include "suite/payroll/transfer_units.h"
#include "suite/screen/services.h"
#include "zus/shell/startup.h"
#include "zus/transfer/to_payroll_loop.h"

namespace zus {
namespace {

using namespace transfer_run;

rt::Memvars& vars() { return rt::context().memvars; }

const char* const kCounters[] = {"razem_prac", "razem_zas", "razem_lock", "bylybledy", "fatal", "razem_usun"};

const std::string kLinkOption = "\"Pol`a`czenie ZUS/PL`ACE\"";

void linkMessage(const std::string& first, const std::string& second) {
  rt::Value lines = rt::Value::newArray(0);
  lines.arr().push_back(rt::Value::text(first));
  lines.arr().push_back(rt::Value::text(second));
  callByName("STATLINE", {rt::Value::integer(7)});
  callByName("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(0)});
  callByName("STATLINE", {rt::Value::integer(-1)});
}

void declareRunContext() {
  rt::Memvars& v = vars();
  for (const char* name : {"zakr", "tab", "indeks", "slowo", "k", "miesp", "_miesp", "sel_area", "ok", "akcja",
                           "scr", "wykonac", "mianownik", "komen"})
    v.declarePrivate(name);
  for (const char* counter : kCounters) v.declarePrivate(counter, rt::Value::integer(0));
  // Notes on single benefits for the summary.
  v.declarePrivate("uwagi_dni", rt::Value::newArray(0));
}

}  // namespace

int DAJ_IND(int slot) {
  switch (slot) {
    case 7: return 9;
    case 8: return 11;
    case 9: return 20;
    case 20: return 12;
    default: return slot;
  }
}

int JAKI_IND(int slot) {
  switch (slot) {
    case 1: case 7: case 15: case 16: case 17: case 20: case 21: case 22: case 23: case 27: case 28: return 5;
    case 2: case 18: return 6;
    case 3: case 4: case 8: case 9: case 19: return 7;
    case 10: case 14: case 24: case 25: case 26: return 8;
    default: return slot;
  }
}

int transferSlotOfKind(const std::string& kind) {
  const rt::Value* a = vars().tryGet("zas_zus");
  if (!a || !a->isArray()) return 0;
  for (size_t i = 0; i < a->arr().size() && i < 33; ++i) {
    const rt::Value& e = a->arr()[i];
    if (e.isChar() && e.str() == kind) return int(i + 1);
  }
  return 0;
}

int SPRAWDZ_POLACZENIE(int slot) {
  rt::db::WorkArea& nieobec = areaOf("nieobec");
  std::string who = "U pracownika nr " + trimmed(textOf(nieobec, "nr_prac")) + " brak przypisania danej pl`acowej ";
  std::string kind = "zasil`ku: " + textOf(areaOf("sl"), "skrot") + "." + " Dokonaj poprawy w opcji " + kLinkOption;
  if (blank(linkText("zas_place", slot))) {
    linkMessage(who + "dla ", kind);
    return 1;
  }
  bool countsDays = (slot >= 1 && slot <= 4) || (slot >= 7 && slot <= 10) || (slot >= 14 && slot <= 28);
  if (countsDays && !fieldOf(nieobec, "o_zlicz").logicalOr(false) && blank(linkText("zas_dni", DAJ_IND(slot)))) {
    linkMessage(who + "\"liczba dni\"" + " dla ", kind);
    return 2;
  }
  return 0;
}

void INI_WRIT() {
  setRunVar("sel_area", rt::Value::integer(selectedArea()));
  setRunVar("zakr", rt::Value::integer(1));
  setRunVar("tab", rt::Value::text(""));
  setRunVar("indeks", rt::Value::logical(false));
  std::vector<std::string> komen{
      "Realizacja opcji spowoduje przepisanie wybranym pracownikom danych ",
      "dotycza`cych zasil`ko`w do modul`u PL`ACE. Jes`li byl`y zmiany - zostana` ",
      "przepisane nowe wartos`ci w miejsce starych! Jes`li zasil`ek usunie`to -",
      "dane dotycza`ce tego zasil`ku w module PL`ACE zostana` takx`e usunie`te!"};
  rt::Value lines = rt::Value::newArray(0);
  for (const std::string& l : komen) lines.arr().push_back(rt::Value::text(l));
  setRunVar("komen", lines);
  confirmOrAbandon("Czy chcesz dokonac` tego?", komen);
  setRunVar("wykonac", rt::Value::logical(true));
  askEmployeeRange();

  setRunVar("miesp", rt::Value::integer(0));
  rt::Args period;
  period.push(rt::Value::integer(8));
  period.push(rt::Value::integer(30));
  period.push(runVar("miesp"), vars().ref("miesp"));
  if (!rt::functions().call("WYB_OKRESU", period).logicalOr(false)) abandonRun();
  // The run works on whole payout months: the month's first day keeps the records of the next
  // month out whatever day of the month the payroll date holds.
  int32_t lumData = runVar("lum_data").isDate() ? runVar("lum_data").date() : 0;
  int32_t month = suite::firstOfMonth(suite::addMonths(lumData, -int(runNum("miesp"))));
  setRunVar("_miesp", rt::Value::date(month));

  rt::Value scr = callByName("KOM4", {rt::Value::text("przygotowanie danych")});
  setRunVar("scr", scr);
  openTablesOrAbandon("MAIN | SLOWNIK | DANE_WE | ARCHIW | STATUS | NIEOBEC", "SSSSsS",
                      int(runNum("sel_area")), scr);
  setRunVar("ok", rt::Value::logical(true));
}

void WRITE_STOP() {
  if (runNum("zakr") != 4) callByName("TRACE_CLOS");
  double fatal = runNum("fatal");
  rt::Value lines = rt::Value::newArray(0);
  for (const std::string& l :
       {"Liczba przepisanych pracowniko`w: " + countText(runNum("razem_prac")),
        "Liczba przepisanych zasil`ko`w:    " + countText(runNum("razem_zas")),
        "Liczba pracowniko`w o niedoste`pnych danych: " + countText(runNum("razem_lock")),
        criticalErrorsLine(runNum("bylybledy")),
        fatal == 0 ? std::string("Nie stwierdzono bl`e`do`w doste`pu w sieci !")
                   : "Liczba bl`e`do`w doste`pu w sieci:    " + countText(fatal),
        "Liczba usunie`tych zasil`ko`w cofnie`tych z PL`AC: " + countText(runNum("razem_usun"))})
    lines.arr().push_back(rt::Value::text(l));
  if (const rt::Value* notes = vars().tryGet("uwagi_dni"); notes && notes->isArray())
    for (const rt::Value& note : notes->arr()) lines.arr().push_back(note);
  callByName("CLEAR_KEYBOARD");
  callByName("SKONCZYLEM", {lines, rt::Value(), rt::Value::text("Operacja zostal`a zakon`czona.")});
  setRunVar("lum_zestaw", rt::Value::integer(0));
}

void TO_WRITE() {
  rt::PrivateFrame frame(vars());
  declareRunContext();
  suite::declarePayrollUnits();
  setRunVar("mianownik", rt::Value::integer(int64_t(suite::payrollAmountDivisor())));
  if (!runVar("czy_jest_mem").logicalOr(false)) {
    callByName("KOMUNIKAT");
    return;
  }
  DeletedHidden hidden;
  try {
    INI_WRIT();
  } catch (const TransferAbandoned&) {
    return;
  }
  TransferTablesGuard tables(int(runNum("sel_area")));
  rt::db::WorkArea& nieobec = areaOf("nieobec");
  selectAlias("nieobec");
  nieobec.setOrder(3);
  for (const char* counter : kCounters) setRunVar(counter, rt::Value::integer(0));
  try {
    visitEmployeeRange("WRITE_FACETA", "Przepisywanie zasil`ko`w do modul`u PL`ACE");
  } catch (const TransferAbandoned&) {
    // A break inside the loop ends it; the summary and the closing still follow.
  }
  WRITE_STOP();
  tables.closeAndReport();
}

void registerPayrollTransferFunctions() {
  rt::Functions& f = rt::functions();
  f.add("TO_WRITE", [](rt::Args&) {
    TO_WRITE();
    return rt::Value();
  });
  // Called by name outside the run, a set-up the user leaves returns to its caller.
  f.add("INI_WRIT", [](rt::Args&) {
    try {
      INI_WRIT();
    } catch (const transfer_run::TransferAbandoned&) {
    }
    return rt::Value();
  });
  f.add("WRITE_FACETA", [](rt::Args&) {
    WRITE_FACETA();
    return rt::Value();
  });
  // Called by name it reads the caller's `indeksik`, as the employee routine declares it.
  f.add("SPRAWDZ_POLACZENIE", [](rt::Args&) {
    return rt::Value::integer(SPRAWDZ_POLACZENIE(int(runNum("indeksik"))));
  });
  f.add("JAKI_IND", [](rt::Args& a) { return rt::Value::integer(JAKI_IND(int(a[0].intOr(0)))); });
  f.add("DAJ_IND", [](rt::Args& a) { return rt::Value::integer(DAJ_IND(int(a[0].intOr(0)))); });
  f.add("ZWROT_PLAC", [](rt::Args&) { return rt::Value::text(takeBackForResend()); });
  f.add("WRITE_STOP", [](rt::Args&) {
    WRITE_STOP();
    return rt::Value();
  });
}

}  // namespace zus
