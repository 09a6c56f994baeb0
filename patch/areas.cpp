// Committing and closing every work area.
#include "patch/areas.h"

#include <optional>
#include <vector>

#include "patch/messages.h"
#include "runtime/core/functions.h"
#include "runtime/db/work_areas.h"

namespace patch {

void closeAllAreas(bool report) {
  rt::Functions& f = rt::functions();
  std::optional<rt::Error> failure;
  try {
    std::vector<int> numbers;
    for (const auto& [n, area] : rt::db::workAreas().areas())
      if (area) numbers.push_back(n);
    for (int n : numbers) {
      f.call("DBSELECTAREA", {rt::Value::number(n)});
      f.call("DBCOMMIT");
    }
  } catch (const rt::Error& e) {
    failure = e;
  }
  // The areas are closed even when a commit failed, so the next section finds none open.
  try {
    f.call("DBCLOSEALL");
  } catch (const rt::Error& e) {
    if (!failure) failure = e;
  }
  try {
    f.call("DBSELECTAREA", {rt::Value::number(1)});
  } catch (const rt::Error&) {
  }
  if (failure && report) warn({"Blad przy zamykaniu baz", errorText(*failure)});
}

}  // namespace patch
