// Adapters of the table functions callable by name.
#include "runtime/db/table_functions.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/file_names.h"
#include "runtime/core/functions.h"
#include "runtime/core/names.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_strings.h"
#include "runtime/db/dbf_table.h"
#include "runtime/db/field_codec.h"
#include "runtime/db/work_areas.h"

namespace rt::db {

std::string structuralBagPath(const std::string& tablePath);

namespace {

bool exists(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0;
}

bool hasExtension(std::string_view name) {
  size_t dot = name.find_last_of('.');
  size_t sep = name.find_last_of("/\\");
  return dot != std::string_view::npos && (sep == std::string_view::npos || dot > sep);
}

std::string trim(std::string_view s) { return std::string(trimBlanks(s)); }

std::string withExtension(std::string_view name, const char* ext, bool forCreate) {
  std::string n = trim(name);
  if (hasExtension(n)) return mapPath(n, forCreate ? PathUse::Create : PathUse::Open);
  std::string lower = mapPath(n + "." + ext, forCreate ? PathUse::Create : PathUse::Open);
  if (exists(lower) || forCreate) return lower;
  std::string up = mapPath(n + "." + upperName(ext), PathUse::Open);
  return exists(up) ? up : lower;
}

WorkAreas& areas() { return workAreas(); }
WorkArea* current() { return areas().selected(); }
WorkArea& need(const char* fn) { return areas().need(fn); }

bool argBool(const Args& a, size_t i, bool dflt) { return a[i].isLogical() ? a[i].logical() : dflt; }
int64_t argInt(const Args& a, size_t i, int64_t dflt) { return a[i].isNum() ? int64_t(a[i].num()) : dflt; }
std::string argStr(const Args& a, size_t i) { return a[i].isChar() ? a[i].str() : std::string(); }

// An area named by number or alias (NIL: the current one).
WorkArea* areaOf(const Value& v) {
  if (v.isNum()) return v.num() == 0 ? current() : areas().byNumber(int(v.num()));
  if (v.isChar()) return areas().byAlias(trim(v.str()));
  return current();
}

// An order named by number or tag name (NIL: the controlling one); 0 when there is none.
int orderOf(WorkArea& w, const Value& v) {
  if (v.isNum()) {
    int n = int(v.num());
    return n >= 0 && n <= w.orderCount() ? n : 0;
  }
  if (v.isChar()) return w.orderByName(v.str());
  return w.order();
}

Value structure(WorkArea& w) {
  Value out = Value::newArray();
  for (const auto& f : w.table().fields()) {
    Value row = Value::newArray();
    row.arr().push_back(Value::text(f.name));
    row.arr().push_back(Value::text(std::string(1, f.isMemo() ? 'M' : f.type)));
    row.arr().push_back(Value::number(f.len, 0));
    row.arr().push_back(Value::number(f.dec, 0));
    out.arr().push_back(row);
  }
  return out;
}

// FIELDBLOCK/FIELDWBLOCK: a block that reads the field without an argument and assigns it with one.
struct FieldBlock final : Block {
  std::string field;
  int area;  // 0: the area selected when the block runs
  Value eval(std::vector<Value>& args) override {
    WorkArea* w = area ? areas().byNumber(area) : current();
    if (!w) throw Error(ErrorKind::NoAlias, "Workarea not in use", "FIELDBLOCK");
    int f = w->fieldIndex(field);
    if (f < 0) throw Error(ErrorKind::NoField, "Variable does not exist", upperName(field));
    if (!args.empty() && !args[0].isNil()) {
      w->put(size_t(f), args[0]);
      return args[0];
    }
    return w->get(size_t(f));
  }
  std::string text() const override { return "{|x| " + field + "}"; }
};

Value useArea(Args& a) {
  bool newArea = argBool(a, 0, false);
  std::string name = argStr(a, 2);
  if (trim(name).empty()) throw Error(ErrorKind::Argument, "Argument error", "DBUSEAREA");
  UseOptions o;
  o.newArea = newArea;
  o.alias = argStr(a, 3);
  o.shared = argBool(a, 4, !context().settings.exclusive);
  o.readOnly = argBool(a, 5, false);
  std::string path = resolveTableName(name, false);
  try {
    areas().use(path, o);
  } catch (const Error& e) {
    // A table held by another opening sets NETERR() and raises nothing, as the runtime does.
    if (e.kind() == ErrorKind::NetErr) return Value();
    throw;
  }
  return Value();
}

Value createTable(Args& a) {
  std::string path = resolveTableName(argStr(a, 0), true);
  if (!a[1].isArray()) throw Error(ErrorKind::Argument, "Argument error", "DBCREATE");
  std::vector<FieldSpec> specs;
  for (const Value& row : a[1].arr()) {
    if (!row.isArray() || row.arr().size() < 3) throw Error(ErrorKind::Argument, "Argument error", "DBCREATE", path);
    const Array& r = row.arr();
    FieldSpec s;
    s.name = r[0].strOr("");
    std::string t = r[1].strOr("C");
    s.type = t.empty() ? 'C' : char(std::toupper(static_cast<unsigned char>(t[0])));
    s.len = uint32_t(std::max<int64_t>(0, r[2].intOr(0)));
    s.dec = uint8_t(std::clamp<int64_t>(r.size() > 3 ? r[3].intOr(0) : 0, 0, 255));
    specs.push_back(s);
  }
  DbfTable::create(path, specs);
  if (a[3].isLogical()) {
    UseOptions o;
    o.newArea = a[3].logical();
    o.alias = argStr(a, 4);
    o.shared = !context().settings.exclusive;
    areas().use(path, o);
  }
  return Value();
}

// __DBLOCATE(bFor, bWhile, nNext, nRecord, lRest)
Value locate(Args& a, WorkArea& w) {
  bool rest = argBool(a, 4, false);
  int64_t record = argInt(a, 3, 0);
  if (record > 0) {
    w.goTo(uint32_t(record));
    Value c = evalBlock(a[0]);
    return Value::logical(c.isLogical() && c.logical());
  }
  return Value::logical(w.locate(a[0], a[1], argInt(a, 2, -1), rest || !a[1].isNil() || a[2].isNum()));
}

// Conditions for the next index creation (ORDCONDSET): FOR text, descending, and a block run
// every n records while the keys are gathered.
struct IndexConditions {
  std::string forText;
  bool descending = false;
  Value evalBlock;
  int64_t every = 0;
};
IndexConditions& pendingConditions() {
  static IndexConditions c;
  return c;
}

bool sameInode(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return a == b;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void createIndex(WorkArea& w, const std::string& bag, const std::string& tag, const Value& keyText,
                 const Value& keyBlock, const Value& unique, bool onlyIndex) {
  std::string key = keyText.isChar() ? keyText.str() : (keyBlock.isBlock() ? keyBlock.blockPtr()->text() : "");
  if (trim(key).empty()) throw Error(ErrorKind::Argument, "Argument error", "ORDCREATE");
  std::string path = bag.empty() ? std::string() : resolveBagName(bag, w.table().path(), true);
  IndexConditions cond = std::exchange(pendingConditions(), IndexConditions{});
  // A new index replaces the other index files of the area, never the structural one: the
  // table's own tags must keep seeing every change.
  if (onlyIndex) w.clearBags(true);
  CreateTagOptions o;
  o.unique = unique.isLogical() ? unique.logical() : context().settings.unique;
  o.forText = cond.forText;
  o.descending = cond.descending;
  if (cond.evalBlock.isBlock() && cond.every > 0) {
    Value block = cond.evalBlock;
    o.every = uint64_t(cond.every);
    o.progress = [block](uint64_t) { rt::evalBlock(block); };
  }
  w.createTag(path, tag, trim(key), o);
}

}  // namespace

std::string resolveTableName(std::string_view name, bool forCreate) {
  std::string path = withExtension(name, "dbf", forCreate);
  if (!forCreate && !exists(path)) {
    // SET DEFAULT, then SET PATH, for names without a directory.
    const Settings& s = context().settings;
    std::string n = trim(name);
    if (n.find_first_of("/\\:") == std::string::npos) {
      for (const std::string& dir : {s.defaultDir, s.path}) {
        if (dir.empty()) continue;
        std::string d = dir;
        if (d.back() != '\\' && d.back() != '/') d += '\\';
        std::string p = withExtension(d + n, "dbf", false);
        if (exists(p)) return p;
      }
    }
  }
  if (forCreate && !context().settings.defaultDir.empty()) {
    std::string n = trim(name);
    if (n.find_first_of("/\\:") == std::string::npos) {
      std::string d = context().settings.defaultDir;
      if (d.back() != '\\' && d.back() != '/') d += '\\';
      return withExtension(d + n, "dbf", true);
    }
  }
  return path;
}

std::string resolveBagName(std::string_view name, const std::string& tablePath, bool forCreate) {
  std::string path = withExtension(name, "cdx", forCreate);
  if (forCreate || exists(path)) return path;
  // A bare name is also looked for beside its table.
  std::string n = trim(name);
  if (n.find_first_of("/\\:") == std::string::npos) {
    size_t slash = tablePath.find_last_of('/');
    std::string dir = slash == std::string::npos ? std::string() : tablePath.substr(0, slash + 1);
    std::string beside = withExtension(dir + n, "cdx", false);
    if (exists(beside)) return beside;
  }
  return path;
}

void registerTableFunctions() {
  workAreas();  // installs the field resolver for expression text
  Functions& f = functions();
  auto add = [&](std::initializer_list<const char*> names, NativeFunction fn) {
    for (const char* n : names) f.add(n, fn);
  };

  // --- areas ---
  add({"DBUSEAREA"}, useArea);
  add({"DBCLOSEAREA"}, [](Args&) {
    areas().close(areas().selectedNumber());
    return Value();
  });
  add({"DBCLOSEALL"}, [](Args&) {
    areas().closeAll();
    areas().select(1);
    return Value();
  });
  add({"DBSELECTAREA", "DBSELECTAR"}, [](Args& a) {
    if (a[0].isNum()) {
      areas().select(int(a[0].num()));
    } else if (a[0].isChar()) {
      std::string s = trim(a[0].str());
      int n = areas().numberOf(s);
      if (n == 0 && !s.empty() && std::all_of(s.begin(), s.end(), ::isdigit)) n = std::stoi(s);
      if (n == 0) throw Error(ErrorKind::NoAlias, "Alias does not exist", upperName(s));
      areas().select(n);
    }
    return Value();
  });
  add({"SELECT"}, [](Args& a) {
    if (a[0].isChar()) return Value::number(areas().numberOf(a[0].str()), 0);
    return Value::number(areas().selectedNumber(), 0);
  });
  add({"ALIAS"}, [](Args& a) {
    WorkArea* w = a[0].isNum() ? areas().byNumber(int(a[0].num())) : current();
    return Value::text(w ? w->alias() : "");
  });
  add({"USED"}, [](Args&) { return Value::logical(current() != nullptr); });
  add({"NETERR"}, [](Args& a) {
    bool old = areas().netErr();
    if (a[0].isLogical()) areas().setNetErr(a[0].logical());
    return Value::logical(old);
  });
  add({"DBCREATE"}, createTable);
  add({"DBSTRUCT"}, [](Args&) {
    WorkArea* w = current();
    return w ? structure(*w) : Value::newArray();
  });

  // --- fields ---
  add({"FCOUNT"}, [](Args&) {
    WorkArea* w = current();
    return Value::number(w ? double(w->table().fieldCount()) : 0, 0);
  });
  add({"FIELDNAME", "FIELD"}, [](Args& a) {
    WorkArea* w = current();
    int64_t n = argInt(a, 0, 0);
    if (!w || n < 1 || size_t(n) > w->table().fieldCount()) return Value::text("");
    return Value::text(w->table().field(size_t(n - 1)).name);
  });
  add({"FIELDPOS"}, [](Args& a) {
    WorkArea* w = current();
    return Value::number(w && a[0].isChar() ? w->fieldIndex(a[0].str()) + 1 : 0, 0);
  });
  add({"FIELDGET"}, [](Args& a) {
    WorkArea* w = current();
    int64_t n = argInt(a, 0, 0);
    if (!w || n < 1 || size_t(n) > w->table().fieldCount()) return Value();
    return w->get(size_t(n - 1));
  });
  add({"FIELDPUT"}, [](Args& a) {
    WorkArea* w = current();
    int64_t n = argInt(a, 0, 0);
    if (!w || n < 1 || size_t(n) > w->table().fieldCount()) return Value();
    w->put(size_t(n - 1), a[1]);
    return a[1];
  });
  add({"FIELDBLOCK"}, [](Args& a) {
    if (!a[0].isChar()) return Value();
    auto b = std::make_shared<FieldBlock>();
    b->field = trim(a[0].str());
    b->area = 0;
    return Value::block(b);
  });
  add({"FIELDWBLOCK"}, [](Args& a) {
    if (!a[0].isChar() || !a[1].isNum()) return Value();
    auto b = std::make_shared<FieldBlock>();
    b->field = trim(a[0].str());
    b->area = int(a[1].num());
    return Value::block(b);
  });

  // --- position ---
  add({"RECNO"}, [](Args&) {
    WorkArea* w = current();
    return Value::number(w ? w->recno() : 0, 0);
  });
  add({"RECCOUNT", "LASTREC"}, [](Args&) {
    WorkArea* w = current();
    if (!w) return Value::number(0, 0);
    w->table().refresh();
    return Value::number(w->table().recCount(), 0);
  });
  add({"EOF"}, [](Args&) { return Value::logical(!current() || current()->eof()); });
  add({"BOF"}, [](Args&) { return Value::logical(!current() || current()->bof()); });
  add({"FOUND"}, [](Args&) { return Value::logical(current() && current()->found()); });
  add({"DELETED"}, [](Args&) { return Value::logical(current() && !current()->eof() && current()->deleted()); });
  add({"DBGOTO"}, [](Args& a) {
    need("DBGOTO").goTo(uint32_t(std::max<int64_t>(0, argInt(a, 0, 0))));
    return Value();
  });
  add({"DBGOTOP"}, [](Args&) {
    need("DBGOTOP").goTop();
    return Value();
  });
  add({"DBGOBOTTOM"}, [](Args&) {
    need("DBGOBOTTOM").goBottom();
    return Value();
  });
  add({"DBSKIP"}, [](Args& a) {
    need("DBSKIP").skip(argInt(a, 0, 1));
    return Value();
  });
  add({"DBSEEK"}, [](Args& a) {
    WorkArea& w = need("DBSEEK");
    return Value::logical(w.seek(a[0], argBool(a, 1, context().settings.softSeek), argBool(a, 2, false)));
  });
  add({"__DBLOCATE"}, [](Args& a) { return locate(a, need("__DBLOCATE")); });
  add({"__DBCONTINUE"}, [](Args&) { return Value::logical(need("__DBCONTINUE").continueLocate()); });
  add({"DBEVAL"}, [](Args& a) {
    WorkArea& w = need("DBEVAL");
    if (!a[0].isBlock()) throw Error(ErrorKind::Argument, "Argument error", "DBEVAL");
    w.eval(a[0], a[1], a[2], argInt(a, 3, -1), argInt(a, 4, 0), argBool(a, 5, false));
    return Value();
  });

  // --- records ---
  add({"DBAPPEND"}, [](Args& a) {
    WorkArea& w = need("DBAPPEND");
    bool ok = w.append(argBool(a, 0, true));
    areas().setNetErr(!ok);
    return Value();
  });
  add({"DBDELETE"}, [](Args&) {
    need("DBDELETE").deleteRecord();
    return Value();
  });
  add({"DBRECALL"}, [](Args&) {
    need("DBRECALL").recall();
    return Value();
  });
  add({"DBCOMMIT"}, [](Args&) {
    need("DBCOMMIT").commit();
    return Value();
  });
  add({"DBCOMMITALL"}, [](Args&) {
    for (auto& [n, w] : areas().areas()) w->commit();
    return Value();
  });
  add({"__DBZAP"}, [](Args&) {
    need("__DBZAP").zap();
    return Value();
  });
  add({"__DBPACK"}, [](Args&) {
    need("__DBPACK").pack();
    return Value();
  });
  add({"LUPDATE"}, [](Args&) {
    WorkArea* w = current();
    if (!w) return Value::date(0);
    const DbfHeader& h = w->table().header();
    return Value::date(makeDate(h.year, h.month, h.day));
  });
  add({"HEADER"}, [](Args&) { return Value::number(current() ? current()->table().header().headerLen : 0, 0); });
  add({"RECSIZE"}, [](Args&) { return Value::number(current() ? current()->table().header().recordLen : 0, 0); });

  // --- locks ---
  add({"RLOCK"}, [](Args&) { return Value::logical(need("RLOCK").lockCurrent()); });
  add({"FLOCK"}, [](Args&) { return Value::logical(need("FLOCK").lockFile()); });
  add({"DBRLOCK"}, [](Args& a) {
    WorkArea& w = need("DBRLOCK");
    if (a[0].isNum()) return Value::logical(w.lockRecord(uint32_t(std::max(0.0, a[0].num()))));
    return Value::logical(w.lockCurrent());
  });
  add({"DBRUNLOCK"}, [](Args& a) {
    need("DBRUNLOCK").unlockRecord(uint32_t(std::max<int64_t>(0, argInt(a, 0, 0))));
    return Value();
  });
  add({"DBUNLOCK"}, [](Args&) {
    need("DBUNLOCK").unlockAll();
    return Value();
  });
  add({"DBUNLOCKALL"}, [](Args&) {
    for (auto& [n, w] : areas().areas()) w->unlockAll();
    return Value();
  });
  add({"DBRLOCKLIST"}, [](Args&) {
    Value out = Value::newArray();
    if (WorkArea* w = current())
      for (uint32_t r : w->lockedRecords()) out.arr().push_back(Value::number(r, 0));
    return out;
  });

  // --- orders ---
  add({"ORDSETFOCUS", "DBSETORDER"}, [](Args& a) {
    WorkArea& w = need("ORDSETFOCUS");
    const TagInfo* old = w.orderInfo(w.order());
    Value previous = Value::text(old ? old->name : "");
    if (a[0].isNum()) w.setOrder(int(a[0].num()));
    else if (a[0].isChar()) w.setOrder(w.orderByName(a[0].str()));
    return previous;
  });
  add({"ORDNUMBER"}, [](Args& a) {
    WorkArea* w = current();
    if (!w) return Value::number(0, 0);
    return Value::number(a[0].isChar() ? w->orderByName(a[0].str()) : w->order(), 0);
  });
  add({"INDEXORD"}, [](Args&) { return Value::number(current() ? current()->order() : 0, 0); });
  add({"ORDNAME"}, [](Args& a) {
    WorkArea* w = current();
    if (!w) return Value::text("");
    const TagInfo* t = w->orderInfo(a[0].isNum() ? int(a[0].num()) : w->order());
    return Value::text(t ? t->name : "");
  });
  add({"ORDKEY", "INDEXKEY"}, [](Args& a) {
    WorkArea* w = current();
    if (!w) return Value::text("");
    int n = a[0].isNum() && a[0].num() != 0 ? int(a[0].num()) : (a[0].isChar() ? w->orderByName(a[0].str()) : w->order());
    const TagInfo* t = w->orderInfo(n);
    return Value::text(t ? t->keyExpr : "");
  });
  add({"ORDFOR"}, [](Args& a) {
    WorkArea* w = current();
    if (!w) return Value::text("");
    const TagInfo* t = w->orderInfo(orderOf(*w, a[0]));
    return Value::text(t ? t->forExpr : "");
  });
  add({"ORDBAGNAME"}, [](Args& a) {
    WorkArea* w = current();
    return Value::text(w ? w->orderBag(orderOf(*w, a[0])) : "");
  });
  add({"ORDCOUNT"}, [](Args&) { return Value::number(current() ? current()->orderCount() : 0, 0); });
  add({"ORDLISTADD", "DBSETINDEX"}, [](Args& a) {
    WorkArea& w = need("ORDLISTADD");
    std::string bag = resolveBagName(argStr(a, 0), w.table().path(), false);
    // With no controlling order (the structural tags alone, after ORDLISTCLEAR), the first tag of
    // the file added takes control.
    bool natural = w.order() == 0;
    int before = w.orderCount();
    w.addBag(bag);
    if (natural && w.order() == 0 && w.orderCount() > before &&
        !sameInode(bag, structuralBagPath(w.table().path())))
      w.setOrder(before + 1);
    if (a[1].isChar()) w.setOrder(w.orderByName(a[1].str()));
    return Value();
  });
  add({"ORDLISTCLEAR", "DBCLEARINDEX", "DBCLEARIND"}, [](Args&) {
    need("ORDLISTCLEAR").clearBags(true);
    return Value();
  });
  add({"ORDLISTREBUILD", "DBREINDEX"}, [](Args&) {
    need("DBREINDEX").reindex();
    return Value();
  });
  add({"ORDCREATE"}, [](Args& a) {
    WorkArea& w = need("ORDCREATE");
    createIndex(w, argStr(a, 0), argStr(a, 1), a[2], a[3], a[4], false);
    return Value();
  });
  // ORDCONDSET(cFor, bFor, lAll, bWhile, bEval, nInterval, nStart, nNext, nRecord, lRest, lDescend)
  add({"ORDCONDSET"}, [](Args& a) {
    IndexConditions& c = pendingConditions();
    c.forText = argStr(a, 0);
    c.evalBlock = a[4];
    c.every = argInt(a, 5, 1);
    c.descending = argBool(a, 10, false);
    return Value::logical(true);
  });
  add({"ORDKEYSINCLUDED"}, [](Args&) {
    WorkArea* w = current();
    return Value::number(w ? double(w->keysIncluded()) : 0, 0);
  });
  add({"DBCREATEINDEX", "DBCREATEIND"}, [](Args& a) {
    WorkArea& w = need("DBCREATEINDEX");
    createIndex(w, argStr(a, 0), "", a[1], a[2], a[3], true);
    return Value();
  });
  add({"ORDDESTROY"}, [](Args& a) {
    WorkArea& w = need("ORDDESTROY");
    if (a[0].isChar()) w.destroyTag(a[0].str());
    else if (a[0].isNum() && w.orderInfo(int(a[0].num()))) w.destroyTag(w.orderInfo(int(a[0].num()))->name);
    return Value();
  });
  add({"ORDSCOPE"}, [](Args& a) {
    WorkArea& w = need("ORDSCOPE");
    int which = int(argInt(a, 0, 0));
    if (which < 0 || which > 1) throw Error(ErrorKind::Argument, "Argument error", "ORDSCOPE");
    Value old = w.scope(which);
    if (a.count() > 1) w.setScope(which, a[1]);
    return old;
  });
  add({"ORDKEYCOUNT"}, [](Args&) {
    WorkArea* w = current();
    return Value::number(w ? double(w->keyCount()) : 0, 0);
  });
  add({"INDEXEXT", "ORDBAGEXT"}, [](Args&) { return Value::text(".cdx"); });

  // --- filters and relations ---
  add({"DBSETFILTER"}, [](Args& a) {
    need("DBSETFILTER").setFilter(a[0], argStr(a, 1));
    return Value();
  });
  add({"DBCLEARFILTER", "DBCLEARFIL"}, [](Args&) {
    need("DBCLEARFILTER").clearFilter();
    return Value();
  });
  add({"DBFILTER"}, [](Args&) { return Value::text(current() ? current()->filterText() : ""); });
  add({"DBSETRELATION", "DBSETRELAT"}, [](Args& a) {
    WorkArea& w = need("DBSETRELATION");
    WorkArea* child = areaOf(a[0]);
    if (!child || child == &w) throw Error(ErrorKind::NoAlias, "Alias does not exist", "DBSETRELATION");
    w.addRelation(*child, a[1], argStr(a, 2));
    return Value();
  });
  add({"DBCLEARRELATION", "DBCLEARREL"}, [](Args&) {
    need("DBCLEARRELATION").clearRelations();
    return Value();
  });
  add({"DBRELATION"}, [](Args& a) {
    WorkArea* w = current();
    return Value::text(w ? w->relationText(int(argInt(a, 0, 1))) : "");
  });
  add({"DBRSELECT"}, [](Args& a) {
    WorkArea* w = current();
    return Value::number(w ? w->relationTarget(int(argInt(a, 0, 1))) : 0, 0);
  });
}

}  // namespace rt::db
