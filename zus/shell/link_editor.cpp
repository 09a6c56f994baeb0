// The link editor and its table routines.
#include "zus/shell/link_editor.h"

#include <array>
#include <optional>
#include <vector>

#include "runtime/core/expr.h"
#include "runtime/core/operators.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "zus/shell/link_config.h"
#include "zus/shell/link_slots.h"
#include "zus/shell/settings_support.h"

namespace zus {
namespace {

using namespace settings;
using namespace rt::term;

constexpr int kTables = 5;
constexpr int kPayrollAbbrLen = 11;

const char* const kHeadings[kTables] = {
    "1. Wskazanie sl`ownika zasil`ko`w",
    "2. SKRO`TY - wskazanie skro`to`w ze sl`ownika",
    "3. ZASIL`KI - wskazanie danych pl`acowych",
    "4. LICZBA DNI - wskazanie danych pl`acowych",
    "5. PODSTAWY I INNE DANE - wskazanie danych pl`acowych",
};

// Per table: its label array, value array and link array.
struct TableNames {
  const char* labels;
  const char* values;
  const char* link;
};
constexpr TableNames kTableNames[kTables] = {
    {"tab_sl", "zus_sl", "zas_slow"},
    {"tab_skrot", "zus_skrot", "zas_zus"},
    {"tab_skrot", "zus_plac", "zas_place"},
    {"tab_day", "zus_day", "zas_dni"},
    {"tab_skr", "zus_skr", "zas_dan"},
};
constexpr int kRows[kTables] = {1, kBenefitSlots, kBenefitSlots, kBenefitSlots, kDataSlots};

bool validTable(int t) { return t >= 1 && t <= kTables; }

std::string elementText(const char* array, int n) {
  const rt::Value* a = vars().tryGet(array);
  if (!a || !a->isArray() || n < 1 || size_t(n) > a->arr().size()) return "";
  return a->arr()[size_t(n - 1)].strOr("");
}

int shortNameLen() { return int(numVar("len_slow", 10)); }

std::string padLabel(const std::string& stored, int width) {
  return call("ROWNAJ_L", {txt(display(stored)), num(width)}).strOr("") + " - ";
}

// The short name of a dictionary key (work area sl selected), blanks for none or not found.
std::string dictionaryShortName(const rt::Value& code) {
  std::string blanks(size_t(shortNameLen()), ' ');
  if (!code.isChar() || code.str().empty()) return blanks;
  if (!call("DBSEEK", {code}).logicalOr(false)) return blanks;
  return rt::evalText("sl->skrot").strOr(blanks);
}

// The abbreviation of a payroll item in the payroll library's current list, blanks when the
// list does not hold the code.
std::string payrollAbbreviation(const rt::Value& code) {
  std::string blanks(kPayrollAbbrLen, ' ');
  if (!code.isChar() || code.str().empty()) return blanks;
  const rt::Value* codes = vars().tryGet("dplac_kod");
  const rt::Value* abbrs = vars().tryGet("dplac_skrot");
  if (!codes || !codes->isArray()) return blanks;
  for (size_t i = 0; i < codes->arr().size(); ++i) {
    if (rt::opEqual(codes->arr()[i], code, false)) {
      if (abbrs && abbrs->isArray() && i < abbrs->arr().size()) return abbrs->arr()[i].strOr(blanks);
      return blanks;
    }
  }
  return blanks;
}

void selectAlias(const char* alias) {
  rt::Value area = call("SELECT", {txt(alias)});
  if (area.intOr(0) > 0) call("DBSELECTAREA", {area});
}

std::string rowText(int table, int row) {
  const TableNames& n = kTableNames[table - 1];
  return elementText(n.labels, row) + display(elementText(n.values, row));
}

void SKORYGUJ_TABL(int table, int row) {
  if (!validTable(table) || row < 1) return;
  linkElement("tablica", row) = txt(rowText(table, row));
}

void WYKONAJ_SL(int row) {
  if (varOr("wykasuj_to").logicalOr(false)) {
    linkElement("zas_slow", row) = txt("");
    linkElement("zus_sl", row) = txt(std::string(size_t(shortNameLen()), ' '));
    return;
  }
  selectAlias("sl");
  rt::Value chosen = call("POBSLOWNIK", {num(12), num(50)});
  if (!rt::opExactEqual(chosen, varOr("pustykod"))) linkElement("zas_slow", row) = chosen;
  selectAlias("sl");
  linkElement("zus_sl", row) = txt(dictionaryShortName(linkElement("zas_slow", row)));
}

void WYKONAJ_SKROT(int row) {
  if (varOr("wykasuj_to").logicalOr(false)) {
    linkElement("zas_zus", row) = txt("");
    linkElement("zus_skrot", row) = txt(std::string(size_t(shortNameLen()), ' '));
    return;
  }
  selectAlias("sl");
  rt::Value dictionary = linkElement("zas_slow", 1);
  rt::Value chosen = call("POBSLOWO", {num(11), num(35), num(10),
                                       dictionary.isChar() ? dictionary : txt(""),
                                       rt::Value::logical(false)});
  if (!rt::opExactEqual(chosen, varOr("pustykod"))) linkElement("zas_zus", row) = chosen;
  selectAlias("sl");
  linkElement("zus_skrot", row) = txt(dictionaryShortName(linkElement("zas_zus", row)));
}

void WYKONAJ_DAN(int row, int table) {
  if (table < 3 || table > 5) return;
  const TableNames& n = kTableNames[table - 1];
  call("DANEPLAC", {num(table == 5 ? 1 : 15)});
  if (varOr("wykasuj_to").logicalOr(false)) {
    linkElement(n.link, row) = txt("");
    linkElement(n.values, row) = txt(std::string(kPayrollAbbrLen, ' '));
    return;
  }
  selectAlias("daneplac");
  int kind = row == 7 ? 7 : (row == 39 || row == 40) ? 6 : 5;
  int p = int(call("SEL_SKL", {num(kind)}).intOr(0));
  const rt::Value* codes = vars().tryGet("dplac_kod");
  const rt::Value* abbrs = vars().tryGet("dplac_skrot");
  if (p < 1 || !codes || !codes->isArray() || size_t(p) > codes->arr().size()) return;
  linkElement(n.link, row) = codes->arr()[size_t(p - 1)];
  linkElement(n.values, row) = abbrs && abbrs->isArray() && size_t(p) <= abbrs->arr().size()
                               ? abbrs->arr()[size_t(p - 1)]
                               : txt(std::string(kPayrollAbbrLen, ' '));
}

void WYKONAJ_FUNKCJE(int table, int row) {
  if (table == 1) WYKONAJ_SL(row);
  else if (table == 2) WYKONAJ_SKROT(row);
  else WYKONAJ_DAN(row, table);
}

int OPER_MENU(int mode) {
  if (mode == 1 || mode == 2) {
    if (Backend* b = currentBackend()) b->beep();
  }
  const int key = keyboard().lastKey();
  switch (key) {
    case K_ENTER: return 1;
    case K_ESC:
    case K_CTRL_W:
      vars().assign("dosyc_tego", rt::Value::logical(true));
      return 0;
    case K_RIGHT:
      vars().assign("jeszcze_nast", rt::Value::logical(true));
      call("CLEAR_KEYBOARD");
      return 0;
    case K_LEFT:
      vars().assign("jeszcze_pop", rt::Value::logical(true));
      call("CLEAR_KEYBOARD");
      return 0;
    case K_DEL:
      vars().assign("wykasuj_to", rt::Value::logical(true));
      call("CLEAR_KEYBOARD");
      return 1;
    default:
      if (key >= '1' && key <= '5') {
        vars().assign("nowy_nr", num(key - '0'));
        return 0;
      }
      return 2;
  }
}

std::vector<std::string> introduction(bool miniPl) {
  if (miniPl)
    return {"Opcja realizuje pol`a`czenie pomie`dzy danymi ",
            "z modul`u ZUS oraz PL`ACE. Nie nalex`y bez potrzeby ",
            "ingerowac` w to pol`a`czenie, gdyx` mox`na je uszkodzic`.",
            "W razie bl`e`do`w podczas obliczen` lub przepisywania do PL`AC",
            "prosimy o kontakt z serwisem pl`acowym firmy Torv Zefiron."};
  return {"Opcja realizuje pol`a`czenie pomie`dzy danymi z modul`u ZUS oraz PL`ACE.",
          "Jes`li dota`d nie wykonano tego pol`a`czenia - nalex`y to koniecznie zrobic`",
          "przed przysta`pieniem do pracy w module ZUS. Korzystanie z opcji jest",
          "niezbe`dne takx`e po kax`dorazowym dokonaniu zmian w module INST dotycza`cych",
          "danych pl`acowych ba`dz` sl`owniko`w zwia`zanych z zasil`kami."};
}

// The five link arrays as they were on entry, to go back to when the user does not save.
class LinkSnapshot {
 public:
  LinkSnapshot() {
    for (size_t i = 0; i < kArrays.size(); ++i) {
      const rt::Value* a = vars().tryGet(kArrays[i]);
      if (a && a->isArray()) saved_[i] = a->arr();
    }
  }
  void restore() const {
    for (size_t i = 0; i < kArrays.size(); ++i) {
      if (!saved_[i]) continue;
      rt::Value* a = vars().find(kArrays[i]);
      if (!a || !a->isArray()) {
        vars().assign(kArrays[i], rt::Value::newArray(0));
        a = vars().find(kArrays[i]);
      }
      a->arr() = *saved_[i];  // the program's array itself, in place
    }
  }

