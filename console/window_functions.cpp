// By-name adapters of windows, frame glyphs, the display-text hook and the progress windows.
#include "console/by_name.h"
#include "console/progress.h"
#include "console/register.h"
#include "console/window.h"

namespace con {

namespace {

using namespace byname;

rt::Value openWindow(rt::Args& a, bool withExplode, const char* name) {
  WindowSpec w;
  w.type = int(needNum(a, 0, name));
  w.top = int(needNum(a, 1, name));
  w.left = int(needNum(a, 2, name));
  w.bottom = int(needNum(a, 3, name));
  w.right = int(needNum(a, 4, name));
  w.title = optText(a, 5);
  if (auto s = optNum(a, 6)) w.set = int(*s);
  w.explode = withExplode && optLogical(a, 7).value_or(false);
  return text(ROZWIN(w));
}

}  // namespace

void registerWindowFunctions(rt::Functions& f) {
  f.add("ROZWIN", [](rt::Args& a) { return openWindow(a, true, "ROZWIN"); });
  f.add("_ROZWIN", [](rt::Args& a) { return openWindow(a, false, "_ROZWIN"); });
  f.add("ZWIN", [](rt::Args& a) {
    if (a[0].isChar()) ZWIN(a[0].str());
    return rt::Value();
  });
  f.add("KODY_RAMEK", [](rt::Args& a) {
    return text(KODY_RAMEK(textOr(a, 0, ""), int(numOr(a, 1, 0))));
  });
  f.add("K_DAJ_NOWE", [](rt::Args&) {
    rt::Value table = rt::Value::newArray(0);
    for (auto [newLook, classic] : K_DAJ_NOWE()) {
      rt::Value pair = rt::Value::newArray(0);
      pair.arr().push_back(number(newLook));
      pair.arr().push_back(number(classic));
      table.arr().push_back(pair);
    }
    return table;
  });
  f.add("NOWY_GEN", [](rt::Args&) { return logical(NOWY_GEN()); });
  f.add("STARY_GEN", [](rt::Args&) {
    STARY_GEN();
    return rt::Value();
  });
  f.add("CZY_NOWY", [](rt::Args&) { return number(CZY_NOWY()); });
  // The library's own display-text hook: the argument unchanged, NIL included.
  f.add("_P", [](rt::Args& a) { return a[0]; });

  f.add("INITDBASE", [](rt::Args&) { return text(INITDBASE()); });
  f.add("INITPROGRES", [](rt::Args&) { return text(INITPROGRES()); });
  f.add("GODBASE", [](rt::Args& a) {
    return logical(GODBASE(needNum(a, 0, "GODBASE"), needNum(a, 1, "GODBASE")));
  });
  f.add("GOPROGRES", [](rt::Args& a) {
    return logical(GOPROGRES(needNum(a, 0, "GOPROGRES"), needNum(a, 1, "GOPROGRES")));
  });
}

}  // namespace con
