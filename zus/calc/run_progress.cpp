#include "zus/calc/run_progress.h"

#include "suite/forms/display_text.h"
#include "zus/calc/run_tables.h"

namespace zus::calcrun {

void ProgressName::show(std::string name) {
  name_ = std::move(name);
  if (pace_.change()) draw();
}

void ProgressName::showHeldBack() {
  if (pace_.heldBack()) draw();
}

void ProgressName::draw() {
  pace_.drawn();
  const rt::Value* row = variable("tr_y");
  const rt::Value* col = variable("tr_x");
  if (!row || !col || !row->isNum() || !col->isNum()) return;
  callByName("DISPOUTAT", {*row, *col, rt::Value::text(suite::displayText(name_)),
                           callByName("K_SET_KOLOR", {rt::Value::integer(0), rt::Value::integer(38),
                                                      rt::Value::integer(7)})});
}

}  // namespace zus::calcrun
