// The register entry: tables, employee cycle, header and the browse of one employee's records.
#include "zus/register/browse_entry.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "runtime/core/context.h"
#include "suite/tables/table_sets.h"
#include "zus/register/benefit_record.h"
#include "zus/register/browse_state.h"
#include "zus/register/form_support.h"
#include "zus/shell/memory_files.h"
#include "zus/shell/settings_support.h"
#include "zus/shell/startup.h"

namespace zus {

using namespace reg;
using settings::display;
using settings::OpenWindow;
using settings::say;

namespace {

constexpr const char* kRegisterTables = "MAIN | SLOWNIK | DANE_WE | NIEOBEC | MAIN_2";

void setElement(const char* array, int n, rt::Value v) {
  rt::Value a = var(array);
  if (a.isArray() && n >= 1 && size_t(n) <= a.arr().size()) a.arr()[size_t(n - 1)] = std::move(v);
}

std::string lastChars(const std::string& s, size_t n) {
  return s.size() > n ? s.substr(s.size() - n) : s;
}

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The attached table function of the company, prepared for the percentage rule.
void prepareTableFunction() {
  std::string file = textVar("_path_spec") + "zus_kod" + call("MEMORXPF").strOr("");
  if (!settingsFileExists(file)) return;
  restoreMemoryFile(file);
  if (!trimmed(textVar("_kod_fun")).empty()) call("INIT_FUN_TABL");
}

// Extra employee fields after the suite's own, at most four, for the employee choice.
void noteExtraEmployeeFields() {
  int extra = std::min<int>(4, int(call("FCOUNT").intOr(0) - int64_t(numVar("main_const"))));
  if (extra <= 0) return;
  rt::Value names = rt::Value::newArray(0);
  int first = int(numVar("main_const")) + 1;
  for (int i = 0; i < extra; ++i) names.arr().push_back(call("FIELDNAME", {num(first + i)}));
  vars().assign("inf_dod", names);
}

std::string chooseEmployee(const rt::Value& start) {
  std::vector<rt::Value> args{start, num(-1), num(-1)};
  rt::Value extra = var("inf_dod");
  if (extra.isArray())
    for (const rt::Value& name : extra.arr()) args.push_back(name);
  return call("WYB_PRAC", std::move(args)).strOr("");
}

void warn(const std::vector<std::string>& lines) {
  rt::Value a = rt::Value::newArray(0);
  for (const std::string& l : lines) a.arr().push_back(txt(l));
  call("KOM3", {a, num(0), num(0), num(6)});
}

// Birth date from the personnel companion; a warning when the record has none.
void readBirthDate(const std::string& nr) {
  KeepArea keep;
  selectAlias("main_2");
  bool found = call("DBSEEK", {txt(nr)}).logicalOr(false);
  int32_t born = found ? fieldDate("main_2", "data_ur") : 0;
  vars().assign("_data_ur", rt::Value::date(born));
  if (found && born == 0)
    warn({"Pracownik nie ma wprowadzonej daty urodzenia!",
          "Nalex`y ja` uzupel`nic` w module Kadry."});
}

// Whether the employee has a benefit ending on 31 December of the previous year.
bool endsOnNewYearsEve(const std::string& nr) {
  KeepArea keep;
  selectAlias("nieobec");
  KeepOrderAndRecord order;
  call("ORDSETFOCUS", {num(kOrderEnd)});
  return call("DBSEEK", {txt(nr + std::to_string(payrollYear() - 1) + "1231")}).logicalOr(false);
}

// The employee table of an older payroll module may lack the optional fields of the sick-pay
// count: the header then shows 0 and the start-date warnings are left out.
double optionalNumber(const char* name) {
  return fieldType("main", name) == "N" ? fieldNum("main", name) : 0;
}

// The same table told at the register's entry, before the first employee is chosen: the user
// learns why the sick-pay count is not kept, and the register goes on without it.
void reportMissingOptionalFields() {
  if (fieldType("main", "data_zus") != "D") warn({"Brak pola \"DATA_ZUS \" w bazie MAIN.DBF !"});
  if (fieldType("main", "dni_poza") != "N") warn({"Brak pola \"DNI_POZA \" w bazie MAIN.DBF !"});
}

void checkStartDate(bool endsOnNewYear) {
  if (fieldType("main", "data_zus") != "D") return;
  int32_t start = fieldDate("main", "data_zus");
  if (start == 0) {
    warn({"Pracownik nie ma ustalonej daty do kontroli dni wynagrodzenia za chorobe`!",
          "Zapisze sie` ona jako data pocza`tkowa pierwszego chorobowego lub",
          "mox`na ja` wpisac` po nacis`nie`ciu klawisza F8 w biex`a`cej opcji"});
  } else if (yearOf(start) < payrollYear() && !endsOnNewYear) {
    warn({"Pracownik nie ma ustalonej daty do kontroli dni wynagrodzenia za chorobe`!",
          "Nalex`y wykonac` dla wszystkich opcje` \"Narze`dzia\\Pocza`tek roku kontrolnego\"",
          "lub wpisac` date` po nacis`nie`ciu klawisza F8 w biex`a`cej opcji"});
  }
}

void drawHeader() {
  vars().assign("suma_dni1", num(fieldNum("main", "dni_ch")));
  vars().assign("suma_dni2", num(fieldNum("main", "dni_op")));
  vars().assign("suma_dni3", num(fieldNum("main", "dni_rdz")));
  vars().assign("suma_poza", num(optionalNumber("dni_poza")));
  say(3, 54, filterNote());
  say(4, 4, display("Dni do okr.zasil`.: "));
  say(4, 28, display("Dni op. (ogo`l`): "));
  say(4, 54, display("Dni op. czl`.rodz: "));
  char limits[80];
  std::snprintf(limits, sizeof limits,
                "Dni poza zakl`adem (do kontroli %2d lub %2d dni):", int(numVar("zusx_chzk")),
                int(numVar("zusx_chz50")));
  say(5, 4, display(limits));
  say(5, 54, display("Data urodz.: "));
  for (const CounterPlace& c : {kSickDays, kCareDays, kFamilyCareDays, kDaysOutside})
    showCounter(c);
  std::string bold = call("K_BOLD", {num(0), num(38)}).strOr("");
  settings::sayIn(5, 67, call("DTOC", {var("_data_ur")}).strOr(""), bold);
}

// The browse of the chosen employee's records, with its windows; closed in reverse order.
void browseEmployee(const std::string& nr) {
  OpenWindow screenWindow(-1, 0, 0, 22, 79, "Dane o zasil`kach", 32);
  std::string title = trimmed(fieldText("main", "nazwisko")) + "  " +
                      trimmed(fieldText("main", "imie")) + "      Nr: " + nr;
  std::optional<settings::ColourSet> headerColours(std::in_place, 38);
  OpenWindow header(1, 2, 1, 6, 78, title, 38);
  drawHeader();
  headerColours.reset();

  selectAlias("nieobec");
  setEmployeeScope();
  call("DBGOTOP");
  vars().assign("brak_nb", yes(call("EOF").logicalOr(true)));

  rt::Value frameHandle =
      call("_ROZWIN", {num(1), num(6), num(1), num(21), num(78), rt::Value(), num(35)});
  call("STATLINE",
       {txt("F1-Pomoc, Enter-Edycja, F9-Uwagi, Ins-Nowy, Del-Kasuj, Esc/Ctrl_W-Wyjs`cie")});
  try {
    call("E_DBEDIT", {num(7), num(2), num(20), num(77), var("pola"), txt("dbe_nb"), var("pict"),
                      var("nagl"), txt(std::string{char(196), char(194), char(196)})});
  } catch (...) {
    call("ZWIN", {frameHandle});
    throw;
  }
  selectAlias("nieobec");
  call("CMXCLRSCOPE", {num(0)});
  call("CMXCLRSCOPE", {num(1)});
  // A record the form saved stays locked while its employee is browsed; once the browse is left
  // it goes free, so that other workstations' runs do not pass over a record of an employee this
  // one no longer works on.
  call("DBUNLOCK");
  call("ZWIN", {frameHandle});
}

// The register's table set, opened by the entry and closed with `_CLOSE_SET` when it ends.
class RegisterTables {
 public:
  RegisterTables() = default;
  ~RegisterTables() {
    try {
      call("_CLOSE_SET", {txt("MAIN")});
    } catch (...) {
    }
  }
  RegisterTables(const RegisterTables&) = delete;
  RegisterTables& operator=(const RegisterTables&) = delete;
};

}  // namespace

void fillBrowseColumns() {
  std::string money = textVar("pict_long");
  std::string note = textVar("pict_l_4");
  auto centred = [](const std::string& s, int w) {
    return call("CENTR", {txt(s), num(w)}).strOr(s);
  };
  struct Column {
    std::string heading, expression, picture;
  };
  const Column columns[15] = {
      {display("Data wypl`."), "nieobec->dat_wyp", "@D"},
      {"   Od   ", "nieobec->od", "@D"},
      {"   Do   ", "nieobec->do", "@D"},
      {centred(display("Zasil`ek"), 28), "nb_zas ( nieobec->zasilek )", std::string(28, 'X')},
      {"Dni ", "nieobec->l_dni", "9999"},
      {"% zas.", "nieobec->procent", "999"},
      {"Stawka dz.", "nieobec->podst_zas", lastChars(money, 10)},
      {display("Wartos`c`"), "nieobec->wartosc", lastChars(money, 12)},
      {"Nr L-4", "nieobec->nr_l_4", note},
      {"Nr poprz. L-4", "nieobec->poprz_l_4", note},
      {"Kod lit.", "nieobec->nr_stat", textVar("pict_chor")},
      // A status without a message (no writer of the program makes one) shows blanks instead of
      // ending the browse with a subscript error.
      {display("Status zasil`ku"),
       "rownaj_l ( iif ( ascan ( stat_err, nieobec->status ) > 0, "
       "stat_mess [ ascan ( stat_err, nieobec->status )], \"\" ), 40 )",
       std::string(40, 'X')},
      {display("Miesia`ce do podstawy"),
       "load_tekst (iif ( ! empty ( nieobec->fakt_mies ), nieobec->fakt_mies, nieobec->te_mies ), "
       "28)",
       std::string(28, 'X')},
      {display("Czy przepisano do PL`AC"), "iif ( nieobec->place, \"TAK\", \"NIE\" )", "XXX"},
      {display("Czy przepisano do KADR"), "iif ( !empty( nieobec->kod_wew ), \"TAK\", \"NIE\" )",
       "XXX"},
  };
  for (int i = 0; i < 15; ++i) {
    setElement("nagl", i + 1, txt(columns[i].heading));
    setElement("pola", i + 1, txt(columns[i].expression));
    setElement("pict", i + 1, txt(columns[i].picture));
  }
}

void WPROW_NB() {
  rt::PrivateFrame frame(vars());
  declareRegisterState();
  prepareTableFunction();
  if (!flagVar("czy_jest_mem")) {
    KOMUNIKAT();
    return;
  }
  fillBrowseColumns();
  if (!call("_OPEN_SET", {txt(kRegisterTables), txt("SSSSS")}).logicalOr(false)) {
    // The register goes back to the menu at once; a table that is not there at all is named
    // first (a missing memo or index, or a damaged file, ends the option with its own error).
    const std::string& missing = suite::missingTableOfLastSet();
    if (!missing.empty()) form::message("Nie moge` otworzyc` zbioro`w danych - brak zbioru " + missing + ".", 3);
    return;
  }

  selectAlias("main");
  bool pseudo = call("ORDNUMBER", {txt("NR_PSEUDO")}).intOr(0) > 0;
  vars().assign("czy_pseudo", yes(pseudo));
  settings::ColourSet registerColours(35);
  // The set is closed before the colours come back, also when a run is abandoned.
  RegisterTables tables;
  selectAlias("main");
  noteExtraEmployeeFields();
  reportMissingOptionalFields();

  const rt::Value blankPseudo =
      txt(pseudo ? std::string(fieldText("main", "nr_pseudo").size(), ' ') : "");
  for (;;) {
    rt::Value start = pseudo ? blankPseudo : var("nr_pracusia");
    std::string nr = chooseEmployee(start);
    vars().assign("nr_pracusia", txt(nr));
    selectAlias("main");
    if (trimmed(nr).empty()) return;
    if (!call("_REC_LOCK").logicalOr(false)) {
      // Another workstation has the employee in its register (or a run): the register ends, and
      // the user is told why.
      form::message(kEmployeeBusy, 3);
      return;
    }
    readBirthDate(nr);
    bool endsOnNewYear = endsOnNewYearsEve(nr);
    checkStartDate(endsOnNewYear);
    browseEmployee(nr);
  }
}

}  // namespace zus
