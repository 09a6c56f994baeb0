// The evaluator of compiled expression trees (internal to the expression compiler).
#pragma once

#include <memory>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/expr_tree.h"

namespace rt {

// The parameters of one running code block, chained to the frame the block was created in.
struct BlockFrame {
  std::vector<Value> vars;
  std::shared_ptr<BlockFrame> parent;
};

struct EvalState {
  std::shared_ptr<BlockFrame> frame;          // nullptr outside blocks
  const std::shared_ptr<const Program>* program;  // kept alive by blocks created here
  Context& ctx = context();                   // looked up once per evaluation, not per node
};

Value evalNode(const Node& n, EvalState& st);
void assignNode(const Node& target, Value v, EvalState& st);

}  // namespace rt
