// Locks, scopes and filters over the runtime's table functions.
#include "suite/tables/table_services.h"

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "suite/tables/table_ops.h"

namespace suite {

void addFieldPair(rt::Value& pairs, const std::string& name, rt::Value value) {
  rt::Value pair = rt::Value::newArray(2);
  pair.arr()[0] = rt::Value::text(name);
  pair.arr()[1] = std::move(value);
  pairs.arr().push_back(std::move(pair));
}

void registerTableServiceFunctions() {
  rt::Functions& f = rt::functions();
  // The plain form replaces the area's earlier locks; with a record number the lock is added.
  f.add("_REC_LOCK", [](rt::Args& a) {
    if (a[0].isNum()) return rt::Value::logical(call("DBRLOCK", {a[0]}).logicalOr(false));
    return rt::Value::logical(call("RLOCK").logicalOr(false));
  });
  f.add("_FILE_LOCK", [](rt::Args&) { return rt::Value::logical(call("FLOCK").logicalOr(false)); });
  // With an array of {field name, value} pairs the new record holds them from its one write, so
  // that a process killed on the way leaves no blank record.
  f.add("_APPE_BLAN", [](rt::Args& a) {
    if (a[0].isArray()) {
      std::vector<std::pair<std::string, rt::Value>> fields;
      for (const rt::Value& pair : a[0].arr())
        if (pair.isArray() && pair.arr().size() >= 2 && pair.arr()[0].isChar())
          fields.emplace_back(pair.arr()[0].str(), pair.arr()[1]);
      return rt::Value::logical(appendRecord(fields));
    }
    call("DBAPPEND");
    return rt::Value::logical(!call("NETERR").logicalOr(true));
  });
  f.add("CMXSETSCOPE", [](rt::Args& a) {
    return call("ORDSCOPE", {rt::Value::integer(a[0].intOr(0) == 0 ? 0 : 1), a[1]});
  });
  f.add("CMXCLRSCOPE", [](rt::Args& a) {
    return call("ORDSCOPE", {rt::Value::integer(a[0].intOr(0) == 0 ? 0 : 1), rt::Value()});
  });
  f.add("CMXKEYCOUNT", [](rt::Args&) { return call("ORDKEYCOUNT"); });
  f.add("CMXKEYSINCLUDED", [](rt::Args&) { return call("ORDKEYCOUNT"); });
  f.add("CMXCOUNT", [](rt::Args&) { return call("ORDCOUNT"); });
  f.add("CMFILTER", [](rt::Args& a) {
    std::string text = a[0].strOr("");
    if (text.find_first_not_of(' ') == std::string::npos) call("DBCLEARFILTER");
    else call("DBSETFILTER", {rt::Value(), rt::Value::text(text)});
    call("DBGOTOP");
    return rt::Value();
  });
  // A table of any directory opened alone under an alias; false when the open was refused.
  f.add("_OPEN_LOCAL", [](rt::Args& a) {
    std::string dir = a[0].strOr("");
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    try {
      call("DBUSEAREA", {rt::Value::logical(true), rt::Value(), rt::Value::text(dir + a[1].strOr("")),
                         a[2].isChar() ? a[2] : rt::Value(), rt::Value::logical(true),
                         rt::Value::logical(false)});
    } catch (const rt::Error& e) {
      // Only a file in use elsewhere is a refusal; a missing, damaged or unreadable one goes on
      // with its error, naming the file, instead of a refusal the caller passes over in silence.
      if (!inUseElsewhere(e)) throw;
      return rt::Value::logical(false);
    }
    return rt::Value::logical(!call("NETERR").logicalOr(true) && call("USED").logicalOr(false));
  });
}

}  // namespace suite
