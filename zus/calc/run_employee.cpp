// One employee of the calculation run (`OBL_FACETA`): the employee's records of the month are
// walked in the run's order under record locks, and each is left, netted or calculated; and the
// choice of a record's basis source (`JAKA_PODSTAWA`, `_ZUSX_ZAS`).
#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "runtime/core/context.h"
#include "runtime/core/std_strings.h"
#include "suite/payroll/work_fraction.h"
#include "zus/calc/run_context.h"
#include "zus/calc/run_status.h"
#include "zus/calc/run_tables.h"
#include "zus/calc/value_current.h"
#include "zus/shell/kind_predicates.h"
#include "zus/shell/status_codes.h"

namespace zus::calcrun {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }
rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }

// Where a kind's basis comes from: benefit slots, the data slots of the basis item and of the
// auxiliary item (0: none), and whether the employee's ZUS switch decides.
struct BasisRow {
  std::array<int, 4> slots;
  int basis, auxiliary;
  bool switched;
};
constexpr BasisRow kBasisRows[] = {
    {{1}, 1, 8, true},        {{10}, 2, 9, false},      {{14}, 14, 17, false},
    {{15}, 15, 18, true},     {{16}, 16, 19, true},     {{2}, 3, 10, true},
    {{3, 4, 8, 9}, 4, 11, true}, {{7}, 5, 8, true},     {{17, 20, 18, 19}, 20, 0, true},
    {{21}, 21, 27, true},     {{22}, 22, 28, true},     {{23}, 23, 29, true},
    {{24}, 24, 30, false},    {{25}, 25, 31, false},    {{26}, 26, 32, false},
    {{27, 28}, 33, 34, true}, {{5}, 37, 38, false},
};

const BasisRow* basisRowOf(const std::string& kind) {
  for (const BasisRow& row : kBasisRows)
    for (int slot : row.slots)
      if (slot && benefitKind(slot) == kind) return &row;
  return nullptr;
}

// The employee's code in a dictionary, looked up in that dictionary; `test` decides on the entry.
// The dictionary's order and record are given back.
template <typename Test>
bool employeeDictionaryEntry(const std::string& letter, Test test) {
  if (!isOpen("sl") || !isOpen("main")) return false;
  rt::db::WorkArea& sl = areaOf("sl");
  int order = sl.order();
  uint32_t record = sl.recno();
  bool result = false;
  sl.setOrder(1);
  if (sl.seek(rt::Value::text(letter.substr(0, 1) + "  "), false)) {
    std::string field = "SL_" + fieldText(sl, "skrot");
    field.erase(std::remove(field.begin(), field.end(), ' '), field.end());
    std::string code = fieldText(areaOf("main"), field);
    if (!code.empty() && code.find_first_not_of(' ') != std::string::npos &&
        sl.seek(rt::Value::text(code), false))
      result = test(sl);
  }
  sl.setOrder(order);
  sl.goTo(record);
  return result;
}

// The question whether to stop when the employee's archive is not closed with the system's; true
// when the user stops.
bool archiveDisagrees(const CalcRun& run, rt::db::WorkArea& n, rt::db::WorkArea& main, bool byStatus) {
  if (fieldFlag(n, "czy_kwot")) return false;
  if (kindIs(KindFamily::ZAS_ZUS, fieldText(n, "zasilek")) && calculatesZusBenefits()) return false;
  if (run.range != EmployeeRange::One) return false;
  // An archiving date that is no date agrees with no employee: the question is asked.
  int32_t closed = dateVar("closed_dat");
  if (closed && fieldNumber(main, "rok_arc") == yearOf(closed) &&
      fieldNumber(main, "mies_arc") == monthOf(closed))
    return false;
  if (!dataItem(13).empty()) return false;
  return ask(true, "Czy przerwac` obliczanie ?",
             {"Wyste`puje rozbiex`nos`c` mie`dzy miesia`cem i rokiem",
              "archiwizacji parametro`w systemowych, a miesia`cem i rokiem",
              "zamknie`cia archiwum dla wybranego pracownika.",
              byStatus ? "Mox`e to spowodowac` bl`e`dne obliczenie chorobowego."
                       : "W przypadku przerwania aktualne wartos`ci nie zostana` zmienione."});
}

// Releases the benefit-record locks of the employee however the walk ends; a walk that ends
// normally writes what is pending first.
struct RecordLocks {
  rt::db::WorkArea& area;
  void commit() { area.commit(); }
  ~RecordLocks() {
    closingStep([this] { area.unlockAll(); });
  }
};

