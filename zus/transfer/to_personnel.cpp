// The transfer to personnel: entry, set-up, summary and the holiday list.
#include "zus/transfer/to_personnel.h"

#include <fstream>

#include "runtime/core/context.h"
#include "runtime/core/file_names.h"
#include "runtime/db/work_areas.h"
#include "suite/company/memory_store.h"
#include "zus/transfer/to_payroll_loop.h"

namespace zus {
namespace {

using namespace transfer_run;

rt::Memvars& vars() { return rt::context().memvars; }

const char* const kCounters[] = {"razem_prac", "razem_zas", "razem_kas", "razem_lock", "bylybledy"};

void declareRunContext() {
  rt::Memvars& v = vars();
  v.declarePrivate("zakr", rt::Value::integer(1));
  v.declarePrivate("tab", rt::Value::text(""));
  v.declarePrivate("indeks", rt::Value::logical(false));
  v.declarePrivate("slowo");
  v.declarePrivate("k");
  v.declarePrivate("miesp", rt::Value::integer(0));
  v.declarePrivate("miesk", rt::Value::integer(0));
  for (const char* counter : kCounters) v.declarePrivate(counter, rt::Value::integer(0));
  v.declarePrivate("symbol_u_1", rt::Value::text(""));
  v.declarePrivate("symb_ua", rt::Value::newArray(0));
  v.declarePrivate("kom_kadry", rt::Value::newArray(0));
}

rt::Value lineArray(const std::vector<std::string>& lines) {
  rt::Value a = rt::Value::newArray(0);
  for (const std::string& l : lines) a.arr().push_back(rt::Value::text(l));
  return a;
}

}  // namespace

void DEF_TAB_U() {
  std::string codes = runVar("symbol_u_1").strOr("");
  rt::Value* list = vars().find("symb_ua");
  if (!list || !list->isArray()) {
    vars().assign("symb_ua", rt::Value::newArray(0));
    list = vars().find("symb_ua");
  }
  for (size_t i = 0; i + 3 <= codes.size(); i += 3) list->arr().push_back(rt::Value::text(codes.substr(i, 3)));
}

void INI_GOTO_K() {
  std::string program = callByName("_PATH_TO_EXE").strOr("") + "kadry.exe";
  if (!rt::functions().call("FILE", {rt::Value::text(program)}).logicalOr(false)) {
    callByName("KOM3", {rt::Value::text("Nie zainstalowano modul`u \"KADRY\" - przesyl`anie nie nasta`pi."),
                        rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
    abandonRun();
  }
  confirmOrAbandon("Czy chcesz przepisac`?",
                   {"Realizacja opcji spowoduje przepisanie wybranym pracownikom danych ",
                    "dotycza`cych nieobecnos`ci do modul`u KADRY. Jes`li byl`y zmiany - zostana` ",
                    "przepisane nowe wartos`ci w miejsce starych! Jes`li zasil`ek usunie`to -",
                    "dane dotycza`ce tego zasil`ku w module KADRY zostana` takx`e usunie`te!"});
  askEmployeeRange();
  rt::Args period;
  period.push(rt::Value::integer(8));
  period.push(rt::Value::integer(0));
  period.push(runVar("miesp"), vars().ref("miesp"));
  period.push(runVar("miesk"), vars().ref("miesk"));
  if (!rt::functions().call("WYB_OKRESU", period).logicalOr(false)) abandonRun();
  rt::Value window = callByName("KOM4", {rt::Value::text("przygotowanie danych")});
  openTablesOrAbandon("MAIN | SLOWNIK | CZAS_P | STATUS | NIEOBEC", "SSSsS", int(runNum("sel_area")), window);
}

void O_URLOPACH() {
  if (!callByName("ISDIR", {rt::Value::text("WYDRUKI")}).logicalOr(false)) return;
  std::ofstream out(rt::mapPath("WYDRUKI\\url_kas.lst", rt::PathUse::Create), std::ios::binary | std::ios::trunc);
  if (!out) return;
  std::string today = callByName("DTOC", {callByName("DATE")}).strOr("");
  std::vector<std::string> lines{"",
                                 "Lista pracownikow, ktorym nalezy zmodyfikowac dni urlopu w KADRACH, " + today,
                                 "Nr   | Nazwisko           | Dni urlopu (na ktore nadpisano zasilek)"};
  rt::Value list = runVar("kom_kadry");
  if (list.isArray())
    for (const rt::Value& l : list.arr()) lines.push_back(l.strOr(""));
  for (const std::string& l : lines) out << "\r\n" << l;
}

void WRITE_KON() {
  if (runNum("zakr") != 4) callByName("TRACE_CLOS");
  rt::Value lines = lineArray({"Liczba przepisanych pracowniko`w: " + countText(runNum("razem_prac")),
                               "Liczba przepisanych zasil`ko`w:    " + countText(runNum("razem_zas")),
                               "Liczba wykasownych danych: " + countText(runNum("razem_kas")),
                               "Liczba pracowniko`w o niedoste`pnych danych: " + countText(runNum("razem_lock")),
                               criticalErrorsLine(runNum("bylybledy"))});
  callByName("CLEAR_KEYBOARD");
  callByName("SKONCZYLEM", {lines, rt::Value(), rt::Value::text("Operacja zostal`a zakon`czona.")});
  rt::Value list = runVar("kom_kadry");
  if (list.isArray() && !list.arr().empty()) O_URLOPACH();
  setRunVar("lum_zestaw", rt::Value::integer(0));
}

void GOTO_KADRY() {
  int previousArea = selectedArea();
  rt::PrivateFrame frame(vars());
  declareRunContext();
  vars().declarePrivate("sel_area", rt::Value::integer(previousArea));
  if (!runVar("czy_jest_mem").logicalOr(false)) {
    callByName("KOMUNIKAT");
    return;
  }
  std::string extension = callByName("MEMORXPF").strOr("");
  std::string settings = runVar("_path_kadr").strOr("") + "kadry_pp" + extension;
  if (!suite::memoryFileExists(settings)) {
    callByName("KOM3", {rt::Value::text("Brak pliku kadry_pp" + extension + " !"), rt::Value::integer(0),
                        rt::Value::integer(0), rt::Value::integer(3)});
    return;
  }
  suite::restoreMemory(settings);
  DEF_TAB_U();
  DeletedHidden hidden;
  try {
    INI_GOTO_K();
  } catch (const TransferAbandoned&) {
    return;
  }
  TransferTablesGuard tables(previousArea);
  for (const char* counter : kCounters) setRunVar(counter, rt::Value::integer(0));
  try {
    visitEmployeeRange("KADRUJ_FACETA", "Przepisywanie danych do modul`u KADRY");
  } catch (const TransferAbandoned&) {
    // A break inside the loop ends it; the summary and the closing still follow.
  }
  WRITE_KON();
  tables.closeAndReport();
}

void registerPersonnelTransferFunctions() {
  rt::Functions& f = rt::functions();
  auto procedure = [&f](const char* name, void (*body)()) {
    f.add(name, [body](rt::Args&) {
      body();
      return rt::Value();
    });
  };
  procedure("GOTO_KADRY", GOTO_KADRY);
  // Called by name outside the run, a set-up the user leaves returns to its caller.
  procedure("INI_GOTO_K", [] {
    try {
      INI_GOTO_K();
    } catch (const TransferAbandoned&) {
    }
  });
  procedure("KADRUJ_FACETA", KADRUJ_FACETA);
  f.add("WPISZ_1ZAS", [](rt::Args&) { return rt::Value::logical(WPISZ_1ZAS()); });
  procedure("WRITE_KON", WRITE_KON);
  procedure("O_URLOPACH", O_URLOPACH);
  procedure("DEF_TAB_U", DEF_TAB_U);
  f.add("A_KASOWANE", [](rt::Args&) { return rt::Value::logical(A_KASOWANE()); });
  f.add("KAS_Z_CZAS", [](rt::Args& a) { return rt::Value::logical(KAS_Z_CZAS(a[0].strOr(""))); });
  f.add("NEW_KOD_WEW", [](rt::Args&) { return rt::Value::text(NEW_KOD_WEW()); });
}

}  // namespace zus
