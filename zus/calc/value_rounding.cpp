// Rounding to steps and to decimals; every rounding goes through the runtime's one routine.
#include "zus/calc/value_rounding.h"

#include <cmath>

#include "runtime/core/rounding.h"

namespace zus::calcrun {

double roundToStep(double x, double step) {
  if (!(step > 0)) return x;
  return rt::snap15(rt::roundHalfAway(x / step, 0) * step);
}

double roundUpToStep(double x, double step) {
  if (!(step > 0)) return x;
  double q = rt::snap15(x / step);
  if (q == std::floor(q)) return x;
  return rt::snap15(std::ceil(q) * step);
}

double roundByKind(double x, double step, std::string_view kind) {
  return mathematicalKind(kind) ? roundToStep(x, step) : roundUpToStep(x, step);
}

double round2(double x) { return rt::roundHalfAway(x, 2); }
double round1(double x) { return rt::roundHalfAway(x, 1); }
double round0(double x) { return rt::roundHalfAway(x, 0); }

}  // namespace zus::calcrun
