// The expression compiler: recursive descent over the text, one function per precedence level.
//
// Precedence, highest first: unary - + ++ --; ** ^; * / %; + -; < <= > >= $; = == != <> #;
// .NOT. !; .AND.; .OR.; := += -= *= /= (right to left). A '[' where an operand is expected opens a
// string, after an operand it opens a subscript.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "runtime/core/error.h"
#include "runtime/core/expr_tree.h"
#include "runtime/core/names.h"

namespace rt {

namespace {

bool isIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

class Parser {
 public:
  Parser(std::string_view text, Program& program) : text_(text), prog_(program) {}

  const Node* parseAll() {
    skipSpace();
    if (atEnd()) fail(pos_, "empty expression");
    const Node* root = parseList(pos_);
    skipSpace();
    if (!atEnd()) fail(pos_, std::string("unexpected '") + text_[pos_] + "'");
    return root;
  }

 private:
  std::string_view text_;
  Program& prog_;
  size_t pos_ = 0;
  std::vector<std::vector<std::string>> scopes_;  // block parameters, innermost last
  int depth_ = 0;                                 // nesting of parseExpr, bounded for the stack
  static constexpr int kMaxDepth = 200;
  static constexpr int kMaxHeight = 2000;

  // --- characters ---------------------------------------------------------------------------
  bool atEnd() const { return pos_ >= text_.size(); }
  char peek(size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }
  void skipSpace() {
    while (!atEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' ||
                        text_[pos_] == '\n'))
      ++pos_;
  }
  bool startsWith(std::string_view s) const {
    return text_.substr(pos_, s.size()) == s;
  }
  // A dot word such as ".AND." at the current position, any case.
  bool atWord(std::string_view word) const {
    if (pos_ + word.size() > text_.size()) return false;
    return sameName(text_.substr(pos_, word.size()), word);
  }
  bool accept(std::string_view s) {
    skipSpace();
    if (!startsWith(s)) return false;
    pos_ += s.size();
    return true;
  }
  void expect(char c, const char* what) {
    skipSpace();
    if (peek() != c) fail(pos_, std::string("expected ") + what);
    ++pos_;
  }

  [[noreturn]] void fail(size_t at, const std::string& reason) const {
    throw Error(ErrorKind::Syntax, "Syntax error",
                "\"" + std::string(text_) + "\" at position " + std::to_string(at + 1) + ": " +
                    reason);
  }

  // Bounds the parser's recursion (parentheses, prefix operators) for the sake of the stack.
  struct Nesting {
    Parser& p;
    explicit Nesting(Parser& parser) : p(parser) {
      if (++p.depth_ > kMaxDepth) p.fail(p.pos_, "nested too deeply");
    }
    ~Nesting() { --p.depth_; }
  };

  // --- nodes --------------------------------------------------------------------------------
  Node& make(Op op, size_t at) {
    Node& n = prog_.nodes.emplace_back();
    n.op = op;
    n.pos = int(at);
    return n;
  }
  const Node* unary(Op op, const Node* kid, size_t at) {
    Node& n = make(op, at);
    n.kids = {kid};
    n.height = kid->height + 1;
    return &n;
  }
  // Long operator chains (1+1+...+1) nest to the left; their height bounds the evaluator's
  // recursion.
  const Node* binary(Op op, const Node* l, const Node* r, size_t at) {
    Node& n = make(op, at);
    n.kids = {l, r};
    n.height = std::max(l->height, r->height) + 1;
    if (n.height > kMaxHeight) fail(at, "expression too long");
    return &n;
  }
  static bool assignable(const Node* n) {
    switch (n->op) {
      case Op::Local: case Op::Name: case Op::Memvar: case Op::Field: case Op::AliasField:
      case Op::Macro: case Op::Index:
        return true;
      default:
        return false;
    }
  }

