// The mapping screen: one row per benefit slot of the link (label, dictionary short name of the
// slot's kind, absence code, percentage code) and a row editor for the two codes.
//
// The codes stand right after the short name, whatever its width (`len_slow`), so that the two
// edit fields always stand over them. A confirmed row edit moves on to the next editable row's
// editor by itself; the last such row goes back to the list with the edits kept in memory. Ctrl+W
// in an editor saves, as the list's Ctrl+W or Ctrl+Enter does; the list's Esc drops the edits.
// A slot without a benefit kind has nothing its codes could be stored under: it is not edited.
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/term/keys.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/achoice.h"
#include "runtime/ui/read_modal.h"
#include "zus/shell/settings_support.h"
#include "zus/transfer/reset_mappings.h"
#include "zus/transfer/reset_settings.h"

namespace zus {
namespace {

using namespace settings;
namespace rm = reset_map;

constexpr int kSlots = 33;
constexpr int kListTop = 3, kListLeft = 3, kListBottom = 21, kListRight = 76;

const char* const kSlotLabels[kSlots] = {
    "Zasil`ek chorobowy ZUS",         "Zasil`ek opiekun`czy",
    "Zasil`ek porodowy",              "Zasil`ek macierzyn`ski",
    "S`rednia podst. urlopu wych.",   "Zasil`ek wyro`wnawczy",
    "S`wiadczenie rehabilit.",        "Zasil`ek rodzinny",
    "Zasil`ek piele`gnacyjny",        "Wynagrodzenie za chorobe`",
    "Zasil`ek pogrzebowy",            "Zasil`ek inny_1",
    "Zasil`ek inny_2",                "Wynagr. za chorobe` szpital.",
    "Zasil`ek chor. ZUS szpital",     "Zasil`ek chor. ZUS pr.zwoln.",
    "Zasil`ek chor. ZUS z umowy dod.", "Zasil`ek opiekun`. z umowy dod.",
    "Zasil`ek macierz.  z umowy dod.", "Wynagr.za chorobe` z umowy dod.",
    "Zasil`ek chor. (ZUS) 1",         "Zasil`ek chor. (ZUS) 2",
    "Zasil`ek chor. (ZUS) 3",         "Wynagr.za chorobe` 1",
    "Wynagr.za chorobe` 2",           "Wynagr.za chorobe` 3",
    "Zasil`ek chor. ZUS wypadek",     "S`wiad. rehab. wypadek",
    "Zasil`ek inny_3",                "Zasil`ek inny_4",
    "Zasil`ek inny_5",                "Wyro`wnanie zasil`ku macierzyn`skiego",
    "Niepl`. z tyt. nienab. praw do zas.",
};

std::string fitted(const std::string& s, size_t width) {
  return s.size() >= width ? s.substr(0, width) : s + std::string(width - s.size(), ' ');
}

// A slot's kind code as the link holds it; nothing when the slot has no text (or no link).
std::optional<std::string> slotKind(int slot) {
  if (!varOr("czy_jest_mem").logicalOr(false)) return std::string();
  const rt::Value* codes = vars().tryGet("zas_zus");
  if (!codes || !codes->isArray() || size_t(slot) > codes->arr().size()) return std::nullopt;
  const rt::Value& v = codes->arr()[size_t(slot - 1)];
  if (!v.isChar()) return std::nullopt;
  return v.str();
}

bool hasKind(int slot) {
  std::optional<std::string> kind = slotKind(slot);
  return kind && kind->find_first_not_of(' ') != std::string::npos;
}

std::string codesText(const std::string& absence, const std::string& percent) {
  return fitted(absence, 2) + "  " + fitted(percent, 2) + "  ";
}

class MappingScreen {
 public:
  MappingScreen() : shortWidth_(size_t(std::max(0.0, numVar("len_slow", 10)))) {}

  // False when the dictionary could not be opened alone.
  bool run() {
    SelectedArea area;
    ResetSettingsScope settingsScope;
    OpenWindow window(2, 0, 0, 22, 79, "Powia`zanie rodzajo`w nieobecnos`ci ZEFIRON - RESET", 32);
    if (!call("_OPEN_SET", {txt("SLOWNIK"), txt("E")}).logicalOr(false)) return false;
    struct CloseDictionary {
      ~CloseDictionary() {
        try {
          call("_CLOSE_SET", {txt("SL")});
        } catch (...) {  // an error already on its way is the one to report
        }
      }
    } closeDictionary;
    buildRows();
    ColourSet colours(36);
    std::string title = display("Tablica powia`zan` rodzjo`w nieobecnos`ci");
    say(kListTop - 1, kListLeft + (kListRight - kListLeft + 1 - int(title.size())) / 2, title);
    listLoop();
    return true;
  }

 private:
  size_t prefixWidth() const { return 38 + shortWidth_; }

