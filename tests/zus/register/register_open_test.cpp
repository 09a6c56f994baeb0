// The register option on a copy of the demo company whose benefit table or memo file is missing:
// the option stops with a message naming the file, nothing is written, and the menu goes on.
// Whose benefit index was left behind by a workstation killed in the middle of a write: rebuilt
// on opening when nobody else works on the table, left alone (and the user told) when another
// workstation has it open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/db/work_areas.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "suite/forms/display_text.h"
#include "suite/screen/menu_defs.h"
#include "suite/screen/menu_engine.h"
#include "tests/runtime/db/helpers/child_process.h"
#include "tests/runtime/db/helpers/index_check.h"
#include "tests/runtime/db/helpers/interrupted_write.h"
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
      h.keys({K_DOWN, K_ENTER, K_ESC, K_ENTER});  // the menu again: the next option runs, then "Tak" to leave
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

// A workstation killed in the middle of a change of a benefit's employee number: the record
// reached the table, its keys never reached the index.
void killAWriterOfTheRegister(const fs::path& dir) {
  ASSERT_TRUE(rt::db::testing::killWriterBeforeItsKeys((dir / "NIEOBEC.dbf").string(), "nr_prac",
                                                       rt::Value::text("  777")));
}

std::string fileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(RegisterOpen, AnInterruptedIndexIsRebuiltWhenNobodyElseHasTheTableOpen) {
  killAWriterOfTheRegister(dir);
  ASSERT_EQ(fileBytes(fs::path(dir) / "NIEOBEC.dbf")[14], 1) << "the write is marked as interrupted";
  Headless h;
  std::vector<std::string> messages;
  company_test::Replacements replaced;
  replaced.replace("KOM3", company_test::lineRecorder(messages));
  std::string chooser;
  company_test::startProgram([&] {
    suite::MenuDef menu{"test", "Test", {{"G", {{"Rejestr", "WPROW_NB", {}, ""}}}}};
    h.keys({K_ENTER});
    EXPECT_THROW(suite::runMenu(menu), KeysExhausted);  // waits in the employee choice
    chooser = h.text();
  });
  replaced.restore();
  EXPECT_EQ(messages, std::vector<std::string>{"Odbudowano indeksy zbioru NIEOBEC.dbf"});
  // The register went on to its employee choice, over tables that agree with their indexes.
  EXPECT_NE(chooser.find(suite::displayText("Wybierz pracownika")), std::string::npos) << chooser;
  EXPECT_EQ(fileBytes(fs::path(dir) / "NIEOBEC.dbf")[14], 0);
  rt::functions().call("DBCLOSEALL");
  rt::db::WorkArea& w = rt::db::workAreas().use((fs::path(dir) / "NIEOBEC.dbf").string(), {});
  EXPECT_FALSE(w.indexesStale());
  EXPECT_EQ(rt::db::testing::compareOrdersWithScan(w), "");
  w.setOrder(1);
  EXPECT_TRUE(w.seek(rt::Value::text("  777"), false)) << "the interrupted change is found by its key";
  rt::functions().call("DBCLOSEALL");
}

TEST_F(RegisterOpen, AnInterruptedIndexIsLeftAloneWhileAnotherWorkstationHasTheTableOpen) {
  killAWriterOfTheRegister(dir);
  const std::string indexBefore = fileBytes(fs::path(dir) / "NIEOBEC.cdx");
  rt::db::testing::Child other([&](int up, int down) {
    rt::db::UseOptions shared;
    shared.shared = true;
    rt::db::workAreas().use((dir / "NIEOBEC.dbf").string(), shared);
    rt::db::testing::sendLine(up, "open");
    rt::db::testing::readLineFrom(down);  // until the register has been tried
    return 0;
  });
  ASSERT_EQ(other.readLine(), "open");

  Headless h;
  std::vector<std::string> messages;
  company_test::Replacements replaced;
  replaced.replace("KOM3", company_test::lineRecorder(messages));
  int nextCalls = 0;
  replaced.replace("TEST_NEXT", [&](rt::Args&) {
    ++nextCalls;
    return rt::Value();
  });
  company_test::startProgram([&] {
    suite::MenuDef menu{"test", "Test", {{"G", {{"Rejestr", "WPROW_NB", {}, ""}, {"Dalej", "TEST_NEXT", {}, ""}}}}};
    h.keys({K_ENTER, K_DOWN, K_ENTER, K_ESC, K_ENTER});  // Esc, then "Tak" to leave
    suite::runMenu(menu);
  });
  replaced.restore();
  other.send("done");
  other.wait();
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages[0].find("NIEOBEC.dbf"), std::string::npos) << messages[0];
  std::string said;
  for (const std::string& m : messages) said += m + " ";
  EXPECT_NE(said.find("gdy nikt inny nie be`dzie pracowal` na firmie"), std::string::npos) << said;
  EXPECT_EQ(said.find("Odbudowano"), std::string::npos) << said;
  EXPECT_EQ(nextCalls, 1) << "the menu goes on";
  EXPECT_EQ(fileBytes(fs::path(dir) / "NIEOBEC.cdx"), indexBefore) << "nothing rebuilt";
  EXPECT_EQ(fileBytes(fs::path(dir) / "NIEOBEC.dbf")[14], 1);
}

}  // namespace
