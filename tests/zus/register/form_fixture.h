// A register for the edit form's tests: the demo company started as the program starts, the
// register's tables opened as the browse opens them, one employee chosen and locked with the
// register state the browse keeps, and the employee's benefit records made by the test.
//
// Routines of the other parts of the register that the form calls by name get stand-ins that
// accept everything (and count their calls) for the time of each test. Messages (KOM3) and
// questions (DECYZJA) are recorded; a question still waits for its scripted answer.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/std_dates.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/terminal.h"
#include "suite/tables/table_ops.h"
#include "tests/zus/company_fixture.h"
#include "tests/zus/shell/settings_fixture.h"
#include "zus/register/by_name.h"

namespace form_test {


using company_test::Fields;
using company_test::num;
using company_test::txt;
using company_test::day;

class BenefitForm : public settings_test::SettingsCompany {
 protected:
  static constexpr const char* kEmployee = "    5";

  void SetUp() override {
    SettingsCompany::SetUp();
    zus::registerBenefitFormFunctions();
    current() = this;
    // The other parts of the register are replaced by stand-ins that accept everything and
    // count their calls, so that these tests see the form alone whatever else is registered.
    auto accept = [this](const char* name, rt::Value answer) {
      std::string key = name;
      replace(name, [key, answer](rt::Args& a) {
        if (BenefitForm* f = current()) {
          ++f->calls[key];
          f->lastArgs[key] = a.values();
          if (auto it = f->onCall.find(key); it != f->onCall.end()) it->second();
        }
        return answer;
      });
    };
    for (const char* name : {"OK_OD", "OK_DO", "OK_DAT_PRA", "OK_ZLICZ", "OK_L4", "OK_MIES",
                             "OK_LITER", "OK_PODST", "OK_POM_DZ"})
      accept(name, rt::Value::logical(true));
    accept("AKT_DNI", rt::Value::logical(true));
    accept("ZLICZ_CHOR", num(0));
    accept("DNI_GORNE", rt::Value());
    accept("MIESDOPTXT", rt::Value());
    replace("CZY_JEST_L_4", [](rt::Args& a) { return a[1]; });
    replace("DAJ_SCOPY", [](rt::Args&) {
      if (BenefitForm* f = current()) {
        ++f->calls["DAJ_SCOPY"];
        f->scopeRegister();
      }
      return rt::Value();
    });
    rt::NativeFunction decyzja = *rt::functions().find("DECYZJA");
    replace("DECYZJA", [decyzja](rt::Args& a) {
      if (BenefitForm* f = current()) f->questions.push_back(a[1].strOr(""));
      return decyzja(a);
    });
  }

  // Routines replaced for a test get their previous registration back; a name that had none an
  // inert one.
  void TearDown() override {
    replaced.restore();
    current() = nullptr;
    SettingsCompany::TearDown();
  }

  // Registers `fn` under `name` for this test.
  void replace(const char* name, rt::NativeFunction fn) { replaced.replace(name, std::move(fn)); }

  static BenefitForm*& current() {
    static BenefitForm* fixture = nullptr;
    return fixture;
  }

  // Runs `body` inside the started program with the register open on kEmployee.
  void inRegister(const std::function<void()>& body) {
    start([&] {
      openRegister();
      body();
    });
  }

  void openRegister() {
    ASSERT_TRUE(call("_OPEN_SET", {txt("MAIN | SLOWNIK | DANE_WE | NIEOBEC | MAIN_2"),
                                   txt("SSSSS")})
                    .logicalOr(false));
    rt::Memvars& v = rt::context().memvars;
    v.declarePrivate("nr_pracusia", txt(kEmployee));
    v.declarePrivate("ord_baz", num(5));
    v.declarePrivate("brak_nb", rt::Value::logical(true));
    v.declarePrivate("pict_chor", txt("XXXX"));
    v.declarePrivate("pict_l_4", txt(std::string(14, 'X')));
    v.declarePrivate("_data_ur", rt::Value::date(0));
    for (const char* counter : {"suma_dni1", "suma_dni2", "suma_dni3", "suma_poza"})
      v.declarePrivate(counter, num(0));

    select("main");
    call("DBSEEK", {txt(kEmployee)});
    ASSERT_TRUE(call("_REC_LOCK").logicalOr(false));
    setMain("data_zus", rt::Value::date(0));

    // The employee starts without benefits, whatever the demo gave him.
    rt::db::WorkArea& reg = area();
    reg.setOrder(0);
    for (reg.goTop(); !reg.eof(); reg.skip(1))
      if (field("nr_prac").strOr("") == kEmployee && reg.lockCurrent()) reg.deleteRecord();
    reg.unlockAll();
    scopeRegister();
  }

  // Appends a benefit of kEmployee (unlocked afterwards) and returns its record number.
  uint32_t addBenefit(const Fields& fields) {
    select("nieobec");
    Fields all{{"nr_prac", txt(kEmployee)}, {"status", num(2)}, {"place", rt::Value::logical(false)}};
    all.insert(all.end(), fields.begin(), fields.end());
    suite::appendRecord(all);
    uint32_t recno = area().recno();
    call("DBCOMMIT");
    area().unlockAll();
    scopeRegister();
    area().goTo(recno);
    return recno;
  }

  // The browse's view: order 5 scoped to the employee; `brak_nb` when the scope is empty.
  void scopeRegister() {
    select("nieobec");
    rt::db::WorkArea& reg = area();
    uint32_t kept = reg.recno();
    reg.setOrder(5);
    reg.setScope(0, txt(kEmployee));
    reg.setScope(1, txt(kEmployee));
    reg.goTop();
    rt::context().memvars.assign("brak_nb", rt::Value::logical(reg.eof()));
    if (!reg.eof()) reg.goTo(kept);
  }

  rt::Value edit(bool isNew, const std::vector<int>& keys) {
    h.keys(keys);
    select("nieobec");
    return rt::functions().call("ED_NB", {rt::Value::logical(isNew)});
  }

  static rt::db::WorkArea& area(const char* alias = "nieobec") {
    return *rt::db::workAreas().byAlias(alias);
  }
  static void select(const char* alias) { rt::db::workAreas().select(area(alias).number()); }
  static rt::Value field(const char* name) {
    return rt::context().fields->readAliasField("nieobec", name);
  }
  static rt::Value mainField(const char* name) {
    return rt::context().fields->readAliasField("main", name);
  }
  static void setMain(const char* name, const rt::Value& v) {
    rt::context().fields->writeAliasField("main", name, v);
  }
  static rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
    return rt::functions().call(name, std::move(args));
  }
  // The digits to type into a date entry for a date.
  static std::vector<int> dateKeys(const rt::Value& d) {
    std::vector<int> keys;
    for (char c : rt::dtoc(d.date()))
      if (c >= '0' && c <= '9') keys.push_back(c);
    return keys;
  }
  bool asked(const std::string& stored) const {
    return company_test::anyContains(questions, stored);
  }

  std::map<std::string, int> calls;
  std::map<std::string, std::vector<rt::Value>> lastArgs;
  std::map<std::string, std::function<void()>> onCall;
  std::vector<std::string> questions;
  company_test::Replacements replaced;
};

}  // namespace form_test
