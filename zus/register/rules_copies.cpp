// Loading and storing the entry rules' typed view (see rules_copies.h).
#include "zus/register/rules_copies.h"

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_strings.h"

namespace zus {
namespace {

rt::Memvars& vars() { return rt::context().memvars; }

const rt::Value* var(const char* name) { return vars().tryGet(name); }

std::string textVar(const char* name, const std::string& fallback) {
  const rt::Value* v = var(name);
  return v && v->isChar() ? v->str() : fallback;
}
double numVar(const char* name, double fallback) {
  const rt::Value* v = var(name);
  return v && v->isNum() ? v->num() : fallback;
}
int intVar(const char* name, int fallback) { return int(numVar(name, fallback)); }
int32_t dateVar(const char* name) {
  const rt::Value* v = var(name);
  return v && v->isDate() ? v->date() : 0;
}
bool boolVar(const char* name, bool fallback) {
  const rt::Value* v = var(name);
  return v && v->isLogical() ? v->logical() : fallback;
}
rt::Array arrayVar(const char* name) {
  const rt::Value* v = var(name);
  return v && v->isArray() ? v->arr() : rt::Array{};
}

rt::FieldResolver* fields() { return rt::context().fields; }

bool mainHas(const std::string& field, char type) {
  return fields() && fields()->fieldType("main", field) == std::string(1, type);
}
rt::Value mainField(const std::string& field) { return fields()->readAliasField("main", field); }
int32_t mainDate(const std::string& field) {
  return mainHas(field, 'D') ? mainField(field).date() : 0;
}
int mainInt(const std::string& field) {
  return mainHas(field, 'N') ? int(mainField(field).num()) : 0;
}

void putText(const char* name, const std::string& a, const std::string& b) {
  if (a != b) vars().assign(name, rt::Value::text(b));
}
void putNum(const char* name, double a, double b, int decimals = 0) {
  if (a != b) vars().assign(name, rt::Value::number(b, decimals));
}
void putDate(const char* name, int32_t a, int32_t b) {
  if (a != b) vars().assign(name, rt::Value::date(b));
}
void putBool(const char* name, bool a, bool b) {
  if (a != b) vars().assign(name, rt::Value::logical(b));
}
void putMain(const char* field, double a, double b) {
  if (a != b) fields()->writeAliasField("main", field, rt::Value::number(b));
}
void putMainDate(const char* field, int32_t a, int32_t b) {
  if (a != b) fields()->writeAliasField("main", field, rt::Value::date(b));
}

}  // namespace

int ruleYear(int32_t day) {
  int y, m, d;
  rt::splitDate(day, y, m, d);
  return y;
}
int ruleMonth(int32_t day) {
  int y, m, d;
  rt::splitDate(day, y, m, d);
  return m;
}
int ruleDay(int32_t day) {
  int y, m, d;
  rt::splitDate(day, y, m, d);
  return d;
}
int32_t ruleDate(int year, int month, int day) { return rt::makeDate(year, month, day); }

std::string RuleProgram::slot(int n) const {
  if (n < 1 || size_t(n) > zas_zus.size()) return "";
  return zas_zus[size_t(n - 1)].strOr("");
}
bool RuleProgram::isSlot(const std::string& kind, int n) const {
  std::string linked = slot(n);
  return !linked.empty() && kind == linked;
}
bool RuleProgram::daysSlotLinked(int n) const {
  if (n < 1 || size_t(n) > zas_dni.size()) return false;
  return !rt::alltrim(zas_dni[size_t(n - 1)].strOr("")).empty();
}

RuleContext loadRuleContext() {
  RuleContext c;
  RuleFormCopies& f = c.form;
  f.od = dateVar("_od");
  f.do_ = dateVar("_do");
  f.l_dni = intVar("_l_dni", 0);
  f.zasilek = textVar("_zasilek", "");
  f.proc = numVar("_proc", 0);
  f.data_prawa = dateVar("_data_prawa");
  f.dat_zus = dateVar("_dat_zus");
  if (const rt::Value* v = var("_dat_zus")) f.dat_zus_held = v->isDate();
  f.czy_zlicz = textVar("_czy_zlicz", "T");
  f.old_zlicz = textVar("old_zlicz", "");
  f.data_otrz = dateVar("_data_otrz");
  f.data_dost = dateVar("_data_dost");
  f.dni_obniz = intVar("_dni_obniz", 0);
  f.nr_stat = textVar("_nr_stat", "");
  f.dni_zal = intVar("_dni_zal", 0);
  f.czy_nie_pl = textVar("_czy_nie_pl", "N");
  f.kw_podst = numVar("_kw_podst", 0);
  f.czy_kwot = boolVar("_czy_kwot", false);
  f.druk_podst = numVar("_druk_podst", 0);
  f.suma = numVar("_suma", 0);
  f.pom_dz = textVar("_pom_dz", "T");
  f.old_dni = intVar("_old_dni", 0);
  f.old_pom = textVar("_old_pom", "T");
  f.czy_new = boolVar("czy_new", false);
  f.wier = intVar("wier", 6);
  f.kol = intVar("kol", 1);
  f.limit_ojc = intVar("limit_ojc", 7);
  f.byl_kom = boolVar("_byl_kom", false);
  f.nieobec = textVar("_nieobec", "");
  f.ten_tekst = textVar("_ten_tekst", "");
  f.fakt_mies = textVar("_fakt_mies", "");
  f.czy_wsk = textVar("_czy_wsk", "N");
  for (const rt::Value& flag : arrayVar("_mies_dop")) f.mies_dop.push_back(flag.logicalOr(false));
  f.od_dat = dateVar("_od_dat");
  f.rehab = boolVar("_rehab", false);

  RuleRegisterState& r = c.reg;
  r.nr_pracusia = textVar("nr_pracusia", "");
  r.suma_dni1 = intVar("suma_dni1", 0);
  r.suma_dni2 = intVar("suma_dni2", 0);
  r.suma_dni3 = intVar("suma_dni3", 0);
  r.data_ur = dateVar("_data_ur");
  r.kod_fun = textVar("_kod_fun", "");

  RuleProgram& p = c.program;
  p.zas_zus = arrayVar("zas_zus");
  p.zas_dni = arrayVar("zas_dni");
  p.zusx_pr = numVar("zusx_pr", 80);
  p.zusx_chzk = intVar("zusx_chzk", 33);
  p.zusx_chz50 = intVar("zusx_chz50", 14);
  p.zusx_filtr = boolVar("zusx_filtr", false);
  if (const rt::Value* v = var("zusx_rehab"); v && v->isNum()) p.zusx_rehab = *v;
  p.zusx_biez = intVar("zusx_biez", 1);
  p.lum_data = dateVar("lum_data");

  RuleEmployee& e = c.employee;
  if (fields() && fields()->fieldType("main", "nr_prac") == "C") {
    e.nr_prac = mainField("nr_prac").str();
    e.dni_ch = mainInt("dni_ch");
    e.dni_op = mainInt("dni_op");
    e.dni_rdz = mainInt("dni_rdz");
    e.hasDataZus = mainHas("data_zus", 'D');
    e.data_zus = mainDate("data_zus");
    e.data_do = mainDate("data_do");
    e.data_zatr = mainDate("data_zatr");
    e.status = mainInt("status");
    e.waitingDate = mainDate(rt::alltrim(textVar("zusx_pole", "data_zwol")));
    e.employmentDate = mainDate(rt::alltrim(textVar("zusx_zatr", "data_zatr")));
  }
  return c;
}

void storeRuleContext(const RuleContext& before, const RuleContext& after) {
  const RuleFormCopies& a = before.form;
  const RuleFormCopies& b = after.form;
  putDate("_od", a.od, b.od);
  putDate("_do", a.do_, b.do_);
  putNum("_l_dni", a.l_dni, b.l_dni);
  putText("_zasilek", a.zasilek, b.zasilek);
  putNum("_proc", a.proc, b.proc, b.proc == double(int64_t(b.proc)) ? 0 : 2);
  putDate("_data_prawa", a.data_prawa, b.data_prawa);
  putDate("_dat_zus", a.dat_zus, b.dat_zus);
  putText("_czy_zlicz", a.czy_zlicz, b.czy_zlicz);
  putText("old_zlicz", a.old_zlicz, b.old_zlicz);
  putNum("_dni_obniz", a.dni_obniz, b.dni_obniz);
  putNum("_dni_zal", a.dni_zal, b.dni_zal);
  putText("_czy_nie_pl", a.czy_nie_pl, b.czy_nie_pl);
  putNum("_kw_podst", a.kw_podst, b.kw_podst, 2);
  putBool("_czy_kwot", a.czy_kwot, b.czy_kwot);
  putNum("_druk_podst", a.druk_podst, b.druk_podst, 2);
  putNum("_suma", a.suma, b.suma, 2);
  putNum("limit_ojc", a.limit_ojc, b.limit_ojc);
  putBool("_byl_kom", a.byl_kom, b.byl_kom);
  putText("_nieobec", a.nieobec, b.nieobec);
  putText("_ten_tekst", a.ten_tekst, b.ten_tekst);
  putText("_fakt_mies", a.fakt_mies, b.fakt_mies);
  putText("_czy_wsk", a.czy_wsk, b.czy_wsk);
  if (a.mies_dop != b.mies_dop) {
    rt::Value flags = rt::Value::newArray(0);
    for (bool flag : b.mies_dop) flags.arr().push_back(rt::Value::logical(flag));
    vars().assign("_mies_dop", flags);
  }
  putDate("_od_dat", a.od_dat, b.od_dat);
  putBool("_rehab", a.rehab, b.rehab);

  putNum("suma_dni1", before.reg.suma_dni1, after.reg.suma_dni1);
  putNum("suma_dni2", before.reg.suma_dni2, after.reg.suma_dni2);
  putNum("suma_dni3", before.reg.suma_dni3, after.reg.suma_dni3);
  putBool("zusx_filtr", before.program.zusx_filtr, after.program.zusx_filtr);

  const RuleEmployee& x = before.employee;
  const RuleEmployee& y = after.employee;
  if (!fields() || x.nr_prac.empty()) return;
  putMain("dni_ch", x.dni_ch, y.dni_ch);
  putMain("dni_op", x.dni_op, y.dni_op);
  putMain("dni_rdz", x.dni_rdz, y.dni_rdz);
  if (y.hasDataZus) putMainDate("data_zus", x.data_zus, y.data_zus);
  if (mainHas("data_do", 'D')) putMainDate("data_do", x.data_do, y.data_do);
}

}  // namespace zus
