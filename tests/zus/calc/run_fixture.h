// A company for the calculation run's tests: the demo company built once per process, copied
// afresh for each test, the benefit program started on it with the menu replaced by the test's
// steps. The register is rebuilt by each test from its own benefit records. The outside dialogs
// of the set-up (range, date kind, month, yes/no questions) and the basis from the archive are
// replaced by scripted stand-ins that record what they were asked; message windows and the
// summary are recorded and need no key.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/headless.h"
#include "runtime/term/keyboard.h"
#include "runtime/term/terminal.h"
#include "suite/company/company.h"
#include "suite/screen/services.h"
#include "suite/tables/table_ops.h"
#include "tests/zus/company_fixture.h"
#include "zus/calc/by_name.h"
#include "zus/shell/startup.h"

namespace calcrun_test {

namespace fs = std::filesystem;
using Fields = std::vector<std::pair<std::string, rt::Value>>;

inline rt::Value txt(const std::string& s) { return rt::Value::text(s); }
inline rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }
inline rt::Value flag(bool b) { return rt::Value::logical(b); }
inline rt::Value day(int y, int m, int d) { return rt::Value::date(suite::dayNumber(y, m, d)); }
inline std::string employee(int n) {
  std::string s = std::to_string(n);
  return std::string(5 - s.size(), ' ') + s;
}
inline std::string kind(int slot) { return std::string("Z") + (slot < 10 ? "0" : "") + std::to_string(slot); }

// The run's question whether a daily rate from the minimum wage is accepted.
inline constexpr const char* kMinimumWage = "Czy zatwierdzasz stawke` dzienna` z pl`acy minimalnej ?";

inline void registerEverything() {
  company_test::registerLayers();
  zus::registerShellFunctions();
  zus::registerPendingEntries();
  zus::registerCalcRunFunctions();
}

// What a benefit record of a test holds: the fields given over a sick-pay record of 10 days in
// the month calculated, 80%, not calculated.
struct Benefit {
  int employee = 3;
  Fields fields;
};

