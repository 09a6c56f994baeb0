// By-name adapters of the palettes and colour sets.
#include "console/by_name.h"
#include "console/palette.h"
#include "console/register.h"

namespace con {

namespace {

using namespace byname;

rt::Value stateValue(const ColourState& s) {
  rt::Value a = rt::Value::newArray(0);
  a.arr().push_back(number(s.set));
  a.arr().push_back(text(s.colours.value_or("")));
  return a;
}

// K_SET_ZESTAW's argument: a set number, an array {set, colour string}, or anything else (none).
std::optional<ColourState> stateArg(const rt::Value& v) {
  if (v.isNum()) return ColourState{int(v.num()), std::nullopt};
  if (v.isArray()) {
    const rt::Array& a = v.arr();
    ColourState s;
    s.set = !a.empty() && a[0].isNum() ? int(a[0].num()) : 0;
    if (a.size() > 1 && a[1].isChar()) s.colours = a[1].str();
    return s;
  }
  return std::nullopt;
}

}  // namespace

void registerColourFunctions(rt::Functions& f) {
  f.add("K_ZMIEN_PALETE", [](rt::Args& a) {
    K_ZMIEN_PALETE(optText(a, 0));
    return rt::Value();
  });
  f.add("K_DAJ_PALETE", [](rt::Args&) { return text(K_DAJ_PALETE()); });
  f.add("K_SET_ZESTAW", [](rt::Args& a) { return stateValue(K_SET_ZESTAW(stateArg(a[0]))); });
  f.add("K_SET_KOLOR", [](rt::Args& a) {
    return text(K_SET_KOLOR(optNum(a, 0), optNum(a, 1), optNum(a, 2), optNum(a, 3)));
  });
  f.add("K_NORM", [](rt::Args& a) { return text(K_NORM(optNum(a, 0), optNum(a, 1))); });
  f.add("K_NORM_", [](rt::Args& a) { return text(K_NORM_(optNum(a, 0), optNum(a, 1))); });
  f.add("K_SPEC_MEN", [](rt::Args& a) { return text(K_SPEC_MEN(optNum(a, 0), optNum(a, 1))); });
  f.add("K_BOLD", [](rt::Args& a) { return text(K_BOLD(optNum(a, 0), optNum(a, 1))); });
  f.add("K_INV", [](rt::Args& a) {
    return text(K_INV(optNum(a, 0), optNum(a, 1), optNum(a, 2)));
  });
  f.add("K_CIEN", [](rt::Args& a) {
    K_CIEN(int(needNum(a, 0, "K_CIEN")), int(needNum(a, 1, "K_CIEN")),
           int(needNum(a, 2, "K_CIEN")), int(needNum(a, 3, "K_CIEN")), optLogical(a, 4));
    return rt::Value();
  });
  f.add("K_DAJ_RAMKI", [](rt::Args& a) { return logical(K_DAJ_RAMKI(optNum(a, 0))); });
  f.add("K_DAJ_CIEN", [](rt::Args&) { return logical(K_DAJ_CIEN()); });
  f.add("K_CLEAR", [](rt::Args& a) {
    K_CLEAR(optNum(a, 0), optNum(a, 1));
    return rt::Value();
  });
}

}  // namespace con
