// ParameterFrame: arguments declared as privates of a new frame, by-reference ones written back.
#include "runtime/core/parameters.h"

namespace rt {

ParameterFrame::ParameterFrame(Memvars& vars, Args& args,
                               std::initializer_list<std::string_view> names)
    : vars_(vars), args_(args), frame_(vars) {
  size_t i = 0;
  for (std::string_view name : names) {
    names_.emplace_back(name);
    vars_.declarePrivate(name, args_[i++]);
  }
}

ParameterFrame::~ParameterFrame() {
  for (size_t i = 0; i < names_.size(); ++i)
    if (args_.byRef(i))
      if (const Value* v = vars_.find(names_[i])) args_.assign(i, *v);
}

}  // namespace rt
