// Field value conversion between record bytes and rt::Value.
#include "runtime/db/field_codec.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "runtime/core/error.h"
#include "runtime/core/rounding.h"
#include "runtime/core/std_dates.h"

namespace rt::db {

namespace {

int64_t le64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return int64_t(v);
}
int32_t le32s(const uint8_t* p) { return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24); }
void put32(uint8_t* p, uint32_t v) { for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i)); }
void put64(uint8_t* p, uint64_t v) { for (int i = 0; i < 8; ++i) p[i] = uint8_t(v >> (8 * i)); }

double parseNumber(const uint8_t* p, uint32_t len) {
  char buf[64];
  uint32_t n = 0;
  for (uint32_t i = 0; i < len && n < sizeof buf - 1; ++i)
    if (p[i] != ' ') buf[n++] = char(p[i]);
  if (n == 0) return 0;
  buf[n] = 0;
  // Fast path for plain [-]digits[.digits]: exact decimal scaling, no locale.
  const char* s = buf;
  bool neg = false;
  if (*s == '-') neg = true, ++s;
  int64_t mant = 0;
  int frac = -1, digits = 0;
  for (; *s; ++s) {
    if (*s >= '0' && *s <= '9') {
      mant = mant * 10 + (*s - '0');
      if (frac >= 0) ++frac;
      if (++digits > 17) break;
    } else if (*s == '.' && frac < 0) {
      frac = 0;
    } else {
      break;
    }
  }
  if (*s == 0 && digits > 0) {
    static const double pow10[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    double v = frac > 0 ? double(mant) / pow10[frac] : double(mant);
    return neg ? -v : v;
  }
  return std::strtod(buf, nullptr);  // '*' overflow marks and the like read as their leading number or 0
}

[[noreturn]] void typeError(const FieldDescriptor& f, const std::string& file) {
  throw Error(ErrorKind::Argument, "Data type error", f.name, file);
}

}  // namespace

