// EVAL, VALTYPE and TYPE: the standard functions that belong to the evaluator.
#include "runtime/core/core_functions.h"

#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/functions.h"

namespace rt {

void registerCoreFunctions() { registerCoreFunctions(functions()); }

void registerCoreFunctions(Functions& f) {
  // EVAL(block, args...): runs the block with the remaining arguments.
  f.add("EVAL", [](Args& a) {
    std::vector<Value> rest;
    for (size_t i = 1; i < a.count(); ++i) rest.push_back(a[i]);
    return evalBlock(a[0], std::move(rest));
  });
  // VALTYPE(value): U C N D L A B.
  f.add("VALTYPE", [](Args& a) { return Value::text(std::string(1, a[0].typeLetter())); });
  // TYPE(text): the type of what the text evaluates to, never raising for the text itself.
  f.add("TYPE", [](Args& a) {
    if (!a[0].isChar()) throw Error(ErrorKind::Argument, "Argument error", "TYPE");
    return Value::text(typeOfText(a[0].str()));
  });
}

}  // namespace rt
