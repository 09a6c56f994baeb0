// DRUK_ZAS and its set-up, scope loops and page title.
#include "zus/reports/print_setup_run.h"

#include <algorithm>
#include <string>

#include "zus/reports/card_print.h"
#include "zus/reports/print_setup_access.h"
#include "zus/reports/print_setup_frames.h"
#include "zus/reports/settlement_print.h"

namespace zus {

using namespace cards;

namespace {

constexpr int kSlots = 33;
constexpr int kEsc = 27;
const char* const kNobodyHasBenefits = "X`aden z pracowniko`w nie otrzymal` zasil`ku we wskazanym okresie!";

bool printingCards() { return varNum("do_druku") == kPrintCards; }
bool printingSettlement() { return varNum("do_druku") == kPrintSettlement; }

rt::Value zeros() {
  rt::Value a = rt::Value::newArray(kSlots);
  for (rt::Value& e : a.arr()) e = rt::Value::integer(0);
  return a;
}

// The run's variables, declared in the frame of DRUK_ZAS: everything it calls reaches them by name.
void declareRunContext(int what) {
  rt::Memvars& v = vars();
  v.declarePrivate("do_druku", rt::Value::integer(what));
  v.declarePrivate("karty", rt::Value::integer(kPrintCards));
  v.declarePrivate("rozliczenia", rt::Value::integer(kPrintSettlement));
  v.declarePrivate("czy_nagl", rt::Value::logical(false));
  v.declarePrivate("brak_zas", rt::Value::logical(true));
  rt::Value kind = var("zusx_dt_obl");
  v.declarePrivate("r_dt_wdr", kind.isNum() ? kind : rt::Value::integer(1));
  for (const char* name : {"miesp", "miesk", "sel_area", "urzadzenie", "k", "il_blad", "il_obl", "zas_il"})
    v.declarePrivate(name, rt::Value::integer(0));
  v.declarePrivate("_miesp", rt::Value::date(0));
  v.declarePrivate("_miesk", rt::Value::date(0));
  for (const char* name : {"sel_ok", "akcja", "ok"}) v.declarePrivate(name, rt::Value::logical(false));
  for (const char* name : {"dr_z_info", "scr", "tytul_proc", "o_pracusiu", "slowo", "linia_pocz", "linia1_nagl",
                           "linia2_nagl", "linia_rozdz", "linia_ostat"})
    v.declarePrivate(name, rt::Value::text(""));
  v.declarePrivate("dev_tytul", rt::Value::newArray(2));
  v.declarePrivate("bufor", rt::Value::newArray(0));
  for (const char* name : {"il_zas", "wart_zas", "il_prac", "wart_prac"}) v.declarePrivate(name, rt::Value::newArray(kSlots));
  for (const char* name : {"zn_pocz0", "zn_pocz1", "zn_kon1", "zn_poz1", "zn_lg", "zn_ld", "zn_l1", "zn_rlg", "zn_rpg",
                           "zn_rld", "zn_rpd", "zn_pion"})
    v.declarePrivate(name, rt::Value::text(""));
  for (int i = 1; i <= 15; ++i) v.declarePrivate("kol" + std::to_string(i), rt::Value::integer(0));
}

void setTitle(int line, const std::string& text) {
  rt::Value t = var("dev_tytul");
  if (t.isArray() && t.arr().size() >= size_t(line)) t.arr()[size_t(line - 1)] = rt::Value::text(text);
}

// Employee caption: names, then the additional number or the employee number.
std::string employeeCaption() {
  std::string caption = trim(fldText("main", "nazwisko")) + " " + trim(fldText("main", "imie"));
  if (varBool("czy_pseudo")) return caption + "  Nr dod." + fldText("main", "nr_pseudo");
  return caption + "    Nr " + fldText("main", "nr_prac");
}

// The payroll library's access check for the employee MAIN stands on; the check keeps its
// buffer between calls.
bool employeeVisible() {
  rt::Args check;
  check.push(var("bufor"), vars().ref("bufor"));
  check.push(rt::Value::logical(false));
  return rt::functions().call("SPRMAINUPR", check).logicalOr(false);
}

// Range 3: MAIN on the chosen employee by number. An employee who is not there, or whom the
// access check refuses, gets a message and nothing is printed.
bool chosenEmployeeFound(bool tell) {
  select("main");
  setOrder(1);
  std::string number = varText("ky_tab");
  if (!seek(number)) {
    if (tell)
      call("KOM3", {rt::Value::text("Nie ma w kartotece pracownika nr " + trim(number) + " !"),
                    rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
    return false;
  }
  if (!employeeVisible()) {
    if (tell)
      call("KOM3", {rt::Value::text("Brak uprawnien` do danych pracownika nr " + trim(number) + " !"),
                    rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(3)});
    return false;
  }
  return true;
}

// Esc or a failing device cut the print short: the loops stop and nothing more is printed.
bool printCutShort() { return call("DEV_PRZERWANY").logicalOr(false); }

// One employee of a loop: the card or the settlement's accumulation, NIEOBEC selected.
void printEmployee(const std::string& caption) {
  select("nieobec");
  if (printingCards()) DR_KART(caption);
  else ZLICZ_ZAS();
}

std::string monthText(int monthsBack) {
  int month = int(call("_MIESIAC", {rt::Value::integer(monthsBack)}).intOr(1));
  int year = int(call("_ROK", {rt::Value::integer(monthsBack)}).intOr(0));
  return element("tab_mies", size_t(month)).strOr("") + " " + str(year, 4);
}

std::string periodText() {
  int first = int(varNum("miesp")), last = int(varNum("miesk"));
  if (first == last) return "  " + monthText(first) + " ";
  return "okres " + monthText(first) + " - " + monthText(last);
}

// Closes the run's table sets and selects the work area of the start again.
void closeTables() {
  call("_CLOSE_SET", {rt::Value::text("MAIN_2")});
  call("_CLOSE_SET", {rt::Value::text("MAIN")});
  selectArea(int(varNum("sel_area")));
}

void closeWindow() { call("ZWIN", {var("scr")}); }

bool openMainSet() {
  bool cards = printingCards();
  int range = int(varNum("ky_zakres"));
  vars().assign("akcja", rt::Value::logical(true));
  while (varBool("akcja")) {
    bool ok = cards ? call("_OPEN_SET", {rt::Value::text("MAIN |SLOWNIK |DANE_WE |ARCHIW |STATUS |NIEOBEC"),
                                         rt::Value::text("SSSSSS")}).logicalOr(false)
                    : call("_OPEN_SET", {rt::Value::text("MAIN |SLOWNIK |STATUS |NIEOBEC"), rt::Value::text("SSsS")})
                          .logicalOr(false);
    vars().assign("ok", rt::Value::logical(ok));
    if (ok) {
      select("main");
      if (range == 1 || range == 3) setOrder(varBool("lum_alfa") ? 2 : 1);
      else if (range == 2) call("ORDSETFOCUS", {rt::Value::text(varText("ky_index"))});
      return true;
    }
    call("KOM2", {rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(1), rt::Value::logical(true)});
    vars().assign("akcja", rt::Value::logical(call("LASTKEY").intOr(0) != kEsc));
  }
  return false;
}

// Closes the device of a run however the loops end.
class DeviceCloser {
 public:
  ~DeviceCloser() {
    if (varNum("urzadzenie") == 0) return;
    try {
      call("DEV_CLOSE");
    } catch (...) {
      // Closing after a failure: the failure itself is what the user must see.
    }
  }
};

// Closes the tables of a set-up that succeeded, however the run ends.
class TableCloser {
 public:
  ~TableCloser() {
    try {
      closeTables();
    } catch (...) {
    }
  }
};

void sortGroupKeys(rt::Value& keys) {
  std::stable_sort(keys.arr().begin(), keys.arr().end(),
                   [](const rt::Value& a, const rt::Value& b) { return a.strOr("") < b.strOr(""); });
}

}  // namespace

bool DR_Z_INI() {
  rt::Memvars& v = vars();
  rt::Value captions = rt::Value::newArray(0);
  captions.arr().push_back(rt::Value::text(display(" Data kon`cza`ca zasil`ek ")));
  captions.arr().push_back(rt::Value::text(display(" Data wypl`aty zasil`ku ")));
  v.assign("sel_area", rt::Value::integer(selectedArea()));
  v.assign("miesp", rt::Value::integer(0));
  v.assign("miesk", rt::Value::integer(0));

  std::vector<rt::Value> menuArgs{captions, rt::Value::integer(10), rt::Value::integer(30), var("r_dt_wdr")};
  for (int i = 0; i < 6; ++i) menuArgs.emplace_back();
  menuArgs.push_back(rt::Value::text("Wybierz rodzaj daty"));
  int64_t kind = call("MENU", menuArgs).intOr(0);
  v.assign("r_dt_wdr", rt::Value::integer(kind));
  if (kind == 0) {
    call("_CLOSE_SET", {rt::Value::text("MAIN")});
    selectArea(int(varNum("sel_area")));
    return false;
  }

  rt::Args period;
  period.push(rt::Value::integer(8));
  period.push(rt::Value::integer(20));
  period.push(var("miesp"), v.ref("miesp"));
  period.push(var("miesk"), v.ref("miesk"));
  bool chosen = rt::functions().call("WYB_OKRESU", period).logicalOr(false);
  v.assign("sel_ok", rt::Value::logical(chosen));
  if (!chosen) return false;

  int32_t working = varDate("lum_data");
  v.assign("_miesp", rt::Value::date(addMonths(working, -int(varNum("miesp")))));
  v.assign("_miesk", rt::Value::date(addMonths(working, -int(varNum("miesk")))));
  v.assign("scr", call("KOM4", {rt::Value::text("przygotowanie danych")}));
  setTitle(2, "");
  v.assign("tytul_proc", rt::Value::text("_rob_tytul"));

  bool cards = printingCards();
  setFrameVariables(cards);
  if (!cards)
    for (const char* name : {"il_zas", "wart_zas", "il_prac", "wart_prac"}) v.assign(name, zeros());

  if (!openMainSet()) {
    call("_CLOSE_SET", {rt::Value::text("MAIN")});
    selectArea(int(varNum("sel_area")));
    closeWindow();
    return false;
  }
  if (!call("_OPEN_SET", {rt::Value::text("MAIN_2"), rt::Value::text("S")}).logicalOr(false)) {
    call("_CLOSE_SET", {rt::Value::text("MAIN")});
    selectArea(int(varNum("sel_area")));
    closeWindow();
    return false;
  }
  v.assign("dr_z_info", rt::Value::text(periodText()));
  call("DEV");
  v.assign("urzadzenie", rt::Value::integer(0));
  closeWindow();
  return true;
}

void DR_ZAS1() {
  if (printingCards()) setTitle(1, "Karty zasil`kowe dla wszystkich pracowniko`w za " + varText("dr_z_info"));
  else if (printingSettlement()) setTitle(1, "Rozliczenia zasil`ko`w dla wszystkich pracowniko`w za " + varText("dr_z_info"));
  else return;

  select("main");
  for (goTop(); !atEof() && !printCutShort(); skip()) {
    std::string caption = employeeCaption();
    vars().assign("o_pracusiu", rt::Value::text(caption));
    if (employeeVisible()) printEmployee(caption);
    select("main");
  }
  if (printCutShort()) return;
  if (printingSettlement()) DR_ROZL();
  else if (varBool("brak_zas")) devLine(kNobodyHasBenefits);
}

void DR_ZAS2() {
  if (printingCards()) setTitle(1, "Karty zasil`kowe dla wybranych pracowniko`w za " + varText("dr_z_info"));
  else if (printingSettlement()) setTitle(1, "Rozliczenia dla wybranych pracowniko`w za " + varText("dr_z_info"));
  else return;

  select("main");
  rt::Value keys = var(varText("ky_tab"));
  if (!keys.isArray()) keys = rt::Value::newArray(0);
  sortGroupKeys(keys);
  goTop();
  std::string field = trim(varText("ky_index"));
  for (size_t k = 1; k <= keys.arr().size() && !printCutShort(); ++k) {
    std::string key = keys.arr()[k - 1].strOr("");
    vars().assign("slowo", rt::Value::text(key));
    vars().assign("k", rt::Value::integer(int64_t(k)));
    select("sl");
    seek(key);
    std::string group = std::string(12, ' ') + fldText("sl", "skrot") + " - " + fldText("sl", "nazwa") +
                        std::string(5, ' ') + fldText("sl", "mnemo");
    if (printingCards()) {
      setTitle(2, group);
      vars().assign("brak_zas", rt::Value::logical(true));
    } else {
      setTitle(2, "");
      vars().assign("dev_linia", rt::Value::text(group));
    }
    select("main");
    seek(key);
    for (; !atEof() && hasField("main", field) && fldText("main", field) == key && !printCutShort(); skip()) {
      std::string caption = employeeCaption();
      vars().assign("o_pracusiu", rt::Value::text(caption));
      if (employeeVisible()) printEmployee(caption);
      select("main");
    }
    if (printingCards() && varBool("brak_zas")) {
      if (varNum("dev_ll") > 2) devLine(group);
      devLine(kNobodyHasBenefits);
    }
  }
  if (printingSettlement() && !printCutShort()) DR_ROZL();
}

void DR_ZAS3(bool fromSelection) {
  select("main");
  std::string info = varText("dr_z_info");
  std::string caption;
  if (!fromSelection) {
    if (!chosenEmployeeFound(false)) return;
    caption = employeeCaption();
    setTitle(1, printingCards() ? "Karta zasil`kowa dla pracownika " + caption + "  za " + info
                                : "Rozliczenie dla pracownika " + caption + "  za " + info);
  } else {
    if (!employeeVisible()) return;
    caption = employeeCaption();
    setTitle(1, printingCards() ? "Karta zasil`kowa dla wybranych pracowniko`w za " + info
                                : "Rozliczenie dla wybranych pracowniko`w za " + info);
  }
  select("nieobec");
  if (printingCards()) {
    DR_KART(caption);
    if (varBool("brak_zas") && !fromSelection && !printCutShort())
      devLine("Pracownik: " + caption + " - nie otrzymal` x`adnych zasil`ko`w we wskazanym okresie!");
  } else {
    ZLICZ_ZAS();
    if (!fromSelection) DR_ROZL();
  }
  select("main");
}

void _ROB_TYTUL() {
  rt::Settings& s = rt::context().settings;
  struct ScreenBack {
    rt::Settings& s;
    ~ScreenBack() {
      s.console = true;
      s.printer = false;
    }
  } back{s};
  s.printer = true;
  s.console = false;

  rt::Value titles = var("dev_tytul");
  if (titles.isArray() && !titles.arr().empty() && titles.arr()[0].isNil()) titles.arr()[0] = rt::Value::text("");
  std::string first = element("dev_tytul", 1).strOr(""), second = element("dev_tytul", 2).strOr("");
  std::string pageNo = str(varNum("dev_ss"), 3);
  call("QQOUT", {rt::Value::text("str  " + pageNo + std::string(7, ' ') +
                                 call("_PRNN", {rt::Value::text(first)}).strOr(""))});
  call("QOUT", {call("_PRNN", {rt::Value::text(second)})});
  vars().assign("dev_ll", rt::Value::integer(int64_t(varNum("dev_ll")) + 2));
}

void DRUK_ZAS(int what) {
  rt::Memvars& v = vars();
  rt::PrivateFrame frame(v);
  declareRunContext(what);
  if (!varBool("czy_jest_mem")) {
    call("KOMUNIKAT");
    return;
  }
  if (what == kPrintCards) {
    bool full = call("DECYZJA", {rt::Value::logical(false), rt::Value::text("Czy drukowac` pel`ne nagl`o`wki ?"),
                                 rt::Value::integer(0), rt::Value::integer(0)})
                    .logicalOr(false);
    v.assign("czy_nagl", rt::Value::logical(full));
  }
  if (!DR_Z_INI()) return;

  TableCloser tables;
  int range = int(varNum("ky_zakres"));
  if (range == 3 && !chosenEmployeeFound(true)) return;
  if (range != 4) {
    call("WYB_URZ");
    if (varNum("urzadzenie") == 0) return;
    call("DEV_OPEN");
  }
  DeviceCloser device;
  switch (range) {
    case 1: DR_ZAS1(); break;
    case 2: DR_ZAS2(); break;
    case 3: DR_ZAS3(); break;
    case 4: {
      bool cards = what == kPrintCards;
      rt::Value each = rt::Value::block(rt::nativeBlock([](std::vector<rt::Value>&) {
        DR_ZAS3(true);
        return rt::Value();
      }, "{|| DR_ZAS3(.T.)}"));
      rt::Value closing;
      if (!cards)
        closing = rt::Value::block(rt::nativeBlock([](std::vector<rt::Value>&) {
          DR_ROZL();
          return rt::Value();
        }, "{|| DR_ROZL()}"));
      call("GEN_PLACE", {rt::Value::text(cards ? "zus_kart" : "zus_rozl"), rt::Value::integer(8), rt::Value(), each,
                         closing, rt::Value(),
                         rt::Value::text(cards ? "Drukowanie kart zasil`kowych" : "Drukowanie rozliczenia zasil`ko`w")});
      break;
    }
    default: break;
  }
}

}  // namespace zus