  // --- levels -------------------------------------------------------------------------------
  // e1, e2, ...: the value of the last one.
  const Node* parseList(size_t at) {
    const Node* first = parseExpr();
    skipSpace();
    if (peek() != ',') return first;
    Node& list = make(Op::List, at);
    list.kids.push_back(first);
    while (accept(",")) list.kids.push_back(parseExpr());
    return &list;
  }

  const Node* parseExpr() {
    Nesting nest(*this);
    return parseAssignment();
  }

  const Node* parseAssignment() {
    const Node* target = parseOr();
    skipSpace();
    size_t at = pos_;
    static const struct { const char* token; Op sub; } kOps[] = {
        {":=", Op::Const}, {"+=", Op::Add}, {"-=", Op::Subtract}, {"*=", Op::Multiply},
        {"/=", Op::Divide}, {"%=", Op::Modulo}, {"^=", Op::Power}, {"**=", Op::Power}};
    for (const auto& op : kOps) {
      if (!startsWith(op.token)) continue;
      if (!assignable(target)) fail(at, "cannot assign to this");
      pos_ += std::string_view(op.token).size();
      const Node* value = parseAssignment();
      Node& n = make(op.sub == Op::Const ? Op::Assign : Op::OpAssign, at);
      n.sub = op.sub;
      n.kids = {target, value};
      return &n;
    }
    return target;
  }

  const Node* parseOr() {
    const Node* left = parseAnd();
    for (;;) {
      skipSpace();
      size_t at = pos_;
      if (!atWord(".OR.")) return left;
      pos_ += 4;
      left = binary(Op::Or, left, parseAnd(), at);
    }
  }

  const Node* parseAnd() {
    const Node* left = parseNot();
    for (;;) {
      skipSpace();
      size_t at = pos_;
      if (!atWord(".AND.")) return left;
      pos_ += 5;
      left = binary(Op::And, left, parseNot(), at);
    }
  }

  const Node* parseNot() {
    Nesting nest(*this);
    skipSpace();
    size_t at = pos_;
    if (atWord(".NOT.")) {
      pos_ += 5;
      return unary(Op::Not, parseNot(), at);
    }
    if (peek() == '!' && peek(1) != '=') {
      ++pos_;
      return unary(Op::Not, parseNot(), at);
    }
    return parseEquality();
  }

  const Node* parseEquality() {
    const Node* left = parseRelational();
    for (;;) {
      skipSpace();
      size_t at = pos_;
      Op op;
      if (startsWith("==")) { op = Op::ExactEqual; pos_ += 2; }
      else if (startsWith("!=") || startsWith("<>")) { op = Op::NotEqual; pos_ += 2; }
      else if (peek() == '#') { op = Op::NotEqual; pos_ += 1; }
      else if (peek() == '=') { op = Op::Equal; pos_ += 1; }
      else return left;
      left = binary(op, left, parseRelational(), at);
    }
  }

  const Node* parseRelational() {
    const Node* left = parseAdditive();
    for (;;) {
      skipSpace();
      size_t at = pos_;
      Op op;
      if (startsWith("<=")) { op = Op::LessEqual; pos_ += 2; }
      else if (startsWith(">=")) { op = Op::GreaterEqual; pos_ += 2; }
      else if (peek() == '<' && peek(1) != '>') { op = Op::Less; pos_ += 1; }
      else if (peek() == '>') { op = Op::Greater; pos_ += 1; }
      else if (peek() == '$') { op = Op::Contains; pos_ += 1; }
      else return left;
      left = binary(op, left, parseAdditive(), at);
    }
  }

  const Node* parseAdditive() {
    const Node* left = parseMultiplicative();
    for (;;) {
      skipSpace();
      size_t at = pos_;
      char c = peek(), next = peek(1);
      Op op;
      if (c == '+' && next != '=' && next != '+') op = Op::Add;
      else if (c == '-' && next != '=' && next != '-' && next != '>') op = Op::Subtract;
      else return left;
      ++pos_;
      left = binary(op, left, parseMultiplicative(), at);
    }
  }

