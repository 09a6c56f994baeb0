// The batch-run shape both transfers share: context by name, set-up steps, table opening and the
// walk over the employee range.
#include "zus/transfer/to_payroll_loop.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/std_strings.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/keys.h"

namespace zus::transfer_run {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }

// Width of the trace window's field for the employee's name.
constexpr size_t kTraceFieldWidth = 37;

// MAIN's order for the chosen range: by name for all, the groups' order for groups, by number
// for one employee; the library's selection keeps the order the set opened with.
void orderMainForRange() {
  rt::db::WorkArea& main = areaOf("main");
  int order = 0;
  switch (int(runNum("zakr"))) {
    case 1: order = main.orderByName("MAINNAZW"); break;
    case 2: order = main.orderByName(runVar("indeks").strOr("")); break;
    case 3: order = main.orderByName("MAINPRAC"); break;
    default: return;
  }
  if (order > 0) main.setOrder(order);
}

bool breakRequested() { return callByName("PRZERWANIE", {rt::Value::text("")}).logicalOr(false); }

void visitAll(const char* routine) {
  selectAlias("main");
  rt::db::WorkArea& main = areaOf("main");
  main.goTop();
  while (!main.eof()) {
    selectAlias("nieobec");
    callByName(routine);
    selectAlias("main");
    main.skip(1);
    if (breakRequested()) break;
  }
}

// Groups in ascending key order; a break ends only the group being walked.
void visitGroups(const char* routine) {
  selectAlias("main");
  rt::db::WorkArea& main = areaOf("main");
  std::string arrayName = runVar("tab").strOr("");
  std::string groupField = runVar("indeks").strOr("");
  const rt::Value* keys = arrayName.empty() ? nullptr : vars().tryGet(arrayName);
  if (!keys || !keys->isArray() || groupField.empty()) return;
  rt::Array& list = keys->arr();
  std::sort(list.begin(), list.end(),
            [](const rt::Value& a, const rt::Value& b) { return a.strOr("") < b.strOr(""); });
  main.goTop();
  for (size_t k = 0; k < list.size(); ++k) {
    rt::Value slowo = list[k];
    setRunVar("k", rt::Value::integer(int64_t(k + 1)));
    setRunVar("slowo", slowo);
    selectAlias("main");
    main.seek(slowo, false);
    while (!main.eof() && textOf(main, groupField.c_str()) == slowo.strOr("")) {
      selectAlias("nieobec");
      callByName(routine);
      if (breakRequested()) break;
      selectAlias("main");
      main.skip(1);
    }
  }
}

// One employee: only when the chosen number is found (a vanished employee gives nothing to do).
void visitOne(const char* routine) {
  selectAlias("main");
  rt::db::WorkArea& main = areaOf("main");
  main.goTop();
  bool found = main.seek(runVar("tab"), false);
  selectAlias("nieobec");
  if (found) callByName(routine);
  selectAlias("main");
}

void visitLibrarySelection(const char* routine, const char* title) {
  rt::BlockPtr block = rt::compileBlock(std::string("{|| ") + routine + "()}");
  callByName("GEN_PLACE", {rt::Value::text("zus_write"), rt::Value::integer(5), rt::Value::integer(24),
                           rt::Value::block(block), rt::Value(), rt::Value(), rt::Value::text(title)});
}

}  // namespace

void abandonRun() { throw TransferAbandoned{}; }

void setRunVar(const char* name, rt::Value v) { vars().assign(name, std::move(v)); }

void addToRunVar(const char* name, double n) { setRunVar(name, rt::Value::integer(int64_t(runNum(name) + n))); }

int selectedArea() { return rt::db::workAreas().selectedNumber(); }

void selectAreaNumber(int number) {
  if (number > 0) rt::db::workAreas().select(number);
}

rt::Value fieldOf(rt::db::WorkArea& area, const char* name) {
  int i = area.fieldIndex(name);
  if (i < 0) throw rt::Error(rt::ErrorKind::NoField, "Variable does not exist", name);
  return area.get(size_t(i));
}

std::string textOf(rt::db::WorkArea& area, const char* name) { return fieldOf(area, name).strOr(""); }

std::string trimmed(const std::string& s) { return std::string(rt::trimBlanks(s)); }

bool blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

bool lastKeyWasEsc() {
  int64_t esc = runVar("Esc").intOr(rt::term::K_ESC);
  return callByName("LASTKEY").intOr(0) == esc;
}

void confirmOrAbandon(const char* question, const std::vector<std::string>& explanation) {
  rt::Value lines = rt::Value::newArray(0);
  for (const std::string& l : explanation) lines.arr().push_back(rt::Value::text(l));
  bool yes = callByName("DECYZJA", {rt::Value::logical(true), rt::Value::text(question), rt::Value::integer(0),
                                    rt::Value::integer(0), lines})
                 .logicalOr(false);
  if (lastKeyWasEsc() || !yes) abandonRun();
}

