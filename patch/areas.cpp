// Committing and closing every work area.
#include "patch/areas.h"

#include <vector>

#include "patch/messages.h"
#include "runtime/core/functions.h"
#include "runtime/db/work_areas.h"

namespace patch {

void closeAllAreas() {
  rt::Functions& f = rt::functions();
  try {
    std::vector<int> numbers;
    for (const auto& [n, area] : rt::db::workAreas().areas())
      if (area) numbers.push_back(n);
    for (int n : numbers) {
      f.call("DBSELECTAREA", {rt::Value::number(n)});
      f.call("DBCOMMIT");
    }
    f.call("DBCLOSEALL");
    f.call("DBSELECTAREA", {rt::Value::number(1)});
  } catch (const rt::Error& e) {
    warn({"Blad przy zamykaniu baz", errorText(e)});
  }
}

}  // namespace patch
