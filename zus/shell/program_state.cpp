// Declarations and initial values of the program state.
#include "zus/shell/program_state.h"

#include <string>

#include "runtime/core/context.h"

namespace zus {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }
rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }
rt::Value text(const char* s) { return rt::Value::text(s); }
rt::Value logical(bool b) { return rt::Value::logical(b); }
rt::Value emptyDate() { return rt::Value::date(0); }

}  // namespace

const std::array<const char*, kParameterCount>& parameterDeclarationOrder() {
  static const std::array<const char*, kParameterCount> order{
      "zusx_zaok1", "zusx_zaok2", "zusx_mies",   "zusx_wypad",  "zusx_kor",   "zusx_daty",
      "zusx_rzaok", "zusx_pr",    "zusx_sposob", "zusx_slownik", "zusx_rehab", "zusx_sprsk",
      "zusx_slow1", "zusx_d1",    "zusx_d2",     "zusx_d3",     "zusx_d4",    "zusx_d5",
      "zusx_d6",    "zusx_d7",    "zusx_d8",     "zusx_d9",     "zusx_pole",  "zusx_mnoz",
      "zusx_zatr",  "zusx_szer",  "zusx_spac",   "zusx_pom_od", "zusx_pom_do", "zusx_pom_m",
      "zusx_pom_r", "zusx_plc",   "zusx_dni_kal", "zusx_dt_obl", "zusx_filtr", "zusx_biez",
      "zusx_ozn",   "zusx_chzk",  "zusx_wysuw",  "zusx_chz50",
  };
  return order;
}

void declareSuiteVariables() {
  rt::Memvars& v = vars();
  v.declarePrivate("poz");
  v.declarePrivate("p_numer");
  v.declarePrivate("lum_pic_na");
  v.declarePrivate("lum_pic_n2");
  v.declarePrivate("lum_pic_im");
  v.declarePrivate("lum_numer");
  v.declarePrivate("p_query", num(2));
  v.declarePrivate("pustykod");
  v.declarePrivate("lum_zestaw");
  v.declarePrivate("main_menu");
  v.declarePrivate("ky_zakres");
  v.declarePrivate("ky_tab");
  v.declarePrivate("ky_index");
}

void declareParameters() {
  rt::Memvars& v = vars();
  for (const char* name : parameterDeclarationOrder()) v.declarePrivate(name);
  v.assign("zusx_filtr", logical(false));
  v.assign("zusx_ozn", num(0));
  v.assign("zusx_chzk", num(33));
  v.assign("zusx_wysuw", logical(false));
  v.assign("zusx_chz50", num(14));
}

void defaultParameters() {
  rt::Memvars& v = vars();
  v.assign("zusx_pole", text("data_zwol"));
  v.assign("zusx_mnoz", num(1));
  v.assign("zusx_zatr", text("data_zatr"));
  v.assign("zusx_szer", num(10));
  v.assign("zusx_spac", logical(false));
  v.assign("zusx_zaok2", num(0.01, 2));
  v.assign("zusx_zaok1", num(0.01, 2));
  v.assign("zusx_rzaok", text("M"));
  v.assign("zusx_sposob", num(1));
  v.assign("zusx_slownik", text(""));
  v.assign("zusx_slow1", text(""));
  v.assign("zusx_pr", num(80));
  v.assign("zusx_mies", num(12));
  v.assign("zusx_wypad", text("T"));
  v.assign("zusx_kor", num(1));
  v.assign("zusx_daty", num(0));
  v.assign("zusx_rehab", num(0.0, 1));
  v.assign("zusx_sprsk", num(0.0, 1));
  for (int d = 1; d <= 9; ++d) v.assign("zusx_d" + std::to_string(d), emptyDate());
  v.assign("zusx_pom_od", num(0));
  v.assign("zusx_pom_do", num(0));
  v.assign("zusx_pom_m", num(0));
  v.assign("zusx_pom_r", num(0));
  v.assign("zusx_plc", num(1));
  v.assign("zusx_dni_kal", logical(false));
  v.assign("zusx_dt_obl", num(1));
  v.assign("zusx_biez", num(1));
}

void repairParameterKor() {
  const rt::Value* kor = vars().tryGet("zusx_kor");
  if (kor && kor->isChar()) vars().assign("zusx_kor", num(kor->str() == "T" ? 1 : 2));
}

void repairParameterTypes() {
  auto keepType = [](const char* name, char type, rt::Value fallback) {
    const rt::Value* v = vars().tryGet(name);
    if (!v || v->typeLetter() != type) vars().assign(name, fallback);
  };
  keepType("zusx_pole", 'C', text("data_zwol"));
  keepType("zusx_mnoz", 'N', num(1));
  keepType("zusx_zatr", 'C', text("data_zatr"));
}

}  // namespace zus