void askEmployeeRange() {
  rt::Args args;
  args.push(runVar("zakr"), vars().ref("zakr"));
  args.push(runVar("tab"), vars().ref("tab"));
  args.push(rt::Value::integer(8));
  args.push(runVar("indeks"), vars().ref("indeks"));
  args.push(rt::Value::logical(true));
  args.push(rt::Value::logical(false));
  args.push(rt::Value::logical(false));
  rt::functions().call("ZAKRES", args);
  if (runNum("zakr") == 0) abandonRun();
}

void openTablesOrAbandon(const char* names, const char* modes, int previousArea, const rt::Value& waitWindow) {
  for (;;) {
    if (callByName("_OPEN_SET", {rt::Value::text(names), rt::Value::text(modes)}).logicalOr(false)) {
      selectAlias("main");
      orderMainForRange();
      callByName("ZWIN", {waitWindow});
      return;
    }
    callByName("KOM2", {rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(1),
                        rt::Value::logical(true)});
    if (lastKeyWasEsc()) {
      callByName("_CLOSE_SET", {rt::Value::text("MAIN")});
      selectAreaNumber(previousArea);
      callByName("ZWIN", {waitWindow});
      abandonRun();
    }
  }
}

void visitEmployeeRange(const char* employeeRoutine, const char* genPlaceTitle) {
  int range = int(runNum("zakr"));
  if (range != 4)
    callByName("TRACE_OPEN", {rt::Value::text(" Aktualnie przetwarzany pracownik: "),
                              rt::Value::text(std::string(kTraceFieldWidth, ' ')), rt::Value::integer(12)});
  switch (range) {
    case 1: visitAll(employeeRoutine); break;
    case 2: visitGroups(employeeRoutine); break;
    case 3: visitOne(employeeRoutine); break;
    case 4: visitLibrarySelection(employeeRoutine, genPlaceTitle); break;
    default: break;
  }
}

void showEmployeeName(rt::db::WorkArea& main) {
  rt::Value colour = callByName("K_SET_KOLOR", {rt::Value::integer(0), rt::Value::integer(38), rt::Value::integer(7)});
  // The name is cut to the trace window's field so that nothing is written past its frame.
  std::string name = (textOf(main, "imie") + textOf(main, "nazwisko")).substr(0, kTraceFieldWidth);
  callByName("DISPOUTAT", {runVar("tr_y"), runVar("tr_x"), rt::Value::text(name), colour});
}

std::string countText(double n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(n));
  return buf;
}

std::string criticalErrorsLine(double count) {
  if (count == 0) return "Nie stwierdzono bl`e`do`w krytycznych!";
  return "Podczas przepisywania zasil`ko`w wysta`pil`y bl`e`dy krytyczne w " + countText(count) +
         (count > 1 ? " przypadkach !" : " przypadku !");
}

DeletedHidden::DeletedHidden(bool hidden) : previous_(rt::context().settings.deleted) {
  rt::context().settings.deleted = hidden;
}

DeletedHidden::~DeletedHidden() { rt::context().settings.deleted = previous_; }

bool commitRecord(rt::db::WorkArea& area, std::string& why) {
  try {
    area.commit();
    return true;
  } catch (const rt::Error& e) {
    area.discardChanges();
    why = failureText(e);
    return false;
  }
}

std::string amountText(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

std::string failureText(const rt::Error& e) {
  std::string what;
  switch (e.kind()) {
    case rt::ErrorKind::Lock:
    case rt::ErrorKind::NetErr: what = "tabela zaje`ta przez inne stanowisko"; break;
    case rt::ErrorKind::Write: what = "bl`a`d zapisu na dysk"; break;
    case rt::ErrorKind::Corrupt: what = "uszkodzona tabela"; break;
    default: what = "bl`a`d zapisu"; break;
  }
  if (!e.file().empty()) what += " " + std::filesystem::path(e.file()).filename().string();
  return what;
}

std::string TransferTablesGuard::close() {
  if (closed_) return "";
  closed_ = true;
  // Every step runs whatever the one before it did: a write refused at the end must not leave
  // the rest of the set, or its locks, open until the program ends.
  std::string failure;
  auto step = [&failure](const std::function<void()>& body) {
    try {
      body();
    } catch (const rt::Error& e) {
      if (failure.empty()) failure = failureText(e);
    }
  };
  step([] {
    if (rt::db::WorkArea* main = rt::db::workAreas().byAlias("main")) {
      rt::db::workAreas().select(main->number());
      main->unlockAll();
    }
  });
  step([] { callByName("_CLOSE_SET", {rt::Value::text("MAIN")}); });
  step([this] { selectAreaNumber(previousArea_); });
  return failure;
}

void TransferTablesGuard::closeAndReport() {
  std::string failure = close();
  if (failure.empty()) return;
  rt::Value lines = rt::Value::newArray(0);
  lines.arr().push_back(rt::Value::text("Bl`a`d przy zamykaniu tabel: " + failure));
  lines.arr().push_back(rt::Value::text("Ostatnie zmiany mogl`y nie zostac` zapisane."));
  callByName("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
}

TransferTablesGuard::~TransferTablesGuard() {
  // After an error that ended the run: closing must not hide that error.
  close();
}

}  // namespace zus::transfer_run
