// What the benefit program's test companies share: every layer's routines registered in the
// program's order, a directory of each test made current while the test runs, the demo company
// built once per process and copied for each test, KOM3's messages recorded, the program started
// with its menu replaced, and stand-ins that give the routines they replaced back.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "console/register.h"
#include "runtime/core/context.h"
#include "runtime/core/core_functions.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/print/console_output.h"
#include "runtime/term/register.h"
#include "runtime/ui/ui_functions.h"
#include "suite/demo/demo_company.h"
#include "suite/register.h"
#include "suite/tables/table_ops.h"
#include "tests/support/scoped_functions.h"
#include "zus/shell/startup.h"

namespace company_test {

namespace fs = std::filesystem;

// Values for fixtures and test data.
inline rt::Value txt(const std::string& s) { return rt::Value::text(s); }
inline rt::Value num(double v, int dec = 0) { return rt::Value::number(v, dec); }
inline rt::Value day(int y, int m, int d) { return rt::Value::date(rt::makeDate(y, m, d)); }
inline rt::Value yes(bool b = true) { return rt::Value::logical(b); }
// Field values of one record, by field name.
using Fields = std::vector<std::pair<std::string, rt::Value>>;

// The runtime's, the console's and the suite's routines, in the order the program registers
// them; the print layer only for the tests that print.
inline void registerLayers(bool withPrint = false) {
  rt::registerCoreFunctions();
  rt::registerStandardFunctions();
  rt::db::registerTableFunctions();
  rt::term::registerScreenFunctions();
  rt::ui::registerUiFunctions();
  if (withPrint) rt::print::registerPrintFunctions();
  con::registerConsoleFunctions();
  suite::registerSuiteFunctions();
}

inline std::string currentTestName() {
  return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// "<temp>/<prefix>_<pid>_<test>": a directory no other test process or test uses.
inline fs::path testDirectoryName(const std::string& prefix) {
  return fs::temp_directory_path() /
         (prefix + "_" + std::to_string(::getpid()) + "_" + currentTestName());
}

// Makes the test's directory afresh and current; `previous` keeps the directory to go back to.
inline fs::path enterTestDirectory(const std::string& prefix, fs::path& previous) {
  previous = fs::current_path();
  fs::path dir = testDirectoryName(prefix);
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::current_path(dir);
  return dir;
}

inline void leaveTestDirectory(const fs::path& previous, const fs::path& dir) {
  fs::current_path(previous);
  fs::remove_all(dir);
}

// The demo company, built into `pristine` once per process (building is the slow part) with the
// routines `registerAll` registers, and removed when the process ends.
inline void buildDemoOnce(fs::path& pristine, const std::string& prefix, void (*registerAll)()) {
  if (!pristine.empty()) return;
  fs::path previous = fs::current_path();
  pristine = fs::temp_directory_path() / (prefix + "_" + std::to_string(::getpid()));
  fs::remove_all(pristine);
  rt::context().memvars.clearAll();
  registerAll();
  suite::createDemoCompany(pristine.string());
  fs::current_path(previous);
  static std::vector<fs::path> built;
  if (built.empty())
    std::atexit([] {
      std::error_code ec;
      for (const fs::path& p : built) fs::remove_all(p, ec);
    });
  built.push_back(pristine);
}

// A fresh copy of the built demo company for the running test, made current.
inline std::string copyDemo(const fs::path& pristine) {
  std::string dir = pristine.string() + "_" + currentTestName();
  fs::remove_all(dir);
  fs::copy(pristine, dir, fs::copy_options::recursive);
  fs::current_path(dir);
  return dir;
}

// Appends rows to the table file `dbf` through an exclusive opening of its own.
inline void fillTable(const std::string& dbf,
                      const std::vector<std::vector<std::pair<std::string, rt::Value>>>& rows) {
  rt::functions().call("DBUSEAREA", {rt::Value::logical(true), rt::Value(), rt::Value::text(dbf),
                                     rt::Value::text("zef_fill"), rt::Value::logical(false),
                                     rt::Value::logical(false)});
  for (const auto& r : rows) suite::appendRecord(r);
  rt::functions().call("DBCLOSEAREA");
}

// What a print to the file device wrote under `dir` ("WYDRUKI/wydruk.txt"), byte for byte.
inline std::string printedFile(const fs::path& dir) {
  std::ifstream f(dir / "WYDRUKI" / "wydruk.txt", std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// The text of a KOM3 message: a text as it stands, an array as its lines each ended by "\n".
inline std::string messageText(const rt::Value& message) {
  std::string text = message.isChar() ? message.str() : "";
  if (message.isArray())
    for (const rt::Value& line : message.arr()) text += line.strOr("") + "\n";
  return text;
}

// A KOM3 that keeps each message in `messages` and waits for no key.
inline rt::NativeFunction messageRecorder(std::vector<std::string>& messages) {
  return [&messages](rt::Args& a) {
    messages.push_back(messageText(a[0]));
    return rt::Value();
  };
}

// A KOM3 that keeps each line of each message in `lines` (a text message is one line) and waits
// for no key.
inline rt::NativeFunction lineRecorder(std::vector<std::string>& lines) {
  return [&lines](rt::Args& a) {
    if (a[0].isArray())
      for (const rt::Value& line : a[0].arr()) lines.push_back(line.strOr(""));
    else lines.push_back(a[0].strOr(""));
    return rt::Value();
  };
}

inline bool anyContains(const std::vector<std::string>& texts, const std::string& part) {
  for (const std::string& t : texts)
    if (t.find(part) != std::string::npos) return true;
  return false;
}

// A ZAKRES (the payroll library's employee range dialog) answered without a screen, by what the
// test holds when it is called: `range` 1 all, 2 the department keys of `groups`, 3 the employee
// `employee` names.
inline rt::NativeFunction rangeAnswer(const int& range, std::function<std::string()> employee,
                                      const std::vector<std::string>& groups) {
  return [&range, employee, &groups](rt::Args& a) {
    a.assign(0, rt::Value::number(range, 0));
    if (range == 3) a.assign(1, rt::Value::text(employee()));
    if (range == 2) {
      rt::Value keys = rt::Value::newArray(0);
      for (const std::string& k : groups) keys.arr().push_back(rt::Value::text(k));
      rt::context().memvars.declarePublic("ky_grupy", keys);
      a.assign(1, rt::Value::text("ky_grupy"));
      a.assign(3, rt::Value::text("SL_SLOW1"));
    }
    return rt::Value();
  };
}

// The program's end closes the tables and leaves the process running.
inline void endWithoutExit() {
  rt::functions().add("MFKONIEC", [](rt::Args&) {
    rt::functions().call("DBCLOSEALL");
    return rt::Value();
  });
}

// Starts the program; `steps` run where the menu would.
inline void startProgram(const std::function<void()>& steps) {
  bool reachedMenu = false;
  test_support::ScopedFunctions menu("FEKRAN", [&](rt::Args&) {
    reachedMenu = true;
    if (steps) steps();
    return rt::Value();
  });
  zus::MAIN();
  EXPECT_TRUE(reachedMenu) << "the program did not reach its menu";
}

// Routines replaced for one test, given back when it ends or at restore().
using Replacements = test_support::ScopedFunctions;

}  // namespace company_test
