// A small company for the register's tests: the employee, personnel, dictionary, payroll-input
// and register tables built in a temporary directory, the program state the register reads, and
// recorders in place of the message window (KOM3), the yes/no dialog (DECYZJA), the employee
// choice (WYB_PRAC) and the edit form (ED_NB).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"
#include "tests/zus/company_fixture.h"
#include "zus/register/browse_entry.h"
#include "zus/register/browse_keys.h"
#include "zus/register/nb_zas.h"
#include "zus/shell/startup.h"

namespace register_test {

namespace fs = std::filesystem;

using company_test::Fields;
using company_test::txt;
using company_test::num;
using company_test::day;
inline rt::Value flag(bool b) { return rt::Value::logical(b); }
inline rt::Value noDate() { return rt::Value::date(0); }
inline rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}
inline rt::Memvars& vars() { return rt::context().memvars; }

// Kind code of link slot n ("Z01" ... "Z33").
inline std::string kind(int slot) {
  return std::string("Z") + (slot < 10 ? "0" : "") + std::to_string(slot);
}

class RegisterCompany : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = company_test::enterTestDirectory("zus_regbrowse", previous);
    fs::create_directories(dir / "KADRY");
    vars().clearAll();
    registerEverything();
    call("INI_FIRM");
    programState();
    recorders();
    for (const char* t : {"MAIN", "MAIN_2", "SLOWNIK", "NIEOBEC", "DANE_WE"})
      suite::createTable(suite::tablePath(*suite::findTable(t)), *suite::findTable(t));
    dictionary();
  }

  void TearDown() override {
    call("DBCLOSEALL");
    company_test::leaveTestDirectory(previous, dir);
  }

  static void registerEverything() {
    company_test::registerLayers();
    zus::registerShellFunctions();
    // Only the names the register's own texts call; the other routines are called directly, so
    // that no real routine stands where the form's tests in this binary expect their stand-ins.
    zus::registerNbZas();
    if (!rt::functions().has("LOAD_TEKST"))
      rt::functions().add(
          "LOAD_TEKST", [](rt::Args& a) { return txt(std::string(size_t(a[1].intOr(14)), ' ')); });
  }

  // The payroll month is March 2024; every benefit slot is linked to "Z" + its number.
  void programState() {
    vars().declarePublic("lum_data", day(2024, 3, 1));
    vars().declarePublic("czy_jest_mem", flag(true));
    rt::Value zasZus = rt::Value::newArray(33), zasDni = rt::Value::newArray(33);
    for (int n = 1; n <= 33; ++n) {
      zasZus.arr()[size_t(n - 1)] = txt(kind(n));
      zasDni.arr()[size_t(n - 1)] =
          txt(std::string("N0") + (n < 10 ? "0" : "") + std::to_string(n));
    }
    vars().declarePublic("zas_zus", zasZus);
    vars().declarePublic("zas_dni", zasDni);
    rt::Value slow = rt::Value::newArray(1);
    slow.arr()[0] = txt("Z  ");
    vars().declarePublic("zas_slow", slow);
    vars().declarePublic("zusx_filtr", flag(false));
    vars().declarePublic("zusx_chzk", num(33));
    vars().declarePublic("zusx_chz50", num(14));
    vars().declarePublic("pustykod", txt(std::string(3, char(255))));
    vars().declarePublic("pict_long", txt("99 999 999 999.99"));
    vars().declarePublic("czy_pseudo", flag(false));
    call("ZAS_STAT");
  }

  void recorders() {
    rt::functions().add("KOM3", company_test::messageRecorder(messages));
    rt::functions().add("DECYZJA", [this](rt::Args& a) {
      questions.push_back(a[1].strOr(""));
      if (answers.empty()) return flag(false);
      bool yes = answers.front();
      answers.pop_front();
      return flag(yes);
    });
    rt::functions().add("WYB_PRAC", [this](rt::Args&) {
      if (chosen.empty()) return txt("");
      std::string nr = chosen.front();
      chosen.pop_front();
      call("DBSELECTAREA", {txt("main")});
      call("ORDSETFOCUS", {num(1)});
      call("DBSEEK", {txt(nr)});
      return txt(nr);
    });
    rt::functions().add("ED_NB", [this](rt::Args& a) {
      formCalls.push_back(a[0].logicalOr(false));
      return rt::Value();
    });
  }

  void dictionary() {
    open("SLOWNIK");
    suite::appendRecord(
        {{"kod", txt("Z  ")}, {"skrot", txt("ZASILKI")}, {"nazwa", txt("Rodzaje")}});
    for (int n = 1; n <= 33; ++n)
      suite::appendRecord({{"kod", txt(kind(n))},
                           {"skrot", txt("rodz" + std::to_string(n))},
                           {"nazwa", txt("Rodzaj zasil`ku " + std::to_string(n))}});
    close();
  }

  // Opens a table alone (shared) under its alias.
  void open(const char* table) { ASSERT_TRUE(suite::openTable(*suite::findTable(table), true)); }
  void close() { call("DBCLOSEAREA"); }

  void add(const char* table, const Fields& fields) {
    open(table);
    suite::appendRecord(fields);
    call("DBCOMMIT");
    close();
  }

  // An employee with the day counters given.
  void employee(const std::string& nr, const std::string& surname, Fields more = {}) {
    Fields f{
        {"nr_prac", txt(nr)}, {"nazwisko", txt(surname)}, {"imie", txt("Jan")}, {"status", num(1)}};
    for (auto& m : more) f.push_back(m);
    add("MAIN", f);
  }

  // A benefit record: employee, kind slot, from, to, payout date and more fields.
  void benefit(const std::string& nr, int slot, rt::Value od, rt::Value to, rt::Value payout,
               Fields more = {}) {
    int days = int(to.date() - od.date() + 1);
    Fields f{
        {"nr_prac", txt(nr)}, {"zasilek", txt(kind(slot))}, {"od", od},         {"do", to},
        {"l_dni", num(days)}, {"dat_wyp", payout},          {"data_prawa", od}, {"status", num(2)}};
    for (auto& m : more) f.push_back(m);
    add("NIEOBEC", f);
  }

  // A field of an employee's record, read from the table afresh.
  rt::Value employeeField(const std::string& nr, const char* name) {
    open("MAIN");
    call("DBSEEK", {txt(nr)});
    rt::Value v = suite::field(name);
    close();
    return v;
  }

  // Runs the register on `nr`; `inside` runs at the browse's first call of its key handler, with
  // the mode, and its answer goes back to the browse. Later calls go to the real handler.
  void inBrowse(const std::string& nr, std::function<int(int)> inside) {
    chosen = {nr};
    bool first = true;
    // The recorder points at this call's locals: the handler before it stands there afterwards.
    test_support::ScopedFunctions recorder("DBE_NB", [&](rt::Args& a) {
      int mode = int(a[0].intOr(0));
      if (first) {
        first = false;
        rt::term::screen().refresh();
        return num(inside(mode));
      }
      return num(zus::DBE_NB(mode));
    });
    zus::WPROW_NB();
  }

  static double numVar(const char* name) {
    const rt::Value* v = vars().tryGet(name);
    return v ? v->numOr(-1) : -1;
  }

  bool said(const std::string& stored) const { return company_test::anyContains(messages, stored); }
  bool asked(const std::string& stored) const {
    return company_test::anyContains(questions, stored);
  }

  rt::term::Headless h;
  fs::path dir, previous;
  std::vector<std::string> messages, questions;
  std::deque<bool> answers;
  std::deque<std::string> chosen;
  std::vector<bool> formCalls;
};

}  // namespace register_test
