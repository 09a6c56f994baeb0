// The payout hint dates, the print parameters and the settings menu entry.
#include "zus/shell/payout_dates.h"

#include <optional>
#include <vector>

#include "runtime/term/keys.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/read_modal.h"
#include "zus/shell/memory_files.h"
#include "zus/shell/params_editor.h"
#include "zus/shell/settings_support.h"

namespace zus {
namespace {

using namespace settings;
using rt::term::screen;

constexpr int kMaxDates = 9;

std::string dateVar(int i) { return "zusx_d" + std::to_string(i); }

class VisibleCursor {
 public:
  VisibleCursor() {
    screen().setCursorShape(rt::term::CursorShape::Normal);
  }
  // Hidden after the read, whatever it was before.
  ~VisibleCursor() { screen().setCursorShape(rt::term::CursorShape::None); }
  VisibleCursor(const VisibleCursor&) = delete;
  VisibleCursor& operator=(const VisibleCursor&) = delete;
};

rt::ui::GetPtr fieldOn(int row, int col, rt::Value& value, const std::string& picture) {
  auto get = std::make_shared<rt::ui::Get>(
      row, col, "DATY", [&value] { return value; }, [&value](const rt::Value& v) { value = v; },
      picture);
  get->unselectedAttr = screen().colors().unselected();
  get->enhancedAttr = screen().colors().enhanced();
  return get;
}

// SAVEGETS on construction, RESTGETS with what it gave on destruction.
class FormFieldsAside {
 public:
  FormFieldsAside() : saved_(call("SAVEGETS")) {}
  ~FormFieldsAside() { call("RESTGETS", {saved_}); }
  FormFieldsAside(const FormFieldsAside&) = delete;
  FormFieldsAside& operator=(const FormFieldsAside&) = delete;

 private:
  rt::Value saved_;
};

bool lastKeyWasEsc() { return rt::term::keyboard().lastKey() == rt::term::K_ESC; }

}  // namespace

void saveParameters() { saveMemoryFile(settingsPath(kParameterFile), "zusx_*"); }

void ED_DATY(int x, int y, int dl, bool askCount) {
  rt::Value daty = varOr("zusx_daty", num(0));
  if (!daty.isNum()) daty = num(0);
  std::vector<rt::Value> dates(kMaxDates, rt::Value::date(0));
  for (int i = 1; i <= kMaxDates && i <= int(daty.num()); ++i) dates[size_t(i - 1)] = varOr(dateVar(i), rt::Value::date(0));

  ColourSet colours(38);
  std::optional<OpenWindow> countWindow;
  bool countChanged = rt::ui::updated();
  if (askCount) {
    countWindow.emplace(-1, x, y, x + 2, y + dl, "", 38);
    say(x + 1, y + 2, display("Podaj ilos`c` wymaganych dat wypl`at: "));
    rt::ui::GetList list{fieldOn(x + 1, y + 39, daty, "9")};
    list[0]->valid = [&daty] { return rt::ui::rangeCheck(daty, num(0), num(kMaxDates)); };
    VisibleCursor cursor;
    countChanged = rt::ui::readModal(list).updated;
  }

  const int count = int(daty.numOr(0));
  if (!lastKeyWasEsc() && count > 0) {
    bool changed = false;
    {
      // The caller's form fields are set aside while the dates are read, and come back after.
      std::optional<FormFieldsAside> aside;
      if (!askCount) aside.emplace();
      OpenWindow window(-2, x + 5, y, x + 7 + count, y + dl, "Wprowadz` daty:", 38);
      rt::ui::GetList list;
      for (int i = 1; i <= count; ++i) {
        say(x + 6 + i, y + 2,
            display("Data wypl`aty ") + std::to_string(i) + " " + std::string(15, '.'));
        list.push_back(fieldOn(x + 6 + i, y + 33, dates[size_t(i - 1)], "@D"));
      }
      for (auto& g : list) g->display();
      VisibleCursor cursor;
      changed = rt::ui::readModal(list).updated;
    }
    // Back in the caller's form, whose read goes on with the cursor shown.
    if (!askCount) screen().setCursorShape(rt::term::CursorShape::Normal);
    if (!lastKeyWasEsc() && (changed || countChanged)) {
      for (int i = 1; i <= kMaxDates; ++i)
        vars().assign(dateVar(i), i <= count ? dates[size_t(i - 1)] : rt::Value::date(0));
    }
  }
  vars().assign("zusx_daty", daty);
  saveParameters();
}

void ZUS_PARA() {
  rt::PrivateFrame frame(vars());
  vars().declarePrivate("were", rt::Value::newArray(3));
  int field = 1;
  constexpr int kTop = 11, kLabelCol = 9;
  {
    ColourSet colours(38);
    OpenWindow window(-2, kTop, 6, 16, 72, "Parametry wydruku", 38);
    const char* labels[] = {"Czy drukowac` spacje co trzy cyfry ?",
                            "Szerokos`c` po`l numerycznych dla karty zasil`kowej:",
                            "Czy wysuw do nowej strony w karcie zas. po pracowniku:"};
    for (int i = 1; i <= 3; ++i) say(kTop + 1 + i, kLabelCol, _DLEN(labels[i - 1], i));
    auto column = [&](int i) { return kLabelCol + int(vars().get("were").arr()[size_t(i - 1)].numOr(0)); };
    showChoice(kTop + 2, column(1), "zusx_spac");
    showValue(kTop + 3, column(2), "zusx_szer", "99");
    showChoice(kTop + 4, column(3), "zusx_wysuw");
    call("STATLINE", {num(138)});
    for (;;) {
      int row = kTop + 1 + field;
      if (field == 1) editChoice(row, column(1), "zusx_spac");
      if (field == 2) editValue(row, column(2), "zusx_szer", "99", "zusx_szer > 9");
      if (field == 3) editChoice(row, column(3), "zusx_wysuw");
      if (navigate(field, 3)) break;
    }
  }
  saveParameters();
}

void ED_ZAOK(const rt::Value& wybor) {
  rt::PrivateFrame frame(vars());
  vars().declarePrivate("wybor", wybor);
  if (wybor.isNum() && wybor.num() == 1) ED_PAR(23, 2);
  else ED_DATY(6, 5, 46);
}

void registerPayoutDateRoutines() {
  rt::Functions& f = rt::functions();
  f.add("ED_DATY", [](rt::Args& a) {
    ED_DATY(int(a[0].intOr(6)), int(a[1].intOr(5)), int(a[2].intOr(46)),
            a[3].isLogical() ? a[3].logical() : true);
    return rt::Value();
  });
  f.add("ZUS_PARA", [](rt::Args&) {
    ZUS_PARA();
    return rt::Value();
  });
  f.add("ED_ZAOK", [](rt::Args& a) {
    ED_ZAOK(a[0]);
    return rt::Value();
  });
}

}  // namespace zus
