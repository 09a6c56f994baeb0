// Register state, browse scope and header counters.
#include "zus/register/browse_state.h"

#include <cstdio>

#include "zus/register/benefit_record.h"
#include "zus/shell/settings_support.h"

namespace zus {

using namespace reg;

void declareRegisterState() {
  rt::Memvars& v = vars();
  v.declarePrivate("nr_pracusia", txt(flagVar("lum_alfa") ? "     " : "    0"));
  v.declarePrivate("ord_baz", num(kOrderBrowse));
  v.declarePrivate("brak_nb", yes(false));
  for (const char* name : {"suma_dni1", "suma_dni2", "suma_dni3", "suma_poza"})
    v.declarePrivate(name, num(0));
  v.declarePrivate("_data_ur", rt::Value::date(0));
  v.declarePrivate("pict_chor", txt("XXXX"));
  v.declarePrivate("pict_l_4", txt(std::string(14, 'X')));
  v.declarePrivate("pola", rt::Value::newArray(15));
  v.declarePrivate("nagl", rt::Value::newArray(15));
  v.declarePrivate("pict", rt::Value::newArray(15));
  v.declarePrivate("_kod_fun", txt(""));
  v.declarePrivate("inf_dod", rt::Value::newArray(0));
  // `czy_pseudo` is the program's public; the register sets it when it opens its tables.
  if (!v.exists("czy_pseudo")) v.declarePublic("czy_pseudo", yes(false));
}

void setEmployeeScope() {
  std::string nr = textVar("nr_pracusia");
  call("ORDSETFOCUS", {num(numVar("ord_baz", kOrderBrowse))});
  if (flagVar("zusx_filtr")) {
    int year = payrollYear();
    call("CMXSETSCOPE", {num(0), txt(nr + std::to_string(year - 1))});
    call("CMXSETSCOPE", {num(1), txt(nr + std::to_string(year))});
  } else {
    call("CMXSETSCOPE", {num(0), txt(nr)});
    call("CMXSETSCOPE", {num(1), txt(nr)});
  }
}

void DAJ_SCOPY() {
  rt::Value record = call("RECNO");
  call("CMXCLRSCOPE", {num(0)});
  call("CMXCLRSCOPE", {num(1)});
  setEmployeeScope();
  call("DBGOTO", {record});
}

double ILE_POZA() {
  KeepArea keep;
  selectAlias("dane_we");
  rt::Value days = num(0);
  rt::Args a;
  a.push(var("nr_pracusia"));
  a.push(txt(elementText("zas_dni", 11)));
  a.push(days, &days);
  bool held = rt::functions().call("WEZ_WE", a).logicalOr(false);
  return held ? days.numOr(0) : 0;
}

void showCounter(const CounterPlace& place) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%*d", place.width, int(numVar(place.var)));
  std::string bold = call("K_BOLD", {num(0), num(38)}).strOr("");
  settings::sayIn(place.row, place.col, buf, bold);
}

std::string filterNote() {
  if (!flagVar("zusx_filtr")) return std::string(24, ' ');
  int year = payrollYear();
  return "FILTR na lata: " + std::to_string(year - 1) + "-" + std::to_string(year);
}

}  // namespace zus
