// Argument readers for the library's by-name adapters.
//
// The library's routines default a missing or wrongly typed argument by testing its type; where a
// routine has no default, a wrong type raises the runtime's "Argument error" naming the routine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/core/functions.h"
#include "runtime/core/value.h"

namespace con::byname {

[[noreturn]] inline void argumentError(std::string_view routine) {
  throw rt::Error(rt::ErrorKind::Argument, "Argument error", std::string(routine));
}

inline std::optional<std::string> optText(const rt::Args& a, size_t i) {
  if (a[i].isChar()) return a[i].str();
  return std::nullopt;
}
inline std::string textOr(const rt::Args& a, size_t i, std::string_view fallback) {
  return a[i].isChar() ? a[i].str() : std::string(fallback);
}
inline const std::string& needText(const rt::Args& a, size_t i, std::string_view routine) {
  if (!a[i].isChar()) argumentError(routine);
  return a[i].str();
}

inline std::optional<double> optNum(const rt::Args& a, size_t i) {
  if (a[i].isNum()) return a[i].num();
  return std::nullopt;
}
inline double numOr(const rt::Args& a, size_t i, double fallback) {
  return a[i].isNum() ? a[i].num() : fallback;
}
inline double needNum(const rt::Args& a, size_t i, std::string_view routine) {
  if (!a[i].isNum()) argumentError(routine);
  return a[i].num();
}

inline std::optional<bool> optLogical(const rt::Args& a, size_t i) {
  if (a[i].isLogical()) return a[i].logical();
  return std::nullopt;
}

inline rt::Value text(std::string s) { return rt::Value::text(std::move(s)); }
inline rt::Value number(double v, int decimals = 0) { return rt::Value::number(v, decimals); }
inline rt::Value logical(bool b) { return rt::Value::logical(b); }

inline rt::Value textArray(const std::vector<std::string>& lines) {
  rt::Value a = rt::Value::newArray(0);
  a.arr().reserve(lines.size());
  for (const auto& l : lines) a.arr().push_back(rt::Value::text(l));
  return a;
}

}  // namespace con::byname
