// roundHalfAway: rounding on the decimal reading of a double (15 significant digits).
#include "runtime/core/rounding.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace rt {

namespace {

// The decimal text of v with 15 significant digits, "d.dddddddddddddde+xx": what the print with
// "%.14e" gives (both round the exact binary value), without the cost of the formatted print.
// Returns the end of the text.
char* fifteenDigits(double v, char* buf, size_t size) {
  return std::to_chars(buf, buf + size, v, std::chars_format::scientific, 14).ptr;
}

// The double nearest to the decimal text, as strtod reads it, whatever the locale.
double decimalValue(const char* first, const char* last) {
  double d = 0;
  std::from_chars(first, last, d);
  return d;
}

}  // namespace

double snap15(double v) {
  if (!std::isfinite(v) || v == 0) return v;
  char buf[40];
  return decimalValue(buf, fifteenDigits(v, buf, sizeof buf));
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
  char* end = fifteenDigits(std::fabs(v), buf, sizeof buf);
  const char* e = std::find(buf, end, 'e');
  int exponent = 0;
  std::from_chars(e + 1 + (e + 1 < end && e[1] == '+'), end, exponent);
  char digits[16];
  int n = 0;
  for (const char* p = buf; p < e; ++p)
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
  char* at = std::to_chars(out, out + 40, static_cast<unsigned long long>(mantissa)).ptr;
  *at++ = 'e';
  at = std::to_chars(at, out + sizeof out, -decimals).ptr;
  double r = decimalValue(out, at);
  if (r == 0) return 0.0;
  return v < 0 ? -r : r;
}

}  // namespace rt
