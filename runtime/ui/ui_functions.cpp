// By-name adapters of the form reader, browse, list choice and memo editor (see ui_functions.h).
// Each adapter only defaults its arguments by type and calls the typed C++ routine.
#include "runtime/ui/ui_functions.h"

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/achoice.h"
#include "runtime/ui/db_edit.h"
#include "runtime/ui/memo_edit.h"
#include "runtime/ui/read_modal.h"

namespace rt::ui {

namespace {

// A form field held in a runtime value: a block that reads or assigns the field's variable.
struct GetBlock : Block {
  explicit GetBlock(GetPtr g) : get(std::move(g)) {}
  Value eval(std::vector<Value>& args) override {
    if (!args.empty() && !args[0].isNil()) get->varPut(args[0]);
    return get->varGet();
  }
  std::string text() const override { return "GET " + get->name(); }
  GetPtr get;
};

// The fields of a by-name read: the array is looked at again at every step.
class ArrayGetSource : public GetSource {
 public:
  explicit ArrayGetSource(ArrayPtr a) : array_(std::move(a)) {}
  size_t size() const override {
    size_t n = 0;
    while (n < array_->size() && getFromValue((*array_)[n])) ++n;
    return n;
  }
  GetPtr at(size_t i) const override { return getFromValue((*array_)[i]); }

