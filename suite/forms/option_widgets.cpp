// READ_PAR, WYBOR_OP and INC_OPCJE over the form reader and the keyboard.
#include "suite/forms/option_widgets.h"

#include <algorithm>
#include <cctype>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/term/keys.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/read_modal.h"
#include "suite/forms/display_text.h"

namespace suite {
namespace {

using namespace rt::term;

// Restores a flag of the form reader on every way out.
class ReadExitScope {
 public:
  ReadExitScope() : previous_(rt::ui::setReadExit(true)) {}
  ~ReadExitScope() { rt::ui::setReadExit(previous_); }
  ReadExitScope(const ReadExitScope&) = delete;
  ReadExitScope& operator=(const ReadExitScope&) = delete;

 private:
  bool previous_;
};

class CursorScope {
 public:
  explicit CursorScope(CursorShape shape) : previous_(screen().cursorShape()) {
    screen().setCursorShape(shape);
  }
  ~CursorScope() { screen().setCursorShape(previous_); }
  CursorScope(const CursorScope&) = delete;
  CursorScope& operator=(const CursorScope&) = delete;

 private:
  CursorShape previous_;
};

// A check text holds when it gives true; a text that does not give a logical value (or fails)
// refuses nothing, so that a broken check never locks the user in a field.
bool checkHolds(const std::string& check) {
  if (check.empty()) return true;
  try {
    rt::Value v = rt::evalText(check);
    return !v.isLogical() || v.logical();
  } catch (const rt::Error&) {
    return true;
  }
}

void readPar(rt::Args& a) {
  int row = int(a[0].intOr(screen().row()));
  int col = int(a[1].intOr(screen().col()));
  std::string picture = a[3].strOr("");
  std::string check = a[4].strOr("");
  rt::Value current = a[2];
  auto get = std::make_shared<rt::ui::Get>(
      row, col, "READ_PAR", [&current] { return current; },
      [&](const rt::Value& v) {
        current = v;
        a.assign(2, v);  // the check reads the variable by name
      },
      picture);
  get->unselectedAttr = screen().colors().unselected();
  get->enhancedAttr = screen().colors().enhanced();
  get->valid = [check] { return checkHolds(check); };
  rt::ui::GetList list{get};
  {
    ReadExitScope exitOnArrows;
    CursorScope cursor(CursorShape::Normal);
    rt::ui::readModal(list);
  }
  a.assign(2, current);
  get->display();
}

std::string padTo(std::string s, size_t width) {
  if (s.size() < width) s.resize(width, ' ');
  return s;
}

int choiceCount(const rt::Value& var, const rt::Value& list) {
  if (list.isArray()) return int(list.arr().size());
  return var.isLogical() ? 2 : 0;
}

// 1-based number of the variable's choice; 0 when it names none.
int choiceIndex(const rt::Value& var, const rt::Value& list) {
  if (var.isLogical()) return var.logical() ? 1 : 2;
  if (var.isNum()) {
    int n = int(var.num());
    return n >= 1 && n <= choiceCount(var, list) ? n : 0;
  }
  return 0;
}

rt::Value choiceValue(const rt::Value& var, int index) {
  if (var.isLogical()) return rt::Value::logical(index == 1);
  return rt::Value::integer(index);
}

char firstLetter(const std::string& s) {
  for (char c : s)
    if (c != ' ') return char(std::toupper(static_cast<unsigned char>(c)));
  return 0;
}

void wyborOp(rt::Args& a) {
  int row = int(a[0].intOr(screen().row()));
  int col = int(a[1].intOr(screen().col()));
  const rt::Value original = a[2];
  const rt::Value list = a[3];
  std::vector<std::string> texts = choiceTexts(original, list);
  if (texts.empty()) {  // nothing to choose from: the key that comes ends the edit
    keyboard().waitKey({"WYBOR_OP", 0, ""});
    return;
  }
  const rt::Value var = original.isLogical() || original.isNum() ? original : rt::Value::integer(1);
  int index = std::max(1, choiceIndex(var, list));
  CursorScope noCursor(CursorShape::None);
  const int count = int(texts.size());
  for (;;) {
    screen().say(row, col, texts[size_t(index - 1)], screen().colors().enhanced());
    int key = keyboard().waitKey({"WYBOR_OP", 0, ""});
    if (key == ' ' || key == K_RIGHT) {
      index = index % count + 1;
    } else if (key == K_LEFT) {
      index = index == 1 ? count : index - 1;
    } else if (key > ' ' && key < 256 && key != K_CTRL_BS) {
      char wanted = char(std::toupper(key));
      for (int step = 1; step <= count; ++step) {
        int candidate = (index - 1 + step) % count + 1;
        if (firstLetter(texts[size_t(candidate - 1)]) == wanted) {
          index = candidate;
          break;
        }
      }
    } else {
      break;
    }
    a.assign(2, choiceValue(var, index));
  }
  if (keyboard().lastKey() == K_ESC) a.assign(2, original);
  showParameter(row, col, rt::Value::text(choiceShown(a[2], list)), "");
}

}  // namespace

std::vector<std::string> choiceTexts(const rt::Value& var, const rt::Value& list) {
  std::vector<std::string> texts;
  if (list.isArray()) {
    for (const rt::Value& t : list.arr()) texts.push_back(displayText(t.strOr("")));
  } else if (var.isLogical()) {
    texts = {kChoiceYes, kChoiceNo};
  }
  size_t width = 0;
  for (const std::string& t : texts) width = std::max(width, t.size());
  for (std::string& t : texts) t = padTo(t, width);
  return texts;
}

std::string choiceShown(const rt::Value& var, const rt::Value& list) {
  std::vector<std::string> texts = choiceTexts(var, list);
  int i = choiceIndex(var, list);
  return i >= 1 && i <= int(texts.size()) ? texts[size_t(i - 1)] : "";
}

void showParameter(int row, int col, const rt::Value& value, const std::string& picture) {
  rt::ui::Get shown(row, col, "", [&value] { return value; }, [](const rt::Value&) {}, picture);
  shown.unselectedAttr = screen().colors().unselected();
  shown.display();
}

bool incOpcje(int& field, int count, int key) {
  count = std::max(count, 1);
  switch (key) {
    case K_ESC:
    case K_CTRL_W:
    case K_PGDN:
      field = 1;
      return true;
    case K_UP:
    case K_SH_TAB:
      field = field <= 1 ? count : field - 1;
      return false;
    default:
      field = field >= count ? 1 : field + 1;
      return false;
  }
}

void registerOptionWidgets() {
  rt::Functions& f = rt::functions();
  f.add("READ_PAR", [](rt::Args& a) {
    readPar(a);
    return rt::Value();
  });
  f.add("WYBOR_OP", [](rt::Args& a) {
    wyborOp(a);
    return rt::Value();
  });
  f.add("INC_OPCJE", [](rt::Args& a) {
    int field = int(a[0].intOr(1));
    bool close = incOpcje(field, int(a[1].intOr(1)), keyboard().lastKey());
    a.assign(0, rt::Value::integer(field));
    return rt::Value::logical(close);
  });
}

}  // namespace suite
