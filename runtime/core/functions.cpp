// The by-name function registry: names are stored upper-case so lookups ignore case.
#include "runtime/core/functions.h"

#include "runtime/core/error.h"
#include "runtime/core/names.h"

namespace rt {

void Functions::add(std::string_view name, NativeFunction fn) {
  table_[upperName(name)] = std::move(fn);
}

const NativeFunction* Functions::find(std::string_view name) const {
  auto it = table_.find(upperName(name));
  return it == table_.end() ? nullptr : &it->second;
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
  static Functions registry;
  return registry;
}

}  // namespace rt
