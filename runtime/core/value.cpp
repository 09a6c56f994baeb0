// rt::Value: constructors, type-checked accessors and the lenient readers.
#include "runtime/core/value.h"

#include "runtime/core/error.h"

namespace rt {

namespace {
[[noreturn]] void wrongType(const char* wanted) {
  throw Error(ErrorKind::Argument, "Argument error", wanted);
}
}  // namespace

Value Value::text(std::string s) {
  Value v;
  v.type_ = Type::Char;
  v.str_ = std::move(s);
  return v;
}

Value Value::number(double n, int decimals, int width) {
  Value v;
  v.type_ = Type::Num;
  v.num_ = n == 0 ? 0.0 : n;  // no negative zero: it would print a minus sign
  v.dec_ = int16_t(decimals < 0 ? 0 : decimals);
  v.width_ = int16_t(width);
  return v;
}

Value Value::date(int32_t julianDay) {
  Value v;
  v.type_ = Type::Date;
  v.day_ = julianDay < 0 ? 0 : julianDay;
  return v;
}

Value Value::logical(bool b) {
  Value v;
  v.type_ = Type::Logical;
  v.bool_ = b;
  return v;
}

Value Value::array(ArrayPtr a) {
  Value v;
  v.type_ = Type::Array;
  v.arr_ = a ? std::move(a) : std::make_shared<Array>();
  return v;
}

Value Value::newArray(size_t n) { return array(std::make_shared<Array>(n)); }

Value Value::block(BlockPtr b) {
  if (!b) wrongType("block");
  Value v;
  v.type_ = Type::Block;
  v.block_ = std::move(b);
  return v;
}

char Value::typeLetter() const {
  switch (type_) {
    case Type::Nil: return 'U';
    case Type::Char: return 'C';
    case Type::Num: return 'N';
    case Type::Date: return 'D';
    case Type::Logical: return 'L';
    case Type::Array: return 'A';
    case Type::Block: return 'B';
  }
  return 'U';
}

const std::string& Value::str() const {
  if (type_ != Type::Char) wrongType("character");
  return str_;
}

double Value::num() const {
  if (type_ != Type::Num) wrongType("numeric");
  return num_;
}

int32_t Value::date() const {
  if (type_ != Type::Date) wrongType("date");
  return day_;
}

bool Value::logical() const {
  if (type_ != Type::Logical) wrongType("logical");
  return bool_;
}

Array& Value::arr() const {
  if (type_ != Type::Array) wrongType("array");
  return *arr_;
}

const ArrayPtr& Value::arrPtr() const {
  if (type_ != Type::Array) wrongType("array");
  return arr_;
}

const BlockPtr& Value::blockPtr() const {
  if (type_ != Type::Block) wrongType("block");
  return block_;
}

std::string Value::strOr(std::string_view fallback) const {
  return type_ == Type::Char ? str_ : std::string(fallback);
}
double Value::numOr(double fallback) const { return type_ == Type::Num ? num_ : fallback; }
int64_t Value::intOr(int64_t fallback) const {
  return type_ == Type::Num ? int64_t(num_) : fallback;
}
bool Value::logicalOr(bool fallback) const { return type_ == Type::Logical ? bool_ : fallback; }

namespace {
class NativeBlock : public Block {
 public:
  NativeBlock(std::function<Value(std::vector<Value>&)> body, std::string text)
      : body_(std::move(body)), text_(std::move(text)) {}
  Value eval(std::vector<Value>& args) override { return body_(args); }
  std::string text() const override { return text_; }

 private:
  std::function<Value(std::vector<Value>&)> body_;
  std::string text_;
};
}  // namespace

BlockPtr nativeBlock(std::function<Value(std::vector<Value>&)> body, std::string text) {
  return std::make_shared<NativeBlock>(std::move(body), std::move(text));
}

}  // namespace rt
