// The yearly resets ZER_DNI and ZER_DAT.
#include "zus/register/resets_entries.h"

#include <optional>

#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/get.h"
#include "runtime/ui/read_modal.h"
#include "zus/register/benefit_record.h"
#include "zus/register/resets_common.h"
#include "zus/shell/kind_predicates.h"
#include "zus/shell/settings_support.h"

namespace zus {

using namespace reg;
using namespace resets;
using settings::decide;
using settings::WaitMessage;

namespace {

// Kinds whose absence carries the old start of the control year over New Year.
bool carriesOldStart(const std::string& kind) {
  return kindIs(KindFamily::CH_ZUS, kind) || kindIs(KindFamily::MAC, kind) ||
         kindIs(KindFamily::REHAB, kind);
}

// The year the start dates are set for; the entry keeps the payroll year after Esc.
int askYear() {
  rt::Value year = num(payrollYear());
  settings::ColourSet colours(38);
  settings::OpenWindow window(-1, 16, 10, 18, 70, "", 38);
  std::string label = settings::display("Ustalania dat pocza`tkowych dokonac` na rok: ");
  settings::say(17, 12, label);
  rt::term::Screen& s = rt::term::screen();
  auto get = std::make_shared<rt::ui::Get>(
      17, 12 + int(label.size()) + 1, "ROK", [&year] { return year; },
      [&year](const rt::Value& v) { year = v; }, "9999");
  get->unselectedAttr = s.colors().unselected();
  get->enhancedAttr = s.colors().enhanced();
  get->valid = [&year] { return year.numOr(0) > 1995; };
  rt::ui::GetList list{get};
  const rt::term::CursorShape shape = s.cursorShape();
  s.setCursorShape(rt::term::CursorShape::Normal);
  rt::ui::readModal(list);
  s.setCursorShape(shape);
  return int(year.numOr(payrollYear()));
}

// How the first stage of ZER_DAT ended: the employees done, and whether the user broke it off.
struct StartDatesRun {
  int done = 0, total = 0;
  bool interrupted = false;
};

// The first stage of ZER_DAT: the start dates, under a lock of the whole employee table.
// Nothing when the tables cannot be had or the employee table has no start-date field (the
// option then ends).
std::optional<StartDatesRun> setStartDates(int year) {
  WaitMessage wait("przetwarzanie danych.");
  if (!call("_OPEN_SET", {txt("MAIN | NIEOBEC"), txt("SS")}).logicalOr(false)) return std::nullopt;
  struct CloseSet {
    ~CloseSet() { call("_CLOSE_SET", {txt("MAIN")}); }
  } closeSet;
  if (fieldType("main", "data_zus") != "D") {
    tellMissingField("DATA_ZUS");
    return std::nullopt;
  }
  selectAlias("main");
  if (!call("_FILE_LOCK").logicalOr(false)) {
    tell("Nie mox`na zablokowac` bazy MAIN.DBF - opcja niewykonana !", 6);
    return std::nullopt;
  }
  selectAlias("nieobec");
  const rt::Value order = call("INDEXORD");
  call("ORDSETFOCUS", {num(kOrderEnd)});
  selectAlias("main");
  call("ORDSETFOCUS", {txt("MAINPRAC")});
  call("DBGOTOP");
  const double total = call("RECCOUNT").numOr(0);
  rt::Value progress = call("INITPROGRES");
  double done = 0;
  StartDatesRun run;
  run.total = int(total);
  while (!call("EOF").logicalOr(true)) {
    std::string nr = fieldText("main", "nr_prac");
    int32_t start;
    {
      KeepArea keep;
      selectAlias("nieobec");
      start = controlYearStart(nr, year, fieldDate("main", "data_zus"));
    }
    setField("main", "data_zus", rt::Value::date(start));
    call("DBSKIP", {num(1)});
    ++run.done;
    call("GOPROGRES", {num(++done), num(total)});
    if (call("PRZERWANIE", {txt("")}).logicalOr(false)) {
      run.interrupted = !call("EOF").logicalOr(true);
      break;
    }
  }
  call("ZWIN", {progress});
  selectAlias("nieobec");
  call("ORDSETFOCUS", {order});
  return run;
}

void zeroDaysOutside() {
  if (!decide(false, "Czy wyzerowac` dni poza? ",
              {"Wykonanie opcji spowoduje grupowe wyzerowanie danej",
               "liczba dni poza zakl`adem do kontroli dni wynagrodzenia za chorobe`."}))
    return;
  {
    WaitMessage wait("zerowanie liczby dni poza zakl`adem");
    if (!openEmployeesExclusively()) return;
    struct CloseTable {
      ~CloseTable() { call("_CLOSE_ONLY", {txt("MAIN")}); }
    } closeTable;
    if (fieldType("main", "dni_poza") != "N") {
      tellMissingField("DNI_POZA");
      return;
    }
    forEveryRecord([] { setField("main", "dni_poza", num(0)); });
  }
  tell(" Zerowanie zostal`o zakon`czone! ", 4);
}

}  // namespace

int32_t controlYearStart(const std::string& nr, int year, int32_t current) {
  const int32_t newYear = dateOf(year, 1, 1);
  const int32_t oldStart = current != 0 ? current : dateOf(year - 1, 1, 1);
  const bool ended = call("DBSEEK", {txt(nr + std::to_string(year - 1) + "1231")}).logicalOr(false);
  const std::string endedKind = fieldText("nieobec", "zasilek");
  call("DBSEEK", {txt(nr + std::to_string(year) + "0101"), yes(true)});
  // Case A: nothing ends in the new year; an absence ending on New Year's Eve may go on.
  if (call("EOF").logicalOr(true) || fieldText("nieobec", "nr_prac") != nr)
    return ended && carriesOldStart(endedKind) ? oldStart : newYear;
  // Case B: an absence that began by New Year's Day and runs into the new year.
  int32_t start = newYear;
  for (; !call("EOF").logicalOr(true) && fieldText("nieobec", "nr_prac") == nr;
       call("DBSKIP", {num(1)}))
    if (carriesOldStart(fieldText("nieobec", "zasilek")) && fieldDate("nieobec", "od") <= newYear)
      start = oldStart;
  return start;
}

void ZER_DNI() {
  if (!decide(false, "Czy wykonac` opcje`? ",
              {"Wykonanie opcji spowoduje grupowe wyzerowanie licznika ",
               "sumuja`cego liczbe` dni opieki ogo`l`em oraz liczbe` dni opieki",
               "nad czl`onkiem rodziny innym nix` dziecko."}))
    return;
  {
    WaitMessage wait("zerowanie licznika dni opieki.");
    if (!openEmployeesExclusively()) return;
    forEveryRecord([] {
      setField("main", "dni_op", num(0));
      setField("main", "dni_rdz", num(0));
    });
    call("_CLOSE_ONLY", {txt("MAIN")});
  }
  tell(" Zerowanie zostal`o zakon`czone! ", 4);
}

void ZER_DAT() {
  if (!decide(false, "Czy wykonac` opcje`? ",
              {"Wykonanie opcji spowoduje grupowe ustalenie daty pocza`tku",
               "kontroli zliczania dni wynagrodzenia za chorobe`."}))
    return;
  const int year = askYear();
  const std::optional<StartDatesRun> run = setStartDates(year);
  if (!run) return;
  if (run->interrupted) {
    rt::Value lines = rt::Value::newArray(0);
    lines.arr().push_back(txt(" Ustalanie dat zostal`o przerwane! "));
    lines.arr().push_back(txt("Daty ustalono dla " + std::to_string(run->done) + " z " +
                              std::to_string(run->total) + " pracowniko`w."));
    call("KOM3", {lines, num(0), num(0), num(4)});
  } else {
    tell(" Ustalanie dat zostal`o zakon`czone! ", 4);
  }
  zeroDaysOutside();
}

}  // namespace zus
