// Number functions: ROUND, INT, ABS, MIN, MAX, MOD and the few mathematical ones.
//
// Results carry the decimals the runtime gives them: ROUND its argument's places, INT none,
// ABS/MIN/MAX those of the value returned, MOD and the mathematical functions SET DECIMALS.
#include <cmath>

#include "runtime/core/context.h"
#include "runtime/core/rounding.h"
#include "runtime/core/std_args.h"
#include "runtime/core/std_register.h"

namespace rt {
namespace {

using namespace stdargs;

int setDecimals() { return context().settings.decimals; }

// MIN/MAX: numbers or dates of one kind; the value returned keeps its own attributes.
Value pick(const Args& a, const char* fn, bool wantMax) {
  const Value& x = a[0];
  const Value& y = a[1];
  if (x.isNum() && y.isNum()) return (wantMax ? y.num() > x.num() : y.num() < x.num()) ? y : x;
  if (x.isDate() && y.isDate()) return (wantMax ? y.date() > x.date() : y.date() < x.date()) ? y : x;
  argumentError(fn);
}

Value mathResult(double r, const char* fn) {
  if (!std::isfinite(r)) throw Error(ErrorKind::Argument, "Argument error", fn);
  return Value::number(r, setDecimals());
}

}  // namespace

namespace detail {

void registerNumberFunctions(Functions& f) {
  f.add("ROUND", [](Args& a) {
    double v = needNum(a, 0, "ROUND");
    int d = int(needInt(a, 1, "ROUND"));
    if (d > 30) d = 30;
    if (d < -30) d = -30;
    return Value::number(roundHalfAway(v, d), d < 0 ? 0 : d);
  });
  f.add("INT", [](Args& a) {
    const Value& v = a[0];
    if (!v.isNum()) argumentError("INT");
    int width = kDefaultWidth;
    if (v.width() > 0) {  // keeps the integer positions of a field
      width = v.width() - (v.decimals() > 0 ? v.decimals() + 1 : 0);
      if (width < 1) width = kDefaultWidth;
    }
    return Value::number(std::trunc(v.num()), 0, width);
  });
  f.add("ABS", [](Args& a) {
    const Value& v = a[0];
    if (!v.isNum()) argumentError("ABS");
    return Value::number(std::fabs(v.num()), v.decimals(), v.width());
  });
  f.add("MIN", [](Args& a) { return pick(a, "MIN", false); });
  f.add("MAX", [](Args& a) { return pick(a, "MAX", true); });
  f.add("MOD", [](Args& a) {
    double x = needNum(a, 0, "MOD");
    double y = needNum(a, 1, "MOD");
    if (y == 0) throw Error(ErrorKind::ZeroDivisor, "Zero divisor", "%");
    double r = std::fmod(x, y);
    if (r != 0 && ((r < 0) != (y < 0))) r += y;  // the sign of the divisor
    return Value::number(r, setDecimals());
  });
  f.add("SQRT", [](Args& a) {
    double v = needNum(a, 0, "SQRT");
    return mathResult(v <= 0 ? 0.0 : std::sqrt(v), "SQRT");
  });
  f.add("EXP", [](Args& a) { return mathResult(std::exp(needNum(a, 0, "EXP")), "EXP"); });
  f.add("LOG", [](Args& a) {
    double v = needNum(a, 0, "LOG");
    if (v <= 0) throw Error(ErrorKind::Argument, "Argument error", "LOG");
    return mathResult(std::log(v), "LOG");
  });
}

}  // namespace detail
}  // namespace rt
