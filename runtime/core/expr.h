// Expression text: compile dBASE expression syntax once, evaluate the compiled tree many times.
//
// The texts are those stored in tables and scripts and those built at run time by macros: literals,
// memory variables and fields, alias->field, alias->(expr), &macro, function calls by name, IIF,
// arrays and subscripts, code blocks, assignment and the runtime's operators. Compiled texts are
// cached, so evaluating the same macro text again does not parse it again.
//
// Names resolve at evaluation time: a block's parameters, then a field of the selected work area
// (through the installed rt::FieldResolver), then a memory variable; so a block sees the privates
// visible when it runs. Text that does not compile raises rt::Error(Syntax) naming the text and the
// position.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/value.h"

namespace rt {

struct Program;  // the compiled tree (expr_tree.h)

class Expr {
 public:
  Expr() = default;
  explicit Expr(std::shared_ptr<const Program> p) : program_(std::move(p)) {}

  bool empty() const { return !program_; }
  const std::string& text() const;
  const std::shared_ptr<const Program>& program() const { return program_; }

 private:
  std::shared_ptr<const Program> program_;
};

// Compiles text (from the cache when it was compiled before). Throws rt::Error(Syntax).
Expr compile(std::string_view text);
// Evaluates a compiled expression.
Value eval(const Expr& e);
// Compiles (cached) and evaluates: macro evaluation, &(text).
Value evalText(std::string_view text);
// Assigns to what a compiled expression names: a variable, a field, alias->field or an array
// element. Throws rt::Error(Argument) when the expression is not assignable.
void assignTo(const Expr& e, Value v);

// A code block from text: either a block literal "{|a,b| e1, e2}" or a plain expression, which
// becomes a block without parameters.
BlockPtr compileBlock(std::string_view text);
// Runs a block value with arguments (missing ones are NIL); the result of its last expression.
// A value that is not a block raises rt::Error(Argument) for EVAL.
Value evalBlock(const Value& block, std::vector<Value> args = {});

// TYPE(text), never raising: the type letter of the value, "U" for NIL or when the text names an
// unknown variable, field or alias, "UE" when it does not compile or raises another error, "UI"
// when it calls a function that is not registered.
std::string typeOfText(std::string_view text);

// Drops the cache of compiled texts (tests; after replacing functions the cache would still work).
void clearExpressionCache();

}  // namespace rt
