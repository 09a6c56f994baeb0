// Routines registered by name for a while: a test's stand-ins, whose closures often capture the
// test's locals by reference, must not outlive the scope that registered them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "runtime/core/functions.h"

namespace test_support {

// Replaces routines by name until it ends (or restore() is called): each name then gets its
// previous routine back, and a name that had none is unknown again.
class ScopedFunctions {
 public:
  ScopedFunctions() = default;
  ScopedFunctions(const std::string& name, rt::NativeFunction fn) { replace(name, std::move(fn)); }
  ~ScopedFunctions() { restore(); }
  ScopedFunctions(const ScopedFunctions&) = delete;
  ScopedFunctions& operator=(const ScopedFunctions&) = delete;

  void replace(const std::string& name, rt::NativeFunction fn) {
    const rt::NativeFunction* before = rt::functions().find(name);
    replaced_.emplace_back(name, before ? *before : rt::NativeFunction());
    rt::functions().add(name, std::move(fn));
  }
  void restore() {
    for (auto it = replaced_.rbegin(); it != replaced_.rend(); ++it) {
      if (it->second) rt::functions().add(it->first, std::move(it->second));
      else rt::functions().remove(it->first);
    }
    replaced_.clear();
  }

 private:
  std::vector<std::pair<std::string, rt::NativeFunction>> replaced_;
};

}  // namespace test_support