 private:
  ArrayPtr array_;
};

int intArg(const Args& a, size_t i, int fallback) { return int(a[i].intOr(fallback)); }

std::string strArg(const Args& a, size_t i) {
  const Value& v = a[i];
  if (v.isChar()) return v.str();
  if (v.isArray() && !v.arr().empty() && v.arr()[0].isChar()) return v.arr()[0].str();
  return {};
}

// Array elements as texts (a text argument counts for every column).
std::vector<std::string> textsOf(const Value& v, size_t count) {
  std::vector<std::string> out;
  if (v.isArray()) {
    for (const Value& e : v.arr()) out.push_back(e.isChar() ? e.str() : std::string());
  } else if (v.isChar()) {
    out.assign(count, v.str());
  }
  return out;
}

bool flagSetting(Args& a, bool (*get)(), bool (*set)(bool)) {
  bool old = get();
  if (a[0].isLogical()) set(a[0].logical());
  return old;
}

// A field made by name: a field of a table when the name says so or the selected table has it,
// else a memory variable.
GetPtr makeGet(int row, int col, const std::string& name, const std::string& picture) {
  if (name.find("->") != std::string::npos) return Get::onField(row, col, name, picture);
  if (FieldResolver* r = context().fields) {
    Value probe;
    if (r->readField(name, probe)) return Get::onField(row, col, name, picture);
  }
  return Get::onMemvar(row, col, name, picture);
}

Value readModalByName(Args& a) {
  if (!a[0].isArray()) return Value::logical(false);
  ArrayGetSource source(a[0].arrPtr());
  return Value::logical(readModal(source).updated);
}

Value getByName(Args& a) {
  term::Screen& s = term::screen();
  int row = intArg(a, 0, s.row());
  int col = intArg(a, 1, s.col());
  std::string name = a[2].strOr("");
  if (name.empty()) throw Error(ErrorKind::Argument, "Argument error", "__GET");
  GetPtr get = makeGet(row, col, name, a[3].strOr(""));
  get->valid = conditionOf(a[4]);
  get->when = conditionOf(a[5]);
  if (a[4].isChar()) get->validText = a[4].str();
  if (a[5].isChar()) get->whenText = a[5].str();
  get->display();
  Value v = getAsValue(get);
  if (Value* list = context().memvars.find("GETLIST"); list && list->isArray()) list->arr().push_back(v);
  return v;
}

Value rangeCheckByName(Args& a) {
  // RANGECHECK(value, low, high), or the reader's own form (field, ignored, low, high).
  if (GetPtr g = getFromValue(a[0])) return Value::logical(rangeCheck(g->varGet(), a[2], a[3]));
  return Value::logical(rangeCheck(a[0], a[1], a[2]));
}

Value saveGets(Args&) {
  Memvars& m = context().memvars;
  Value saved = m.exists("GETLIST") ? m.get("GETLIST") : Value::newArray();
  m.assign("GETLIST", Value::newArray());
  return saved;
}

Value restGets(Args& a) {
  if (a[0].isArray()) context().memvars.assign("GETLIST", a[0]);
  return Value::logical(true);
}

Value achoiceByName(Args& a) {
  if (!a[4].isArray()) return Value::integer(0);
  ArrayPtr items = a[4].arrPtr();
  Value selectable = a[5];
  ChoiceItems list;
  list.count = [items] {
    size_t n = 0;
    while (n < items->size() && (*items)[n].isChar()) ++n;
    return n;
  };
  list.text = [items](size_t i) { return (*items)[i].str(); };
  if (selectable.isLogical()) {
    bool all = selectable.logical();
    list.selectable = [all](size_t) { return all; };
  } else if (selectable.isArray()) {
    ArrayPtr flags = selectable.arrPtr();
    list.selectable = [flags](size_t i) {
      if (i >= flags->size()) return true;
      const Value& f = (*flags)[i];
      if (f.isLogical()) return f.logical();
      if (f.isChar() && !f.str().empty()) return evalText(f.str()).logicalOr(false);
      return true;
    };
  }
  AChoiceHandler handler;
  if (std::string udf = a[6].strOr(""); !udf.empty()) {
    handler = [udf](int mode, int item, int row) {
      Value r = context().functions.call(udf, {Value::integer(mode), Value::integer(item),
                                               Value::integer(row)});
      return int(r.intOr(kAcContinue));
    };
  }
  int chosen = achoice(intArg(a, 0, 0), intArg(a, 1, 0), intArg(a, 2, term::Screen::maxRow()),
                       intArg(a, 3, term::Screen::maxCol()), list, handler, intArg(a, 7, 1),
                       intArg(a, 8, 0));
  return Value::integer(chosen);
}

Value dbEditByName(Args& a) {
  DbEditSpec view;
  view.top = intArg(a, 0, 0);
  view.left = intArg(a, 1, 0);
  view.bottom = intArg(a, 2, term::Screen::maxRow());
  view.right = intArg(a, 3, term::Screen::maxCol());
  if (a[4].isArray()) view.columns = textsOf(a[4], 0);
  view.userFunction = strArg(a, 5);
  size_t count = a[4].isArray() ? view.columns.size() : 0;
  view.pictures = textsOf(a[6], count);
  if (a[7].isArray()) view.headings = textsOf(a[7], count);
  if (!a[8].isNil()) view.headSep = strArg(a, 8);
  if (!a[9].isNil()) view.colSep = strArg(a, 9);
  dbEditSelected(std::move(view));
  return Value::logical(true);
}

Value memoEditByName(Args& a) {
  std::string text = a[0].strOr("");
  MemoEditOptions options;
  options.editable = a[5].logicalOr(true);
  options.lineLength = intArg(a, 7, 0);
  options.tabSize = intArg(a, 8, 4);
  MemoEditResult r = memoEdit(text, intArg(a, 1, 0), intArg(a, 2, 0),
                              intArg(a, 3, term::Screen::maxRow()), intArg(a, 4, term::Screen::maxCol()),
                              options);
  return Value::text(r.text);
}

}  // namespace

Value getAsValue(GetPtr get) { return Value::block(std::make_shared<GetBlock>(std::move(get))); }

GetPtr getFromValue(const Value& v) {
  if (!v.isBlock()) return nullptr;
  auto* g = dynamic_cast<GetBlock*>(v.blockPtr().get());
  return g ? g->get : nullptr;
}

Condition conditionOf(const Value& blockOrText) {
  if (blockOrText.isBlock()) {
    Value block = blockOrText;
    return [block] { return evalBlock(block).logicalOr(true); };
  }
  if (blockOrText.isChar() && !blockOrText.str().empty()) {
    Expr e = compile(blockOrText.str());
    return [e] { return eval(e).logicalOr(true); };
  }
  return {};
}

void registerUiFunctions() {
  Functions& f = context().functions;
  f.add("READMODAL", readModalByName);
  f.add("__GET", getByName);
  f.add("READKILL", [](Args& a) { return Value::logical(flagSetting(a, readKill, setReadKill)); });
  f.add("READINSERT", [](Args& a) { return Value::logical(flagSetting(a, readInsert, setReadInsert)); });
  f.add("READEXIT", [](Args& a) { return Value::logical(flagSetting(a, readExit, setReadExit)); });
  f.add("UPDATED", [](Args&) { return Value::logical(updated()); });
  f.add("READVAR", [](Args&) { return Value::text(readVar()); });
  f.add("RANGECHECK", rangeCheckByName);
  f.add("SAVEGETS", saveGets);
  f.add("RESTGETS", restGets);
  f.add("ACHOICE", achoiceByName);
  f.add("DBEDIT", dbEditByName);
  f.add("MEMOEDIT", memoEditByName);
}

}  // namespace rt::ui