  const Node* parseMultiplicative() {
    const Node* left = parsePower();
    for (;;) {
      skipSpace();
      size_t at = pos_;
      char c = peek(), next = peek(1);
      Op op;
      if (c == '*' && next != '*' && next != '=') op = Op::Multiply;
      else if (c == '/' && next != '=') op = Op::Divide;
      else if (c == '%' && next != '=') op = Op::Modulo;
      else return left;
      ++pos_;
      left = binary(op, left, parsePower(), at);
    }
  }

  const Node* parsePower() {
    const Node* left = parseUnary();
    for (;;) {
      skipSpace();
      size_t at = pos_;
      if (startsWith("**") && peek(2) != '=') pos_ += 2;
      else if (peek() == '^' && peek(1) != '=') pos_ += 1;
      else return left;
      left = binary(Op::Power, left, parseUnary(), at);
    }
  }

  const Node* parseUnary() {
    Nesting nest(*this);
    skipSpace();
    size_t at = pos_;
    if (startsWith("++") || startsWith("--")) {
      int step = peek() == '+' ? 1 : -1;
      pos_ += 2;
      const Node* target = parseUnary();
      if (!assignable(target)) fail(at, "cannot assign to this");
      Node& n = make(Op::PreIncrement, at);
      n.a = step;
      n.kids = {target};
      return &n;
    }
    if (peek() == '-') { ++pos_; return unary(Op::Negate, parseUnary(), at); }
    if (peek() == '+') { ++pos_; return unary(Op::UnaryPlus, parseUnary(), at); }
    if (peek() == '!' && peek(1) != '=') { ++pos_; return unary(Op::Not, parseUnary(), at); }
    if (atWord(".NOT.")) { pos_ += 5; return unary(Op::Not, parseUnary(), at); }
    return parsePostfix(parsePrimary());
  }

  const Node* parsePostfix(const Node* base) {
    for (;;) {
      skipSpace();
      size_t at = pos_;
      if (peek() == '[') {
        ++pos_;
        do {
          const Node* index = parseExpr();
          base = binary(Op::Index, base, index, at);
        } while (accept(","));
        expect(']', "]");
        continue;
      }
      if ((startsWith("++") || startsWith("--")) && assignable(base)) {
        Node& n = make(Op::PostIncrement, at);
        n.a = peek() == '+' ? 1 : -1;
        n.kids = {base};
        pos_ += 2;
        base = &n;
        continue;
      }
      return base;
    }
  }

  // --- operands -----------------------------------------------------------------------------
  const Node* parsePrimary() {
    skipSpace();
    size_t at = pos_;
    if (atEnd()) fail(pos_, "expected an operand");
    char c = peek();
    if (isDigit(c) || (c == '.' && isDigit(peek(1)))) return parseNumber();
    if (c == '.') return parseDotLiteral();
    if (c == '"' || c == '\'' || c == '[') return parseString();
    if (c == '(') {
      ++pos_;
      const Node* inner = parseList(at);
      expect(')', ")");
      return inner;
    }
    if (c == '{') {
      ++pos_;
      skipSpace();
      if (peek() == '|') return parseBlock(at);
      return parseArray(at);
    }
    if (c == '&' || isIdentStart(c)) return parseNameOrCall();
    fail(pos_, std::string("unexpected '") + c + "'");
  }

  const Node* parseNumber() {
    size_t start = pos_;
    while (isDigit(peek())) ++pos_;
    int decimals = 0;
    if (peek() == '.' && isDigit(peek(1))) {
      ++pos_;
      while (isDigit(peek())) { ++pos_; ++decimals; }
    }
    if (isIdentChar(peek())) fail(pos_, "malformed number");
    Node& n = make(Op::Const, start);
    std::string digits(text_.substr(start, pos_ - start));
    n.constant = Value::number(std::strtod(digits.c_str(), nullptr), decimals);
    return &n;
  }

