// A small company for the basis tests: MAIN, NIEOBEC, ARCHIW and SLOWNIK created in a temporary
// directory and opened under their aliases, the program state the basis reads, a headless
// screen, and recorded stand-ins for messages, questions and the key wait.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "runtime/core/std_dates.h"
#include "runtime/term/headless.h"
#include "suite/company/company.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"
#include "tests/zus/company_fixture.h"
#include "zus/calc/by_name.h"

namespace basis_test {

namespace fs = std::filesystem;
using Fields = std::vector<std::pair<std::string, rt::Value>>;

inline rt::Value txt(const std::string& s) { return rt::Value::text(s); }
inline rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }
inline rt::Value date(int y, int m, int d) { return rt::Value::date(rt::makeDate(y, m, d)); }
inline rt::Value yes(bool b) { return rt::Value::logical(b); }

class BasisCompany : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = company_test::enterTestDirectory("zus_basis", previous);
    rt::context().memvars.clearAll();
    company_test::registerLayers();
    zus::registerBasisFunctions();
    suite::INI_FIRM();
    recordCalls();
    programState();
    for (const char* t : {"MAIN", "NIEOBEC", "ARCHIW", "SLOWNIK"}) open(t);
  }
  void TearDown() override {
    rt::functions().call("DBCLOSEALL");
    // The stand-ins go: later tests of the process get the routines they had before.
    replaced.restore();
    company_test::leaveTestDirectory(previous, dir);
  }

  // Registers a stand-in for this test; the previous routine comes back at the end.
  void replace(const std::string& name, rt::NativeFunction fn) {
    replaced.replace(name, std::move(fn));
  }

  void recordCalls() {
    replace("KOM3", company_test::messageRecorder(messages));
    replace("DECYZJA", [this](rt::Args& a) {
      questions.push_back(a[1].strOr(""));
      return rt::Value::logical(answer);
    });
    // The key wait: the screen as it stands is kept, then the scripted key comes.
    replace("INKEY", [this](rt::Args&) {
      screens.push_back(h.lines());
      return rt::Value::integer(nextKey);
    });
  }

  static void set(const char* name, const rt::Value& v) {
    rt::context().memvars.declarePublic(name);
    rt::context().memvars.assign(name, v);
  }

  // The parameters and link items the basis reads, and the run context of a calculation of
  // May 2024 (payroll month May, system parameters archived up to April).
  void programState() {
    set("lum_data", date(2024, 5, 1));
    set("miesp", num(0));
    set("_miesp", date(2024, 5, 1));
    set("closed_dat", date(2024, 4, 30));
    set("zakr", num(1));
    set("zusx_mies", num(3));
    set("zusx_biez", num(1));
    set("zusx_wypad", txt("T"));
    set("zusx_kor", num(2));
    set("zusx_slownik", txt(""));
    set("zusx_mnoz", num(1));
    set("zusx_dni_kal", yes(false));
    set("zusx_pom_od", num(0));
    set("zusx_pom_do", num(0));
    set("zusx_pom_m", num(0));
    set("zusx_pom_r", num(0));
    set("zusx_sprsk", num(13.71, 2));
    set("zusx_ozn", num(0));
    set("dni_pracy", txt("B006"));
    set("dni_w_mies", txt("B007"));
    rt::Value dan = rt::Value::newArray(40), zus = rt::Value::newArray(33);
    for (auto& v : dan.arr()) v = txt("");
    for (auto& v : zus.arr()) v = txt("");
    zus.arr()[0] = txt("Z01");
    zus.arr()[4] = txt("Z05");
    set("zas_dan", dan);
    set("zas_zus", zus);
    set("stat_ar_p", num(9));
    set("stat_ar_d", num(5));
    set("czy_pseudo", yes(false));
    set("_data_puc", date(2010, 1, 1));
    // The employee context of the run.
    set("podstawa", num(0));
    set("min_pl_br", num(0));
    set("wymiar_et", num(1));
    set("pod_pom", txt(""));
    set("skr_zas", txt("CHOR_ZUS  "));
    set("tylko_stale", yes(false));
    set("ten_arch_stat", num(0));
  }

  void open(const char* table) {
    const suite::TableDef* def = suite::findTable(table);
    std::string path = (dir / def->name).string();
    suite::createTable(path, *def);
    rt::functions().call("DBUSEAREA", {yes(true), rt::Value(), txt(path + ".dbf"), txt(def->alias), yes(true), yes(false)});
    rt::functions().call("DBSETORDER", {num(1)});
  }

  void append(const char* alias, const Fields& fields) {
    rt::functions().call("DBSELECTAREA", {txt(alias)});
    suite::appendRecord(fields);
    rt::functions().call("DBCOMMIT");
  }

  // An archive record with the given values at depths 0, 1, 2, ...
  void archive(const std::string& nr, const std::string& item, const std::vector<double>& values) {
    Fields f{{"nr_prac", txt(nr)}, {"kod", txt(item)}};
    for (size_t d = 0; d < values.size(); ++d) f.push_back({suite::archiveField(int(d)), num(values[d], 2)});
    append("archiw", f);
  }

  static rt::Value field(const char* alias, const char* name) {
    return rt::evalText(std::string(alias) + "->" + name);
  }
  static rt::Value var(const char* name) {
    const rt::Value* v = rt::context().memvars.tryGet(name);
    return v ? *v : rt::Value();
  }
  static std::string display(const std::string& stored) { return rt::functions().call("_P", {txt(stored)}).strOr(""); }
  bool said(const std::string& stored) const { return company_test::anyContains(messages, stored); }

  rt::term::Headless h;
  std::vector<std::string> messages, questions;
  std::vector<std::vector<std::string>> screens;
  bool answer = true;
  int nextKey = 13;
  fs::path dir, previous;
  company_test::Replacements replaced;
};

}  // namespace basis_test
