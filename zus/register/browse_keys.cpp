// Key handler of the register browse and the windows it opens.
#include "zus/register/browse_keys.h"

#include <memory>
#include <string>
#include <vector>

#include "runtime/term/keyboard.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/get.h"
#include "runtime/ui/memo_edit.h"
#include "runtime/ui/read_modal.h"
#include "zus/register/benefit_record.h"
#include "zus/register/browse_delete.h"
#include "zus/register/form_edit.h"
#include "zus/register/form_support.h"
#include "zus/shell/settings_support.h"

namespace zus {

using namespace reg;
using rt::term::screen;
using settings::display;
using settings::say;

namespace {

constexpr int kF1 = 28, kF6 = -5, kF8 = -7, kF9 = -8, kCtrlF2 = -21;

// Routines of other parts of the register, reached by name; a missing one does nothing.
void hook(const char* name, std::vector<rt::Value> args = {}) {
  if (rt::functions().has(name)) call(name, std::move(args));
}

void openForm(bool newRecord) { hook("ED_NB", {yes(newRecord)}); }

bool isKey(int key, const char* suiteName) { return key == int(numVar(suiteName, -99999)); }

std::string years() {
  int year = payrollYear();
  return std::to_string(year - 1) + "-" + std::to_string(year);
}

bool askNewRecord() {
  return settings::decide(true, "Czy wprowadzic` nowy zasil`ek ?",
                          {"Pracownik nie ma jeszcze x`adnego zasil`ku",
                           "lub jest zal`ox`ony filtr na lata " + years()});
}

class CursorShown {
 public:
  CursorShown() { screen().setCursorShape(rt::term::CursorShape::Normal); }
  ~CursorShown() { screen().setCursorShape(rt::term::CursorShape::None); }
  CursorShown(const CursorShown&) = delete;
  CursorShown& operator=(const CursorShown&) = delete;
};

int handleKey(int key) {
  if (isKey(key, "Enter")) {
    openForm(false);
    return kRedraw;
  }
  if (isKey(key, "Ins")) {
    openForm(true);
    return kRedraw;
  }
  if (isKey(key, "Esc")) return kLeaveBrowse;
  if (isKey(key, "Del")) {
    if (!settings::decide(false, "Czy chcesz usuna`c` wskazany zapis o nieobecnos`ci ?", {}))
      return kGoOn;
    KAS_ZASILEK();
    return kRedraw;
  }
  switch (key) {
    case kF1:
      POMOC();
      break;
    case kF6:
      hook("NVIEW_DANE");
      break;
    case kCtrlF2:
      hook("DNI_GORNE");
      break;
    case kF9:
      DAJ_UWAGI();
      break;
    case kF8:
      if (fieldType("main", "data_zus") == "D") editStartDate();
      break;
    default:
      break;
  }
  return kGoOn;
}

}  // namespace

int DBE_NB(int tryb) {
  if (flagVar("brak_nb")) {
    if (!askNewRecord()) return kLeaveBrowse;
    openForm(true);
    return kRedraw;
  }
  int key = rt::term::keyboard().lastKey();
  if (tryb == kBrowseKey) return handleKey(key);
  if (tryb == kBrowseIdle) return isKey(key, "Ctrl_W") ? kLeaveBrowse : kGoOn;
  return kGoOn;
}

void editStartDate() {
  settings::ColourSet colours(38);
  settings::OpenWindow window(-1, 10, 10, 12, 70, "", 38);
  rt::Value start = field("main", "data_zus");
  std::string label = display("Podaj date` pocza`tku okresu zasil`kowego: ");
  say(11, 12, label);
  auto get = std::make_shared<rt::ui::Get>(
      11, 12 + int(label.size()) + 1, "DATA_ZUS", [&start] { return start; },
      [&start](const rt::Value& v) { start = v; });
  get->unselectedAttr = screen().colors().unselected();
  get->enhancedAttr = screen().colors().enhanced();
  rt::ui::GetList list{get};
  {
    CursorShown cursor;
    rt::ui::readModal(list);
  }
  // The employee record is locked since the employee was chosen.
  setField("main", "data_zus", start);
  commitEmployeeAndRegister();
}

int POMOC() {
  const int row = screen().row(), col = screen().col();
  call("STATLINE", {txt("Nacis`nij dowolny klawisz ...")});
  {
    settings::ColourSet colours(38);
    settings::OpenWindow window(-1, 7, 13, 21, 66, "Opis klawiszy pomocniczych:", 38);
    struct Line {
      const char* key;
      const char* text;
      bool shownThroughP;
    };
    static const Line lines[] = {
        {"Ctrl_F2", "- Edycja licznika dni chorobowego", true},
        {"Ctrl_F2", "- Edycja licznika dni opieki (ogo`l`em)", true},
        {"Ctrl_F2", "- Edycja licznika dni opieki (nie dziecko)", true},
        {"F6", "- Wys`wietlenie tabeli podstaw", true},
        {"F8", "- Edycja daty do kontroli dni wyn.za chor.", false},
        {"F9", "- Uwagi", false},
        {"Enter", "- Edycja zasil`ku", true},
        {"Ins", "- Wprowadzanie nowego zasil`ku", true},
        {"Del", "- Kasowanie zasil`ku", true},
        {"Esc", "- Wyjs`cie bez zapisu", true},
        {"Ctrl_W", "- Wyjs`cie z zapisem", true},
        {"Ctrl_F3", "- Ponowne przeniesienie do pl`ac (edycja)", true},
    };
    std::string bold = call("K_BOLD", {num(0)}).strOr("");
    int r = 9;
    for (const Line& l : lines) {
      settings::sayIn(r, 16, l.key, bold);
      say(r, 24, l.shownThroughP ? display(l.text) : l.text);
      ++r;
    }
    screen().setCursorShape(rt::term::CursorShape::None);
    call("E_INKEY", {num(0)});
  }
  call("STATLINE", {num(-1)});
  screen().setCursor(row, col);
  return 0;
}

void DAJ_UWAGI() {
  rt::ui::MemoEditResult edited;
  {
    settings::ColourSet colours(38);
    settings::OpenWindow window(-1, 10, 10, 19, 70, "Wpisz uwagi", 38);
    call("STATLINE",
         {txt("Home-Pocz.linii, End-Kon.linii, Ctrl_Y-Kasuj linie`, Ctrl_W-Zapis, Esc-Rezygn.")});
    call("READINSERT", {yes(true)});
    std::string before = fieldText("nieobec", "uwagi");
    {
      CursorShown cursor;
      // Esc gives the remarks back as they were, without a question.
      rt::ui::MemoEditOptions options;
      options.confirmAbort = false;
      edited = rt::ui::memoEdit(before, 11, 11, 18, 69, options);
    }
    call("STATLINE", {num(-1)});
    selectAlias("nieobec");
    // Only a locked record takes the text; Esc gave back the text as it was. Remarks typed for a
    // record another workstation holds are not stored, and the user is told so.
    if (call("_REC_LOCK").logicalOr(false)) {
      if (edited.text != before) {
        setField("nieobec", "uwagi", txt(edited.text));
        commitEmployeeAndRegister();
      }
    } else if (edited.text != before) {
      form::message(kRecordBusy, 3);
    }
  }
}

}  // namespace zus