  const Node* parseDotLiteral() {
    size_t at = pos_;
    for (auto [word, value] : {std::pair{".T.", true}, {".F.", false}, {".Y.", true},
                               {".N.", false}}) {
      if (atWord(word)) {
        pos_ += 3;
        Node& n = make(Op::Const, at);
        n.constant = Value::logical(value);
        return &n;
      }
    }
    fail(at, "expected an operand");
  }

  const Node* parseString() {
    size_t at = pos_;
    char open = text_[pos_++];
    char close = open == '[' ? ']' : open;
    size_t end = text_.find(close, pos_);
    if (end == std::string_view::npos) fail(at, "unterminated string");
    Node& n = make(Op::Const, at);
    n.constant = Value::text(std::string(text_.substr(pos_, end - pos_)));
    pos_ = end + 1;
    return &n;
  }

  const Node* parseArray(size_t at) {
    Node& n = make(Op::ArrayLit, at);
    skipSpace();
    if (accept("}")) return &n;
    for (;;) {
      skipSpace();
      if (peek() == ',' || peek() == '}') n.kids.push_back(&make(Op::Const, pos_));  // NIL
      else n.kids.push_back(parseExpr());
      if (accept(",")) continue;
      expect('}', "} or ,");
      return &n;
    }
  }

  const Node* parseBlock(size_t at) {
    ++pos_;  // the opening '|'
    std::vector<std::string> params;
    skipSpace();
    while (peek() != '|') {
      skipSpace();
      if (!isIdentStart(peek())) fail(pos_, "expected a parameter name");
      params.push_back(readIdent());
      skipSpace();
      if (peek() == ',') { ++pos_; skipSpace(); continue; }
      if (peek() != '|') fail(pos_, "expected | or ,");
    }
    ++pos_;
    Node& n = make(Op::BlockLit, at);
    n.a = int(params.size());
    scopes_.push_back(std::move(params));
    skipSpace();
    if (peek() != '}') {
      n.kids.push_back(parseExpr());
      while (accept(",")) n.kids.push_back(parseExpr());
    }
    expect('}', "}");
    scopes_.pop_back();
    n.name = std::string(text_.substr(at, pos_ - at));
    return &n;
  }

  std::string readIdent() {
    size_t start = pos_;
    while (isIdentChar(peek())) ++pos_;
    return upperName(text_.substr(start, pos_ - start));
  }

  // A name possibly built from macros: abc, &var, &var., &var.suffix, prefix&var.
  std::vector<MacroPart> readNameParts() {
    std::vector<MacroPart> parts;
    for (;;) {
      if (peek() == '&' && isIdentStart(peek(1))) {
        ++pos_;
        parts.push_back({true, readIdent()});
        if (peek() == '.') ++pos_;  // the dot ends the macro name
        continue;
      }
      if (isIdentChar(peek())) {
        std::string literal;
        while (isIdentChar(peek())) literal += text_[pos_++];
        parts.push_back({false, literal});
        continue;
      }
      return parts;
    }
  }
  static bool hasMacro(const std::vector<MacroPart>& parts) {
    for (const auto& p : parts)
      if (p.isVariable) return true;
    return false;
  }
  static std::string joined(const std::vector<MacroPart>& parts) {
    std::string s;
    for (const auto& p : parts) s += p.text;
    return upperName(s);
  }

