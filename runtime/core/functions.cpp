// The by-name function registry: names are stored upper-case so lookups ignore case.
#include "runtime/core/functions.h"

#include "runtime/core/core_functions.h"
#include "runtime/core/error.h"
#include "runtime/core/names.h"

namespace rt {

namespace {
constexpr size_t kSignificant = 10;
}

void Functions::add(std::string_view name, NativeFunction fn) {
  ++generation_;
  std::string key = upperName(name);
  if (key.size() > kSignificant) {
    std::string shortKey = key.substr(0, kSignificant);
    auto it = table_.find(shortKey);
    if (it == table_.end() || shortNames_.count(shortKey)) {
      table_[shortKey] = fn;
      shortNames_.insert(shortKey);
    }
  }
  shortNames_.erase(key);  // an exact registration owns its name from now on
  table_[key] = std::move(fn);
}

// A name taken back keeps its entry with an empty routine, which lookups pass over: the entry's
// address may be held by expressions that found it, and a later registration fills it again.
void Functions::remove(std::string_view name) {
  ++generation_;
  std::string key = upperName(name);
  if (auto it = table_.find(key); it != table_.end()) it->second = nullptr;
  if (key.size() > kSignificant) {
    std::string shortKey = key.substr(0, kSignificant);
    if (shortNames_.count(shortKey)) {
      table_[shortKey] = nullptr;
      shortNames_.erase(shortKey);
    }
  }
}

void Functions::restore(const Functions& earlier) {
  ++generation_;
  for (auto& [key, fn] : table_) {
    auto before = earlier.table_.find(key);
    fn = before == earlier.table_.end() ? nullptr : before->second;
  }
  for (const auto& [key, fn] : earlier.table_)
    if (!table_.count(key)) table_[key] = fn;
  shortNames_ = earlier.shortNames_;
}

const NativeFunction* Functions::find(std::string_view name) const {
  Recent& r = recent_.slots[((reinterpret_cast<uintptr_t>(name.data()) >> 3) ^ name.size()) % recent_.slots.size()];
  if (r.generation == generation_ && r.at == name.data() && r.name == name) return r.fn;
  const NativeFunction* fn = lookUp(name);
  r.at = name.data();
  r.name.assign(name);
  r.fn = fn;
  r.generation = generation_;
  return fn;
}

const NativeFunction* Functions::lookUp(std::string_view name) const {
  std::string key = upperName(name);
  auto it = table_.find(key);
  if ((it == table_.end() || !it->second) && key.size() > kSignificant) it = table_.find(key.substr(0, kSignificant));
  return it == table_.end() || !it->second ? nullptr : &it->second;
}

Value Functions::call(std::string_view name, Args& args) const {
  const NativeFunction* fn = find(name);
  if (!fn) throw Error(ErrorKind::NoFunction, "Undefined function", upperName(name));
  return (*fn)(args);
}

Value Functions::call(std::string_view name, std::vector<Value> args) const {
  Args a(std::move(args));
  return call(name, a);
}

Functions& functions() {
  static Functions registry = [] {
    Functions f;
    registerCoreFunctions(f);  // EVAL, VALTYPE, TYPE are always there
    return f;
  }();
  return registry;
}

}  // namespace rt
