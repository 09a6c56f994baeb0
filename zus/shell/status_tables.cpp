// `ZAS_STAT` and the by-name status tests: the status table as public program state.
#include "runtime/core/context.h"
#include "runtime/core/functions.h"
#include "suite/forms/display_text.h"
#include "zus/shell/status_codes.h"

namespace zus {

void ZAS_STAT() {
  rt::Memvars& vars = rt::context().memvars;
  const auto& table = statusTable();
  rt::Value err = rt::Value::newArray(kStatusCount);
  rt::Value mess = rt::Value::newArray(kStatusCount);
  for (int i = 0; i < kStatusCount; ++i) {
    err.arr()[size_t(i)] = rt::Value::integer(table[size_t(i)].code);
    // Built afresh from the stored text each time, so no text passes through `_P` twice.
    mess.arr()[size_t(i)] = rt::Value::text(suite::displayText(table[size_t(i)].stored));
  }
  vars.declarePublic("stat_err", err);
  vars.declarePublic("stat_mess", mess);
  for (int i = 0; i < kStatusCount; ++i) {
    const StatusRow& row = table[size_t(i)];
    if (*row.name) vars.declarePublic(row.name, err.arr()[size_t(i)]);
  }
}

void registerStatusFunctions() {
  rt::Functions& f = rt::functions();
  f.add("ZAS_STAT", [](rt::Args&) {
    ZAS_STAT();
    return rt::Value();
  });
  // A status that is not a number answers false from every test.
  auto test = [&f](const char* name, bool (*pred)(double)) {
    f.add(name, [pred](rt::Args& a) {
      return rt::Value::logical(a[0].isNum() && pred(a[0].num()));
    });
  };
  test("_ST_OK", statusOk);
  test("_ST_SAV", statusSaved);
  test("_ST_BLAD", statusError);
  test("_ST_CONST", statusConst);
}

}  // namespace zus
