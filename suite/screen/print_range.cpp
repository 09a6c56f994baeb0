// ZAKRES_WYDR: the employee range of the prints.
#include "suite/screen/print_range.h"

#include "runtime/core/context.h"

namespace suite {

void registerPrintRangeFunctions() {
  rt::functions().add("ZAKRES_WYDR", [](rt::Args&) {
    rt::Value range = rt::Value::integer(1), tab = rt::Value::text(""), index = rt::Value::logical(false);
    rt::Args dialog;
    dialog.push(range, &range);
    dialog.push(tab, &tab);
    dialog.push(rt::Value::integer(8));
    dialog.push(index, &index);
    dialog.push(rt::Value::logical(true));
    dialog.push(rt::Value::logical(false));
    dialog.push(rt::Value::logical(false));
    rt::functions().call("ZAKRES", dialog);
    if (range.intOr(0) == 0) return rt::Value();
    // The range belongs to the program's state; it stays for the prints that follow.
    rt::Memvars& v = rt::context().memvars;
    auto keep = [&v](const char* name, const rt::Value& value) {
      if (!v.find(name)) v.declarePublic(name);
      v.assign(name, value);
    };
    keep("ky_zakres", range);
    keep("ky_tab", tab);
    keep("ky_index", index);
    return rt::Value();
  });
}

}  // namespace suite
