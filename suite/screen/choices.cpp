// Menus, key waits, the browse wrapper and text splitting of the suite.
#include "suite/screen/choices.h"

#include <algorithm>
#include <filesystem>
#include <unistd.h>

#include "runtime/core/context.h"
#include "runtime/term/keys.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/achoice.h"
#include "suite/forms/display_text.h"
#include "suite/screen/colour_set.h"
#include "suite/screen/messages.h"
#include "suite/screen/window.h"

namespace suite {
namespace {

std::string valueText(const rt::Value& v) {
  switch (v.type()) {
    case rt::Type::Char: return v.str();
    case rt::Type::Nil: return "NIL";
    case rt::Type::Logical: return v.logical() ? "T" : "F";
    case rt::Type::Num: {
      rt::Value s = rt::functions().call("STR", {v});
      std::string t = s.strOr("");
      size_t b = t.find_first_not_of(' ');
      return b == std::string::npos ? "" : t.substr(b);
    }
    case rt::Type::Date: return rt::functions().call("DTOS", {v}).strOr("");
    default: return "";
  }
}

}  // namespace

std::vector<std::string> explode(const std::string& text, const std::string& sep) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  if (sep.empty()) return {text};
  size_t start = 0;
  for (;;) {
    size_t at = text.find(sep, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) break;
    start = at + sep.size();
  }
  return parts;
}

std::string implode(const std::string& sep, const rt::Array& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) out += sep;
    out += valueText(values[i]);
  }
  return out;
}

void registerChoiceFunctions() {
  rt::Functions& f = rt::functions();
  f.add("MENU", [](rt::Args& a) {
    std::vector<std::string> items;
    if (a[0].isArray())
      for (const rt::Value& v : a[0].arr()) items.push_back(displayText(v.strOr("")));
    if (items.empty()) return rt::Value::integer(0);
    // Items, row, column, first item, the window handle, five unused arguments, then the title.
    const std::string title = a[10].isChar() ? displayText(a[10].str()) : "";
    size_t width = title.empty() ? 0 : title.size() + 2;
    for (const std::string& s : items) width = std::max(width, s.size());
    int top = int(std::clamp<int64_t>(a[1].intOr(8), 0, 23 - int64_t(items.size())));
    int left = int(std::clamp<int64_t>(a[2].intOr(30), 0, 78 - int64_t(width)));
    rt::term::ScreenStateGuard state;
    ColourSetScope colours(kSetMenu);
    std::string handle = openWindow(top, left, top + int(items.size()) + 1, left + int(width) + 1, title);
    int chosen = rt::ui::achoice(top + 1, left + 1, top + int(items.size()), left + int(width),
                                 rt::ui::ChoiceItems::of(items), {}, int(std::max<int64_t>(1, a[3].intOr(1))));
    closeWindow(handle);
    if (chosen > 0) rt::term::screen().setCursor(top + chosen, left + 1);
    return rt::Value::integer(chosen);
  });
  f.add("E_INKEY", [](rt::Args& a) {
    rt::term::Keyboard& kb = rt::term::keyboard();
    int key = kb.waitKey(rt::term::WaitState{"E_INKEY", 0, ""}, a[0].numOr(0));
    if (key != 0) kb.setLastKey(key);
    return rt::Value::integer(key);
  });
  f.add("K_CLOSE", [](rt::Args& a) {
    int64_t key = a[0].intOr(0);
    return rt::Value::logical(key == rt::term::K_ESC || key == rt::term::K_CTRL_W);
  });
  f.add("E_DBEDIT", [](rt::Args& a) { return rt::functions().call("DBEDIT", a); });
  // The record in hand, on row 23 and without waiting: batch runs call it once per record and
  // save that row around the run.
  f.add("DAJ_WZORZEC", [](rt::Args& a) {
    std::string shown = a[1].isChar() ? displayText(a[1].str()) + ": " : "";
    for (const std::string& l : messageLines(a[0])) shown += l;
    shown.resize(80, ' ');
    rt::term::Screen& s = rt::term::screen();
    s.say(23, 0, shown, s.colors().standard());
    return rt::Value();
  });
  f.add("SPRAWDZ_KAT", [](rt::Args& a) {
    std::string dir = a[0].strOr("");
    std::replace(dir.begin(), dir.end(), '\\', '/');
    std::error_code ec;
    return rt::Value::logical(!dir.empty() && std::filesystem::is_directory(dir, ec) &&
                              ::access(dir.c_str(), W_OK) == 0);
  });
  f.add("TXT_REKLAMA", [](rt::Args&) { return rt::Value::text("System ZEFIRON - program ZUS"); });
  f.add("IE_EXPLODE", [](rt::Args& a) {
    rt::Value parts = rt::Value::newArray(0);
    for (const std::string& p : explode(a[0].strOr(""), a[1].strOr("")))
      parts.arr().push_back(rt::Value::text(p));
    return parts;
  });
  f.add("IE_IMPLODE", [](rt::Args& a) {
    // The separator comes first; the other order is taken too.
    const rt::Value& sep = a[0].isChar() ? a[0] : a[1];
    const rt::Value& list = a[0].isArray() ? a[0] : a[1];
    return rt::Value::text(list.isArray() ? implode(sep.strOr(""), list.arr()) : std::string());
  });
}

}  // namespace suite
