// The export entry: the group selection, the copy of the template, the walk over the groups and
// their employees, and the closing reports.
#include "zus/transfer/reset_export.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/db/work_areas.h"
#include "suite/company/memory_store.h"
#include "zus/shell/memory_files.h"
#include "zus/shell/settings_support.h"
#include "zus/transfer/reset_export_employee.h"
#include "zus/transfer/reset_settings.h"
#include "zus/transfer/to_payroll_loop.h"

namespace zus {
namespace {

using namespace settings;
using namespace reset_export;

constexpr size_t kReportedProblems = 12;

void report(const std::vector<std::string>& lines) {
  rt::Value a = rt::Value::newArray(0);
  for (const std::string& l : lines) a.arr().push_back(txt(l));
  call("KOM3", {a, num(0), num(0), num(5)});
}

// The chosen group keys (the array named by `ky_tab`) and the MAIN field of the groups
// (`ky_index`); nothing when no group range was chosen.
struct GroupSelection {
  rt::Value keys;  // shares the variable's array, so that sorting it sorts the user's selection
  std::string field;
};

std::optional<GroupSelection> groupSelection() {
  rt::Memvars& v = vars();
  if (v.typeOf("ky_tab") != "C") return std::nullopt;
  // After a one-employee range `ky_tab` holds the employee's number, which names no array.
  rt::Value* keys = v.find(v.get("ky_tab").str());
  const rt::Value* field = v.tryGet("ky_index");
  if (!keys || !keys->isArray() || !field || !field->isChar() || field->str().empty()) return std::nullopt;
  return GroupSelection{*keys, field->str()};
}

// The closing guards of the run, released in reverse order. A guard that fails while closing
// lets the error that is already on its way (if any) be the one reported.
template <typename F>
void closing(F&& f) noexcept {
  try {
    f();
  } catch (...) {
  }
}
struct CloseSet {
  ~CloseSet() {
    closing([] { call("_CLOSE_SET", {txt("MAIN")}); });
  }
};
// Closes the export table's work area (its alias free again), the caller's area selected after.
struct CloseArea {
  rt::db::WorkArea* area;
  ~CloseArea() {
    closing([this] {
      const int caller = transfer_run::selectedArea(), own = area->number();
      transfer_run::selectAreaNumber(own);
      call("DBCLOSEAREA");
      if (caller != own) transfer_run::selectAreaNumber(caller);
    });
  }
};
struct Window {
  rt::Value handle;
  ~Window() {
    closing([this] {
      if (handle.isChar()) call("ZWIN", {handle});
    });
  }
};
struct SavedRow {
  rt::Value saved = call("SAVESCREEN", {num(23), num(0), num(23), num(79)});
  ~SavedRow() {
    closing([this] { call("RESTSCREEN", {num(23), num(0), num(23), num(79), saved}); });
  }
};

// The template's fields that the export needs and it lacks (or holds with another type).
std::vector<std::string> missingFields(rt::db::WorkArea& table) {
  std::vector<std::string> missing;
  for (const auto& [name, type] : requiredFields()) {
    int i = table.fieldIndex(name);
    if (i < 0 || table.table().fields()[size_t(i)].type != type) missing.push_back(name);
  }
  return missing;
}

// `symbol_eta` from the personnel module's parameters in the company's personnel directory, and
// `sl_etat`, the MAIN field of the employee's code in the FTE dictionary. Without them every
// full-time equivalent would go out as 0: the reason is returned ("" when all is there).
std::string declarePersonnelSymbol(rt::db::WorkArea& main) {
  rt::Memvars& v = vars();
  v.declarePrivate("symbol_eta", txt(""));
  v.declarePrivate("sl_etat", txt("SL_"));
  const std::string name = "kadry_pp" + memFileExtension();
  const rt::Value* dir = v.tryGet("_path_kadr");
  const std::string file = (dir && dir->isChar() ? dir->str() : std::string()) + "kadry_pp" + memFileExtension();
  if (!suite::memoryFileExists(file)) return "Brak pliku " + name + " w katalogu kadr - nie mox`na ustalic` etatu.";
  try {
    suite::restoreMemory(file);
  } catch (const rt::Error&) {
    return "Plik " + name + " jest uszkodzony - nie mox`na ustalic` etatu.";
  }
  const rt::Value* symbol = v.tryGet("symbol_eta");
  std::string s = symbol && symbol->isChar() ? transfer_run::trimmed(symbol->str()) : "";
  v.assign("sl_etat", txt("SL_" + s));
  if (s.empty() || main.fieldIndex("SL_" + s) < 0)
    return "Symbol sl`ownika etatu \"" + s + "\" z pliku " + name + " nie wskazuje pola bazy MAIN.dbf.";
  return "";
}

// True when MAIN's order n is keyed by the group field first (MAIN selected).
bool keyedByGroup(int n, const std::string& groupField) {
  std::string key = call("ORDKEY", {num(n)}).strOr("");
  key.erase(std::remove(key.begin(), key.end(), ' '), key.end());
  std::string field = groupField;
  for (std::string* s : {&key, &field})
    std::transform(s->begin(), s->end(), s->begin(), [](unsigned char c) { return char(std::toupper(c)); });
  return !field.empty() && key.compare(0, field.size(), field) == 0;
}

// MAIN's controlling order: `rs_nr_ind` when its key begins with the group field, else the
// order of the groups (a wrong or missing order number would find no employee at all); false
// when there is neither.
bool setGroupOrder(rt::db::WorkArea& main, const std::string& groupField) {
  int n = int(numVar("rs_nr_ind"));
  if (n < 1 || n > main.orderCount() || !keyedByGroup(n, groupField)) n = main.orderByName(groupField);
  if (n < 1 || !keyedByGroup(n, groupField)) return false;
  main.setOrder(n);
  return true;
}

bool exportGroups(ExportRun& run, GroupSelection& groups) {
  rt::Array& keys = groups.keys.arr();
  std::sort(keys.begin(), keys.end(), [](const rt::Value& a, const rt::Value& b) {
    return a.strOr("") < b.strOr("");
  });
  // A group chosen twice is exported once: its employees' rows must not go to RESET twice.
  keys.erase(std::unique(keys.begin(), keys.end(),
                         [](const rt::Value& a, const rt::Value& b) {
                           return transfer_run::trimmed(a.strOr("")) == transfer_run::trimmed(b.strOr(""));
                         }),
             keys.end());
  rt::db::WorkArea& main = *run.main;
  if (!setGroupOrder(main, groups.field)) {
    run.failure = "Brak indeksu bazy MAIN.dbf wg pola " + groups.field + " - nie mox`na wybrac` grup.";
    return false;
  }
  const int groupField = main.fieldIndex(groups.field);
  main.goTop();
  for (size_t k = 0; k < keys.size(); ++k) {
    call("GODBASE", {num(double(k + 1)), num(double(keys.size()))});
    const std::string key = transfer_run::trimmed(keys[k].strOr(""));
    const std::string name = groupName(*run.dictionary, key);
    main.seek(txt(key), false);
    main.setScope(0, txt(key));
    main.setScope(1, txt(key));
    const double count = double(main.keyCount());
    main.seek(txt(key), false);
    Window inner{call("INITPROGRES")};
    bool ok = true;
    // An employee's group field may be wider than the key: its trailing blanks do not count.
    for (double done = 1; ok && !main.eof() && groupField >= 0 &&
                          transfer_run::trimmed(main.get(size_t(groupField)).strOr("")) == key;
         ++done) {
      call("GOPROGRES", {num(done), num(count)});
      if (transfer_run::fieldOf(main, "status").numOr(0) > 0) {
        std::string shown = transfer_run::trimmed(transfer_run::textOf(main, "nazwisko")) + ", " +
                            transfer_run::trimmed(transfer_run::textOf(main, "imie"));
        call("DAJ_WZORZEC", {txt(display(shown)), txt("Pracownik")});
        ok = exportEmployee(run, name);
      }
      if (ok) main.skip();
    }
    main.setScope(0, rt::Value());
    main.setScope(1, rt::Value());
    if (!ok) return false;
  }
  return true;
}

bool exportInto(ExportRun& run, GroupSelection& groups) {
  const std::string from = textVar("rs_kat_wzr") + "ZAS_WZR.dbf";
  const std::string to = textVar("rs_kat_exp") + "ZAS_EXP.dbf";
  if (call("COPYFILE", {txt(from), txt(to)}).numOr(1) != 0) {
    report({"Brak bazy wzorcowej: ZAS_WZR.dbf w katalogu: ", textVar("rs_kat_wzr"),
            "lub wysta`pil` bl`a`d w trakcie kopiowania do katalogu:", textVar("rs_kat_exp")});
    return false;
  }
  // The copy is the export's own: opened exclusively, so that a row taken back can be packed out
  // of it before RESET reads it.
  try {
    call("DBUSEAREA", {rt::Value::logical(true), rt::Value(), txt(to), txt("zas_exp"), rt::Value::logical(false),
                       rt::Value::logical(false)});
  } catch (const rt::Error& e) {
    // A damaged copy goes on to the option's error message, which names the file.
    if (e.kind() == rt::ErrorKind::Corrupt) throw;
  }
  if (rt::db::workAreas().byAlias("zas_exp") == nullptr) {
    report({"Nie mox`na otworzyc` kopii bazy wzorcowej ZAS_EXP.dbf w katalogu:", textVar("rs_kat_exp"),
            "Eksport nie mox`e byc` wykonany."});
    return false;
  }
  CloseArea closeTable{&transfer_run::areaOf("zas_exp")};
  run.table = closeTable.area;
  std::vector<std::string> missing = missingFields(*run.table);
  if (!missing.empty()) {
    std::string names;
    for (size_t i = 0; i < missing.size() && i < 8; ++i) names += (i ? ", " : "") + missing[i];
    if (missing.size() > 8) names += ", ...";
    report({"Baza wzorcowa ZAS_WZR.dbf nie ma pol` potrzebnych do eksportu:", names,
            "Eksport nie mox`e byc` wykonany."});
    return false;
  }
  Window working{call("KOM4", {txt("eksportowanie danych ...")})};
  Window outer{call("INITDBASE")};
  SavedRow row;
  transfer_run::selectAlias("main");
  bool done = exportGroups(run, groups);
  if (run.rowTakenBack) {
    try {
      run.table->pack();
    } catch (const rt::Error&) {
      run.failure += " Nie usunie`to niepel`nego wiersza.";
    }
  }
  if (!run.failure.empty()) report({run.failure, "Eksport przerwano - baza ZAS_EXP.dbf nie jest kompletna."});
  return done;
}

}  // namespace

bool RS_EKSP() {
  std::optional<GroupSelection> groups = groupSelection();
  if (!groups) {
    report({"Nie wybrano grup pracowniko`w!", "Eksport nie mox`e byc` wykonany."});
    return false;
  }
  rt::PrivateFrame frame(vars());
  SelectedArea area;
  ResetSettingsScope settingsScope;
  if (!call("_OPEN_SET", {txt("MAIN | SLOWNIK | STATUS | NIEOBEC"), txt("SSsS")}).logicalOr(false)) return false;
  bool result = false;
  ExportRun run;
  {
    CloseSet closeSet;
    run.main = &transfer_run::areaOf("main");
    // Checked before the template is copied: the previous export file stays as it was.
    if (std::string missing = declarePersonnelSymbol(*run.main); !missing.empty()) {
      report({missing, "Eksport nie mox`e byc` wykonany."});
      return false;
    }
    run.dictionary = &transfer_run::areaOf("sl");
    run.benefits = &transfer_run::areaOf("nieobec");
    run.fteField = textVar("sl_etat");
    result = exportInto(run, *groups);
  }
  if (!run.basisProblems.empty()) {
    std::vector<std::string> lines{"Zapis podstawy zasil`ku niepel`ny lub bl`e`dny - miesia`ce podstawy",
                                   "w tych pozycjach wyeksportowano jako zera:"};
    for (size_t i = 0; i < run.basisProblems.size() && i < kReportedProblems; ++i)
      lines.push_back(run.basisProblems[i]);
    if (run.basisProblems.size() > kReportedProblems)
      lines.push_back("... i " + std::to_string(run.basisProblems.size() - kReportedProblems) + " innych");
    report(lines);
  }
  return result;
}

}  // namespace zus