bool formatNumberField(double v, uint32_t len, int dec, char* out) {
  static const double pow10[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (!std::isfinite(v) || len > 40 || dec > 15) return false;
  // Scaled integer of the stored text. Exact cents (the usual case) are recognised directly; any
  // other value takes the decimal rounding routine.
  double scaled = v * pow10[dec];
  double k = std::nearbyint(scaled);
  if (!(std::fabs(scaled) < 1e15 && std::fabs(scaled - k) <= 1e-7 * std::max(1.0, std::fabs(scaled))) ||
      std::fabs(scaled) >= 1e15) {
    double r = roundHalfAway(v, dec);
    if (std::fabs(r) >= 1e18 / pow10[dec]) return false;
    k = std::nearbyint(r * pow10[dec]);
  }
  if (std::fabs(k) >= 9e17) return false;
  int64_t iv = int64_t(k);
  bool neg = iv < 0;
  uint64_t u = neg ? uint64_t(-iv) : uint64_t(iv);
  char tmp[48];
  int n = 0;
  // Digits from the right, with the point after `dec` digits and at least one integer digit.
  for (int i = 0; i < dec; ++i) {
    tmp[n++] = char('0' + u % 10);
    u /= 10;
  }
  if (dec > 0) tmp[n++] = '.';
  do {
    tmp[n++] = char('0' + u % 10);
    u /= 10;
  } while (u);
  if (neg && iv != 0) tmp[n++] = '-';
  if (uint32_t(n) > len) {
    // A value below one may drop its leading zero to fit (".50" in N(3,2)).
    if (uint32_t(n) == len + 1 && dec > 0 && tmp[dec + 1] == '0' && n == dec + 2) --n;
    else return false;
  }
  std::memset(out, ' ', len);
  for (int i = 0; i < n; ++i) out[len - 1 - i] = tmp[i];
  return true;
}

Value readFieldValue(const FieldDescriptor& f, const uint8_t* rec) {
  const uint8_t* p = rec + f.offset;
  switch (f.type) {
    case 'C':
      return Value::text(std::string(reinterpret_cast<const char*>(p), f.len));
    case 'N':
    case 'F':
      return Value::number(parseNumber(p, f.len), f.dec, int(f.len));
    case 'D':
      return Value::date(stod(std::string_view(reinterpret_cast<const char*>(p), std::min<size_t>(f.len, 8))));
    case 'L':
      return Value::logical(p[0] == 'T' || p[0] == 't' || p[0] == 'Y' || p[0] == 'y');
    case 'I':
      return Value::number(double(le32s(p)), 0, 10);
    case 'Y':
      return Value::number(double(le64(p)) / 10000.0, 4, 20);
    case 'B': {
      double d;
      std::memcpy(&d, p, 8);
      return Value::number(d, f.dec, 20);
    }
    case 'T':
    case '@':
      return Value::date(le32s(p));
    default:
      return Value::text(std::string(reinterpret_cast<const char*>(p), f.len));
  }
}

void writeFieldValue(const FieldDescriptor& f, uint8_t* rec, const Value& v, const std::string& file) {
  uint8_t* p = rec + f.offset;
  switch (f.type) {
    case 'C': {
      if (!v.isChar()) typeError(f, file);
      const std::string& s = v.str();
      size_t n = std::min<size_t>(s.size(), f.len);
      std::memcpy(p, s.data(), n);
      std::memset(p + n, ' ', f.len - n);
      return;
    }
    case 'N':
    case 'F': {
      if (!v.isNum()) typeError(f, file);
      char buf[48];
      if (f.len > sizeof buf || !formatNumberField(v.num(), f.len, f.dec, buf))
        throw Error(ErrorKind::DataWidth, "Data width error", f.name, file);
      std::memcpy(p, buf, f.len);
      return;
    }
    case 'D': {
      if (!v.isDate()) typeError(f, file);
      if (f.len < 8) typeError(f, file);
      dtosInto(v.date(), reinterpret_cast<char*>(p));
      return;
    }
    case 'L':
      if (!v.isLogical()) typeError(f, file);
      p[0] = v.logical() ? 'T' : 'F';
      return;
    case 'I': {
      if (!v.isNum()) typeError(f, file);
      double r = roundHalfAway(v.num(), 0);
      if (r > 2147483647.0 || r < -2147483648.0) throw Error(ErrorKind::DataWidth, "Data width error", f.name, file);
      put32(p, uint32_t(int32_t(r)));
      return;
    }
    case 'Y': {
      if (!v.isNum()) typeError(f, file);
      double r = roundHalfAway(v.num(), 4) * 10000.0;
      if (std::fabs(r) > 9.2e18) throw Error(ErrorKind::DataWidth, "Data width error", f.name, file);
      put64(p, uint64_t(int64_t(std::nearbyint(r))));
      return;
    }
    case 'B': {
      if (!v.isNum()) typeError(f, file);
      double d = v.num();
      std::memcpy(p, &d, 8);
      return;
    }
    case 'T':
    case '@':
      if (!v.isDate()) typeError(f, file);
      put32(p, uint32_t(v.date()));
      put32(p + 4, 0);
      return;
    default:
      typeError(f, file);
  }
}

uint32_t readMemoBlock(const FieldDescriptor& f, const uint8_t* rec) {
  const uint8_t* p = rec + f.offset;
  if (f.len == 4) return uint32_t(le32s(p));
  uint32_t v = 0;
  for (uint32_t i = 0; i < f.len; ++i) {
    if (p[i] >= '0' && p[i] <= '9') v = v * 10 + uint32_t(p[i] - '0');
    else if (p[i] != ' ' && p[i] != 0) return 0;
  }
  return v;
}

void writeMemoBlock(const FieldDescriptor& f, uint8_t* rec, uint32_t block) {
  uint8_t* p = rec + f.offset;
  if (f.len == 4) {
    put32(p, block);
    return;
  }
  std::memset(p, ' ', f.len);
  if (block == 0) return;
  for (int i = int(f.len) - 1; i >= 0 && block; --i, block /= 10) p[i] = uint8_t('0' + block % 10);
}

char valueTypeOf(const FieldDescriptor& f) {
  if (f.isMemo()) return 'M';
  switch (f.type) {
    case 'C': return 'C';
    case 'N': case 'F': case 'I': case 'Y': case 'B': return 'N';
    case 'D': case 'T': case '@': return 'D';
    case 'L': return 'L';
    default: return 'C';
  }
}

void blankField(const FieldDescriptor& f, uint8_t* rec) {
  uint8_t* p = rec + f.offset;
  switch (f.type) {
    case 'I': case 'Y': case 'B': case 'T': case '@':
      std::memset(p, 0, f.len);
      return;
    default:
      if (f.isMemo() && f.len == 4) std::memset(p, 0, 4);
      else std::memset(p, ' ', f.len);
  }
}

}  // namespace rt::db
