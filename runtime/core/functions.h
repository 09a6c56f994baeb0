// Functions callable by name: the case-insensitive registry that expression text, macros, the menu
// engine and update scripts call through.
//
// Every public routine of the programs is registered here with a thin adapter that reads its
// positional arguments and defaults a missing or wrongly typed one by testing its type.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "runtime/core/value.h"

namespace rt {

// Arguments of one call. Missing arguments read as NIL; an argument passed by reference (@x)
// can be assigned back to the caller's variable.
class Args {
 public:
  Args() = default;
  explicit Args(std::vector<Value> values) : values_(std::move(values)) {}

  size_t count() const { return values_.size(); }
  const Value& operator[](size_t i) const { return i < values_.size() ? values_[i] : nil_; }

  void push(const Value& v, Value* ref = nullptr) {
    values_.push_back(v);
    if (ref) noteRef(ref);
  }
  void push(Value&& v, Value* ref = nullptr) {
    values_.push_back(std::move(v));
    if (ref) noteRef(ref);
  }
  bool byRef(size_t i) const { return i < refs_.size() && refs_[i] != nullptr; }
  void reserve(size_t n) { values_.reserve(n); }
  // Writes through a reference; a no-op for an argument passed by value.
  void assign(size_t i, Value v) {
    if (i < values_.size()) values_[i] = v;
    if (byRef(i)) *refs_[i] = std::move(v);
  }
  std::vector<Value>& values() { return values_; }
  // Empties the list for another call, keeping its storage.
  void clear() {
    values_.clear();
    refs_.clear();
  }

 private:
  // References are rare: the table of them grows only when one is passed.
  void noteRef(Value* ref) {
    refs_.resize(values_.size());
    refs_.back() = ref;
  }

  std::vector<Value> values_;
  std::vector<Value*> refs_;  // may be shorter than values_: missing entries are by value
  static inline const Value nil_{};
};

using NativeFunction = std::function<Value(Args&)>;

// Names are case-insensitive and, as in the classic runtime, significant to their first ten
// characters: a function registered as DBCLEARFILTER is also found as DBCLEARFIL (unless another
// function holds that exact name), and a call to a longer unknown name tries its first ten.
class Functions {
 public:
  // Registers (or replaces) a function.
  void add(std::string_view name, NativeFunction fn);
  // Takes a registration back: the name is unknown again until it is added anew.
  void remove(std::string_view name);
  // Puts back the registrations `earlier` (a copy of this registry) held: names registered since
  // are unknown again, replaced ones get their routine back. Done in place, so that routines
  // found before stay where they were found.
  void restore(const Functions& earlier);
  const NativeFunction* find(std::string_view name) const;
  bool has(std::string_view name) const { return find(name) != nullptr; }
  // Calls by name; throws rt::Error(NoFunction, "Undefined function", NAME) when missing.
  Value call(std::string_view name, Args& args) const;
  Value call(std::string_view name, std::vector<Value> args = {}) const;

 private:
  const NativeFunction* lookUp(std::string_view name) const;

  std::unordered_map<std::string, NativeFunction> table_;  // upper-case names
  std::unordered_set<std::string> shortNames_;  // ten-character entries standing for longer names

  // The names last found, by where their text lies: a routine calls the same names from the same
  // literal text over and over. An entry counts only when its text is still the same and no
  // registration came since; a copied registry starts without any.
  struct Recent {
    const char* at = nullptr;
    std::string name;
    const NativeFunction* fn = nullptr;
    uint64_t generation = 0;
  };
  struct RecentNames {
    std::array<Recent, 64> slots{};
    RecentNames() = default;
    RecentNames(const RecentNames&) {}
    RecentNames& operator=(const RecentNames&) {
      slots = {};
      return *this;
    }
  };
  mutable RecentNames recent_;
  uint64_t generation_ = 1;
};

// The process's registry.
Functions& functions();

}  // namespace rt
