// Thin by-name adapters over the screen and keyboard: each reads its positional arguments,
// defaults a missing or wrongly typed one, and calls the typed C++ operation.
#include "runtime/term/register.h"

#include <cmath>
#include <cstdio>

#include "runtime/core/context.h"
#include "runtime/core/settings.h"
#include "runtime/term/terminal.h"

namespace rt::term {
namespace {

int intArg(const Args& a, size_t i, int fallback) {
  if (!a[i].isNum()) return fallback;
  double v = a[i].num();
  if (std::isnan(v)) return fallback;
  if (v > 1e6) return 1000000;
  if (v < -1e6) return -1000000;
  return int(std::trunc(v));
}

Attr colorArg(const Args& a, size_t i) {
  Attr standard = screen().colors().standard();
  return a[i].isChar() ? firstPairAttr(a[i].str(), standard) : standard;
}

Value nil() { return Value(); }

// The frame of DISPBOX: a string as given, 2 a double line, anything else a single line.
std::string frameArg(const Value& v) {
  if (v.isChar()) return v.str();
  if (v.isNum() && int(v.num()) == 2) return kDoubleFrame;
  return kSingleFrame;
}

}  // namespace

std::string displayText(const Value& v) {
  switch (v.type()) {
    case Type::Char:
      return v.str();
    case Type::Logical:
      return v.logical() ? "T" : "F";
    case Type::Num:
      if (const NativeFunction* str = functions().find("STR")) {
        Args args({v});
        Value s = (*str)(args);
        if (s.isChar()) return s.str();
      }
      {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%*.*f", v.decimals() ? 11 + v.decimals() : 10,
                      v.decimals(), v.num());
        return buf;
      }
    case Type::Date:
      if (const NativeFunction* dtoc = functions().find("DTOC")) {
        Args args({v});
        Value s = (*dtoc)(args);
        if (s.isChar()) return s.str();
      }
      return v.date() == 0 ? "  .  .    " : std::to_string(v.date());
    case Type::Nil:
      return "NIL";
    case Type::Array:
      return "{ ... }";
    case Type::Block:
      return "{||...}";
  }
  return {};
}

void registerScreenFunctions() { registerScreenFunctions(functions()); }

