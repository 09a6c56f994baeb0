// The compiled form of expression text: a tree of nodes owned by one Program.
//
// Internal to the expression compiler and evaluator. Names are stored upper-case; a function's
// registry entry is looked up when compiling (entries never move), or again when evaluating if it
// was not registered yet.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "runtime/core/functions.h"
#include "runtime/core/value.h"

namespace rt {

enum class Op : uint8_t {
  Const,        // a literal value
  Local,        // a block parameter: a = frames up, b = index
  Name,         // unqualified name: field of the selected area, else memory variable
  Memvar,       // M->name, MEMVAR->name
  Field,        // FIELD->name: field of the selected area only
  AliasField,   // alias->field, either side possibly a macro
  AliasExpr,    // alias->(expr)
  Macro,        // &var, &var.suffix, prefix&var, &(expr): text compiled and evaluated
  Call,         // name(args)
  Ref,          // @name as a call argument
  IIf,          // IIF(c, a, b): only the chosen branch runs
  And, Or,      // short-circuit logicals
  Not, Negate, UnaryPlus,
  Add, Subtract, Multiply, Divide, Modulo, Power,
  Equal, ExactEqual, NotEqual, Less, LessEqual, Greater, GreaterEqual, Contains,
  ArrayLit,     // {a, b, c}
  BlockLit,     // {|params| body}: a = parameter count
  Index,        // kids[0][kids[1]]
  Assign,       // kids[0] := kids[1]
  OpAssign,     // kids[0] <sub>= kids[1]
  PreIncrement, PostIncrement,  // ++x / x++ (a = +1 or -1)
  List,         // (e1, e2, ...): the last value
};

// One piece of a macro name: literal text or the value of a variable.
struct MacroPart {
  bool isVariable;
  std::string text;  // the literal, or the variable's upper-case name
};

struct Node {
  Op op = Op::Const;
  Op sub = Op::Const;  // the arithmetic of OpAssign
  int a = 0, b = 0;
  int pos = 0;           // offset in the text, for messages
  int height = 1;        // levels of nodes below and including this one
  std::string name;      // variable, function, alias (upper case); block text for BlockLit
  std::string name2;     // field of AliasField
  Value constant;
  mutable const NativeFunction* fn = nullptr;
  std::vector<MacroPart> aliasParts, fieldParts;  // AliasField with macros; Macro's parts
  std::vector<const Node*> kids;
};

struct Program {
  std::string text;
  std::deque<Node> nodes;  // stable addresses
  const Node* root = nullptr;
  bool callsUnknownFunction = false;  // a call whose function was not registered at compile time
};

// Parses text into a Program. Throws rt::Error(Syntax).
std::shared_ptr<const Program> parseExpression(std::string_view text);

}  // namespace rt