  const Node* parseNameOrCall() {
    size_t at = pos_;
    if (peek() == '&' && peek(1) == '(') {  // &(expr)
      pos_ += 2;
      Node& n = make(Op::Macro, at);
      n.kids = {parseExpr()};
      expect(')', ")");
      return &n;
    }
    if (peek() == '&' && !isIdentStart(peek(1))) fail(pos_, "expected a name after &");
    std::vector<MacroPart> parts = readNameParts();
    bool macro = hasMacro(parts);
    skipSpace();
    if (startsWith("->")) {
      pos_ += 2;
      return parseAliased(at, std::move(parts));
    }
    if (macro) {
      Node& n = make(Op::Macro, at);
      n.fieldParts = std::move(parts);
      return &n;
    }
    std::string name = joined(parts);
    if (peek() == '(') return parseCall(at, name);
    if (name == "NIL") return &make(Op::Const, at);
    // A block parameter, innermost scope first.
    for (size_t d = 0; d < scopes_.size(); ++d) {
      const auto& scope = scopes_[scopes_.size() - 1 - d];
      for (size_t i = 0; i < scope.size(); ++i)
        if (scope[i] == name) {
          Node& n = make(Op::Local, at);
          n.a = int(d);
          n.b = int(i);
          n.name = name;
          return &n;
        }
    }
    Node& n = make(Op::Name, at);
    n.name = name;
    return &n;
  }

  const Node* parseAliased(size_t at, std::vector<MacroPart> aliasParts) {
    skipSpace();
    bool aliasMacro = hasMacro(aliasParts);
    std::string alias = aliasMacro ? std::string() : joined(aliasParts);
    if (peek() == '(') {  // alias->(expr)
      size_t open = pos_++;
      Node& n = make(Op::AliasExpr, at);
      n.name = alias;
      if (aliasMacro) n.aliasParts = std::move(aliasParts);
      n.kids = {parseList(open)};
      expect(')', ")");
      return &n;
    }
    if (!(isIdentStart(peek()) || (peek() == '&' && isIdentStart(peek(1)))))
      fail(pos_, "expected a field name after ->");
    std::vector<MacroPart> fieldParts = readNameParts();
    bool fieldMacro = hasMacro(fieldParts);
    if (!aliasMacro && !fieldMacro) {
      std::string field = joined(fieldParts);
      if (alias == "M" || alias == "MEMVAR") {
        Node& n = make(Op::Memvar, at);
        n.name = field;
        return &n;
      }
      if (alias == "FIELD" || alias == "_FIELD") {
        Node& n = make(Op::Field, at);
        n.name = field;
        return &n;
      }
    }
    Node& n = make(Op::AliasField, at);
    n.name = alias;
    if (aliasMacro) n.aliasParts = std::move(aliasParts);
    if (fieldMacro) n.fieldParts = std::move(fieldParts);
    else n.name2 = joined(fieldParts);
    return &n;
  }

  const Node* parseCall(size_t at, const std::string& name) {
    ++pos_;  // '('
    bool iif = name == "IIF" || name == "IF";
    Node& n = make(iif ? Op::IIf : Op::Call, at);
    n.name = name;
    skipSpace();
    if (peek() != ')') {
      for (;;) {
        skipSpace();
        if (peek() == ',' || peek() == ')') {
          n.kids.push_back(&make(Op::Const, pos_));  // an omitted argument is NIL
        } else if (peek() == '@') {
          size_t refAt = pos_++;
          skipSpace();
          const Node* target = parsePrimary();
          if (target->op != Op::Name && target->op != Op::Local && target->op != Op::Memvar)
            fail(refAt, "@ needs a variable name");
          n.kids.push_back(unary(Op::Ref, target, refAt));
        } else {
          n.kids.push_back(parseExpr());
        }
        if (accept(",")) continue;
        break;
      }
    }
    expect(')', ")");
    if (iif) {
      if (n.kids.size() < 2 || n.kids.size() > 3) fail(at, "IIF needs 2 or 3 arguments");
      if (n.kids.size() == 2) n.kids.push_back(&make(Op::Const, at));
      return &n;
    }
    n.fn = functions().find(name);
    if (!n.fn) prog_.callsUnknownFunction = true;
    return &n;
  }
};

}  // namespace

std::shared_ptr<const Program> parseExpression(std::string_view text) {
  auto program = std::make_shared<Program>();
  program->text = std::string(text);
  Parser parser(program->text, *program);
  program->root = parser.parseAll();
  return program;
}

}  // namespace rt
