// Table operations through the runtime's functions by name.
#include "suite/tables/table_ops.h"

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/db/work_areas.h"
#include "suite/company/file_lookup.h"
#include "suite/tables/index_rebuild.h"

namespace suite {

rt::Value call(const char* function, std::vector<rt::Value> args) {
  return rt::functions().call(function, std::move(args));
}

std::string tableDirectory(const TableDef& def) {
  const char* var = def.dir == CompanyDir::Personnel ? "_path_kadr" : "_path_plac";
  const rt::Value* dir = rt::context().memvars.tryGet(var);
  return dir && dir->isChar() ? dir->str() : std::string();
}

std::string tablePath(const TableDef& def) { return findPath(tableDirectory(def) + def.name); }

void createTable(const std::string& path, const TableDef& def) {
  rt::Value structure = rt::Value::newArray(0);
  for (const FieldDef& f : def.fields) {
    rt::Value row = rt::Value::newArray(4);
    row.arr()[0] = rt::Value::text(f.name);
    row.arr()[1] = rt::Value::text(std::string(1, f.type));
    row.arr()[2] = rt::Value::integer(f.len);
    row.arr()[3] = rt::Value::integer(f.dec);
    structure.arr().push_back(row);
  }
  call("DBCREATE", {rt::Value::text(path + ".dbf"), structure});
  call("DBUSEAREA", {rt::Value::logical(true), rt::Value(), rt::Value::text(path + ".dbf"),
                     rt::Value::text("zef_new"), rt::Value::logical(false),
                     rt::Value::logical(false)});
  for (const TagDef& t : def.tags)
    call("ORDCREATE", {rt::Value::text(path + ".cdx"), rt::Value::text(t.name),
                       rt::Value::text(t.key)});
  call("DBCLOSEAREA");
}

bool inUseElsewhere(const rt::Error& e) {
  return e.kind() == rt::ErrorKind::NetErr || e.kind() == rt::ErrorKind::Lock;
}

bool useTable(const TableDef& def, bool shared) {
  try {
    call("DBUSEAREA", {rt::Value::logical(true), rt::Value(),
                       rt::Value::text(tablePath(def) + ".dbf"), rt::Value::text(def.alias),
                       rt::Value::logical(shared), rt::Value::logical(false)});
  } catch (const rt::Error& e) {
    // Only a table in use at another workstation is worth a retry; a missing, damaged or
    // unreadable table, memo or index is not, and the user must learn which file it is, so that
    // error goes on to the option's error message.
    if (!inUseElsewhere(e)) throw;
    return false;
  }
  if (call("NETERR").logicalOr(false)) return false;
  return call("USED").logicalOr(false);
}

namespace {

bool indexesStale() {
  rt::db::WorkArea* area = rt::db::workAreas().selected();
  return area && area->indexesStale();
}

// The table's area closed again when its opening fails half-way (the alias must not stay taken).
void closeAfterFailure(const TableDef& def) noexcept {
  try {
    rt::db::WorkAreas& areas = rt::db::workAreas();
    if (int n = areas.numberOf(def.alias)) areas.close(n);
  } catch (...) {  // the opening's own error is what the caller reports
  }
}

bool openChecked(const TableDef& def, bool shared) {
  if (!useTable(def, shared)) return false;
  // An index that a writer who died left behind is rebuilt from the table before anything uses
  // it; while others work on the table it cannot be, and the table cannot be worked on.
  if (indexesStale()) {
    if (!shared) {
      rebuildIndexesHere(def);
    } else {
      call("DBCLOSEAREA");
      if (!rebuildIndexesAlone(def) || !useTable(def, shared)) return false;
    }
  }
  // Without its index (the file deleted or cut down to fewer tags) the table must not be worked
  // on: seeks by order would find nothing or the wrong rows, and writes would leave the index
  // behind the table for every other workstation.
  if (call("ORDCOUNT").intOr(0) < int64_t(def.tags.size())) {
    call("DBCLOSEAREA");
    throw rt::Error(rt::ErrorKind::Corrupt, "Corruption detected: the index file is missing or lacks orders",
                    "open", tablePath(def) + ".cdx");
  }
  // The suite's tables open in their first order.
  if (call("ORDCOUNT").intOr(0) > 0) call("ORDSETFOCUS", {rt::Value::integer(1)});
  return true;
}

}  // namespace

bool openTable(const TableDef& def, bool shared) {
  // An alias already taken is refused by the opening; that area is not ours to close.
  const bool taken = rt::db::workAreas().numberOf(def.alias) != 0;
  try {
    return openChecked(def, shared);
  } catch (...) {
    if (!taken) closeAfterFailure(def);
    throw;
  }
}

rt::Value field(const std::string& name) {
  // FIELDGET(FIELDPOS(name)) without the two calls by name.
  rt::db::WorkArea* area = rt::db::workAreas().selected();
  int i = area ? area->fieldIndex(name) : -1;
  return i < 0 ? rt::Value() : area->get(size_t(i));
}

void setField(const std::string& name, const rt::Value& v) {
  rt::Value pos = call("FIELDPOS", {rt::Value::text(name)});
  if (pos.intOr(0) > 0) call("FIELDPUT", {pos, v});
}

bool appendRecord(const std::vector<std::pair<std::string, rt::Value>>& fields) {
  rt::db::WorkArea& area = rt::db::workAreas().need("DBAPPEND");
  std::vector<std::pair<size_t, rt::Value>> values;
  for (const auto& [name, value] : fields) {
    int i = area.fieldIndex(name);
    if (i >= 0) values.emplace_back(size_t(i), value);
  }
  bool appended = area.append(values);
  rt::db::workAreas().setNetErr(!appended);
  return appended;
}

}  // namespace suite