void showEmployeeName(CalcRun& run, rt::db::WorkArea& main) {
  // The payroll library's own selection runs without the run's progress window: the position
  // left by an earlier window is no place to write at.
  if (run.range == EmployeeRange::Selection) return;
  run.progressName.show((fieldText(main, "imie") + fieldText(main, "nazwisko")).substr(0, 37));
}

// The insurance start of the employee (`_data_puc`): the personnel item when it is filled in,
// else the employment date.
int32_t insuranceStart(const CalcRun& run, rt::db::WorkArea& main, rt::db::WorkArea& main2) {
  std::string item = textVar("zkdr_du");
  if (!item.empty() && hasField(main2, item)) {
    if (int32_t d = fieldDate(main2, item)) return d;
    if (run.range == EmployeeRange::One)
      message({"Nie wprowadzono daty pocza`tku ubezpieczenia chorobowego.",
               "Do sprawdzenia wypadania podstawy w 1-szym miesia`cu pracy",
               "zostanie wzie`ta data zatrudnienia."},
              6);
  }
  return fieldDate(main, "data_zatr");
}

// A work-time fraction that cannot be one (personnel parameters naming another dictionary, a
// damaged entry) would multiply the minimum-wage floors: the employee's record is left as it is
// and the run counts a critical error. The message names the employee and the dictionary entry;
// a run over many employees shows it for the first such employee only, since the cause is
// usually the shared setting.
void reportImplausibleFraction(CalcRun& run, double fte) {
  if (run.implausibleFractionShown && run.range != EmployeeRange::One) return;
  run.implausibleFractionShown = true;
  rt::db::WorkArea& main = areaOf("main");
  auto trimmed = [](const std::string& text) { return std::string(rt::trimBlanks(text)); };
  std::optional<suite::FteEntry> entry = suite::employeeFteEntry();
  char value[48];
  std::snprintf(value, sizeof value, "%.3f", fte);
  message({"Pracownik " + trimmed(fieldText(main, "nr_prac")) + " " + trimmed(fieldText(main, "imie")) + " " +
               trimmed(fieldText(main, "nazwisko")) + ":",
           "wymiar etatu " + std::string(value) + " z pozycji \"" + (entry ? entry->code : "") +
               "\" sl`ownika (pole " + (entry ? entry->field : "") + ")",
           "nie mies`ci sie` w przedziale od 0 do 1.", "Zasil`ek nie zostal` obliczony - sprawdz` parametry kadrowe."},
          5);
}

void calculateRecord(CalcRun& run, rt::db::WorkArea& n) {
  if (!chooseBasis(run)) return;
  if (flagVar("tylko_stale")) {
    putField(n, "status", num(numberVar("ten_arch_stat")));
    return;
  }
  std::string kind = fieldText(n, "zasilek");
  if (kind == benefitKind(5)) {
    putAmount(n, "wartosc", fieldNumber(n, "suma"));
    putField(n, "status", num(stat_obl));
    putAmount(n, "podst_zas", 0);
    putAmount(n, "netto", 0);
  } else {
    double value = currentBenefitValue(kind, int(fieldNumber(n, "l_dni")), numberVar("podstawa"));
    double net = currentNetAmount(value);
    putAmount(n, "wartosc", value);
    putField(n, "status", num(stat_obl));
    putAmount(n, "podst_zas", numberVar("_stawka"));
    putAmount(n, "netto", net);
  }
  run.counters.benefits += 1;
}

}  // namespace

bool calculatesZusBenefits() {
  double way = numberVar("zusx_sposob", 1);
  if (way == 1) return true;
  if (way == 2) return false;
  return employeeDictionaryEntry(textVar("zusx_slow1"),
                                 [](rt::db::WorkArea& sl) { return fieldNumber(sl, "obl_zas") == 1; });
}

