// The evaluator: one switch over the node kinds, each case with its one-line synopsis.
//
// Names resolve at run time (block parameter, field of the selected area, memory variable), so a
// compiled text follows the work area and the privates current when it runs.
#include "runtime/core/expr_eval.h"

#include <cmath>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/names.h"
#include "runtime/core/operators.h"
#include "runtime/core/std_strings.h"

namespace rt {

namespace {

// Guards the C++ stack against texts that expand or call themselves without end
// (x := "&x", b := {|| EVAL(b)}): past the limit the evaluation fails with a runtime error.
class NestingGuard {
 public:
  explicit NestingGuard(const char* what) {
    if (++depth() > kLimit) {
      --depth();
      throw Error(ErrorKind::Other, "Nesting too deep", what);
    }
  }
  ~NestingGuard() { --depth(); }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  static constexpr int kLimit = 400;
  static int& depth() {
    thread_local int d = 0;
    return d;
  }
};

// A code block compiled from text: keeps its program alive and the frame it was created in.
class CompiledBlock : public Block {
 public:
  CompiledBlock(std::shared_ptr<const Program> program, const Node& node,
                std::shared_ptr<BlockFrame> outer)
      : program_(std::move(program)), node_(node), outer_(std::move(outer)) {}

  Value eval(std::vector<Value>& args) override {
    NestingGuard guard("block");
    EvalState st{std::make_shared<BlockFrame>(), &program_};
    st.frame->vars.resize(size_t(node_.a));
    for (size_t i = 0; i < args.size() && i < st.frame->vars.size(); ++i)
      st.frame->vars[i] = args[i];
    st.frame->parent = outer_;
    Value result;
    for (const Node* kid : node_.kids) result = evalNode(*kid, st);
    return result;
  }
  std::string text() const override { return node_.name; }

 private:
  std::shared_ptr<const Program> program_;
  const Node& node_;
  std::shared_ptr<BlockFrame> outer_;
};

// Argument lists reused from call to call, one for each depth of nested calls, so a call
// allocates nothing for its arguments once a call at its depth ran before.
class CallArgs {
 public:
  CallArgs() {
    Levels& l = levels();
    if (l.depth == l.lists.size()) l.lists.push_back(std::make_unique<Args>());
    args_ = l.lists[l.depth++].get();
  }
  ~CallArgs() {
    args_->clear();
    --levels().depth;
  }
  CallArgs(const CallArgs&) = delete;
  CallArgs& operator=(const CallArgs&) = delete;
  Args& args() { return *args_; }

