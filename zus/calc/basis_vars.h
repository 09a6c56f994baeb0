// Access of the basis routines to the by-name world: the calculation's working variables, the
// program state, fields by alias and calls of routines by name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/std_strings.h"
#include "runtime/core/value.h"
#include "zus/calc/basis_months.h"
#include "zus/register/benefit_record.h"

namespace zus::basis {

using reg::call;

// A visible variable's value, NIL when there is none.
using reg::var;
using reg::numVar;
using reg::textVar;
inline bool logicalVar(std::string_view name, bool fallback = false) {
  return reg::flagVar(name, fallback);
}
// Element n (from 1) of an array variable as text, "" when missing.
inline std::string textElement(std::string_view array, int n) { return reg::elementText(array, n); }

// alias->field; NIL when the alias or the field is missing.
rt::Value aliasField(std::string_view alias, std::string_view field);
void setAliasField(std::string_view alias, std::string_view field, const rt::Value& v);

// Year and month of a date value; nullopt-like {0, 0} when it is no date.
YearMonth yearMonthOf(const rt::Value& date);

// Selects a work area by alias.
using reg::selectAlias;

// Trims blanks on both sides.
inline std::string trim(const std::string& s) { return std::string(rt::trimBlanks(s)); }

}  // namespace zus::basis
