// The runtime, console and suite routines registered for the entry rules' screen and table tests,
// with a headless screen and KOM3 recorded (the screen as it stood is kept with each message).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "console/register.h"
#include "runtime/core/context.h"
#include "runtime/core/core_functions.h"
#include "runtime/core/std_dates.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/headless.h"
#include "runtime/term/register.h"
#include "runtime/ui/ui_functions.h"
#include "suite/register.h"
#include "zus/register/by_name.h"

namespace rules_test {

class RulesScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::context().memvars.clearAll();
    rt::registerCoreFunctions();
    rt::registerStandardFunctions();
    rt::db::registerTableFunctions();
    rt::term::registerScreenFunctions();
    rt::ui::registerUiFunctions();
    con::registerConsoleFunctions();
    suite::registerSuiteFunctions();
    zus::registerEntryRuleFunctions();
    rt::functions().add("KOM3", [this](rt::Args& a) {
      std::string text = a[0].isChar() ? a[0].str() : "";
      if (a[0].isArray())
        for (const rt::Value& l : a[0].arr()) text += l.strOr("") + "\n";
      messages.push_back(text);
      screens.push_back(h.lines());
      return rt::Value();
    });
  }
  void TearDown() override {
    rt::db::workAreas().closeAll();
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }

  // Keys typed one by one, each a moment after the previous: typeahead that a routine empties
  // (CLEAR_KEYBOARD) would lose them otherwise.
  void typeSlowly(std::initializer_list<int> keys) {
    for (int k : keys) {
      h.pause(0.5);
      h.keys({k});
    }
  }

  static void set(const char* name, rt::Value v) {
    rt::context().memvars.assign(name, std::move(v));
  }
  static rt::Value var(const char* name) {
    const rt::Value* v = rt::context().memvars.tryGet(name);
    return v ? *v : rt::Value();
  }
  static rt::Value flags(std::vector<bool> values) {
    rt::Value a = rt::Value::newArray(0);
    for (bool b : values) a.arr().push_back(rt::Value::logical(b));
    return a;
  }
  static std::vector<bool> flagsOf(const rt::Value& v) {
    std::vector<bool> out;
    if (v.isArray())
      for (const rt::Value& e : v.arr()) out.push_back(e.logicalOr(false));
    return out;
  }
  std::string tempDir() {
    dir = (std::filesystem::temp_directory_path() /
           ("zus_rules_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name()))
              .string();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
  }

  rt::term::Headless h;
  std::vector<std::string> messages;
  std::vector<std::vector<std::string>> screens;
  std::string dir;
};

}  // namespace rules_test
