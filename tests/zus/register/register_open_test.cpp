// The register option on a copy of the demo company whose benefit table or memo file is missing:
// the option stops with a message naming the file, nothing is written, and the menu goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "suite/forms/display_text.h"
#include "suite/screen/menu_defs.h"
#include "suite/screen/menu_engine.h"
#include "tests/support/scoped_functions.h"
#include "tests/zus/company_fixture.h"
#include "zus/register/by_name.h"

namespace {

namespace fs = std::filesystem;
using namespace rt::term;

void registerAll() {
  company_test::registerLayers();
  zus::registerShellFunctions();
  zus::registerPendingEntries();
  zus::registerRegisterFunctions();
}

class RegisterOpen : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { company_test::buildDemoOnce(pristine, "zus_register_open", registerAll); }
  void SetUp() override {
    previous = fs::current_path();
    rt::context().memvars.clearAll();
    registerAll();
    dir = company_test::copyDemo(pristine);
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(dir);
  }
  static inline fs::path pristine;
  fs::path previous, dir;
};

TEST_F(RegisterOpen, AMissingBenefitTableOrMemoIsNamedAndTheMenuGoesOn) {
  // A missing table is named in the option's message; a missing memo in the menu's error window,
  // whose path (longer than a message line) must still show its end, the file's name.
  struct Case { const char* file; const char* shown; };
  const Case cases[] = {{"NIEOBEC.dbf", "brak zbioru NIEOBEC.dbf"}, {"NIEOBEC.fpt", "NIEOBEC.fpt"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    fs::rename(fs::path(dir) / c.file, fs::path(dir) / "aside");
    const auto mainSize = fs::file_size(fs::path(dir) / "MAIN.dbf");
    int nextCalls = 0;
    test_support::ScopedFunctions stand_test_next("TEST_NEXT", [&](rt::Args&) {
      ++nextCalls;
      return rt::Value();
    });
    Headless h;
    std::string shown;
    // The option's message window is read while it waits for its key, then left with Esc.
    const rt::NativeFunction messageWindow = *rt::functions().find("KOM3");
    company_test::Replacements replaced;
    replaced.replace("KOM3", [&](rt::Args& a) {
      try {
        return messageWindow(a);
      } catch (const KeysExhausted&) {
        shown = h.text();
        h.keys({K_ESC});
        return messageWindow(a);
      }
    });
    company_test::startProgram([&] {
      suite::MenuDef menu{"test", "Test", {{"G", {{"Rejestr", "WPROW_NB", {}, ""}, {"Dalej", "TEST_NEXT", {}, ""}}}}};
      h.keys({K_ENTER});
      EXPECT_THROW(suite::runMenu(menu), KeysExhausted);  // stops at a message or back in the menu
      if (shown.empty()) shown = h.text();
      h.keys({K_DOWN, K_ENTER, K_ESC});  // the menu again: the next option runs
      suite::runMenu(menu);
    });
    EXPECT_NE(shown.find(suite::displayText(c.shown)), std::string::npos) << shown;
    EXPECT_EQ(nextCalls, 1);
    EXPECT_FALSE(fs::exists(fs::path(dir) / c.file));
    EXPECT_EQ(fs::file_size(fs::path(dir) / "MAIN.dbf"), mainSize);
    fs::rename(fs::path(dir) / "aside", fs::path(dir) / c.file);
    replaced.restore();
    rt::functions().call("DBCLOSEALL");
  }
}

}  // namespace
