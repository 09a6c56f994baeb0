// Public entry points of expression text: the cache of compiled texts, evaluation, blocks, TYPE().
#include "runtime/core/expr.h"

#include <string>
#include <unordered_map>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr_eval.h"

namespace rt {

namespace {

struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Compiled texts by their exact text. Stored texts and macros repeat a small set of texts; the
// cap only guards against a program that builds endless distinct texts.
class ExpressionCache {
 public:
  std::shared_ptr<const Program> get(std::string_view text) {
    auto it = map_.find(text);
    if (it != map_.end()) return it->second;
    auto program = parseExpression(text);
    if (map_.size() >= kCapacity) map_.clear();
    map_.emplace(std::string(text), program);
    return program;
  }
  void clear() { map_.clear(); }

 private:
  static constexpr size_t kCapacity = 8192;
  std::unordered_map<std::string, std::shared_ptr<const Program>, TextHash, std::equal_to<>> map_;
};

ExpressionCache& cache() {
  static ExpressionCache c;
  return c;
}

const std::string& emptyText() {
  static const std::string s;
  return s;
}

// A call in the program to a function that is not registered (now).
bool callsUnregistered(const Program& p) {
  if (!p.callsUnknownFunction) return false;
  for (const Node& n : p.nodes)
    if (n.op == Op::Call && !n.fn && !context().functions.find(n.name)) return true;
  return false;
}

}  // namespace

const std::string& Expr::text() const { return program_ ? program_->text : emptyText(); }

Expr compile(std::string_view text) { return Expr(cache().get(text)); }

Value eval(const Expr& e) {
  if (e.empty()) return Value();
  EvalState st{nullptr, &e.program()};
  return evalNode(*e.program()->root, st);
}

Value evalText(std::string_view text) { return eval(compile(text)); }

void assignTo(const Expr& e, Value v) {
  if (e.empty()) throw Error(ErrorKind::Argument, "Argument error", ":=");
  EvalState st{nullptr, &e.program()};
  assignNode(*e.program()->root, std::move(v), st);
}

BlockPtr compileBlock(std::string_view text) {
  size_t start = text.find_first_not_of(" \t\r\n");
  std::string_view trimmed = start == std::string_view::npos ? text : text.substr(start);
  Value v;
  if (trimmed.size() >= 2 && trimmed[0] == '{' &&
      trimmed.find_first_not_of(" \t", 1) != std::string_view::npos &&
      trimmed[trimmed.find_first_not_of(" \t", 1)] == '|')
    v = evalText(trimmed);
  else
    v = evalText("{||" + std::string(text) + "}");
  if (!v.isBlock()) throw Error(ErrorKind::Argument, "Argument error", "block");
  return v.blockPtr();
}

Value evalBlock(const Value& block, std::vector<Value> args) {
  if (!block.isBlock()) throw Error(ErrorKind::Argument, "Argument error", "EVAL");
  return block.blockPtr()->eval(args);
}

std::string typeOfText(std::string_view text) {
  Expr e;
  try {
    e = compile(text);
  } catch (const Error&) {
    return "UE";
  }
  const Program& p = *e.program();
  if (callsUnregistered(p)) return "UI";
  Context& ctx = context();
  const Node& root = *p.root;
  // A field keeps its own type letter (a memo reads "M").
  if (ctx.fields) {
    Value out;
    if (root.op == Op::Name && ctx.fields->readField(root.name, out))
      return ctx.fields->fieldType("", root.name);
    if (root.op == Op::AliasField && root.aliasParts.empty() && root.fieldParts.empty())
      return ctx.fields->fieldType(root.name, root.name2);
  }
  try {
    Value v = eval(e);
    return v.isNil() ? "U" : std::string(1, v.typeLetter());
  } catch (const Error& err) {
    switch (err.kind()) {
      case ErrorKind::NoVariable:
      case ErrorKind::NoAlias:
      case ErrorKind::NoField:
        return "U";
      case ErrorKind::NoFunction:
        return "UI";
      default:
        return "UE";
    }
  } catch (const std::exception&) {
    return "UE";
  }
}

void clearExpressionCache() { cache().clear(); }

}  // namespace rt
