// The choice of the personnel items over DANE_KD.
#include "zus/shell/personnel_items.h"

#include "runtime/core/expr.h"
#include "runtime/term/keys.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/db_edit.h"
#include "zus/shell/memory_files.h"
#include "zus/shell/settings_support.h"

namespace zus {
namespace {

using namespace settings;
using namespace rt::term;

constexpr int kSearchRow = 23;
constexpr int kSearchCol = 16;

std::string trim(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

rt::Value item(const char* fieldName) { return rt::evalText(std::string("dane_kd->") + fieldName); }

std::string itemFile() { return settingsPath(kPersonnelItemFile) + memFileExtension(); }

void restoreChoices() {
  if (settingsFileExists(itemFile())) restoreMemoryFile(itemFile());
}

std::string searchColours() { return call("K_SET_KOLOR", {num(0), num(33)}).strOr(""); }

void showDetails() {
  call("K_BOLD", {num(-1), num(38)});
  if (!call("EOF").logicalOr(true)) {
    int length = int(item("dlugosc").numOr(0));
    int decimals = int(item("po_kropce").numOr(0));
    char digits[8];
    std::snprintf(digits, sizeof digits, "%2d", length % 100);
    std::string shown = O_TYPIE(item("typ").strOr("")) + " " + digits;
    if (decimals == 0) shown += "  ";
    else shown += "." + std::to_string(decimals % 10);
    say(19, 23, shown);
    say(20, 19, item("slownik").logicalOr(false) ? "TAK" : "NIE");
  }
  say(20, 33, std::string(14, ' '));
  say(20, 63, std::string(6, ' '));
  call("K_NORM");
}

// A character of code page 852 that can be part of a name: everything from the blank up, except
// the code the keyboard gives Ctrl+Backspace.
bool printable(int key) { return key >= 32 && key <= 255 && key != K_CTRL_BS; }

void seekTyped(const std::string& typed) {
  call("DBSEEK", {call("_PL", {txt(typed)}), rt::Value::logical(false)});
  keyboard().push(0);  // the browse draws again around the record found
}

int KDR_OBSL(int mode) {
  const int key = keyboard().lastKey();
  showDetails();
  if (mode == rt::ui::kDeException) {
    std::string typed = textVar("szukanie");
    if (key == K_ENTER) {
      // With no item on the screen there is nothing to choose: the browse goes on.
      if (call("EOF").logicalOr(true)) return 1;
      std::string field = trim(item("atrybut").strOr(""));
      vars().assign(int(numVar("_co")) == 1 ? "zkdr_du" : "zkdr_do", txt(field));
      saveMemoryFile(itemFile(), "zkdr_*");
      return 0;
    }
    if (key == K_ESC) return 0;
    if (printable(key)) {
      typed += char(key);
      vars().assign("szukanie", txt(typed));
      seekTyped(typed);
      sayIn(kSearchRow, kSearchCol, typed, searchColours());
      return 1;
    }
    if (key == K_BS) {
      if (!typed.empty()) typed.pop_back();
      vars().assign("szukanie", txt(typed));
      seekTyped(typed);
      sayIn(kSearchRow, kSearchCol, typed + " ", searchColours());
      return 1;
    }
    if (key == -9) {  // F10: the search starts afresh
      vars().assign("szukanie", txt(""));
      seekTyped("");
      sayIn(kSearchRow, kSearchCol, std::string(60, ' '), searchColours());
      return 1;
    }
    return 1;
  }
  if (mode == rt::ui::kDeIdle && key == K_CTRL_W) return 0;
  return 1;
}

void WYB_KDR(int co) {
  rt::PrivateFrame frame(vars());
  SelectedArea area;
  vars().declarePrivate("xk", num(17));
  vars().declarePrivate("y", num(1));
  vars().declarePrivate("szukanie", txt(""));
  Screen& s = screen();
  {
    OpenWindow background(-2, 0, 0, 22, 79, "", 32);
    std::string savedRow = s.save(kSearchRow, 0, kSearchRow, 79);
    std::string label = "Tekst szukania: ";
    label.resize(60, ' ');
    sayIn(kSearchRow, 0, label, searchColours());
    call("_ROZWIN", {num(1), num(17), num(1), num(21), num(78), txt(""), num(38)});
    {
      ColourSet detailColours(38);
      say(19, 2, display("Typ danej i dl`ugos`c`:"));
      say(20, 2, display("Czy sl`ownikowa ?"));
      say(20, 23, display("Sl`ownik:"));
      say(20, 49, display("Rodzaj nazwy:"));
      call("K_SET_ZESTAW", {num(35)});
      OpenWindow browseWindow(1, 2, 1, 17, 78, "", 35);
      call("STATLINE", {txt("Enter-Wybo`r, Esc/Ctrl_W-Wyjs`cie")});
      call("DBSELECTAREA", {txt("dane_kd")});
      std::string wanted = co == 1 ? "D" : "C";
      call("CMFILTER", {txt("dane_kd->kod_b == 2 .AND. !slownik .AND. typ == '" + wanted + "'")});
      call("DBGOTOP");
      std::string chosen = textVar(co == 1 ? "zkdr_du" : "zkdr_do");
      if (!chosen.empty() && !call("DBSEEK", {txt(chosen)}).logicalOr(false)) call("DBGOTOP");
      call("ORDSETFOCUS", {num(1)});
      vars().declarePrivate("_co", num(co));

      rt::ui::DbEditSpec view;
      view.top = 3;
      view.left = 2;
      view.bottom = 16;
      view.right = 77;
      view.columns = {"_p (dane_kd->nazwa)"};
      view.pictures = {std::string(40, 'X')};
      view.headings = {"Nazwa danej"};
      view.userFunction = "kdr_obsl";
      view.headSep = std::string("\xC4\xC2\xC4");
      rt::ui::dbEditSelected(view);
      browseWindow.close();
      background.close();
    }
    s.restore(kSearchRow, 0, kSearchRow, 79, savedRow);
  }
  call("STATLINE", {num(-1)});
  call("CMFILTER", {txt("")});
}

}  // namespace

std::string O_TYPIE(const std::string& typ) {
  std::string name;
  if (typ == "C") name = "Znakowy";
  else if (typ == "N") name = "Numeryczny";
  else if (typ == "L") name = "Logiczny";
  else if (typ == "D") name = "Data";
  name.resize(10, ' ');
  return name;
}

void Z_KADRAMI(int co) {
  rt::PrivateFrame frame(vars());
  vars().declarePrivate("co", num(co));
  SelectedArea area;
  restoreChoices();
  if (!call("_OPEN_SET", {txt("DANE_KD"), txt("S")}).logicalOr(false)) {
    message("Nie mox`na otworzyc` tabeli danych kadrowych DANE_KD - wskazanie niemox`liwe !");
    return;
  }
  call("DBSELECTAREA", {txt("dane_kd")});
  call("ORDSETFOCUS", {num(4)});
  std::string chosen = co == 1 ? textVar("zkdr_du") : co == 2 ? textVar("zkdr_do") : "";
  std::string name;
  if (!chosen.empty() && call("DBSEEK", {txt(chosen)}).logicalOr(false))
    name = item("nazwa").strOr("");
  if (co == 1 || co == 2) {
    std::string first = co == 1 ? "W opcji nalex`y wskazac` date` pocza`tku ubezpiecznia chorobowego"
                                : "W opcji nalex`y wskazac` numer dowodu osobistego";
    std::string second = trim(name).empty() ? "Jeszcze nie dokonano wskazania danej."
                                            : "Poprzednio wskazano dana`: " + trim(name);
    if (decide(false, "Czy wskazac` dana` kadrowa`?", {first, second})) {
      WYB_KDR(co);
      area.restore();
    }
  }
  call("_CLOSE_ONLY", {txt("DANE_KD")});
}

void registerPersonnelItemRoutines() {
  rt::Functions& f = rt::functions();
  f.add("Z_KADRAMI", [](rt::Args& a) {
    Z_KADRAMI(int(a[0].intOr(0)));
    return rt::Value();
  });
  f.add("WYB_KDR", [](rt::Args& a) {
    WYB_KDR(int(a[0].intOr(0)));
    return rt::Value::logical(true);
  });
  f.add("KDR_OBSL", [](rt::Args& a) { return num(KDR_OBSL(int(a[0].intOr(0)))); });
}

}  // namespace zus