void registerScreenFunctions(Functions& f) {
  // --- colours ---
  f.add("SETCOLOR", [](Args& a) {
    if (a[0].isChar()) return Value::text(screen().setColorString(a[0].str()));
    return Value::text(screen().colorString());
  });
  f.add("ISCOLOR", [](Args&) { return Value::logical(screen().isColor()); });
  f.add("SETBLINK", [](Args& a) {
    bool old = screen().blink();
    if (a[0].isLogical()) screen().setBlink(a[0].logical());
    return Value::logical(old);
  });

  // --- output ---
  f.add("DEVPOS", [](Args& a) {
    screen().setCursor(intArg(a, 0, screen().row()), intArg(a, 1, screen().col()));
    return nil();
  });
  f.add("DEVOUT", [](Args& a) {
    screen().out(displayText(a[0]), colorArg(a, 1));
    return nil();
  });
  f.add("DEVOUTPICT", [](Args& a) {
    std::string text = displayText(a[0]);
    if (a[1].isChar())
      if (const NativeFunction* transform = functions().find("TRANSFORM")) {
        Args targs({a[0], a[1]});
        Value t = (*transform)(targs);
        if (t.isChar()) text = t.str();
      }
    screen().out(text, colorArg(a, 2));
    return nil();
  });
  f.add("DISPOUT", [](Args& a) {
    screen().out(displayText(a[0]), colorArg(a, 1));
    return nil();
  });
  f.add("DISPOUTAT", [](Args& a) {
    screen().put(intArg(a, 0, screen().row()), intArg(a, 1, screen().col()), displayText(a[2]),
                 colorArg(a, 3));
    return nil();
  });
  f.add("DISPBOX", [](Args& a) {
    screen().box(intArg(a, 0, 0), intArg(a, 1, 0), intArg(a, 2, Screen::maxRow()),
                 intArg(a, 3, Screen::maxCol()), frameArg(a[4]), colorArg(a, 5));
    return nil();
  });
  f.add("SCROLL", [](Args& a) {
    screen().scroll(intArg(a, 0, 0), intArg(a, 1, 0), intArg(a, 2, Screen::maxRow()),
                    intArg(a, 3, Screen::maxCol()), intArg(a, 4, 0), intArg(a, 5, 0),
                    screen().colors().standard());
    return nil();
  });
  f.add("SAVESCREEN", [](Args& a) {
    return Value::text(screen().save(intArg(a, 0, 0), intArg(a, 1, 0),
                                     intArg(a, 2, Screen::maxRow()),
                                     intArg(a, 3, Screen::maxCol())));
  });
  f.add("RESTSCREEN", [](Args& a) {
    if (a[4].isChar())
      screen().restore(intArg(a, 0, 0), intArg(a, 1, 0), intArg(a, 2, Screen::maxRow()),
                       intArg(a, 3, Screen::maxCol()), a[4].str());
    return nil();
  });

  // --- cursor ---
  f.add("SETPOS", [](Args& a) {
    screen().setCursor(intArg(a, 0, screen().row()), intArg(a, 1, screen().col()));
    return nil();
  });
  f.add("ROW", [](Args&) { return Value::integer(screen().row()); });
  f.add("COL", [](Args&) { return Value::integer(screen().col()); });
  f.add("MAXROW", [](Args&) { return Value::integer(Screen::maxRow()); });
  f.add("MAXCOL", [](Args&) { return Value::integer(Screen::maxCol()); });
  f.add("SETCURSOR", [](Args& a) {
    int old = int(screen().cursorShape());
    if (a[0].isNum()) {
      int n = intArg(a, 0, old);
      if (n >= 0 && n <= 4) screen().setCursorShape(CursorShape(n));
    }
    return Value::integer(old);
  });

  // --- buffered output ---
  f.add("DISPBEGIN", [](Args&) {
    screen().dispBegin();
    return nil();
  });
  f.add("DISPEND", [](Args&) {
    screen().dispEnd();
    return nil();
  });
  f.add("DISPCOUNT", [](Args&) { return Value::integer(screen().dispCount()); });

  // --- keyboard ---
  f.add("INKEY", [](Args& a) {
    if (!a[0].isNum()) return Value::integer(keyboard().inkey());
    return Value::integer(keyboard().inkey(a[0].num()));
  });
  f.add("LASTKEY", [](Args&) { return Value::integer(keyboard().lastKey()); });
  f.add("NEXTKEY", [](Args&) { return Value::integer(keyboard().nextKey()); });
  f.add("__KEYBOARD", [](Args& a) {
    if (a[0].isChar())
      keyboard().stuff(a[0].str());
    else
      keyboard().clearTypeahead();
    return nil();
  });
  f.add("SETKEY", [](Args& a) {
    if (!a[0].isNum()) return nil();
    int key = intArg(a, 0, 0);
    const HotKey* current = keyboard().hotKey(key);
    Value old = current ? current->block : Value();
    if (a.count() >= 2) {
      if (a[1].isBlock())
        keyboard().setKey(key, HotKey{nullptr, a[1]});
      else
        keyboard().setKey(key, std::nullopt);
    }
    return old;
  });
  f.add("TONE", [](Args&) { return nil(); });

  // SET(_SET_COLOR) and SET(_SET_CURSOR) act on the screen; every other setting is the runtime's.
  if (const NativeFunction* set = f.find("SET")) {
    NativeFunction inner = *set;
    f.add("SET", [inner](Args& a) {
      const int n = a[0].isNum() ? intArg(a, 0, 0) : 0;
      if (n == int(SetId::Color)) {
        std::string old = screen().colorString();
        if (a.count() >= 2 && a[1].isChar()) {
          screen().setColorString(a[1].str());
          context().settings.color = screen().colorString();
        }
        return Value::text(old);
      }
      if (n == int(SetId::Cursor)) {
        int old = int(screen().cursorShape());
        if (a.count() >= 2) {
          int shape = a[1].isLogical() ? (a[1].logical() ? 1 : 0) : intArg(a, 1, old);
          if (shape >= 0 && shape <= 4) screen().setCursorShape(CursorShape(shape));
          context().settings.cursor = int(screen().cursorShape());
        }
        return Value::integer(old);
      }
      return inner(a);
    });
  }
}

}  // namespace rt::term
