// A company for the settings editors' tests: the demo company built once, copied afresh into a
// directory of each test, and the benefit program started on it with its menu replaced by the
// test's own steps. Messages of KOM3 are recorded (and need no key).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "console/register.h"
#include "runtime/core/context.h"
#include "runtime/core/core_functions.h"
#include "runtime/core/expr.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/register.h"
#include "runtime/ui/ui_functions.h"
#include "suite/demo/demo_company.h"
#include "suite/forms/display_text.h"
#include "suite/register.h"
#include "zus/shell/startup.h"

namespace settings_test {

namespace fs = std::filesystem;
using namespace rt::term;

inline void registerEverything() {
  rt::registerCoreFunctions();
  rt::registerStandardFunctions();
  rt::db::registerTableFunctions();
  rt::term::registerScreenFunctions();
  rt::ui::registerUiFunctions();
  con::registerConsoleFunctions();
  suite::registerSuiteFunctions();
  zus::registerShellFunctions();
  zus::registerPendingEntries();
}

class SettingsCompany : public ::testing::Test {
 protected:
  // The demo company is built once per process (building is the slow part) and removed when
  // the process ends.
  static void SetUpTestSuite() {
    if (!pristine.empty()) return;
    previous = fs::current_path();
    pristine = fs::temp_directory_path() / ("zus_settings_demo_" + std::to_string(::getpid()));
    fs::remove_all(pristine);
    rt::context().memvars.clearAll();
    registerEverything();
    suite::createDemoCompany(pristine.string());
    fs::current_path(previous);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(pristine, ec);
    });
  }

  void SetUp() override {
    dir = pristine.string() + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::copy(pristine, dir, fs::copy_options::recursive);
    fs::current_path(dir);
    rt::context().memvars.clearAll();
    registerEverything();
    rt::functions().add("KOM3", [this](rt::Args& a) {
      std::string text = a[0].isChar() ? a[0].str() : "";
      if (a[0].isArray())
        for (const rt::Value& l : a[0].arr()) text += l.strOr("") + "\n";
      messages.push_back(text);
      return rt::Value();
    });
    rt::functions().add("MFKONIEC", [](rt::Args&) {
      rt::functions().call("DBCLOSEALL");
      return rt::Value();
    });
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(dir);
  }

  // Starts the program; `steps` run where the menu would, with the keys given.
  void start(std::function<void()> steps) {
    bool reachedMenu = false;
    rt::functions().add("FEKRAN", [&](rt::Args&) {
      reachedMenu = true;
      if (steps) steps();
      return rt::Value();
    });
    zus::MAIN();
    EXPECT_TRUE(reachedMenu) << "the program did not reach its menu";
  }

  // In a key script: the next key comes a moment later, after the typeahead was cleared.
  static constexpr int kLater = -100000;

  // Runs an entry by name with scripted keys, as the menu would.
  void entry(const char* name, std::vector<rt::Value> args, const std::vector<int>& keys) {
    for (int k : keys) {
      if (k == kLater) h.pause(0.5);
      else h.keys({k});
    }
    rt::functions().call(name, std::move(args));
  }

  static rt::Value var(const char* name) {
    const rt::Value* v = rt::context().memvars.tryGet(name);
    return v ? *v : rt::Value();
  }
  static std::string element(const char* array, int n) {
    rt::Value a = var(array);
    return a.isArray() && size_t(n) <= a.arr().size() ? a.arr()[size_t(n - 1)].strOr("<none>") : "<none>";
  }
  static std::vector<int> text(const std::string& s) {
    std::vector<int> keys;
    for (unsigned char c : s) keys.push_back(c);
    return keys;
  }
  static std::vector<int> join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  }
  bool said(const std::string& stored) const {
    for (const std::string& m : messages)
      if (m.find(stored) != std::string::npos) return true;
    return false;
  }

  Headless h;
  std::vector<std::string> messages;
  std::string dir;
  static inline fs::path previous, pristine;
};

}  // namespace settings_test
