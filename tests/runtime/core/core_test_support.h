// Test support for the runtime core: a fixture that isolates the process context, and a compact
// rendering of values so expression cases read as one table.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/functions.h"
#include "runtime/core/rounding.h"
#include "runtime/core/std_functions.h"

namespace rt::testing {

// Values as the cases write them: "abc" quoted, numbers with their decimals, .T./.F., NIL,
// D<day number>, {a, b} for arrays, B for blocks.
inline std::string show(const Value& v) {
  switch (v.type()) {
    case Type::Nil: return "NIL";
    case Type::Char: return "\"" + v.str() + "\"";
    case Type::Num: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*f", v.decimals(), roundHalfAway(v.num(), v.decimals()));
      return buf;
    }
    case Type::Date: return "D" + std::to_string(v.date());
    case Type::Logical: return v.logical() ? ".T." : ".F.";
    case Type::Array: {
      std::string s = "{";
      for (size_t i = 0; i < v.arr().size(); ++i) s += (i ? ", " : "") + show(v.arr()[i]);
      return s + "}";
    }
    case Type::Block: return "B";
  }
  return "?";
}

// A registered function called by name. The registry is put back after each test: the first call of
// a test registers the standard functions.
inline Value call(const char* fn, std::vector<Value> args) {
  if (!functions().has("STR")) registerStandardFunctions();
  return functions().call(fn, std::move(args));
}

// The result of evaluating text, or "error <description>".
inline std::string evalShown(const std::string& text) {
  try {
    return show(evalText(text));
  } catch (const Error& e) {
    return "error " + e.description();
  }
}

// Each test runs in its own private frame with default settings and no field resolver.
class CoreTest : public ::testing::Test {
 protected:
  CoreTest() : frame_(context().memvars), saved_(context().settings), resolver_(nullptr) {
    context().settings = Settings();
  }
  ~CoreTest() override { context().settings = saved_; }
  Memvars& vars() { return context().memvars; }

 private:
  PrivateFrame frame_;
  Settings saved_;
  FieldResolverScope resolver_;
};

}  // namespace rt::testing
