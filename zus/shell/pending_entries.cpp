// Stand-ins for the program's entries that no subsystem has registered yet: the menu reaches every
// entry by name, so a missing one says so in a message window and returns to the menu. The options
// that work on benefits test the link flag first, as the finished options do.
#include <set>
#include <string>

#include "runtime/core/context.h"
#include "zus/shell/startup.h"

namespace zus {
namespace {

bool needsLink(const std::string& name) {
  static const std::set<std::string> guarded{"WPROW_NB", "OBL_ZAS", "TO_WRITE", "GOTO_KADRY",
                                              "DRUK_ZAS"};
  return guarded.count(name) == 1;
}

rt::Value notYetAvailable(const std::string& name) {
  if (needsLink(name)) {
    const rt::Value* flag = rt::context().memvars.tryGet("czy_jest_mem");
    if (!flag || !flag->isLogical() || !flag->logical()) {
      KOMUNIKAT();
      return rt::Value();
    }
  }
  rt::Value lines = rt::Value::newArray(2);
  lines.arr()[0] = rt::Value::text("Opcja " + name + " nie jest jeszcze doste`pna.");
  lines.arr()[1] = rt::Value::text("Zostanie udoste`pniona w kolejnej wersji programu.");
  rt::functions().call("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0),
                                rt::Value::integer(0)});
  return rt::Value();
}

}  // namespace

void registerPendingEntries() {
  rt::Functions& f = rt::functions();
  for (const char* entry : optionEntryNames()) {
    std::string name = entry;
    if (!f.has(name)) f.add(name, [name](rt::Args&) { return notYetAvailable(name); });
  }
  // Required names that are routines of later subsystems, not menu entries: they do nothing
  // until those subsystems are in.
  for (const char* required : requiredFunctionNames()) {
    if (!f.has(required)) f.add(required, [](rt::Args&) { return rt::Value(); });
  }
}

}  // namespace zus
