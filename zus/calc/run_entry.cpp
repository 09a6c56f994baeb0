// `OBL_ZAS`: the calculation run from the menu. The link check and the warnings, the set-up
// (`INI_OBL`), the loop over the employee range, and the summary (`OBL_KON`).
//
// Every window and the table set opened on the way are closed by guards, so Esc at a set-up
// question, a break of the loop and a runtime error all leave the screen and the tables as the
// run found them.
#include <algorithm>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "suite/forms/display_text.h"
#include "zus/calc/run_context.h"
#include "zus/calc/run_tables.h"
#include "zus/shell/memory_files.h"

namespace zus::calcrun {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }
rt::Value num(double v) { return rt::Value::number(v, 0); }
rt::Value text(const std::string& s) { return rt::Value::text(s); }

const char* kTraceTitle = " Aktualnie przetwarzany pracownik: ";

// A window opened by a handle, closed with ZWIN unless closed before.
struct WindowHandle {
  rt::Value handle;
  void close() {
    if (!handle.isNil()) callByName("ZWIN", {handle});
    handle = rt::Value();
  }
  ~WindowHandle() { closingStep([this] { close(); }); }
};

// The progress window of the employee loop.
struct TraceWindow {
  CalcRun& run;
  bool open = false;
  void show(int row) {
    callByName("TRACE_OPEN", {text(kTraceTitle), text(std::string(37, ' ')), num(row)});
    open = true;
  }
  void close() {
    if (open) {
      run.progressName.showHeldBack();
      callByName("TRACE_CLOS");
    }
    open = false;
  }
  ~TraceWindow() { closingStep([this] { close(); }); }
};

// The run's table set, closed by its first name; the work area selected before is selected again.
struct RunTables {
  bool open = false;
  ~RunTables() {
    if (open) closingStep([] { callByName("_CLOSE_SET", {text("MAIN")}); });
  }
};

void declareRunContext() {
  rt::Memvars& v = vars();
  rt::Value captions = rt::Value::newArray(0);
  captions.arr().push_back(text(suite::displayText(" Data kon`cza`ca zasil`ek ")));
  captions.arr().push_back(text(suite::displayText(" Data wypl`aty zasil`ku ")));
  v.declarePrivate("tab_rodz", captions);
  v.declarePrivate("zakr", num(1));
  v.declarePrivate("tab", text(""));
  v.declarePrivate("indeks", rt::Value::logical(false));
  v.declarePrivate("r_dt_obl", num(numberVar("zusx_dt_obl", 1)));
  v.declarePrivate("miesp", num(0));
  v.declarePrivate("_miesp", rt::Value::date(0));
  v.declarePrivate("powtorzyc", rt::Value::logical(true));
  v.declarePrivate("closed_dat");
  v.declarePrivate("sel_area", callByName("SELECT"));
  for (const char* counter : {"razem_prac", "razem_zas", "razem_lock", "bylybledy"})
    v.declarePrivate(counter, num(0));
}

void publishCounters(const RunCounters& c) {
  setVar("razem_prac", num(c.employees));
  setVar("razem_zas", num(c.benefits));
  setVar("razem_lock", num(c.unavailable));
  setVar("bylybledy", num(c.critical));
}

// The warnings about missing settings; the run goes on after each.
void warnAboutSettings() {
  std::string insuranceItem = textVar("zkdr_du");
  if (insuranceItem.find_first_not_of(' ') == std::string::npos) {
    message({"Nie podl`a`czono daty pocza`tku ubezpieczenia chorobowego.",
             "Do sprawdzenia wypadania podstawy w 1-szym miesia`cu pracy",
             "zostanie wzie`ta data zatrudnienia."},
            6);
    setVar("zkdr_du", text(""));
  } else {
    size_t first = insuranceItem.find_first_not_of(' ');
    size_t last = insuranceItem.find_last_not_of(' ');
    setVar("zkdr_du", text(insuranceItem.substr(first, last - first + 1)));
  }
  std::string closedFile = textVar("_path_plac") + "closed" + memFileExtension();
  if (settingsFileExists(closedFile)) restoreMemoryFile(closedFile);
  if (!variable("closed_dat") || !variable("closed_dat")->isDate())
    message({"Bl`e`dna data archiwizacji parametro`w systemowych"}, 5);
  if (numberVar("zusx_sprsk") == 0)
    message({"Nie wprowadzono w parametrach sumy procento`w skl`adek spol`ecznych!"}, 5);
  if (dataItem(39).empty())
    message({"Nie podl`a`czona minimalna pl`aca krajowa do poro`wnania podstawy!",
             "Nalex`y to zrobic` w opcji Narze`dzia\\Podl`a`czenia\\Przesyl`u ZUS/PL`ACE"},
            5);
}

