// STR, VAL and binary packing; TRANSFORM lives in std_picture.cpp.
#include "runtime/core/std_convert.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "runtime/core/rounding.h"
#include "runtime/core/std_args.h"
#include "runtime/core/std_register.h"

namespace rt {
namespace {

using namespace stdargs;

constexpr int kDefaultIntegerPositions = 10;

// The digits of |v| rounded to `decimals`, and whether a minus sign is due.
std::string plainNumber(double v, int decimals, bool& negative) {
  if (decimals < 0) decimals = 0;
  if (decimals > 30) decimals = 30;
  double r = roundHalfAway(v, decimals);
  if (!std::isfinite(r)) r = 0;
  // A rounded value below 10^15 at `decimals` places prints as its whole number's digits with
  // the point set in: what the formatted print of the double gives, without its cost.
  if (r == 0 && decimals <= 15) {
    negative = false;
    return decimals == 0 ? "0" : "0." + std::string(size_t(decimals), '0');
  }
  if (double whole; scaledWhole(r, decimals, whole)) {
    char buf[40];
    char* p = buf + sizeof buf;
    auto w = static_cast<unsigned long long>(whole);
    for (int i = 0; w > 0 || i <= decimals; ++i) {
      if (i == decimals && decimals > 0) *--p = '.';
      *--p = char('0' + w % 10);
      w /= 10;
    }
    negative = r < 0;
    return std::string(p, size_t(buf + sizeof buf - p));
  }
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(r));
  negative = r < 0 && std::strspn(buf, "0.") != std::strlen(buf);
  return buf;
}

// The width STR(n) uses for a number without an explicit width.
int naturalWidth(const Value& n) {
  if (n.width() > 0) return n.width();
  return kDefaultIntegerPositions + (n.decimals() > 0 ? n.decimals() + 1 : 0);
}

}  // namespace

std::optional<std::string> tryFormatNumber(double v, int width, int decimals) {
  bool negative = false;
  std::string digits = plainNumber(v, decimals, negative);
  if (negative) digits.insert(digits.begin(), '-');
  if (int(digits.size()) > width) return std::nullopt;
  return std::string(size_t(width) - digits.size(), ' ') + digits;
}

std::string formatNumber(double v, int width, int decimals) {
  if (width < 1) width = 1;
  auto text = tryFormatNumber(v, width, decimals);
  return text ? *text : std::string(size_t(width), '*');
}

std::string strOf(const Value& n) {
  int width = naturalWidth(n);
  if (auto text = tryFormatNumber(n.num(), width, n.decimals())) return *text;
  bool negative = false;  // too wide: widened, never starred
  std::string digits = plainNumber(n.num(), n.decimals(), negative);
  return negative ? "-" + digits : digits;
}

std::string trimmedStrOf(double v, int decimals) {
  bool negative = false;
  std::string digits = plainNumber(v, decimals, negative);
  return negative ? "-" + digits : digits;
}

std::string strOf(const Value& n, int width) {
  if (width <= 0) return strOf(n);
  return formatNumber(n.num(), width, 0);
}

std::string strOf(const Value& n, int width, int decimals) {
  if (width <= 0) return strOf(n);
  return formatNumber(n.num(), width, decimals < 0 ? 0 : decimals);
}

Value valOf(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::string digits;  // digits and at most one point, read as a whole so no digit drifts
  size_t pointAt = std::string_view::npos;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      digits += c;
    } else if (c == '.' && pointAt == std::string_view::npos) {
      digits += c;
      pointAt = i;
    } else {
      break;
    }
  }
  double value = digits.empty() || digits == "." ? 0.0 : std::strtod(digits.c_str(), nullptr);
  if (negative) value = -value;
  int decimals = pointAt == std::string_view::npos ? 0 : int(std::min<size_t>(text.size() - pointAt - 1, 30));
  int width = text.empty() ? kDefaultIntegerPositions : int(std::min<size_t>(text.size(), 255));
  return Value::number(value, decimals, width);
}

