// Table and screen wrappers over the runtime's functions.
#include "console/table_wrappers.h"

#include "console/by_name.h"
#include "console/register.h"
#include "console/settings_file.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/functions.h"
#include "runtime/term/terminal.h"

namespace con {

namespace {

using rt::Value;

Value run(std::string_view name, std::vector<Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}

Value textValue(std::string_view s) { return Value::text(std::string(s)); }

// Selects another work area for the scope and reselects the caller's one on every way out.
class AreaScope {
 public:
  explicit AreaScope(std::string_view alias) : previous_(run("SELECT")) {
    run("DBSELECTAREA", {textValue(alias)});
  }
  ~AreaScope() {
    try {
      run("DBSELECTAREA", {previous_});
    } catch (...) {
    }
  }
  AreaScope(const AreaScope&) = delete;
  AreaScope& operator=(const AreaScope&) = delete;

 private:
  Value previous_;
};

Value blockOf(std::string_view text) { return Value::block(rt::compileBlock(text)); }

// Text for @ SAY of a value that is no character string.
std::string sayText(const Value& v) {
  if (v.isChar()) return v.str();
  if (v.isNil()) return "NIL";
  if (v.isLogical()) return v.logical() ? ".T." : ".F.";
  Value t = run(v.isDate() ? "DTOC" : "STR", {v});
  return t.isChar() ? t.str() : std::string();
}

rt::term::Attr standardAttr() { return rt::term::screen().colors().standard(); }

}  // namespace

bool DBOPEN(std::string_view file, std::string_view alias) {
  run("DBUSEAREA", {Value::logical(true), Value(), textValue(file), textValue(alias),
                    Value::logical(false)});
  return run("SELECT", {textValue(alias)}).numOr(0) > 0;
}

bool DBLOCATE(std::string_view alias, std::string_view condition) {
  AreaScope area(alias);
  Value cond = blockOf(condition);
  Value found = run("__DBLOCATE", {cond});
  return found.isLogical() && found.logical();
}

bool DBINDEX(std::string_view file, std::string_view key) {
  run("DBCREATEINDEX", {textValue(file), textValue(key), blockOf(key)});
  return true;
}

void DBCLOSE(std::string_view alias) {
  AreaScope area(alias);
  run("DBCLOSEAREA");
}

void _DB_REPL(const Value& value, std::string_view field) {
  double pos = run("FIELDPOS", {textValue(field)}).numOr(0);
  if (pos <= 0)
    throw rt::Error(rt::ErrorKind::NoField, "Variable does not exist", std::string(field));
  run("FIELDPUT", {Value::number(pos), value});
}

void _DB_ZAP() { run("__DBZAP"); }
void _DB_PACK() { run("__DBPACK"); }
void _SET_ORDER(const Value& order) { run("DBSETORDER", {order}); }

void _SET_INDEX(std::string_view file) {
  run("DBCLEARINDEX");
  run("DBSETINDEX", {textValue(file)});
}

bool CLOSE_IND() {
  run("DBCLEARINDEX");
  return true;
}

void SETFILTER(std::string_view filter) {
  if (isBlankText(filter)) {
    run("DBCLEARFILTER");
    return;
  }
  run("DBSETFILTER", {blockOf(filter), textValue(filter)});
}

double _ASCAN(const Value& array, std::string_view blockText) {
  Value wanted = rt::evalText(blockText);
  return run("ASCAN", {array, wanted}).numOr(0);
}

Value READ_REKORD() {
  Value copy = Value::newArray(0);
  int count = int(run("FCOUNT").numOr(0));
  for (int i = 1; i <= count; ++i) {
    Value pair = Value::newArray(0);
    pair.arr().push_back(run("FIELDNAME", {Value::number(i)}));
    pair.arr().push_back(run("FIELDGET", {Value::number(i)}));
    copy.arr().push_back(pair);
  }
  return copy;
}

bool WRITE_REKORD(const Value& copy) {
  if (!copy.isArray()) return true;
  Value structure = run("DBSTRUCT");
  for (const Value& pair : copy.arr()) {
    if (!pair.isArray() || pair.arr().size() < 2 || !pair.arr()[0].isChar()) continue;
    const Value& name = pair.arr()[0];
    const Value& value = pair.arr()[1];
    int pos = int(run("FIELDPOS", {name}).numOr(0));
    if (pos <= 0) continue;
    Value current = run("FIELDGET", {Value::number(pos)});
    bool memo = false;
    if (structure.isArray() && size_t(pos) <= structure.arr().size()) {
      const Value& row = structure.arr()[size_t(pos - 1)];
      memo = row.isArray() && row.arr().size() > 1 && row.arr()[1].isChar() &&
             row.arr()[1].str() == "M";
    }
    if (value.type() == current.type() || (memo && value.isChar()))
      run("FIELDPUT", {Value::number(pos), value});
  }
  return true;
}

void _SAY(int row, int col, const Value& text) {
  rt::term::screen().say(row, col, sayText(text), standardAttr());
}

void _CLR_SCR() {
  auto& scr = rt::term::screen();
  scr.scroll(0, 0, rt::term::Screen::maxRow(), rt::term::Screen::maxCol(), 0, 0, standardAttr());
  scr.setCursor(0, 0);
}

void _PRINT(const Value& text) {
  auto& scr = rt::term::screen();
  int row = scr.row() + 1;
  if (row > rt::term::Screen::maxRow()) {
    scr.scroll(0, 0, rt::term::Screen::maxRow(), rt::term::Screen::maxCol(), 1, 0, standardAttr());
    row = rt::term::Screen::maxRow();
  }
  scr.setCursor(row, 0);
  scr.out(sayText(text), standardAttr());
}

void registerTableWrapperFunctions(rt::Functions& f) {
  using namespace byname;
  f.add("DBOPEN", [](rt::Args& a) {
    return logical(DBOPEN(needText(a, 0, "DBOPEN"), textOr(a, 1, "")));
  });
  f.add("DBLOCATE", [](rt::Args& a) {
    return logical(DBLOCATE(needText(a, 0, "DBLOCATE"), needText(a, 1, "DBLOCATE")));
  });
  f.add("DBINDEX", [](rt::Args& a) {
    return logical(DBINDEX(needText(a, 0, "DBINDEX"), needText(a, 1, "DBINDEX")));
  });
  f.add("DBCLOSE", [](rt::Args& a) {
    DBCLOSE(needText(a, 0, "DBCLOSE"));
    return Value();
  });
  f.add("_DB_REPL", [](rt::Args& a) {
    _DB_REPL(a[0], needText(a, 1, "_DB_REPL"));
    return Value();
  });
  f.add("_SAY", [](rt::Args& a) {
    _SAY(int(needNum(a, 0, "_SAY")), int(needNum(a, 1, "_SAY")), a[2]);
    return Value();
  });
  f.add("_DB_ZAP", [](rt::Args&) {
    _DB_ZAP();
    return Value();
  });
  f.add("_DB_PACK", [](rt::Args&) {
    _DB_PACK();
    return Value();
  });
  f.add("_CLR_SCR", [](rt::Args&) {
    _CLR_SCR();
    return Value();
  });
  f.add("_PRINT", [](rt::Args& a) {
    _PRINT(a[0]);
    return Value();
  });
  f.add("_SET_ORDER", [](rt::Args& a) {
    _SET_ORDER(a[0]);
    return Value();
  });
  f.add("_SET_INDEX", [](rt::Args& a) {
    _SET_INDEX(needText(a, 0, "_SET_INDEX"));
    return Value();
  });
  f.add("CLOSE_IND", [](rt::Args&) { return logical(CLOSE_IND()); });
  f.add("_ASCAN", [](rt::Args& a) {
    return number(_ASCAN(a[0], needText(a, 1, "_ASCAN")));
  });
  f.add("SETFILTER", [](rt::Args& a) {
    SETFILTER(textOr(a, 0, ""));
    return Value();
  });
  f.add("READ_REKORD", [](rt::Args&) { return READ_REKORD(); });
  f.add("WRITE_REKORD", [](rt::Args& a) { return logical(WRITE_REKORD(a[0])); });
}

}  // namespace con
