// Counter editor of the register header.
#include "zus/register/counters_editor.h"

#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/get.h"
#include "runtime/ui/read_modal.h"
#include "zus/register/benefit_record.h"
#include "zus/register/browse_state.h"

namespace zus {

using namespace reg;

namespace {

struct Counter {
  const CounterPlace& place;
  const char* picture;
  double low, high;
};

}  // namespace

void DNI_GORNE() {
  call("K_NORM", {num(-1), num(38)});
  const Counter counters[] = {
      {kSickDays, "999", 0, 360},
      {kCareDays, "99", 0, 60},
      {kFamilyCareDays, "99", 0, 14},
      {kDaysOutside, "99", 0, numVar("zusx_chzk")},
  };
  rt::ui::GetList list;
  const rt::term::Screen& s = rt::term::screen();
  for (const Counter& c : counters) {
    auto get = rt::ui::Get::onMemvar(c.place.row, c.place.col, c.place.var, c.picture);
    get->unselectedAttr = s.colors().unselected();
    get->enhancedAttr = s.colors().enhanced();
    const char* name = c.place.var;
    double low = c.low, high = c.high;
    get->valid = [name, low, high] { return rt::ui::rangeCheck(var(name), num(low), num(high)); };
    list.push_back(get);
  }
  for (auto& g : list) g->display();
  {
    rt::term::Screen& screen = rt::term::screen();
    const rt::term::CursorShape shape = screen.cursorShape();
    screen.setCursorShape(rt::term::CursorShape::Normal);
    rt::ui::readModal(list);
    screen.setCursorShape(shape);
  }
  if (rt::ui::updated()) {
    // The employee record is locked by the register since the employee was chosen.
    if (fieldType("main", "dni_poza") == "N")
      setField("main", "dni_poza", num(numVar("suma_poza")));
    setField("main", "dni_ch", num(numVar("suma_dni1")));
    setField("main", "data_do", rt::Value::date(fieldDate("nieobec", "do")));
    setField("main", "dni_op", num(numVar("suma_dni2")));
    setField("main", "dni_rdz", num(numVar("suma_dni3")));
    commitEmployeeAndRegister();
  }
  for (const Counter& c : counters) showCounter(c.place);
  call("K_NORM");
}

}  // namespace zus
