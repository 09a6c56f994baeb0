// The menu loop: drawing the bar and the pull-down, keys, and calling entries by name.
#include "suite/screen/menu_engine.h"

#include <algorithm>
#include <filesystem>

#include "console/error_text.h"
#include "console/message_window.h"
#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/std_strings.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "suite/forms/display_text.h"
#include "suite/screen/colour_set.h"
#include "suite/screen/main_screen.h"
#include "suite/screen/menu_defs.h"
#include "suite/screen/messages.h"
#include "suite/screen/window.h"
#include "suite/tables/option_tables.h"

namespace suite {
namespace {

using namespace rt::term;

constexpr int kBarRow = 1;
constexpr int kFirstGroupCol = 2;
constexpr int kGroupGap = 3;

struct MenuState {
  const MenuDef& menu;
  size_t group = 0;
  std::vector<size_t> item;  // highlighted item of each group
};

int groupColumn(const MenuDef& m, size_t g) {
  int col = kFirstGroupCol;
  for (size_t i = 0; i < g; ++i) col += int(displayText(m.groups[i].label).size()) + kGroupGap;
  return col;
}

void drawBar(const MenuState& st) {
  Screen& s = screen();
  ColourSetScope colours(kSetMenu);
  s.put(kBarRow, 0, std::string(80, ' '), s.colors().standard());
  for (size_t g = 0; g < st.menu.groups.size(); ++g) {
    Attr a = g == st.group ? s.colors().enhanced() : s.colors().standard();
    s.put(kBarRow, groupColumn(st.menu, g) - 1, " " + displayText(st.menu.groups[g].label) + " ",
          a);
  }
}

// Opens the pull-down of the current group and draws its items; returns the window handle.
std::string drawPullDown(const MenuState& st) {
  Screen& s = screen();
  ColourSetScope colours(kSetMenu);
  const MenuGroup& group = st.menu.groups[st.group];
  size_t width = 0;
  for (const MenuItem& it : group.items) width = std::max(width, displayText(it.label).size());
  int left = std::min(groupColumn(st.menu, st.group) - 1, 80 - int(width) - 6);
  int top = kBarRow + 1;
  int bottom = top + int(group.items.size()) + 1;
  std::string handle = openWindow(top, left, bottom, left + int(width) + 3, "");
  for (size_t i = 0; i < group.items.size(); ++i) {
    std::string label = " " + displayText(group.items[i].label);
    label.resize(width + 2, ' ');
    Attr a = i == st.item[st.group] ? s.colors().enhanced() : s.colors().standard();
    s.put(top + 1 + int(i), left + 1, label, a);
  }
  return handle;
}

void showHelp(const MenuState& st) {
  const MenuGroup& group = st.menu.groups[st.group];
  if (group.items.empty()) return;
  restoreStatusLine();
  setStatusLine(displayText(group.items[st.item[st.group]].help.empty()
                                ? numberedStatusText(0)
                                : " " + group.items[st.item[st.group]].help));
}

// The window cuts a line's end; a long line is shown whole over as many lines as it takes.
void addWrapped(std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& l : rt::memoLines(text, con::kMaxLineWidth)) lines.emplace_back(rt::trimTrailingBlanks(l));
}

void showFailure(const rt::Error& e) {
  std::vector<std::string> lines{displayText("Opcja zakon`czona bl`e`dem:")};
  for (const std::string& line : con::errorLines(e)) addWrapped(lines, displayText(line));
  showMessage(lines, 3);
}

void runItem(const MenuItem& item) {
  // An option that ends with an error leaves its own status lines behind; the message is shown
  // over the menu's.
  const size_t statusDepth = statusLineDepth();
  try {
    // Closed before the error is shown: what the option left open goes when it ends.
    OptionTables tables;
    rt::Args args(item.args);
    rt::functions().call(item.function, args);
  } catch (const rt::Error& e) {
    unwindStatusLine(statusDepth);
    showFailure(e);
  } catch (const std::filesystem::filesystem_error& e) {
    unwindStatusLine(statusDepth);
    showFailure(con::errorOf(e));
  } catch (const std::exception&) {
    unwindStatusLine(statusDepth);
    // Not one of the runtime's errors, but the option has ended all the same: the user is told
    // and the menu goes on.
    showFailure(rt::Error(rt::ErrorKind::Other, {}));
  }
}

bool confirmLeaving() {
  return rt::functions()
      .call("DECYZJA", {rt::Value::logical(true), rt::Value::text("Czy zakon`czyc` prace` z programem ?")})
      .logicalOr(false);
}

}  // namespace

void runMenu(const MenuDef& menu) {
  if (menu.groups.empty()) return;
  MenuState st{menu, 0, std::vector<size_t>(menu.groups.size(), 0)};
  setStatusLine(0);
  Keyboard& kb = keyboard();
  for (;;) {
    std::string handle;
    {
      DispGuard batch;
      drawMainScreen();
      drawBar(st);
      handle = drawPullDown(st);
      showHelp(st);
    }
    int key = kb.waitKey(WaitState{"FEKRAN", 0, ""});
    kb.setLastKey(key);
    const MenuGroup& group = menu.groups[st.group];
    size_t& item = st.item[st.group];
    size_t groups = menu.groups.size();
    switch (key) {
      case K_ESC:
        // Leaving the menu ends the program: one stray Esc must not do that.
        if (!confirmLeaving()) break;
        closeWindow(handle);
        restoreStatusLine();
        return;
      case K_LEFT: st.group = (st.group + groups - 1) % groups; break;
      case K_RIGHT: st.group = (st.group + 1) % groups; break;
      case K_UP: if (!group.items.empty()) item = (item + group.items.size() - 1) % group.items.size(); break;
      case K_DOWN: if (!group.items.empty()) item = (item + 1) % group.items.size(); break;
      case K_HOME: item = 0; break;
      case K_END: if (!group.items.empty()) item = group.items.size() - 1; break;
      case K_ENTER:
        if (!group.items.empty()) {
          closeWindow(handle);
          handle.clear();
          runItem(group.items[item]);
        }
        break;
      default: break;
    }
    if (!handle.empty()) closeWindow(handle);
  }
}

void registerMenuEngine() {
  rt::functions().add("FEKRAN", [](rt::Args& a) {
    const MenuDef* menu = a[0].isChar() ? findMenu(a[0].str()) : nullptr;
    if (menu) runMenu(*menu);
    else showMessage({displayText("Brak definicji menu.")}, 3);
    return rt::Value();
  });
}

}  // namespace suite