class RunCompany : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    company_test::buildDemoOnce(pristine, "zus_calcrun_demo", registerEverything);
  }

  void SetUp() override {
    previous = fs::current_path();
    dir = company_test::copyDemo(pristine);
    rt::context().memvars.clearAll();
    registerEverything();
    rt::Functions& f = rt::functions();
    f.add("KOM3", company_test::messageRecorder(messages));
    company_test::endWithoutExit();
    f.add("ZAKRES",
          company_test::rangeAnswer(range, [this] { return employee(chosenEmployee); }, groups));
    f.add("MENU", [this](rt::Args&) { return num(dateKind); });
    f.add("WYB_OKRESU", [this](rt::Args& a) {
      if (monthsBack < 0) return flag(false);
      a.assign(2, num(monthsBack));
      return flag(true);
    });
    f.add("DECYZJA", [this](rt::Args& a) {
      std::string q = a[1].strOr("");
      questions.push_back(q);
      comments.push_back(a[4].isArray() ? a[4].arr().back().strOr("") : a[4].strOr(""));
      auto it = answers.find(q);
      int answer = it == answers.end() ? (a[0].logicalOr(false) ? 1 : 0) : it->second;
      rt::term::keyboard().setLastKey(answer == kEsc ? 27 : 13);
      return flag(answer == 1);
    });
    f.add("SKONCZYLEM", [this](rt::Args& a) {
      summary.clear();
      if (a[0].isArray())
        for (const rt::Value& l : a[0].arr()) summary.push_back(l.strOr(""));
      summaryShown = true;
      return rt::Value();
    });
    // The basis from the archive: a known daily basis and average, or missing archive data for
    // the employees named in `missingArchive`.
    f.add("PODST_OBL", [this](rt::Args& a) {
      rt::db::WorkArea* n = rt::db::workAreas().byAlias("nieobec");
      std::string nr = suite::field("nr_prac").strOr("");
      basisCalls.push_back(a[0].strOr("") + "/" + rt::context().memvars.get("pod_pom").strOr(""));
      screenDuringBasis = h.textUtf8();
      if (missingArchive.count(nr)) {
        rt::context().memvars.assign("tylko_stale", flag(true));
        rt::context().memvars.assign("ten_arch_stat", num(9));
        return flag(false);
      }
      rt::context().memvars.assign("podstawa", num(knownBasis, 2));
      n->put(size_t(n->fieldIndex("suma")), num(knownBasis * 30, 2));
      n->put(size_t(n->fieldIndex("druk_podst")), num(knownBasis, 2));
      return flag(true);
    });
  }
  void TearDown() override {
    rt::db::workAreas().closeAll();  // a failed test leaves no table open for the next one
    fs::current_path(previous);
    fs::remove_all(dir);
  }

  // Starts the program; `steps` run where the menu would.
  void start(std::function<void()> steps) {
    company_test::startProgram([&] {
      month = suite::addMonths(rt::context().memvars.get("lum_data").date(), -monthsBack);
      if (steps) steps();
    });
  }

  // A day of the month calculated.
  rt::Value inMonth(int d) const {
    int y, m, dd;
    suite::splitDayNumber(month, y, m, dd);
    return day(y, m, d);
  }
  rt::Value inNextMonth(int d) const {
    int y, m, dd;
    suite::splitDayNumber(suite::addMonths(month, 1), y, m, dd);
    return day(y, m, d);
  }
  // A day of the month `back` months before the month calculated.
  rt::Value inMonthBack(int back, int d) const {
    int y, m, dd;
    suite::splitDayNumber(suite::addMonths(month, -back), y, m, dd);
    return day(y, m, d);
  }

  // Replaces the register by these records (in this order of appending, record numbers from 1).
  void register_(const std::vector<Benefit>& records) {
    const suite::TableDef& def = *suite::findTable("NIEOBEC");
    std::string path = suite::tablePath(def);
    for (const char* ext : {".dbf", ".cdx", ".fpt"}) fs::remove(path + ext);
    suite::createTable(path, def);
    suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(path + ".dbf"), txt("nieobec"), flag(true), flag(false)});
    for (const Benefit& b : records) {
      Fields f{{"nr_prac", txt(employee(b.employee))}, {"od", inMonth(3)}, {"do", inMonth(12)},
               {"l_dni", num(10)}, {"zasilek", txt(kind(10))}, {"procent", num(80)},
               {"dat_wyp", inMonth(20)}, {"data_prawa", inMonth(3)}, {"status", num(2)},
               {"podat", num(0)}, {"zalicz", num(0, 2)}};
      for (const auto& [name, value] : b.fields) {
        bool replaced = false;
        for (auto& [n, v] : f)
          if (n == name) v = value, replaced = true;
        if (!replaced) f.push_back({name, value});
      }
      suite::appendRecord(f);
    }
    suite::call("DBCOMMIT");
    suite::call("DBCLOSEAREA");
  }

  // A field of every register record, in record-number order.
  std::vector<rt::Value> column(const std::string& name) {
    std::vector<rt::Value> values;
    const suite::TableDef& def = *suite::findTable("NIEOBEC");
    suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(suite::tablePath(def) + ".dbf"), txt("check"), flag(true), flag(false)});
    suite::call("DBSETORDER", {num(0)});
    for (suite::call("DBGOTOP"); !suite::call("EOF").logicalOr(true); suite::call("DBSKIP"))
      values.push_back(suite::field(name));
    suite::call("DBCLOSEAREA");
    return values;
  }
  std::vector<double> numbers(const std::string& name) {
    std::vector<double> out;
    for (const rt::Value& v : column(name)) out.push_back(v.numOr(-1));
    return out;
  }

  void calculate() { rt::functions().call("OBL_ZAS"); }

  bool said(const std::string& stored) const { return company_test::anyContains(messages, stored); }
  bool asked(const std::string& question) const {
    for (const std::string& q : questions)
      if (q == question) return true;
    return false;
  }
  static int openAreas() { return int(rt::db::workAreas().areas().size()); }

  static constexpr int kEsc = 2;  // an answer of the yes/no stand-in: Esc

  rt::term::Headless h;
  std::vector<std::string> messages, questions, comments, summary, basisCalls;
  std::map<std::string, int> answers;  // question -> 1 Tak, 0 Nie, kEsc
  std::set<std::string> missingArchive;
  std::vector<std::string> groups;
  std::string screenDuringBasis;
  bool summaryShown = false;
  int range = 1, chosenEmployee = 3, dateKind = 1, monthsBack = 1;
  double knownBasis = 100;
  int32_t month = 0;
  std::string dir;
  fs::path previous;
  static inline fs::path pristine;
};

}  // namespace calcrun_test
