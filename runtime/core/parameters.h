// PARAMETERS for routines called by name: each argument becomes a private of the routine's own
// frame (missing ones NIL), and an argument passed by reference (@x) receives the parameter's last
// value when the routine ends, as if the parameter had been the caller's variable.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/functions.h"
#include "runtime/core/memvars.h"

namespace rt {

class ParameterFrame {
 public:
  ParameterFrame(Memvars& vars, Args& args, std::initializer_list<std::string_view> names);
  ~ParameterFrame();
  ParameterFrame(const ParameterFrame&) = delete;
  ParameterFrame& operator=(const ParameterFrame&) = delete;

  // PCOUNT(): how many arguments the caller passed.
  size_t count() const { return args_.count(); }

 private:
  Memvars& vars_;
  Args& args_;
  std::vector<std::string> names_;
  PrivateFrame frame_;
};

}  // namespace rt