void setOrderByName(const char* alias, const std::string& tag) {
  rt::db::WorkArea& area = areaOf(alias);
  if (int order = area.orderByName(tag)) area.setOrder(order);
}

// Each employee of MAIN from where it stands, while `more` holds; `process` for the employed
// ones; the break key asked after each. False when the user broke off.
template <typename More>
bool walkEmployees(CalcRun& run, More more) {
  rt::db::WorkArea& main = areaOf("main");
  for (; !main.eof() && more(main); main.skip(1)) {
    if (fieldNumber(main, "status") > 0) {
      selectArea("nieobec");
      calculateEmployee(run);
      selectArea("main");
    }
    if (callByName("PRZERWANIE", {text("")}).logicalOr(false)) return false;
  }
  return true;
}

void employeeLoop(CalcRun& run, TraceWindow& trace) {
  rt::db::WorkArea& main = areaOf("main");
  selectArea("main");
  switch (run.range) {
    case EmployeeRange::All:
      main.goTop();
      walkEmployees(run, [](rt::db::WorkArea&) { return true; });
      break;
    case EmployeeRange::Groups: {
      std::string field = textVar("indeks");
      const rt::Value* list = variable(textVar("tab"));
      std::vector<std::string> keys;
      if (list && list->isArray())
        for (const rt::Value& k : list->arr()) keys.push_back(k.strOr(""));
      std::sort(keys.begin(), keys.end());
      for (const std::string& key : keys) {
        main.seek(text(key), true);
        // The break key ends the group only; the run goes on with the next one.
        walkEmployees(run, [&](rt::db::WorkArea& m) { return fieldText(m, field) == key; });
      }
      break;
    }
    case EmployeeRange::One: {
      std::string nr = textVar("tab");
      if (!main.seek(text(nr), false)) break;
      if (fieldNumber(main, "status") <= 0) {
        trace.close();
        if (!ask(true, "Czy pomimo to go obliczyc` ?", {"Pracownik zwolniony!"})) break;
        trace.show(12);
      }
      selectArea("nieobec");
      calculateEmployee(run);
      selectArea("main");
      break;
    }
    case EmployeeRange::Selection: {
      CalcRun* current = &run;
      rt::Value block = rt::Value::block(rt::nativeBlock([current](std::vector<rt::Value>&) {
        calculateEmployee(*current);
        return rt::Value();
      }));
      callByName("GEN_PLACE", {text("zus_obl"), num(4), num(24), block, rt::Value(), rt::Value(),
                               text("Obliczanie zasil`ko`w")});
      break;
    }
  }
}

CalcRun*& currentRun() {
  static CalcRun* run = nullptr;
  return run;
}

// Makes a run the one in progress for its lifetime.
struct ActiveRun {
  CalcRun* previous;
  explicit ActiveRun(CalcRun& run) : previous(currentRun()) { currentRun() = &run; }
  ~ActiveRun() { currentRun() = previous; }
};

}  // namespace

CalcRun* activeRun() { return currentRun(); }

std::vector<std::string> summaryLines(const RunCounters& c) {
  std::vector<std::string> lines{
      "Liczba przetworzonych pracowniko`w: " + std::to_string(c.employees),
      "Liczba obliczonych zasil`ko`w:       " + std::to_string(c.benefits),
      "Liczba pracowniko`w o niedoste`pnych danych: " + std::to_string(c.unavailable)};
  if (c.critical == 0)
    lines.push_back("Nie stwierdzono bl`e`do`w krytycznych!");
  else
    lines.push_back("Podczas obliczen` zasil`ko`w wysta`pil`y bl`e`dy krytyczne w " +
                    std::to_string(c.critical) + (c.critical == 1 ? " przypadku !" : " przypadkach !"));
  return lines;
}

void showSummary(const CalcRun& run) {
  rt::Value lines = rt::Value::newArray(0);
  for (const std::string& l : summaryLines(run.counters)) lines.arr().push_back(text(l));
  callByName("CLEAR_KEYBOARD");
  callByName("SKONCZYLEM", {lines, rt::Value(), text("Operacja zostal`a zakon`czona.")});
  vars().releaseAll("tmp*");
  vars().releaseAll("dplac*");
  setVar("lum_zestaw", num(0));
}

