// roundHalfAway: rounding on the decimal reading of a double (15 significant digits).
#include "runtime/core/rounding.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace rt {

double snap15(double v) {
  if (!std::isfinite(v) || v == 0) return v;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", v);
  return std::strtod(buf, nullptr);
}

namespace {

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

}  // namespace

// The product a x 10^d is off the true one by at most half a unit in its last place, and a itself
// by as much again: within 2.3e-16 of the product together. A whole number R found within 3e-16
// of it lies nearer to |v| than half a step of the fifteenth significant digit (at least 5e-16 of
// |v|), so the fifteen digits of |v| are R's followed by zeros.
bool scaledWhole(double v, int decimals, double& whole) {
  if (decimals < 0 || decimals > 15 || !std::isfinite(v)) return false;
  double scaled = std::fabs(v) * kPowersOfTen[decimals];
  if (!(scaled < 1e15)) return false;
  double r = std::round(scaled);
  if (r < 1 || std::fabs(scaled - r) > scaled * 3e-16) return false;
  whole = r;
  return true;
}

double roundHalfAway(double v, int decimals) {
  if (!std::isfinite(v) || v == 0) return v;
  if (decimals > 15) decimals = 15;
  if (decimals < -15) decimals = -15;
  // A value already at `decimals` places: the digit rounding below would give R / 10^decimals,
  // read back as the nearest double, which is what the division gives (R and 10^decimals exact).
  if (double whole; scaledWhole(v, decimals, whole)) {
    double r = whole / kPowersOfTen[decimals];
    return v < 0 ? -r : r;
  }
  // Digits of the snapped value as decimal text: "d.dddddddddddddde[+-]xx".
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
  int exponent = std::atoi(std::strchr(buf, 'e') + 1);
  char digits[16];
  int n = 0;
  for (const char* p = buf; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits[n++] = *p;
  // digits[k] has the weight 10^(exponent - k). Keep those with weight >= 10^-decimals.
  int keep = exponent + decimals + 1;  // number of digits kept
  if (keep >= n) return v < 0 ? -snap15(-v) : snap15(v);
  if (keep < 0) return 0.0;
  // Integer formed by the kept digits, plus one when the first dropped digit is 5 or more.
  double mantissa = 0;
  for (int k = 0; k < keep; ++k) mantissa = mantissa * 10 + (digits[k] - '0');
  if (digits[keep] >= '5') mantissa += 1;
  // Scale back: the last kept digit has weight 10^-decimals.
  char out[64];
  std::snprintf(out, sizeof out, "%.0fe%d", mantissa, -decimals);
  double r = std::strtod(out, nullptr);
  if (r == 0) return 0.0;
  return v < 0 ? -r : r;
}

}  // namespace rt
