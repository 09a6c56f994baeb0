// rt::Value: constructors, type-checked accessors and the lenient readers.
#include "runtime/core/value.h"

#include "runtime/core/error.h"

namespace rt {

void Value::wrongType(const char* wanted) {
  throw Error(ErrorKind::Argument, "Argument error", wanted);
}

void Value::copyFrom(const Value& o) {
  switch (o.type_) {
    case Type::Char: new (&str_) std::string(o.str_); break;
    case Type::Array: new (&arr_) ArrayPtr(o.arr_); break;
    case Type::Block: new (&block_) BlockPtr(o.block_); break;
    default: break;
  }
  copyScalars(o);  // after the payload, which may throw, so a failed copy holds nothing
}

Value& Value::operator=(const Value& o) {
  if (this == &o) return *this;
  if (type_ == Type::Char && o.type_ == Type::Char) {
    str_ = o.str_;  // reuses this text's storage
    copyScalars(o);
    return *this;
  }
  if (holdsValues()) return replaceHeld(Value(o));
  destroyPayload();  // a text: it cannot hold `o`
  type_ = Type::Nil;  // holds nothing should the copy fail
  copyFrom(o);
  return *this;
}

Value Value::text(std::string&& s) {
  Value v;
  new (&v.str_) std::string(std::move(s));
  v.type_ = Type::Char;
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
  new (&v.arr_) ArrayPtr(a ? std::move(a) : std::make_shared<Array>());
  v.type_ = Type::Array;
  return v;
}

Value Value::newArray(size_t n) { return array(std::make_shared<Array>(n)); }

Value Value::block(BlockPtr b) {
  if (!b) wrongType("block");
  Value v;
  new (&v.block_) BlockPtr(std::move(b));
  v.type_ = Type::Block;
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