  void buildRows() {
    rows_.clear();
    for (int slot = 1; slot <= kSlots; ++slot) {
      std::string shortName(shortWidth_, ' ');
      std::optional<std::string> kind = slotKind(slot);
      if (kind && !kind->empty() && call("DBSEEK", {txt(*kind)}).logicalOr(false))
        shortName = fitted(display(call("FIELDGET", {call("FIELDPOS", {txt("skrot")})}).strOr("")), shortWidth_);
      std::string label = call("ROWNAJ_L", {txt(display(kSlotLabels[slot - 1])), num(35)}).strOr("");
      std::string kindCode = kind.value_or("");
      rows_.push_back(fitted(label, 35) + " - " + shortName +
                      codesText(rm::absenceCode(kindCode), rm::percentCode(kindCode)));
    }
  }

  void listLoop() {
    rt::term::Keyboard& kb = rt::term::keyboard();
    int c = 1;
    while (c != 0) {
      const int height = kListBottom - kListTop + 1;
      c = rt::ui::achoice(kListTop, kListLeft, kListBottom, kListRight, rt::ui::ChoiceItems::of(rows_),
                          [&kb](int mode, int, int) {
                            if (mode != rt::ui::kAcException) return int(rt::ui::kAcContinue);
                            int key = kb.lastKey();
                            if (key == rt::term::K_ENTER) return int(rt::ui::kAcSelect);
                            if (key == rt::term::K_ESC || key == rt::term::K_CTRL_W ||
                                key == rt::term::K_CTRL_ENTER)
                              return int(rt::ui::kAcAbort);
                            return int(rt::ui::kAcContinue);
                          },
                          std::max(1, c), std::min(std::max(1, c), height) - 1);
      int key = kb.lastKey();
      if (key == rt::term::K_CTRL_W || key == rt::term::K_CTRL_ENTER) {
        saveResetSettings();
        return;
      }
      if (c <= 0) return;
      if (!hasKind(c)) {
        call("KOM3", {txt("Ta pozycja nie ma przypisanego rodzaju zasil`ku - nie mox`na jej powia`zac`."), num(0),
                      num(0), num(3)});
        continue;
      }
      bool saved = false;
      c = editChain(c, saved);
      if (saved) return;
    }
  }

  // Edits row c and, while the user confirms with Enter, the rows after it; the row the list
  // shows next.
  // Ctrl+W in an editor saves the lists and ends the screen (`saved`).
  int editChain(int c, bool& saved) {
    rt::term::Keyboard& kb = rt::term::keyboard();
    if (!editRow(c, rt::term::screen().row())) {
      call("CLEAR_KEYBOARD");
      return c;
    }
    int key = kb.lastKey();
    if (key == rt::term::K_CTRL_W) {
      saveResetSettings();
      saved = true;
      return c;
    }
    int next = c + 1;
    while (next <= kSlots && !hasKind(next)) ++next;
    if (call("K_CLOSE", {num(key)}).logicalOr(false) || next > kSlots) return c;
    // The next row's editor opens at once: the list comes back with the next editable row
    // current, and Enter chooses it.
    kb.stuff("\r");
    return next;
  }

  // The two code fields of a row; false when left with Esc (nothing changes).
  bool editRow(int c, int screenRow) {
    std::optional<std::string> kind = slotKind(c);
    std::string kindCode = kind.value_or("");
    rt::Value absence = txt(fitted(rm::absenceCode(kindCode), 2));
    rt::Value percent = txt(fitted(rm::percentCode(kindCode), 2));
    {
      ColourSet colours(38);
      call("K_NORM");
      rt::term::Screen& s = rt::term::screen();
      int col = kListLeft + int(prefixWidth());
      auto field = [&](int at, const char* name, rt::Value& value) {
        auto g = std::make_shared<rt::ui::Get>(screenRow, at, name, [&value] { return value; },
                                               [&value](const rt::Value& v) { value = v; }, "XX");
        g->unselectedAttr = s.colors().unselected();
        g->enhancedAttr = s.colors().enhanced();
        return g;
      };
      rt::ui::GetList list{field(col, "KOD_NB", absence), field(col + 4, "KOD_PR", percent)};
      call("STATLINE", {txt("Enter/Ctrl+W-Potwierdzenie,Esc-Rezygnacja")});
      rt::ui::readModal(list);
      call("STATLINE", {num(-1)});
    }
    if (rt::term::keyboard().lastKey() == rt::term::K_ESC) return false;
    apply(rm::kAbsenceList, kindCode, fitted(absence.strOr(""), 2));
    apply(rm::kPercentList, kindCode, fitted(percent.strOr(""), 2));
    rows_[size_t(c - 1)] = rows_[size_t(c - 1)].substr(0, prefixWidth()) +
                           codesText(rm::absenceCode(kindCode), rm::percentCode(kindCode));
    return true;
  }

  static void apply(const char* listVar, const std::string& kind, const std::string& code) {
    std::string list = rm::listOf(listVar);
    bool empty = code.find_first_not_of(' ') == std::string::npos;
    rm::setList(listVar, empty ? rm::removed(list, kind) : rm::added(list, kind, code));
  }

  size_t shortWidth_;
  std::vector<std::string> rows_;
};

}  // namespace

bool RS_RODZ_NB() {
  MappingScreen screen;
  return screen.run();
}

}  // namespace zus