void setUpRun(CalcRun& run, bool& setOpen) {
  rt::Memvars& v = vars();
  setVar("sel_area", callByName("SELECT"));
  setVar("miesp", num(0));
  setVar("zakr", num(1));
  setVar("tab", text(""));
  setVar("indeks", rt::Value::logical(false));
  {
    rt::Args a;
    a.push(v.get("zakr"), v.ref("zakr"));
    a.push(v.get("tab"), v.ref("tab"));
    a.push(num(8));
    a.push(v.get("indeks"), v.ref("indeks"));
    a.push(rt::Value::logical(true));
    a.push(rt::Value::logical(false));
    a.push(rt::Value::logical(false));
    rt::functions().call("ZAKRES", a);
  }
  int range = int(numberVar("zakr"));
  if (range < 1 || range > 4) throw RunAbandoned{};
  run.range = EmployeeRange(range);

  std::vector<rt::Value> menuArgs{v.get("tab_rodz"), num(10), num(30), v.get("r_dt_obl")};
  for (int i = 0; i < 6; ++i) menuArgs.emplace_back();
  menuArgs.push_back(text("Wybierz rodzaj daty"));
  int kind = int(callByName("MENU", menuArgs).intOr(0));
  setVar("r_dt_obl", num(kind));
  if (kind == 0) throw RunAbandoned{};
  run.dateKind = kind;

  setVar("miesp", num(0));
  {
    rt::Args a;
    a.push(num(8));
    a.push(num(30));
    a.push(v.get("miesp"), v.ref("miesp"));
    if (!rt::functions().call("WYB_OKRESU", a).logicalOr(false)) throw RunAbandoned{};
  }

  run.repeat = true;
  if (run.range != EmployeeRange::One) {
    run.repeat = ask(false, "Czy powto`rzyc` obliczenia dla zasil`ko`w obliczonych poprawnie ?", {});
    if (lastKeyWasEsc()) throw RunAbandoned{};
  }
  setVar("powtorzyc", rt::Value::logical(run.repeat));

  WindowHandle preparing{callByName("KOM4", {text("przygotowanie danych")})};
  run.month = addMonthsTo(dateVar("lum_data"), -int(numberVar("miesp")));
  setVar("_miesp", rt::Value::date(run.month));

  bool withStatus = run.range == EmployeeRange::Groups || run.range == EmployeeRange::Selection;
  std::string names = withStatus ? "MAIN | SLOWNIK | ARCHIW | STATUS | NIEOBEC | MAIN_2"
                                 : "MAIN | SLOWNIK | ARCHIW | NIEOBEC | MAIN_2";
  std::string modes = withStatus ? "SSSSSS" : "SSSSS";
  while (!callByName("_OPEN_SET", {text(names), text(modes)}).logicalOr(false)) {
    callByName("KOM2", {num(0), num(0), num(1), rt::Value::logical(true)});
    if (lastKeyWasEsc()) throw RunAbandoned{};
  }
  setOpen = true;
  selectArea("main");
  switch (run.range) {
    case EmployeeRange::All: setOrderByName("main", "MAINNAZW"); break;
    case EmployeeRange::Groups: setOrderByName("main", textVar("indeks")); break;
    case EmployeeRange::One: setOrderByName("main", "MAINPRAC"); break;
    case EmployeeRange::Selection: break;
  }
}

void OBL_ZAS() {
  rt::Memvars& v = vars();
  rt::PrivateFrame frame(v);
  declareRunContext();
  if (!flagVar("czy_jest_mem")) {
    callByName("KOMUNIKAT");
    return;
  }
  warnAboutSettings();

  SelectedArea selectedOnEntry;
  CalcRun run;
  ActiveRun active(run);
  RunTables tables;
  try {
    setUpRun(run, tables.open);
  } catch (const RunAbandoned&) {
    return;
  }

  rt::db::WorkArea& n = areaOf("nieobec");
  n.setOrder(run.dateKind == 1 ? 1 : 3);
  selectArea("nieobec");
  run.counters = RunCounters{};
  publishCounters(run.counters);

  {
    TraceWindow trace{run};
    if (run.range != EmployeeRange::Selection) trace.show(9);
    try {
      employeeLoop(run, trace);
    } catch (const RunAbandoned&) {
      // a break inside the loop still ends with the summary
    }
    publishCounters(run.counters);
    trace.close();
    showSummary(run);
  }
}

}  // namespace zus::calcrun
