// rt::Value: one value of the xBase runtime.
//
// NIL, character (bytes in code page 852, 8-bit clean), number (a double plus the display width and
// decimals the runtime tracks, so STR() prints what the classic runtime prints), date (Julian day
// number, 0 = the empty date, which sorts before every date), logical, array (shared by reference)
// and code block (shared). Values are cheap to copy: strings are held by value, arrays and blocks by
// shared pointer, as the runtime passes them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

class Value;
using Array = std::vector<Value>;
using ArrayPtr = std::shared_ptr<Array>;
struct Block;
using BlockPtr = std::shared_ptr<Block>;

enum class Type : uint8_t { Nil, Char, Num, Date, Logical, Array, Block };

// Width of a number whose width was not given: STR() then uses 10 integer positions.
inline constexpr int kDefaultWidth = -1;

class Value {
 public:
  Value() noexcept {}  // NIL
  Value(const Value& o) { copyFrom(o); }
  Value(Value&& o) noexcept {
    copyScalars(o);
    movePayload(o);
  }
  Value& operator=(const Value& o);
  Value& operator=(Value&& o) noexcept {
    if (this == &o) return *this;
    if (holdsValues()) return replaceHeld(Value(std::move(o)));
    destroyPayload();
    copyScalars(o);
    movePayload(o);
    return *this;
  }
  ~Value() { destroyPayload(); }

  static Value text(std::string&& s);
  static Value text(const std::string& s) { return text(std::string(s)); }
  static Value number(double v, int decimals = 0, int width = kDefaultWidth);
  static Value integer(int64_t v) { return number(double(v), 0); }
  static Value date(int32_t julianDay);  // 0 = empty date
  static Value logical(bool b);
  static Value array(ArrayPtr a);
  static Value newArray(size_t n = 0);  // n NILs
  static Value block(BlockPtr b);

  Type type() const { return type_; }
  // The letter VALTYPE() gives: U C N D L A B.
  char typeLetter() const;

  bool isNil() const { return type_ == Type::Nil; }
  bool isChar() const { return type_ == Type::Char; }
  bool isNum() const { return type_ == Type::Num; }
  bool isDate() const { return type_ == Type::Date; }
  bool isLogical() const { return type_ == Type::Logical; }
  bool isArray() const { return type_ == Type::Array; }
  bool isBlock() const { return type_ == Type::Block; }

  // Accessors check the type and throw rt::Error ("Argument error") on a mismatch.
  const std::string& str() const {
    if (type_ != Type::Char) wrongType("character");
    return str_;
  }
  double num() const {
    if (type_ != Type::Num) wrongType("numeric");
    return num_;
  }
  int decimals() const { return dec_; }
  int width() const { return width_; }
  int32_t date() const {
    if (type_ != Type::Date) wrongType("date");
    return day_;
  }
  bool logical() const {
    if (type_ != Type::Logical) wrongType("logical");
    return bool_;
  }
  Array& arr() const;
  const ArrayPtr& arrPtr() const;
  const BlockPtr& blockPtr() const;

  // Lenient readers for the type-tested defaulting of routines: the value if it has the type,
  // otherwise the fallback.
  std::string strOr(std::string_view fallback) const;
  double numOr(double fallback) const;
  int64_t intOr(int64_t fallback) const;
  bool logicalOr(bool fallback) const;

 private:
  [[noreturn]] static void wrongType(const char* wanted);

  // Values are copied and dropped all the time while expressions run: the scalars are copied as
  // they stand, and only the one payload member the type has (none for NIL, numbers, dates and
  // logicals) is constructed, copied or destroyed.
  void copyScalars(const Value& o) {
    type_ = o.type_;
    bool_ = o.bool_;
    dec_ = o.dec_;
    width_ = o.width_;
    day_ = o.day_;
    num_ = o.num_;
  }
  void copyFrom(const Value& o);  // into a value without a payload
  // An array or a block may hold the very value assigned to it (v = v.arr()[1]): that value is
  // taken out before the old payload goes.
  bool holdsValues() const { return type_ == Type::Array || type_ == Type::Block; }
  Value& replaceHeld(Value&& taken) noexcept {
    destroyPayload();
    type_ = Type::Nil;
    return *this = std::move(taken);
  }
  void movePayload(Value& o) noexcept {  // type_ already o's
    switch (type_) {
      case Type::Char: new (&str_) std::string(std::move(o.str_)); break;
      case Type::Array: new (&arr_) ArrayPtr(std::move(o.arr_)); break;
      case Type::Block: new (&block_) BlockPtr(std::move(o.block_)); break;
      default: break;
    }
  }
  void destroyPayload() noexcept {
    switch (type_) {
      case Type::Char: std::destroy_at(&str_); break;
      case Type::Array: std::destroy_at(&arr_); break;
      case Type::Block: std::destroy_at(&block_); break;
      default: break;
    }
  }

  Type type_ = Type::Nil;
  bool bool_ = false;
  int16_t dec_ = 0;
  int16_t width_ = kDefaultWidth;
  int32_t day_ = 0;
  double num_ = 0;
  union {  // the member of type_ only
    std::string str_;  // Type::Char
    ArrayPtr arr_;     // Type::Array
    BlockPtr block_;   // Type::Block
  };
};

// A compiled code block: evaluated with positional arguments; missing ones are NIL.
struct Block {
  virtual ~Block() = default;
  virtual Value eval(std::vector<Value>& args) = 0;
  // The source text, for display and for errors ("{|a| a+1}"), when known.
  virtual std::string text() const { return {}; }
};

// A block made from C++ code, for blocks the runtime hands out (FIELDBLOCK, sort orders...).
BlockPtr nativeBlock(std::function<Value(std::vector<Value>&)> body, std::string text = {});

}  // namespace rt
