// The runtime, console and suite routines registered for the entry rules' screen and table tests,
// with a headless screen and KOM3 recorded (the screen as it stood is kept with each message).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/std_dates.h"
#include "runtime/db/work_areas.h"
#include "runtime/term/headless.h"
#include "tests/zus/company_fixture.h"
#include "zus/register/by_name.h"

namespace rules_test {

class RulesScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::context().memvars.clearAll();
    company_test::registerLayers();
    zus::registerEntryRuleFunctions();
    rt::functions().add("KOM3", [this](rt::Args& a) {
      messages.push_back(company_test::messageText(a[0]));
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
    dir = company_test::testDirectoryName("zus_rules").string();
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
