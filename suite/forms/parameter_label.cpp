// `_LEN`: a parameter window's label and the offset of its value field.
#include "suite/forms/parameter_label.h"

#include "runtime/core/functions.h"
#include "suite/forms/display_text.h"

namespace suite {

void registerParameterLabelFunction() {
  rt::functions().add("_LEN", [](rt::Args& a) {
    std::string label = displayText(a[0].strOr(""));
    int64_t n = a[1].intOr(0);
    rt::Value offsets = a[2];
    if (n >= 1 && offsets.isArray()) {
      if (offsets.arr().size() < size_t(n)) offsets.arr().resize(size_t(n), rt::Value::integer(0));
      offsets.arr()[size_t(n - 1)] = rt::Value::integer(int64_t(label.size()) + 1);
    }
    return rt::Value::text(label);
  });
}

}  // namespace suite