 private:
  struct Levels {
    std::vector<std::unique_ptr<Args>> lists;
    size_t depth = 0;
  };
  static Levels& levels() {
    thread_local Levels l;
    return l;
  }
  Args* args_;
};

Value& local(const Node& n, const EvalState& st) {
  BlockFrame* f = st.frame.get();
  for (int d = 0; d < n.a && f; ++d) f = f->parent.get();
  if (!f || size_t(n.b) >= f->vars.size())
    throw Error(ErrorKind::NoVariable, "Variable does not exist", n.name);
  return f->vars[size_t(n.b)];
}

// Macro text: the variables' values (character) joined with the literal pieces.
std::string macroText(const std::vector<MacroPart>& parts) {
  std::string s;
  for (const MacroPart& p : parts) {
    if (!p.isVariable) {
      s += p.text;
      continue;
    }
    const Value* v = context().memvars.findUpper(p.text);
    Value field;
    if (!v && context().fields && context().fields->readField(p.text, field)) v = &field;
    if (!v) throw Error(ErrorKind::NoVariable, "Variable does not exist", p.text);
    if (!v->isChar()) throw Error(ErrorKind::Argument, "Argument error", "&");
    s += v->str();
  }
  return s;
}

std::string trimmedUpper(std::string_view s) { return upperName(trimBlanks(s)); }

std::string aliasOf(const Node& n) {
  return n.aliasParts.empty() ? n.name : trimmedUpper(macroText(n.aliasParts));
}
std::string fieldOf(const Node& n) {
  return n.fieldParts.empty() ? n.name2 : trimmedUpper(macroText(n.fieldParts));
}

// The text a Macro node stands for.
std::string macroSource(const Node& n, EvalState& st) {
  if (n.fieldParts.empty()) {  // &(expr)
    Value v = evalNode(*n.kids[0], st);
    if (!v.isChar()) throw Error(ErrorKind::Argument, "Argument error", "&");
    return v.str();
  }
  return macroText(n.fieldParts);
}

FieldResolver& resolverFor(const std::string& alias, const Context& ctx) {
  if (!ctx.fields) throw Error(ErrorKind::NoAlias, "Alias does not exist", alias);
  return *ctx.fields;
}

bool isMemvarAlias(std::string_view alias) { return alias == "M" || alias == "MEMVAR"; }
bool isFieldAlias(std::string_view alias) { return alias == "FIELD" || alias == "_FIELD"; }

Value readAliased(const std::string& alias, const std::string& field, Context& ctx) {
  if (isMemvarAlias(alias)) return ctx.memvars.get(field);
  if (isFieldAlias(alias)) {
    Value out;
    if (ctx.fields && ctx.fields->readField(field, out)) return out;
    throw Error(ErrorKind::NoField, "Variable does not exist", field);
  }
  return resolverFor(alias, ctx).readAliasField(alias, field);
}

bool logicalOperand(const Value& v, const char* op) {
  if (!v.isLogical()) throw Error(ErrorKind::Argument, "Argument error", op);
  return v.logical();
}

// Element i (1-based) of an array value, with the runtime's errors.
Value& element(const Value& base, const Value& index, const char* op) {
  if (!base.isArray() || !index.isNum()) throw Error(ErrorKind::Argument, "Argument error", op);
  Array& a = base.arr();
  double i = std::trunc(index.num());
  if (i < 1 || i > double(a.size())) throw Error(ErrorKind::Bound, "Bound error", op);
  return a[size_t(i) - 1];
}

// An operand's value: a literal is read where it stands, anything else is evaluated into
// `scratch`; so a literal text is not copied on every evaluation.
const Value& operand(const Node& n, EvalState& st, Value& scratch) {
  if (n.op == Op::Const) return n.constant;
  scratch = evalNode(n, st);
  return scratch;
}

// An unqualified name's value. Every path returns `out`, so the value is read straight into the
// caller's result.
Value nameValue(const Node& n, Context& ctx) {
  Value out;
  if (ctx.fields && ctx.fields->readField(n.name, out)) return out;
  const Value* v = ctx.memvars.findUpper(n.name);
  if (!v) throw Error(ErrorKind::NoVariable, "Variable does not exist", n.name);
  out = *v;
  return out;
}

Value arithmetic(Op op, const Value& a, const Value& b) {
  switch (op) {
    case Op::Add: return opAdd(a, b);
    case Op::Subtract: return opSubtract(a, b);
    case Op::Multiply: return opMultiply(a, b);
    case Op::Divide: return opDivide(a, b);
    case Op::Modulo: return opModulo(a, b);
    case Op::Power: return opPower(a, b);
    default: throw Error(ErrorKind::Other, "Internal error", "arithmetic");
  }
}

}  // namespace

Value evalNode(const Node& n, EvalState& st) {
  Context& ctx = st.ctx;
  switch (n.op) {
    case Op::Const:  // literal
      return n.constant;

    case Op::Local:  // block parameter
      return local(n, st);

    case Op::Name:  // field of the selected area, else memory variable
      return nameValue(n, ctx);

    case Op::Memvar:  // M->name
      if (const Value* v = ctx.memvars.findUpper(n.name)) return *v;
      throw Error(ErrorKind::NoVariable, "Variable does not exist", n.name);

    case Op::Field: {  // FIELD->name
      Value out;
      if (ctx.fields && ctx.fields->readField(n.name, out)) return out;
      throw Error(ErrorKind::NoField, "Variable does not exist", n.name);
    }

    case Op::AliasField:  // alias->field (either side may be a macro)
      if (n.aliasParts.empty() && n.fieldParts.empty()) return readAliased(n.name, n.name2, ctx);
      return readAliased(aliasOf(n), fieldOf(n), ctx);

    case Op::AliasExpr: {  // alias->(expr): evaluated with that work area selected
      std::string alias = aliasOf(n);
      if (isMemvarAlias(alias) || isFieldAlias(alias)) return evalNode(*n.kids[0], st);
      return resolverFor(alias, ctx).withAlias(alias, [&] { return evalNode(*n.kids[0], st); });
    }

    case Op::Macro: {  // &var...: the text is compiled (cached) and evaluated
      NestingGuard guard("&");
      return evalText(macroSource(n, st));
    }

    case Op::Call: {  // registered function, arguments left to right
      const NativeFunction* fn = n.fn ? n.fn : (n.fn = ctx.functions.find(n.name));
      if (!fn) throw Error(ErrorKind::NoFunction, "Undefined function", n.name);
      CallArgs list;
      Args& args = list.args();
      for (const Node* kid : n.kids) {
        if (kid->op == Op::Ref) {
          const Node& target = *kid->kids[0];
          Value* ref = target.op == Op::Local ? &local(target, st) : ctx.memvars.ref(target.name);
          args.push(*ref, ref);
        } else {
          args.push(evalNode(*kid, st));
        }
      }
      return (*fn)(args);
    }

    case Op::Ref:  // @name outside a call: just the value
      return evalNode(*n.kids[0], st);

    case Op::IIf:  // IIF(c, a, b): only the chosen branch runs
      return logicalOperand(evalNode(*n.kids[0], st), "IIF") ? evalNode(*n.kids[1], st)
                                                              : evalNode(*n.kids[2], st);

    case Op::And:  // .AND.: the right side runs only when the left is .T.
      if (!logicalOperand(evalNode(*n.kids[0], st), ".AND.")) return Value::logical(false);
      return Value::logical(logicalOperand(evalNode(*n.kids[1], st), ".AND."));

    case Op::Or:  // .OR.: the right side runs only when the left is .F.
      if (logicalOperand(evalNode(*n.kids[0], st), ".OR.")) return Value::logical(true);
      return Value::logical(logicalOperand(evalNode(*n.kids[1], st), ".OR."));

    case Op::Not:  // ! and .NOT.
      return opNot(evalNode(*n.kids[0], st));

    case Op::Negate:  // unary -
      return opNegate(evalNode(*n.kids[0], st));

    case Op::UnaryPlus:  // unary +
      return opPlus(evalNode(*n.kids[0], st));

    case Op::Add: case Op::Subtract: case Op::Multiply: case Op::Divide: case Op::Modulo:
    case Op::Power: {  // arithmetic, joining and date arithmetic
      Value sa, sb;
      const Value& a = operand(*n.kids[0], st, sa);
      return arithmetic(n.op, a, operand(*n.kids[1], st, sb));
    }

    case Op::Equal: case Op::NotEqual: {  // = and its negations, under SET EXACT
      Value sa, sb;
      const Value& a = operand(*n.kids[0], st, sa);
      bool eq = opEqual(a, operand(*n.kids[1], st, sb), ctx.settings.exact);
      return Value::logical(n.op == Op::Equal ? eq : !eq);
    }

    case Op::ExactEqual: {  // ==
      Value sa, sb;
      const Value& a = operand(*n.kids[0], st, sa);
      return Value::logical(opExactEqual(a, operand(*n.kids[1], st, sb)));
    }

    case Op::Less: case Op::LessEqual: case Op::Greater: case Op::GreaterEqual: {  // ordering
      static const char* const kNames[] = {"<", "<=", ">", ">="};
      int which = int(n.op) - int(Op::Less);
      Value sa, sb;
      const Value& a = operand(*n.kids[0], st, sa);
      int c = opCompare(a, operand(*n.kids[1], st, sb), ctx.settings.exact, kNames[which]);
      bool r = n.op == Op::Less ? c < 0 : n.op == Op::LessEqual ? c <= 0
             : n.op == Op::Greater ? c > 0 : c >= 0;
      return Value::logical(r);
    }

    case Op::Contains: {  // a $ b
      Value sa, sb;
      const Value& a = operand(*n.kids[0], st, sa);
      return Value::logical(opContains(a, operand(*n.kids[1], st, sb)));
    }

    case Op::ArrayLit: {  // {a, b, c}: a new array
      Value arr = Value::newArray(0);
      Array& items = arr.arr();
      items.reserve(n.kids.size());
      for (const Node* kid : n.kids) items.push_back(evalNode(*kid, st));
      return arr;
    }

    case Op::BlockLit:  // {|a| ...}: a block bound to the current parameters
      return Value::block(std::make_shared<CompiledBlock>(*st.program, n, st.frame));

    case Op::Index: {  // a[i]
      Value base = evalNode(*n.kids[0], st);
      return element(base, evalNode(*n.kids[1], st), "array access");
    }

    case Op::Assign: {  // target := value
      Value v = evalNode(*n.kids[1], st);
      assignNode(*n.kids[0], v, st);
      return v;
    }

    case Op::OpAssign: {  // target op= value
      Value old = evalNode(*n.kids[0], st);
      Value v = arithmetic(n.sub, old, evalNode(*n.kids[1], st));
      assignNode(*n.kids[0], v, st);
      return v;
    }

    case Op::PreIncrement: case Op::PostIncrement: {  // ++x, x++, --x, x--
      Value old = evalNode(*n.kids[0], st);
      Value v = opAdd(old, Value::integer(n.a));
      assignNode(*n.kids[0], v, st);
      return n.op == Op::PreIncrement ? v : old;
    }

    case Op::List: {  // (e1, e2, ...): the last value
      Value v;
      for (const Node* kid : n.kids) v = evalNode(*kid, st);
      return v;
    }
  }
  throw Error(ErrorKind::Other, "Internal error", "expression");
}

void assignNode(const Node& target, Value v, EvalState& st) {
  Context& ctx = context();
  switch (target.op) {
    case Op::Local:  // block parameter
      local(target, st) = std::move(v);
      return;
    case Op::Name:  // field of the selected area, else memory variable (created if missing)
      if (ctx.fields && ctx.fields->writeField(target.name, v)) return;
      ctx.memvars.assign(target.name, std::move(v));
      return;
    case Op::Memvar:  // M->name
      ctx.memvars.assign(target.name, std::move(v));
      return;
    case Op::Field:  // FIELD->name
      if (ctx.fields && ctx.fields->writeField(target.name, v)) return;
      throw Error(ErrorKind::NoField, "Variable does not exist", target.name);
    case Op::AliasField: {  // alias->field
      std::string alias = aliasOf(target), field = fieldOf(target);
      if (isMemvarAlias(alias)) return ctx.memvars.assign(field, std::move(v));
      if (isFieldAlias(alias)) {
        if (ctx.fields && ctx.fields->writeField(field, v)) return;
        throw Error(ErrorKind::NoField, "Variable does not exist", field);
      }
      resolverFor(alias, ctx).writeAliasField(alias, field, v);
      return;
    }
    case Op::Index: {  // a[i] := v
      Value base = evalNode(*target.kids[0], st);
      element(base, evalNode(*target.kids[1], st), "array assign") = std::move(v);
      return;
    }
    case Op::Macro:  // &var := v: assigns to what the text names
      assignTo(compile(macroSource(target, st)), std::move(v));
      return;
    default:
      throw Error(ErrorKind::Argument, "Argument error", ":=");
  }
}

}  // namespace rt
