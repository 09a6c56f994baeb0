// Argument readers shared by the adapters of the standard functions.
//
// A required argument of the wrong type raises the runtime's "Argument error" naming the function;
// an optional one that is missing (NIL) takes its default. Numbers used as counts or positions are
// truncated toward zero, as the runtime does.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/core/error.h"
#include "runtime/core/functions.h"
#include "runtime/core/value.h"

namespace rt::stdargs {

[[noreturn]] inline void argumentError(std::string_view fn) {
  throw Error(ErrorKind::Argument, "Argument error", std::string(fn));
}

inline const std::string& needStr(const Args& a, size_t i, std::string_view fn) {
  if (!a[i].isChar()) argumentError(fn);
  return a[i].str();
}

inline double needNum(const Args& a, size_t i, std::string_view fn) {
  if (!a[i].isNum()) argumentError(fn);
  return a[i].num();
}

inline int64_t truncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v > 9e15) return int64_t(9e15);
  if (v < -9e15) return int64_t(-9e15);
  return int64_t(std::trunc(v));
}

inline int64_t needInt(const Args& a, size_t i, std::string_view fn) { return truncToInt(needNum(a, i, fn)); }

// NIL (or a missing argument) gives the default; any other non-number is an argument error.
inline int64_t optInt(const Args& a, size_t i, int64_t dflt, std::string_view fn) {
  if (a[i].isNil()) return dflt;
  return needInt(a, i, fn);
}

// The longest text a function builds; a longer request is the runtime's "String overflow" rather
// than an attempt to allocate gigabytes from one mistyped count.
inline constexpr int64_t kMaxTextLength = int64_t(64) << 20;

inline void checkLength(int64_t n, std::string_view fn) {
  if (n > kMaxTextLength) throw Error(ErrorKind::Other, "String overflow", std::string(fn));
}

// A number of the default display (no width) carrying `decimals`.
inline Value num(double v, int decimals = 0) { return Value::number(v, decimals); }
inline Value integer(int64_t v, int width = kDefaultWidth) { return Value::number(double(v), 0, width); }

}  // namespace rt::stdargs