int32_t bin2l(std::string_view s) {
  uint32_t v = 0;
  for (size_t k = 0; k < 4 && k < s.size(); ++k) v |= uint32_t(static_cast<unsigned char>(s[k])) << (8 * k);
  return int32_t(v);
}

std::string l2bin(int32_t v) {
  std::string s(4, '\0');
  for (size_t k = 0; k < 4; ++k) s[k] = char((uint32_t(v) >> (8 * k)) & 0xFF);
  return s;
}

int16_t bin2i(std::string_view s) { return int16_t(bin2w(s)); }

std::string i2bin(int16_t v) {
  std::string s(2, '\0');
  s[0] = char(uint16_t(v) & 0xFF);
  s[1] = char(uint16_t(v) >> 8);
  return s;
}

uint16_t bin2w(std::string_view s) {
  uint16_t v = 0;
  if (s.size() > 0) v = static_cast<unsigned char>(s[0]);
  if (s.size() > 1) v = uint16_t(v | (uint16_t(static_cast<unsigned char>(s[1])) << 8));
  return v;
}

namespace detail {
namespace {
// STR/STRZERO width and decimals, clamped before they are narrowed: a negative or huge count
// never becomes a huge int (a width of 0 or less means "as wide as the number needs").
int widthArg(const Args& a, size_t i, std::string_view fn) {
  return int(std::clamp<int64_t>(needInt(a, i, fn), 0, 255));
}
int decimalsArg(const Args& a, size_t i, std::string_view fn) {
  return int(std::clamp<int64_t>(needInt(a, i, fn), 0, 30));
}
}  // namespace

void registerConvertFunctions(Functions& f) {
  f.add("STR", [](Args& a) {
    const Value& n = a[0];
    if (!n.isNum()) argumentError("STR");
    if (a[1].isNil()) return Value::text(strOf(n));
    const int w = widthArg(a, 1, "STR");
    if (a[2].isNil()) return Value::text(strOf(n, w));
    return Value::text(strOf(n, w, decimalsArg(a, 2, "STR")));
  });
  f.add("STRZERO", [](Args& a) {
    // STR with the leading blanks turned into zeros; a minus sign goes before the zeros.
    const Value& n = a[0];
    if (!n.isNum()) argumentError("STRZERO");
    std::string s = a[1].isNil()   ? strOf(n)
                    : a[2].isNil() ? strOf(n, widthArg(a, 1, "STRZERO"))
                                   : strOf(n, widthArg(a, 1, "STRZERO"), decimalsArg(a, 2, "STRZERO"));
    size_t minus = s.find('-');
    if (minus != std::string::npos) s[minus] = ' ';
    for (char& c : s) {
      if (c != ' ') break;
      c = '0';
    }
    if (minus != std::string::npos) s[0] = '-';
    return Value::text(std::move(s));
  });
  f.add("VAL", [](Args& a) { return valOf(needStr(a, 0, "VAL")); });
  f.add("TRANSFORM", [](Args& a) {
    std::string picture = a[1].isChar() ? a[1].str() : std::string();
    return Value::text(transform(a[0], picture));
  });
  f.add("BIN2L", [](Args& a) { return integer(bin2l(needStr(a, 0, "BIN2L"))); });
  f.add("BIN2I", [](Args& a) { return integer(bin2i(needStr(a, 0, "BIN2I"))); });
  f.add("BIN2W", [](Args& a) { return integer(bin2w(needStr(a, 0, "BIN2W"))); });
  f.add("L2BIN", [](Args& a) { return Value::text(l2bin(int32_t(int64_t(needInt(a, 0, "L2BIN"))))); });
  f.add("I2BIN", [](Args& a) { return Value::text(i2bin(int16_t(needInt(a, 0, "I2BIN")))); });
}

}  // namespace detail
}  // namespace rt
