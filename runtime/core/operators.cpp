// Operator rules on values (see operators.h).
#include "runtime/core/operators.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "runtime/core/context.h"
#include "runtime/core/error.h"

namespace rt {

namespace {

[[noreturn]] void argumentError(const char* op) {
  throw Error(ErrorKind::Argument, "Argument error", op);
}

int setDecimals() { return context().settings.decimals; }

// A whole number of days from a numeric operand of date arithmetic (fractions toward zero).
int32_t days(double n) { return int32_t(std::trunc(n)); }

Value shiftDate(int32_t day, double n) {
  if (day == 0) return Value::date(0);  // the empty date stays empty
  return Value::date(day + days(n));
}

size_t lengthWithoutTrailingBlanks(const std::string& s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return n;
}

int compareBytes(const char* a, size_t na, const char* b, size_t nb) {
  int c = std::memcmp(a, b, std::min(na, nb));
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool stringsEqual(const std::string& a, const std::string& b, bool exact) {
  if (exact) {
    size_t na = lengthWithoutTrailingBlanks(a), nb = lengthWithoutTrailingBlanks(b);
    return na == nb && std::memcmp(a.data(), b.data(), na) == 0;
  }
  // EXACT off: the right side is compared over its own length.
  return b.size() <= a.size() && std::memcmp(a.data(), b.data(), b.size()) == 0;
}

int compareStrings(const std::string& a, const std::string& b, bool exact) {
  size_t na = a.size(), nb = b.size();
  if (exact) {
    na = lengthWithoutTrailingBlanks(a);
    nb = lengthWithoutTrailingBlanks(b);
  }
  int c = compareBytes(a.data(), na, b.data(), nb);
  if (c != 0) return c;
  if (na == nb) return 0;
  if (na < nb) return -1;               // a shorter left side is smaller
  return exact ? 1 : 0;                 // EXACT off: a shorter right side counts as equal
}

}  // namespace

std::string joinMovingBlanks(const std::string& a, const std::string& b) {
  size_t keep = lengthWithoutTrailingBlanks(a);
  std::string out;
  out.reserve(a.size() + b.size());
  out.append(a, 0, keep);
  out += b;
  out.append(a.size() - keep, ' ');
  return out;
}

Value opAdd(const Value& a, const Value& b) {
  if (a.isNum() && b.isNum())
    return Value::number(a.num() + b.num(), std::max(a.decimals(), b.decimals()));
  if (a.isChar() && b.isChar()) {
    std::string s;
    s.reserve(a.str().size() + b.str().size());
    s += a.str();
    s += b.str();
    return Value::text(std::move(s));
  }
  if (a.isDate() && b.isNum()) return shiftDate(a.date(), b.num());
  if (a.isNum() && b.isDate()) return shiftDate(b.date(), a.num());
  argumentError("+");
}

Value opSubtract(const Value& a, const Value& b) {
  if (a.isNum() && b.isNum())
    return Value::number(a.num() - b.num(), std::max(a.decimals(), b.decimals()));
  if (a.isChar() && b.isChar()) return Value::text(joinMovingBlanks(a.str(), b.str()));
  if (a.isDate() && b.isDate()) return Value::number(double(a.date()) - double(b.date()), 0);
  if (a.isDate() && b.isNum()) return shiftDate(a.date(), -b.num());
  argumentError("-");
}

Value opMultiply(const Value& a, const Value& b) {
  if (!a.isNum() || !b.isNum()) argumentError("*");
  return Value::number(a.num() * b.num(), a.decimals() + b.decimals());
}

Value opDivide(const Value& a, const Value& b) {
  if (!a.isNum() || !b.isNum()) argumentError("/");
  if (b.num() == 0) throw Error(ErrorKind::ZeroDivisor, "Zero divisor", "/");
  return Value::number(a.num() / b.num(), setDecimals());
}

Value opModulo(const Value& a, const Value& b) {
  if (!a.isNum() || !b.isNum()) argumentError("%");
  if (b.num() == 0) throw Error(ErrorKind::ZeroDivisor, "Zero divisor", "%");
  return Value::number(std::fmod(a.num(), b.num()), setDecimals());
}

Value opPower(const Value& a, const Value& b) {
  if (!a.isNum() || !b.isNum()) argumentError("**");
  double r = std::pow(a.num(), b.num());
  if (!std::isfinite(r)) argumentError("**");
  return Value::number(r, setDecimals());
}

Value opNegate(const Value& a) {
  if (!a.isNum()) argumentError("-");
  return Value::number(-a.num(), a.decimals());
}

Value opPlus(const Value& a) {
  if (!a.isNum()) argumentError("+");
  return Value::number(a.num(), a.decimals());
}

Value opNot(const Value& a) {
  if (!a.isLogical()) argumentError(".NOT.");
  return Value::logical(!a.logical());
}

bool opEqual(const Value& a, const Value& b, bool exact) {
  if (a.isNil() || b.isNil()) return a.isNil() && b.isNil();
  if (a.type() != b.type()) argumentError("=");
  switch (a.type()) {
    case Type::Char: return stringsEqual(a.str(), b.str(), exact);
    case Type::Num: return a.num() == b.num();
    case Type::Date: return a.date() == b.date();
    case Type::Logical: return a.logical() == b.logical();
    default: argumentError("=");
  }
}

bool opExactEqual(const Value& a, const Value& b) {
  if (a.isNil() || b.isNil()) return a.isNil() && b.isNil();
  if (a.type() != b.type()) argumentError("==");
  switch (a.type()) {
    case Type::Char: return a.str() == b.str();
    case Type::Num: return a.num() == b.num();
    case Type::Date: return a.date() == b.date();
    case Type::Logical: return a.logical() == b.logical();
    case Type::Array: return a.arrPtr() == b.arrPtr();
    case Type::Block: return a.blockPtr() == b.blockPtr();
    default: argumentError("==");
  }
}

int opCompare(const Value& a, const Value& b, bool exact, const char* op) {
  if (a.type() != b.type()) argumentError(op);
  switch (a.type()) {
    case Type::Char: return compareStrings(a.str(), b.str(), exact);
    case Type::Num: return a.num() < b.num() ? -1 : a.num() > b.num() ? 1 : 0;
    case Type::Date: return a.date() < b.date() ? -1 : a.date() > b.date() ? 1 : 0;
    case Type::Logical: return int(a.logical()) - int(b.logical());
    default: argumentError(op);
  }
}

bool opContains(const Value& a, const Value& b) {
  if (!a.isChar() || !b.isChar()) argumentError("$");
  const std::string& needle = a.str();
  if (needle.empty()) return false;
  return b.str().find(needle) != std::string::npos;
}

bool scanEquals(const Value& element, const Value& wanted, bool exact) {
  if (element.isNil() || wanted.isNil()) return element.isNil() && wanted.isNil();
  if (element.type() != wanted.type()) return false;
  switch (element.type()) {
    case Type::Char: return stringsEqual(element.str(), wanted.str(), exact);
    case Type::Num: return element.num() == wanted.num();
    case Type::Date: return element.date() == wanted.date();
    case Type::Logical: return element.logical() == wanted.logical();
    case Type::Array: return element.arrPtr() == wanted.arrPtr();
    default: return false;
  }
}

}  // namespace rt
