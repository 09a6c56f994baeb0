// A small company for the listing tests, built in code in a temporary directory: MAIN (with or
// without the order "NR_PSEUDO"), a dictionary with a benefit-kind dictionary "Z" and the
// department dictionary "D", NIEOBEC, STATUS, and the program state the listings read. The
// device choice answers "file", so a listing lands in "WYDRUKI/wydruk.txt", read back as text.
// NB_ZAS and LOAD_TEKST get small stand-ins when they are not registered.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "runtime/core/std_dates.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "suite/forms/display_text.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"
#include "tests/zus/company_fixture.h"
#include "zus/reports/by_name.h"
#include "zus/shell/startup.h"

namespace listing_test {

namespace fs = std::filesystem;
using rt::Value;

using company_test::Fields;
using company_test::txt;
using company_test::num;
using company_test::day;
using company_test::yes;
inline Value call(const char* name, std::vector<Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}

class ListingCompany : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = company_test::enterTestDirectory("zus_listing", previous);
    rt::context().memvars.clearAll();
    rt::context().settings = rt::Settings{};
    registerEverything();
    stubs();
    declareState();
  }
  void TearDown() override {
    call("DBCLOSEALL");
    company_test::leaveTestDirectory(previous, dir);
  }

  static void registerEverything() {
    company_test::registerLayers(/*withPrint=*/true);
    zus::registerShellFunctions();
    zus::registerListingFunctions();
  }

  void stubs() {
    rt::Functions& f = rt::functions();
    f.add("WYB_URZ", [](rt::Args&) {
      rt::context().memvars.declarePublic("urzadzenie");
      rt::context().memvars.assign("urzadzenie", num(2));
      return num(2);
    });
    f.add("KOM3", [this](rt::Args& a) {
      messages.push_back(a[0].strOr(""));
      return Value();
    });
    if (!f.has("NB_ZAS")) {
      // The register's kind text: the dictionary entry's short name, or "short - name".
      f.add("NB_ZAS", [](rt::Args& a) {
        call("DBSELECTAREA", {txt("sl")});
        bool found = call("DBSEEK", {a[0]}).logicalOr(false);
        std::string shortName = found ? call("UPPER", {rt::evalText("skrot")}).strOr("") : "";
        std::string text;
        if (a[1].logicalOr(false)) {
          text = shortName;
        } else {
          text = found ? shortName + " - " + rt::evalText("nazwa").strOr("") + "    " : "";
          text.resize(28, ' ');
        }
        call("DBSELECTAREA", {txt("nieobec")});
        return txt(suite::displayText(text));
      });
    }
    if (!f.has("LOAD_TEKST")) {
      f.add("LOAD_TEKST", [](rt::Args& a) {
        std::string s = a[0].strOr("");
        s.resize(size_t(a[1].intOr(24)), ' ');
        return txt(s);
      });
    }
  }

  void declareState() {
    rt::Memvars& v = rt::context().memvars;
    auto pub = [&](const char* name, Value value) { v.declarePublic(name, std::move(value)); };
    std::string home = dir.string() + "/";
    pub("_path_plac", txt(home));
    pub("_path_kadr", txt(home));
    pub("lum_data", day(2024, 3, 1));
    pub("lum_alfa", yes(false));
    pub("len_slow", num(10));
    pub("i_indeks", num(3));
    pub("z_indeks", num(2));
    pub("p_graf", yes(false));
    pub("p_licz_wie", num(64));
    pub("czy_pseudo", yes(false));
    pub("zusx_chzk", num(33));
    pub("zusx_dt_obl", num(1));
    Value slow = Value::newArray(0);
    slow.arr().push_back(txt("Z"));
    pub("zas_slow", slow);
    call("ZAS_STAT");
  }

  static void create(const suite::TableDef& def) { suite::createTable(def.name, def); }
  static void fill(const char* name, const std::vector<Fields>& rows) {
    company_test::fillTable(std::string(name) + ".dbf", rows);
  }

  // The tables; `pseudo` gives MAIN the order "NR_PSEUDO".
  void createTables(bool pseudo) {
    suite::TableDef main = *suite::findTable("MAIN");
    if (pseudo) main.tags.push_back({"NR_PSEUDO", "nr_pseudo"});
    create(main);
    for (const char* t : {"SLOWNIK", "STATUS", "NIEOBEC"}) create(*suite::findTable(t));
    fill("SLOWNIK",
         {
             {{"kod", txt("Z  ")}, {"skrot", txt("ZASILKI")}, {"nazwa", txt("Zasil`ki")}},
             {{"kod", txt("Z01")}, {"skrot", txt("chor")}, {"nazwa", txt("Zasil`ek chorobowy")}},
             {{"kod", txt("Z02")}, {"skrot", txt("opiek")}, {"nazwa", txt("Zasil`ek opiekun`czy")}},
             {{"kod", txt("D  ")}, {"skrot", txt("SLOW1")}, {"nazwa", txt("Dzial`y")}},
             {{"kod", txt("D01")}, {"skrot", txt("biuro")}, {"nazwa", txt("Biuro")}},
             {{"kod", txt("D02")}, {"skrot", txt("hala")}, {"nazwa", txt("Hala")}},
         });
    fill("STATUS", {
                       {{"kod_stat", num(1)}, {"nazwa_stat", txt("Zatrudniony")}},
                       {{"kod_stat", num(12)}, {"nazwa_stat", txt("Urlop")}},
                   });
    fill("MAIN", {
                     {{"nr_prac", txt("    1")},
                      {"nazwisko", txt("Kowalski")},
                      {"imie", txt("Jan")},
                      {"nr_pseudo", txt("K-30")},
                      {"status", num(1)},
                      {"dni_ch", num(12)},
                      {"sl_slow1", txt("D02")}},
                     {{"nr_prac", txt("    2")},
                      {"nazwisko", txt("Nowak")},
                      {"imie", txt("Anna")},
                      {"nr_pseudo", txt("A-10")},
                      {"status", num(12)},
                      {"sl_slow1", txt("D01")}},
                     {{"nr_prac", txt("    3")},
                      {"nazwisko", txt("Lis")},
                      {"imie", txt("Ewa")},
                      {"nr_pseudo", txt("B-20")},
                      {"status", num(1)}},
                 });
  }

  static Fields benefit(const char* employee, const char* kind, Value to, Value payout, double value,
                        Fields more = {}) {
    Fields f{{"nr_prac", txt(employee)}, {"zasilek", txt(kind)},     {"do", to},
             {"dat_wyp", payout},        {"wartosc", num(value, 2)}, {"status", num(4)}};
    f.insert(f.end(), more.begin(), more.end());
    return f;
  }

  // Four benefits: employee 1 has two whose end-date and payout-date orders differ.
  void someBenefits() {
    fill("NIEOBEC",
         {
             benefit("    1", "Z01", day(2024, 2, 10), day(2024, 3, 20), 300.50, {{"l_dni", num(5)}}),
             benefit("    2", "Z02", day(2024, 2, 5), day(2024, 3, 10), 120.00, {{"l_dni", num(2)}}),
             benefit("    1", "Z02", day(2024, 2, 20), day(2024, 3, 5), 80.25, {{"l_dni", num(3)}}),
             benefit("    3", "Z01", day(2024, 1, 31), day(2024, 2, 10), 1000.00, {{"l_dni", num(10)}}),
         });
  }

  // The listing file, as UTF-8 text.
  std::string printed() const { return company_test::printedFile(dir); }

  static std::vector<int> times(int key, int n) { return std::vector<int>(size_t(n), key); }
  static std::vector<int> join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  }
  // Keys that go down n items of a list and choose.
  static std::vector<int> pick(int n) { return join({times(rt::term::K_DOWN, n), {rt::term::K_ENTER}}); }

  rt::term::Headless h;
  std::vector<std::string> messages;
  fs::path previous, dir;
};

// The company with its tables made (MAIN without "NR_PSEUDO") and the set MAIN, SLOWNIK and
// NIEOBEC open for the whole test.
class ListingSetOpen : public ListingCompany {
 protected:
  void SetUp() override {
    ListingCompany::SetUp();
    createTables(false);
    ASSERT_TRUE(call("_OPEN_SET", {txt("MAIN|SLOWNIK|NIEOBEC"), txt("SSS")}).logical());
  }
  void TearDown() override {
    call("_CLOSE_SET", {txt("MAIN")});
    ListingCompany::TearDown();
  }
};

}  // namespace listing_test