 private:
  static constexpr std::array<const char*, 5> kArrays{"zas_slow", "zas_zus", "zas_place", "zas_dni",
                                                      "zas_dan"};
  std::array<std::optional<rt::Array>, 5> saved_;
};

void fillValueArrays() {
  rt::Memvars& v = vars();
  v.declarePrivate("zus_sl", rt::Value::newArray(1));
  v.declarePrivate("zus_skrot", rt::Value::newArray(kBenefitSlots));
  v.declarePrivate("zus_plac", rt::Value::newArray(kBenefitSlots));
  v.declarePrivate("zus_day", rt::Value::newArray(kBenefitSlots));
  v.declarePrivate("zus_skr", rt::Value::newArray(kDataSlots));
  selectAlias("sl");
  linkElement("zus_sl", 1) = txt(dictionaryShortName(linkElement("zas_slow", 1)));
  for (int n = 1; n <= kBenefitSlots; ++n)
    linkElement("zus_skrot", n) = txt(dictionaryShortName(linkElement("zas_zus", n)));
  for (int n = 1; n <= kBenefitSlots; ++n) {
    linkElement("zus_day", n) = txt(payrollAbbreviation(linkElement("zas_dni", n)));
    linkElement("zus_plac", n) = txt(payrollAbbreviation(linkElement("zas_place", n)));
  }
  for (int n = 1; n <= kDataSlots; ++n)
    linkElement("zus_skr", n) = txt(payrollAbbreviation(linkElement("zas_dan", n)));
}

void fillLabelArrays() {
  rt::Memvars& v = vars();
  v.declarePrivate("tab_sl", rt::Value::newArray(1));
  v.declarePrivate("tab_skrot", rt::Value::newArray(kBenefitSlots));
  v.declarePrivate("tab_day", rt::Value::newArray(kBenefitSlots));
  v.declarePrivate("tab_skr", rt::Value::newArray(kDataSlots));
  linkElement("tab_sl", 1) = txt(display("Sl`ownik zasil`ko`w     -  "));
  for (int n = 1; n <= kBenefitSlots; ++n) {
    linkElement("tab_skrot", n) = txt(padLabel(benefitSlotLabels()[size_t(n - 1)], 35));
    linkElement("tab_day", n) = txt(padLabel(daysSlotLabels()[size_t(n - 1)], 35));
  }
  for (int n = 1; n <= kDataSlots; ++n)
    linkElement("tab_skr", n) = txt(padLabel(dataSlotLabels()[size_t(n - 1)], 40));
}

std::string statusText() {
  return "Enter-wybo`r, 1..5-nr tabeli, " + std::string(1, char(27)) + "/" +
         std::string(1, char(26)) + " - poprz./nast. tabela,Del-kasowanie, Esc-koniec";
}

// Shows the tables one at a time until the user finishes.
void tableLoop() {
  rt::Memvars& v = vars();
  v.declarePrivate("tablica", rt::Value::newArray(kDataSlots));
  v.declarePrivate("dosyc_tego", rt::Value::logical(false));
  v.declarePrivate("jeszcze_nast", rt::Value::logical(false));
  v.declarePrivate("jeszcze_pop", rt::Value::logical(false));
  v.declarePrivate("nowy_nr", num(0));
  v.declarePrivate("wykasuj_to", rt::Value::logical(false));
  v.declarePrivate("nr_i", num(1));
  int table = 1;
  while (validTable(table)) {
    call("STATLINE", {txt(statusText())});
    v.assign("jeszcze_nast", rt::Value::logical(false));
    v.assign("jeszcze_pop", rt::Value::logical(false));
    v.assign("nowy_nr", num(0));
    // Each pass draws a new window over the same place; the outer window restores them all.
    call("_ROZWIN", {num(2), num(4), num(8), num(20), num(72), txt(linkTableHeading(table)), num(36)});
    rt::Value& rows = *v.find("tablica");
    rows.arr().assign(kDataSlots, txt(""));
    const int count = USTAL_TABL(table);
    if (table == 2 || table == 3) {
      linkElement("tab_skrot", 33) = txt(padLabel(table == 2 ? benefitSlotLabels()[32] : "Dana nieobsl`ugiwana", 35));
      SKORYGUJ_TABL(table, 33);
    }
    int start = 1;
    for (;;) {
      v.assign("wykasuj_to", rt::Value::logical(false));
      v.find("tablica")->arr().resize(size_t(count));
      int chosen = int(call("ACHOICE", {num(6), num(9), num(19), num(71), v.get("tablica"),
                                        rt::Value::logical(true), txt("oper_menu"), num(start),
                                        num(start - 1)})
                           .intOr(0));
      if (chosen == 0) {
        int typed = int(numVar("nowy_nr"));
        if (v.get("jeszcze_pop").logicalOr(false) && table > 1) --table;
        else if (v.get("jeszcze_nast").logicalOr(false) && table < kTables) ++table;
        else if (typed >= 1 && typed <= kTables) table = typed;
        else if (v.get("dosyc_tego").logicalOr(false)) table = -1;
        break;
      }
      WYKONAJ_FUNKCJE(table, chosen);
      call("CLEAR_KEYBOARD");
      SKORYGUJ_TABL(table, chosen);
      start = chosen >= count ? 1 : chosen + 1;
    }
    v.assign("nr_i", num(table));
  }
}

}  // namespace

std::string linkTableHeading(int table) {
  if (!validTable(table)) return std::string(76, ' ');
  return call("CENTR", {txt(kHeadings[table - 1]), num(76)}).strOr(kHeadings[table - 1]);
}

int USTAL_TABL(int table) {
  if (!validTable(table)) return 0;
  for (int n = 1; n <= kRows[table - 1]; ++n) linkElement("tablica", n) = txt(rowText(table, n));
  return kRows[table - 1];
}

void LOAD_ZUS() {
  rt::PrivateFrame frame(vars());
  if (!decide(false, "Czy dokonac` pol`a`czenia ?", introduction(varOr("mini_pl").logicalOr(false))))
    return;
  rt::Memvars& v = vars();
  v.declarePrivate("rozm1", num(kBenefitSlots));
  v.declarePrivate("rozm2", num(kDataSlots));
  v.declarePrivate("zn");
  const LinkSnapshot onEntry;
  SelectedArea area;
  OpenWindow outer(2, 0, 0, 22, 79, "Pol`a`czenie ZASIL`KI - PL`ACE", 32);
  if (!varOr("czy_jest_mem").logicalOr(false)) clearLinkArrays();
  if (!call("_OPEN_SET", {txt("SLOWNIK"), txt("E")}).logicalOr(false)) {
    // The dictionary is needed alone; the table set says nothing of a refused opening.
    call("KOM3", {txt("Baza SLOWNIK.DBF jest ux`ywana na innym stanowisku - opcja niewykonana !"),
                  num(0), num(0), num(6)});
    onEntry.restore();
    return;
  }
  fillValueArrays();
  fillLabelArrays();
  {
    ColourSet colours(36);
    tableLoop();
  }
  call("CLEAR_KEYBOARD");
  if (decide(true, "Czy zapisac` na dysk ?", {"Pol`a`czenie zakon`czone !"})) {
    WaitMessage saving("zapis na dysk");
    saveLinkFile();
  } else {
    onEntry.restore();
  }
  area.restore();
  call("_CLOSE_SET", {txt("SL")});
  outer.close();
  call("DANEPLAC", {num(1)});
}

void registerLinkEditorRoutines() {
  rt::Functions& f = rt::functions();
  f.add("LOAD_ZUS", [](rt::Args&) {
    LOAD_ZUS();
    return rt::Value();
  });
  f.add("OPER_MENU", [](rt::Args& a) { return num(OPER_MENU(int(a[0].intOr(3)))); });
  f.add("USTAL_NAGLOWEK", [](rt::Args& a) { return txt(linkTableHeading(int(a[0].intOr(0)))); });
  f.add("USTAL_TABL", [](rt::Args& a) { return num(USTAL_TABL(int(a[0].intOr(0)))); });
  f.add("SKORYGUJ_TABL", [](rt::Args& a) {
    SKORYGUJ_TABL(int(a[0].intOr(0)), int(a[1].intOr(0)));
    return rt::Value();
  });
  f.add("WYKONAJ_FUNKCJE", [](rt::Args& a) {
    WYKONAJ_FUNKCJE(int(a[0].intOr(0)), int(a[1].intOr(1)));
    return rt::Value();
  });
  f.add("WYKONAJ_SL", [](rt::Args& a) {
    WYKONAJ_SL(int(a[0].intOr(1)));
    return rt::Value();
  });
  f.add("WYKONAJ_SKROT", [](rt::Args& a) {
    WYKONAJ_SKROT(int(a[0].intOr(1)));
    return rt::Value();
  });
  f.add("WYKONAJ_DAN", [](rt::Args& a) {
    WYKONAJ_DAN(int(a[0].intOr(1)), int(a[1].intOr(5)));
    return rt::Value();
  });
}

}  // namespace zus
