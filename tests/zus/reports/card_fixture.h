// A small company for the card and settlement tests, built in code in a temporary directory:
// the tables the prints open, a benefit dictionary "Z" with four kinds linked to slots 1, 2, 5 and
// 6, three employees, and the program state the prints read. The dialogs of the run (date kind,
// period, device, full-header question) are replaced by scripted answers; the device is the
// text file "WYDRUKI/wydruk.txt", read back as UTF-8 text.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "runtime/term/headless.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"
#include "tests/zus/company_fixture.h"
#include "zus/reports/by_name.h"
#include "zus/shell/startup.h"

namespace cards_test {

namespace fs = std::filesystem;
using rt::Value;

using company_test::Fields;
using company_test::txt;
using company_test::num;
using company_test::day;
using company_test::yes;

class CardCompany : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = company_test::enterTestDirectory("zus_cards", previous);
    rt::context().memvars.clearAll();
    rt::context().settings = rt::Settings{};
    registerEverything();
    stubDialogs();
    declareState();
    createTables();
  }
  void TearDown() override {
    rt::functions().call("DBCLOSEALL");
    company_test::leaveTestDirectory(previous, dir);
  }

  static void registerEverything() {
    company_test::registerLayers(/*withPrint=*/true);
    zus::registerShellFunctions();
    zus::registerReportFunctions();
  }

  void stubDialogs() {
    rt::Functions& f = rt::functions();
    f.add("MENU", [this](rt::Args&) { return num(dateKindAnswer); });
    f.add("WYB_OKRESU", [this](rt::Args& a) {
      if (!periodChosen) return yes(false);
      a.assign(2, num(firstBack));
      a.assign(3, num(lastBack));
      return yes(true);
    });
    f.add("WYB_URZ", [this](rt::Args&) {
      rt::context().memvars.assign("urzadzenie", num(deviceAnswer));
      return num(deviceAnswer);
    });
    f.add("DECYZJA", [this](rt::Args& a) {
      questions.push_back(a[1].strOr(""));
      return yes(fullHeaders);
    });
    // The message naming the print file comes after every print to a file: kept apart.
    f.add("KOM3", [this](rt::Args& a) {
      std::string text = company_test::messageText(a[0]);
      (text.rfind("Wydruk zapisano w pliku\n", 0) == 0 ? fileMessages : messages).push_back(text);
      return Value();
    });
    f.add("KOM4", [](rt::Args&) { return txt(""); });
    f.add("ZWIN", [](rt::Args&) { return Value(); });
  }

  void declareState() {
    rt::Memvars& v = rt::context().memvars;
    auto pub = [&](const char* name, Value value) { v.declarePublic(name, std::move(value)); };
    std::string home = dir.string() + "/";
    pub("_path_plac", txt(home));
    pub("_path_kadr", txt(home));
    pub("lum_data", day(2024, 3, 1));
    pub("lum_alfa", yes(false));
    Value months = Value::newArray(0);
    for (const char* m : {"styczen`", "luty", "marzec", "kwiecien`", "maj", "czerwiec", "lipiec", "sierpien`",
                          "wrzesien`", "paz`dziernik", "listopad", "grudzien`"})
      months.arr().push_back(txt(m));
    pub("tab_mies", months);
    pub("p_graf", yes(false));
    pub("dev_b_on", txt(""));
    pub("dev_b_off", txt(""));
    pub("dev_u_on", txt(""));
    pub("dev_u_off", txt(""));
    pub("p_licz_wie", num(64));
    pub("pict_long", txt("99 999 999 999.99"));
    pub("pustykod", txt(std::string(3, char(255))));
    pub("czy_jest_mem", yes(true));
    pub("czy_pseudo", yes(false));
    pub("zusx_szer", num(10));
    pub("zusx_spac", yes(false));
    pub("zusx_wysuw", yes(false));
    pub("zusx_dt_obl", num(1));
    pub("zkdr_du", txt("kd_ubezp"));
    pub("zkdr_do", txt("kd_dowod"));
    pub("_data_puc", Value::date(0));
    pub("staz_pracy", txt("S001"));
    pub("ky_zakres", num(1));
    pub("ky_tab", txt(""));
    pub("ky_index", txt(""));
    Value link = Value::newArray(33);
    for (Value& e : link.arr()) e = txt("");
    link.arr()[0] = txt("Z01");  // sickness
    link.arr()[1] = txt("Z02");  // care
    link.arr()[4] = txt("Z05");  // average of child-care leave
    link.arr()[5] = txt("Z06");  // a kind that is not calculated
    pub("zas_zus", link);
    rt::functions().call("ZAS_STAT");
  }

  static void create(const char* name) {
    const suite::TableDef* def = suite::findTable(name);
    suite::createTable(def->name, *def);
  }
  static void fill(const char* name, const std::vector<Fields>& rows) {
    company_test::fillTable(suite::findTable(name)->name + ".dbf", rows);
  }

  void createTables() {
    for (const char* t : {"MAIN", "MAIN_2", "SLOWNIK", "DANE_WE", "ARCHIW", "STATUS", "NIEOBEC"}) create(t);
    fill("SLOWNIK", {
                        {{"kod", txt("Z  ")}, {"skrot", txt("ZASILKI")}, {"nazwa", txt("Zasil`ki")}},
                        {{"kod", txt("Z01")}, {"skrot", txt("chor")}, {"nazwa", txt("Zasil`ek chorobowy")}},
                        {{"kod", txt("Z02")}, {"skrot", txt("opiek")}, {"nazwa", txt("Zasil`ek opiekun`czy")}},
                        {{"kod", txt("Z05")}, {"skrot", txt("wych")}, {"nazwa", txt("S`rednia wychowawczego")}},
                        {{"kod", txt("Z06")}, {"skrot", txt("pogrz")}, {"nazwa", txt("Zasil`ek pogrzebowy")}},
                        {{"kod", txt("D01")}, {"skrot", txt("BIURO")}, {"nazwa", txt("Biuro")}, {"mnemo", txt("Dzial` biura")}},
                        {{"kod", txt("D02")}, {"skrot", txt("HALA")}, {"nazwa", txt("Hala")}, {"mnemo", txt("Produkcja")}},
                    });
    fill("MAIN", {
                     {{"nr_prac", txt("    1")}, {"nazwisko", txt("Kowalski")}, {"imie", txt("Jan")},
                      {"status", num(1)}, {"data_zatr", day(2010, 2, 1)}, {"dni_ch", num(12)},
                      {"dni_op", num(7)}, {"sl_slow1", txt("D02")}},
                     {{"nr_prac", txt("    2")}, {"nazwisko", txt("Nowak")}, {"imie", txt("Anna")},
                      {"status", num(0)}, {"data_zatr", day(1995, 5, 2)}, {"data_zwol", day(2024, 3, 15)},
                      {"sl_slow1", txt("D01")}},
                     {{"nr_prac", txt("    3")}, {"nazwisko", txt("Lis")}, {"imie", txt("Ewa")},
                      {"status", num(1)}, {"data_zatr", day(2020, 1, 1)}, {"sl_slow1", txt("D01")}},
                 });
    fill("MAIN_2", {
                       {{"nr_prac", txt("    1")}, {"nr_pesel", txt("80010112345")}, {"data_ur", day(1980, 1, 1)},
                        {"kd_ubezp", day(2010, 2, 1)}, {"kd_dowod", txt("ABC123456")}},
                   });
  }

  // Benefit records of the register.
  static void benefits(const std::vector<Fields>& rows) { fill("NIEOBEC", rows); }

  // A benefit record with the usual fields; `more` overrides or adds.
  static Fields benefit(const char* employee, const char* kind, Value from, Value to, int days, Value payout,
                        double value, int status, Fields more = {}) {
    Fields f{{"nr_prac", txt(employee)}, {"zasilek", txt(kind)}, {"od", from}, {"do", to},
             {"l_dni", num(days)}, {"dat_wyp", payout}, {"wartosc", num(value, 2)}, {"status", num(status)}};
    for (auto& m : more) f.push_back(m);
    return f;
  }

  void run(int what) { rt::functions().call("DRUK_ZAS", {num(what)}); }

  // The printed file, UTF-8, as written.
  std::string printed() const { return company_test::printedFile(dir); }
  std::vector<std::string> printedLines() const {
    std::vector<std::string> lines;
    std::stringstream s(printed());
    for (std::string l; std::getline(s, l);) lines.push_back(l);
    return lines;
  }
  bool printedAnything() const { return fs::exists(dir / "WYDRUKI" / "wydruk.txt"); }

  static void set(const char* name, Value v) { rt::context().memvars.assign(name, std::move(v)); }

  rt::term::Headless h;
  fs::path previous, dir;
  int dateKindAnswer = 1;
  bool periodChosen = true;
  int firstBack = 0, lastBack = 0;
  int deviceAnswer = 2;
  bool fullHeaders = false;
  std::vector<std::string> questions, messages, fileMessages;
};

}  // namespace cards_test
