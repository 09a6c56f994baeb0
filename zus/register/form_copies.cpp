// Working copies of the edit form (see form_copies.h).
#include "zus/register/form_copies.h"

#include <functional>

#include "suite/tables/table_services.h"
#include "zus/register/form_support.h"
#include "zus/shell/status_codes.h"

namespace zus {
namespace {

using namespace form;

rt::Value field(const char* name) { return aliasField("nieobec", name); }

void write(const char* name, rt::Value v) {
  rt::context().fields->writeAliasField("nieobec", name, std::move(v));
}

rt::Value answer(bool yes) { return txt(yes ? "T" : "N"); }
rt::Value emptyDate() { return rt::Value::date(0); }

std::string trimmedRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

void declareWorkingCopies(bool isNew) {
  rt::Memvars& v = vars();
  const rt::Value workingDate = var("lum_data").isDate() ? var("lum_data") : emptyDate();
  v.declarePrivate("_zasilek", txt(""));
  v.declarePrivate("skr_zas", txt(std::string(size_t(number("len_slow", 10)), ' ')));
  v.declarePrivate("_od", workingDate);
  v.declarePrivate("_do", workingDate);
  v.declarePrivate("_l_dni", num(1));
  v.declarePrivate("_data_prawa", workingDate);
  v.declarePrivate("_dni_zal", num(0));
  v.declarePrivate("_proc", num(0));
  v.declarePrivate("_podatek", rt::Value::number(0, 2));
  v.declarePrivate("_zaliczka", rt::Value::number(0, 2));
  v.declarePrivate("_nr_stat", txt(std::string(4, ' ')));
  v.declarePrivate("_nr_l_4", txt(std::string(14, ' ')));
  v.declarePrivate("_poprz_l_4", txt(std::string(14, ' ')));
  v.declarePrivate("_czy_100", txt("N"));
  v.declarePrivate("_przy_pracy", txt("N"));
  v.declarePrivate("_czy_alk", txt("N"));
  v.declarePrivate("_pom_dz", txt("T"));
  v.declarePrivate("_czy_nie_pl", txt("N"));
  v.declarePrivate("_czy_korekt", txt("N"));
  v.declarePrivate("_czy_zlicz", txt("T"));
  v.declarePrivate("_kw_podst", rt::Value::number(0, 2));
  v.declarePrivate("_czy_kwot", flag(false));
  v.declarePrivate("_wartosc", rt::Value::number(0, 2));
  v.declarePrivate("_status", num(number("stat_n_obl", stat_n_obl)));
  v.declarePrivate("_dat_wyp", emptyDate());
  v.declarePrivate("_rehab", flag(false));
  v.declarePrivate("_ten_tekst", txt(""));
  v.declarePrivate("_czy_wsk", txt("N"));
  v.declarePrivate("_mies_dop", rt::Value::newArray(0));
  v.declarePrivate("_od_dat", emptyDate());
  v.declarePrivate("_fakt_mies", txt(""));
  v.declarePrivate("_nieobec", txt(""));
  v.declarePrivate("_suma", rt::Value::number(0, 2));
  v.declarePrivate("_druk_podst", rt::Value::number(0, 2));
  v.declarePrivate("_data_otrz", emptyDate());
  v.declarePrivate("_data_dost", emptyDate());
  v.declarePrivate("_dni_obniz", num(0));

  v.declarePrivate("czy_new", flag(isNew));
  v.declarePrivate("_old_dni", num(0));
  v.declarePrivate("_old_pom", txt("T"));
  v.declarePrivate("_old_pd", rt::Value::number(0, 2));
  // The kind and the count flag the record had when the form opened: a new record held nothing.
  v.declarePrivate("_old_zas", txt(""));
  v.declarePrivate("_old_licz", txt("N"));
  v.declarePrivate("old_zlicz");
  v.declarePrivate("old_proc");
  v.declarePrivate("_dat_zus", rt::Value::date(sickPayStart()));
  v.declarePrivate("_byl_kom", flag(false));
  v.declarePrivate("limit_ojc", num(7));
  v.declarePrivate("wier", num(6));
  v.declarePrivate("kol", num(1));
  v.declarePrivate("szer", num(15));
  v.declarePrivate("okno_ed", txt(""));
  v.declarePrivate("getList", rt::Value::newArray(0));
}

void loadWorkingCopies() {
  auto logicalField = [](const char* name) { return field(name).logicalOr(false); };
  set("_zasilek", field("zasilek"));
  set("_od", field("od"));
  set("_do", field("do"));
  set("_l_dni", field("l_dni"));
  set("_data_prawa", field("data_prawa"));
  set("_dni_zal", field("dni_rob"));
  set("_proc", field("procent"));
  set("_podatek", field("podat"));
  set("_zaliczka", field("zalicz"));
  set("_nr_stat", field("nr_stat"));
  set("_nr_l_4", field("nr_l_4"));
  set("_poprz_l_4", field("poprz_l_4"));
  set("_czy_100", answer(logicalField("czy_100")));
  set("_przy_pracy", answer(logicalField("przy_pracy")));
  set("_czy_alk", answer(logicalField("czy_alk")));
  set("_pom_dz", answer(logicalField("czy_dz")));
  set("_czy_nie_pl", answer(logicalField("czy_nie_pl")));
  set("_czy_korekt", answer(logicalField("czy_korekt")));
  set("_czy_zlicz", answer(!logicalField("o_zlicz")));
  set("_kw_podst", field("podst_zas"));
  set("_czy_kwot", flag(logicalField("czy_kwot")));
  set("_wartosc", field("wartosc"));
  set("_status", field("status"));
  set("_dat_wyp", field("dat_wyp"));
  set("_rehab", flag(logicalField("rehab")));
  const std::string months = field("te_mies").strOr("");
  set("_ten_tekst", txt(months));
  set("_czy_wsk", txt(trimmedRight(months).empty() ? "N" : "T"));
  rt::Value flags = rt::Value::newArray(0);
  for (char c : trimmedRight(field("mies_dop").strOr(""))) flags.arr().push_back(flag(c == 'T'));
  set("_mies_dop", flags);
  set("_od_dat", field("od_dat"));
  set("_fakt_mies", field("fakt_mies"));
  set("_nieobec", field("nieobec"));
  set("_suma", field("suma"));
  set("_druk_podst", field("druk_podst"));
  set("_data_otrz", field("data_otrz"));
  set("_data_dost", field("data_dost"));
  set("_dni_obniz", field("dni_obniz"));

  set("_old_dni", var("_l_dni"));
  set("_old_pom", var("_pom_dz"));
  set("_old_pd", var("_kw_podst"));
  set("_old_zas", var("_zasilek"));
  set("_old_licz", var("_czy_zlicz"));

  // The abbreviation of the kind, from the dictionary in its current (code) order.
  KeepSelectedArea keep;
  selectAlias("sl");
  if (call("DBSEEK", {var("_zasilek")}).logicalOr(false)) set("skr_zas", aliasField("sl", "skrot"));
  selectAlias("nieobec");
}

std::string fillUpFlagsText() {
  std::string flags;
  rt::Value v = var("_mies_dop");
  if (v.isArray())
    for (const rt::Value& f : v.arr()) flags += f.logicalOr(false) ? 'T' : 'F';
  return flags;
}

namespace {

// The copies as the record's fields, in the order they are stored, each given to `write`; the
// employee's start of the sick-pay count only with `employeeToo`.
void putCopies(bool isNew, const std::function<void(const char*, rt::Value)>& write, bool employeeToo) {
  auto isYes = [](const char* name) { return flag(text(name) == "T"); };
  write("od", var("_od"));
  write("do", var("_do"));
  write("zasilek", var("_zasilek"));
  write("podat", var("_podatek"));
  write("zalicz", var("_zaliczka"));
  write("l_dni", var("_l_dni"));
  write("data_prawa", var("_data_prawa"));
  write("dni_rob", var("_dni_zal"));
  write("procent", var("_proc"));
  write("nr_stat", var("_nr_stat"));
  write("nr_l_4", var("_nr_l_4"));
  write("poprz_l_4", var("_poprz_l_4"));
  write("czy_100", isYes("_czy_100"));
  write("czy_alk", isYes("_czy_alk"));
  write("przy_pracy", isYes("_przy_pracy"));
  write("wartosc", var("_wartosc"));
  write("status", var("_status"));
  write("czy_kwot", flag(logical("_czy_kwot")));
  write("podst_zas", var("_kw_podst"));
  write("te_mies", var("_ten_tekst"));
  write("czy_dz", isYes("_pom_dz"));
  write("dat_wyp", var("_dat_wyp"));
  write("czy_nie_pl", isYes("_czy_nie_pl"));
  write("czy_korekt", isYes("_czy_korekt"));
  write("rehab", flag(logical("_rehab")));

  // The basis: detached with F7, entered as an amount, or as the checks left it.
  const bool detached = !isNew && trimmedRight(text("_nieobec")).empty() &&
                        !trimmedRight(field("nieobec").strOr("")).empty();
  if (detached) {
    write("nieobec", txt(""));
    write("suma", num(0));
    write("fakt_mies", txt(""));
    write("druk_podst", num(0));
  } else if (logical("_czy_kwot")) {
    write("nieobec", var("_nieobec"));
    write("suma", num(0));
    write("fakt_mies", txt(""));
    write("druk_podst", var("_druk_podst"));
  } else {
    write("nieobec", var("_nieobec"));
    write("suma", var("_suma"));
    write("fakt_mies", var("_fakt_mies"));
    write("druk_podst", var("_druk_podst"));
  }

  write("o_zlicz", flag(text("_czy_zlicz") == "N"));
  write("data_otrz", var("_data_otrz"));
  write("data_dost", var("_data_dost"));
  write("dni_obniz", var("_dni_obniz"));
  if (isNew) {
    write("old_nr", txt(""));
    write("old_zas", txt(""));
    write("old_dni", num(0));
    write("old_wart", num(0));
    if (employeeToo && hasSickPayStart() && sickPayStart() == 0) setSickPayStart(date("_od"));
  }
  if (number("_status") == number("stat_const", stat_const) || logical("_czy_kwot"))
    write("zapis_pod", txt(""));
  rt::Value flags = callIfPresent("MIESDOPTXT", {}, txt(fillUpFlagsText()));
  write("mies_dop", flags.isChar() ? flags : txt(fillUpFlagsText()));
  write("od_dat", var("_od_dat"));
}

}  // namespace

void writeWorkingCopies(bool isNew) { putCopies(isNew, write, true); }

rt::Value newRecordFields() {
  rt::Value pairs = rt::Value::newArray(0);
  auto add = [&](const char* name, rt::Value v) { suite::addFieldPair(pairs, name, std::move(v)); };
  add("nr_prac", var("nr_pracusia"));
  putCopies(true, add, false);
  return pairs;
}

bool hasSickPayStart() {
  return rt::context().fields && rt::context().fields->fieldType("main", "data_zus") == "D";
}

int32_t sickPayStart() {
  if (!hasSickPayStart()) return 0;
  rt::Value v = aliasField("main", "data_zus");
  return v.isDate() ? v.date() : 0;
}

void setSickPayStart(int32_t day) {
  if (hasSickPayStart())
    rt::context().fields->writeAliasField("main", "data_zus", rt::Value::date(day));
}

}  // namespace zus