bool chooseBasis(CalcRun& run) {
  rt::db::WorkArea& n = areaOf("nieobec");
  uint32_t record = n.recno();
  rt::Value fraction = callByName("WYM_ETAT");
  if (!suite::plausibleFte(fraction.numOr(1))) {
    reportImplausibleFraction(run, fraction.numOr(0));
    run.counters.critical += 1;
    selectArea("nieobec");
    return false;
  }
  setVar("wymiar_et", fraction);
  setVar("min_pl_br", num(pseudoEmployeeValue(dataItem(39)), 2));
  if (fieldFlag(n, "czy_kwot")) {
    setVar("podstawa", num(fieldNumber(n, "podst_zas"), 2));
  } else if (fieldText(n, "nieobec") == "PBZ") {
    copyEarlierBasis();
    setVar("podstawa", num(fieldNumber(n, "druk_podst"), 2));
  } else {
    std::string basisItem, auxiliaryItem;
    if (const BasisRow* row = basisRowOf(fieldText(n, "zasilek"))) {
      if (!row->switched || calculatesZusBenefits()) {
        basisItem = dataItem(row->basis);
        auxiliaryItem = row->auxiliary ? dataItem(row->auxiliary) : "";
      }
    }
    setVar("podstawka", rt::Value::text(basisItem));
    setVar("pod_pom", rt::Value::text(auxiliaryItem));
    if (!basisItem.empty() || !auxiliaryItem.empty()) {
      selectArea("nieobec");
      bool done = callByName("PODST_OBL", {rt::Value::text(basisItem)}).logicalOr(false);
      if (!done) run.counters.critical += 1;
    }
  }
  selectArea("nieobec");
  // Back on the record only when the basis moved the table: staying keeps the basis's writes
  // pending, so that the record is written once, with the amounts that follow.
  if (n.recno() != record || n.eof()) n.goTo(record);
  return true;
}

void calculateEmployee(CalcRun& run) {
  rt::Memvars& v = vars();
  rt::PrivateFrame frame(v);
  v.declarePrivate("podstawa", num(0));
  v.declarePrivate("podstawka", rt::Value::text(""));
  v.declarePrivate("pod_pom", rt::Value::text(""));
  v.declarePrivate("tylko_stale", rt::Value::logical(false));
  v.declarePrivate("ten_arch_stat", num(0));
  v.declarePrivate("_stawka", num(0));
  v.declarePrivate("skr_zas", rt::Value::text(std::string(size_t(numberVar("len_slow", 10)), ' ')));
  v.declarePrivate("min_pl_br", num(0));
  v.declarePrivate("wymiar_et", num(0));
  v.declarePrivate("kom_mac", rt::Value::logical(false));
  run.counters.employees += 1;

  SelectedArea back("main");
  rt::db::WorkArea& main = areaOf("main");
  rt::db::WorkArea& n = areaOf("nieobec");
  rt::db::WorkArea& main2 = areaOf("main_2");
  rt::db::WorkArea& sl = areaOf("sl");
  showEmployeeName(run, main);

  std::string employee = fieldText(main, "nr_prac");
  selectArea("nieobec");
  if (!n.seek(rt::Value::text(employee + dtos(run.month).substr(0, 6)), true)) return;
  if (!main2.seek(rt::Value::text(employee), false)) return;
  setVar("_data_puc", rt::Value::date(insuranceStart(run, main, main2)));

  selectArea("main");
  if (!callByName("_REC_LOCK").logicalOr(false)) {
    run.counters.unavailable += 1;
    return;
  }

  selectArea("nieobec");
  RecordLocks locks{n};
  const char* dateField = run.dateKind == 1 ? "do" : "dat_wyp";
  int32_t monthEnd = nextMonthStart(run.month);
  for (; !n.eof() && fieldText(n, "nr_prac") == employee && fieldDate(n, dateField) < monthEnd;
       n.skip(1)) {
    setVar("tylko_stale", rt::Value::logical(false));
    setVar("podstawa", num(0));
    setVar("_stawka", num(fieldNumber(n, "podst_zas"), 2));
    std::string kind = fieldText(n, "zasilek");
    {
      int order = sl.order();
      sl.setOrder(1);
      if (sl.seek(rt::Value::text(kind), false)) setVar("skr_zas", rt::Value::text(fieldText(sl, "skrot")));
      sl.setOrder(order);
    }
    if (!n.lockRecord(n.recno())) continue;
    if (!hasKind(kind)) continue;

    double status = fieldNumber(n, "status");
    switch (recordAction(status, run.repeat)) {
      case RecordAction::Leave:
        break;
      case RecordAction::NetOnly:
        putAmount(n, "netto", currentNetAmount(fieldNumber(n, "wartosc")));
        putField(n, "status", num(stat_sav_c));
        run.counters.benefits += 1;
        break;
      case RecordAction::Calculate: {
        bool byStatus = recordAction(status, false) == RecordAction::Calculate;
        // Stopping leaves the employee at once; the records written before stay counted, so the
        // summary says what the run changed.
        if (archiveDisagrees(run, n, main, byStatus)) {
          locks.commit();
          return;
        }
        calculateRecord(run, n);
        break;
      }
    }
  }
  locks.commit();
}

}  // namespace zus::calcrun
