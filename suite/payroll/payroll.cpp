// The payroll library's start-up check, item lists and the names the program requires.
#include "suite/payroll/payroll.h"

#include <sstream>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "suite/company/file_lookup.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

rt::Value textArray(const std::vector<std::string>& items) {
  rt::Value a = rt::Value::newArray(0);
  for (const std::string& s : items) a.arr().push_back(rt::Value::text(s));
  return a;
}

std::vector<int> selectionsOf(const std::string& wybor) {
  std::vector<int> out;
  std::istringstream in(wybor);
  int n;
  while (in >> n) out.push_back(n);
  return out;
}

// Runs `body` with the table open in a work area of its own; the previous area is selected
// again afterwards. False when the table cannot be opened.
template <typename Body>
bool withTable(const TableDef& def, Body body) {
  rt::Value previous = call("SELECT");
  if (!openTable(def, true)) {
    if (previous.intOr(0) > 0) call("DBSELECTAREA", {previous});
    return false;
  }
  try {
    body();
  } catch (...) {
    call("DBCLOSEAREA");
    if (previous.intOr(0) > 0) call("DBSELECTAREA", {previous});
    throw;
  }
  call("DBCLOSEAREA");
  if (previous.intOr(0) > 0) call("DBSELECTAREA", {previous});
  return true;
}

}  // namespace

std::vector<PayrollItem> payrollItems() {
  std::vector<PayrollItem> items;
  const TableDef* def = findTable("SKLADNIK");
  if (!fileExistsAnyCase(tablePath(*def) + ".dbf")) return items;
  withTable(*def, [&] {
    call("DBGOTOP");
    while (!call("EOF").logicalOr(true)) {
      items.push_back({field("kod").strOr(""), field("skrot").strOr(""),
                       field("nazwa").strOr(""), selectionsOf(field("wybor").strOr(""))});
      call("DBSKIP");
    }
  });
  return items;
}

bool payrollDataAvailable() {
  return fileExistsAnyCase(tablePath(*findTable("MAIN")) + ".dbf");
}

bool DANEPLAC(int selection) {
  std::vector<std::string> codes, abbrs;
  bool available = payrollDataAvailable();
  if (available) {
    for (const PayrollItem& item : payrollItems()) {
      for (int s : item.selections) {
        if (s == selection) {
          codes.push_back(item.code);
          abbrs.push_back(item.abbr);
          break;
        }
      }
    }
  }
  rt::Memvars& v = rt::context().memvars;
  v.declarePublic("dplac_kod", textArray(codes));
  v.declarePublic("dplac_skrot", textArray(abbrs));
  return available;
}

void registerPayrollFunctions() {
  rt::Functions& f = rt::functions();
  f.add("DANEPLAC", [](rt::Args& a) {
    return rt::Value::logical(DANEPLAC(int(a[0].intOr(1))));
  });
  f.add("INICJUJ", [](rt::Args&) { return rt::Value(); });
  // Routines of the payroll module the program only requires to exist by name.
  for (const char* name : {"ZAKR_T_D", "PAR_UZYT", "WYROZNIK", "PAR_PLAC"})
    f.add(name, [](rt::Args&) { return rt::Value(); });
}

}  // namespace suite
