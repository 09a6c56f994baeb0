// A company for the settings editors' tests: the demo company built once, copied afresh into a
// directory of each test, and the benefit program started on it with its menu replaced by the
// test's own steps. Messages of KOM3 are recorded (and need no key).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "runtime/core/context.h"
#include "runtime/core/expr.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "suite/forms/display_text.h"
#include "tests/zus/company_fixture.h"
#include "zus/shell/startup.h"

namespace settings_test {

namespace fs = std::filesystem;
using namespace rt::term;

inline void registerEverything() {
  company_test::registerLayers();
  zus::registerShellFunctions();
  zus::registerPendingEntries();
}

class SettingsCompany : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    company_test::buildDemoOnce(pristine, "zus_settings_demo", registerEverything);
  }

  void SetUp() override {
    previous = fs::current_path();
    dir = company_test::copyDemo(pristine);
    rt::context().memvars.clearAll();
    registerEverything();
    rt::functions().add("KOM3", company_test::messageRecorder(messages));
    company_test::endWithoutExit();
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(dir);
  }

  // Starts the program; `steps` run where the menu would, with the keys given.
  void start(std::function<void()> steps) { company_test::startProgram(steps); }

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
  bool said(const std::string& stored) const { return company_test::anyContains(messages, stored); }

  Headless h;
  std::vector<std::string> messages;
  std::string dir;
  fs::path previous;
  static inline fs::path pristine;
};

}  // namespace settings_test
