// By-name adapters of the conversions: numbers in bases, byte strings, the generator, the
// scramblers, YYYYMMDD dates and version comparison.
#include <cmath>

#include "console/by_name.h"
#include "console/date_version.h"
#include "console/number_conv.h"
#include "console/register.h"
#include "console/scramblers.h"
#include "runtime/core/context.h"

namespace con {

namespace {

using namespace byname;

// STR() of the runtime, so a scrambled number keeps the digits the runtime would print.
std::string runtimeStr(const rt::Value& n) {
  rt::Value s = rt::functions().call("STR", {n});
  return s.isChar() ? s.str() : std::string();
}

rt::Value runtimeVal(const std::string& text) {
  return rt::functions().call("VAL", {rt::Value::text(text)});
}

rt::Value A_KODUJ_byName(rt::Args& a, bool encode) {
  const std::string& s = needText(a, 0, encode ? "A_KODUJ" : "A_DEKODUJ");
  int method = int(numOr(a, 1, 2));
  return text(encode ? A_KODUJ(s, method) : A_DEKODUJ(s, method));
}

}  // namespace

void registerConversionFunctions(rt::Functions& f) {
  f.add("CTON", [](rt::Args& a) {
    return number(CTON(needText(a, 0, "CTON"), needNum(a, 1, "CTON")));
  });
  f.add("NTOC", [](rt::Args& a) {
    return text(NTOC(needNum(a, 0, "NTOC"), needNum(a, 1, "NTOC"), optNum(a, 2)));
  });
  f.add("N2BIN", [](rt::Args& a) {
    double width = needNum(a, 1, "N2BIN");
    if (a[0].isNum()) return text(N2BIN(a[0].num(), width));
    return text(N2BIN(std::string_view(needText(a, 0, "N2BIN")), width));
  });
  f.add("BIN2N", [](rt::Args& a) { return number(BIN2N(needText(a, 0, "BIN2N"))); });
  f.add("ZEF_RAND", [](rt::Args& a) {
    // Not rounded: the caller takes the integer part when it needs one.
    return rt::Value::number(ZEF_RAND(needNum(a, 0, "ZEF_RAND")), 8);
  });

  f.add("A_KODUJ", [](rt::Args& a) { return A_KODUJ_byName(a, true); });
  f.add("A_DEKODUJ", [](rt::Args& a) { return A_KODUJ_byName(a, false); });
  f.add("ZASZYFR", [](rt::Args& a) {
    if (a[0].isNum()) return text(scrambleNumber(runtimeStr(a[0])));
    if (a[0].isChar()) return text(scrambleText(a[0].str()));
    return text("");
  });
  f.add("SZYFR", [](rt::Args& a) {
    if (!a[0].isChar()) return text("");
    Unscrambled u = unscramble(a[0].str());
    switch (u.kind) {
      case Unscrambled::Kind::Empty: return text("");
      case Unscrambled::Kind::Number: return runtimeVal(u.text);
      case Unscrambled::Kind::Text: break;
    }
    return text(u.text);
  });

  f.add("STOD", [](rt::Args& a) {
    return rt::Value::date(a[0].isChar() ? STOD(a[0].str()) : 0);
  });
  f.add("POR_STR", [](rt::Args& a) {
    std::string op = textOr(a, 2, "");
    auto r = POR_STR(textOr(a, 0, ""), textOr(a, 1, ""), op, rt::context().settings.exact);
    if (!r)
      throw rt::Error(rt::ErrorKind::Syntax, "Syntax error: not a comparison operator: " + op,
                      "POR_STR");
    return logical(*r);
  });
}

}  // namespace con
