// The print layer to a file: pages, the title routine at each page, counters, the device choice.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "runtime/core/context.h"
#include "runtime/core/std_functions.h"
#include "runtime/print/device.h"
#include "runtime/term/headless.h"
#include "runtime/term/register.h"
#include "runtime/ui/ui_functions.h"
#include "suite/register.h"
#include "tests/support/scoped_functions.h"

namespace {

namespace fs = std::filesystem;

rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}

// A KOM3 that keeps each line of each message in `lines` and waits for no key.
rt::NativeFunction lineRecorder(std::vector<std::string>& lines) {
  return [&lines](rt::Args& a) {
    for (const rt::Value& l : a[0].arr()) lines.push_back(l.str());
    return rt::Value();
  };
}

class PrintLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = fs::current_path();
    dir = fs::temp_directory_path() / ("zus_print_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
    rt::registerStandardFunctions();
    rt::term::registerScreenFunctions();
    rt::ui::registerUiFunctions();
    suite::registerSuiteFunctions();
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(dir);
  }
  fs::path previous, dir;
};

TEST_F(PrintLayer, AFilePrintBreaksPagesAndCallsTheTitleRoutineOnEach) {
  int titles = 0;
  test_support::ScopedFunctions stand_test_tytul("TEST_TYTUL", [&](rt::Args&) {
    ++titles;
    call("DEV_LINIA", {rt::Value::text("NAGLOWEK")});
    return rt::Value();
  });
  rt::term::Headless h;
  h.keys({rt::term::K_ENTER});  // read by the message naming the file
  call("DEV");
  rt::Memvars& v = rt::context().memvars;
  v.assign("urzadzenie", rt::Value::integer(2));
  v.assign("p_licz_wie", rt::Value::integer(4));
  v.assign("tytul_proc", rt::Value::text("TEST_TYTUL"));
  ASSERT_TRUE(call("DEV_OPEN").logical());
  for (int i = 1; i <= 5; ++i) call("DEV_LINIA", {rt::Value::text("wiersz " + std::to_string(i))});
  EXPECT_EQ(v.get("dev_ss").num(), 2);
  EXPECT_EQ(v.get("dev_ll").num(), 3);
  call("DEV_CLOSE");
  EXPECT_EQ(titles, 2);
  std::ifstream f(dir / "WYDRUKI" / "wydruk.txt");
  std::stringstream text;
  text << f.rdbuf();
  EXPECT_EQ(text.str(), "NAGLOWEK\nwiersz 1\nwiersz 2\nwiersz 3\n\fNAGLOWEK\nwiersz 4\nwiersz 5\n");
  EXPECT_EQ(h.keysLeft(), 0u) << "no message named the file";
}

TEST_F(PrintLayer, TheMessageNamingTheFileOfADeepCompanyKeepsTheFilesName) {
  const fs::path deep = dir / std::string(40, 'k') / std::string(40, 'f');
  fs::create_directories(deep);
  fs::current_path(deep);
  std::vector<std::string> shown;
  test_support::ScopedFunctions stand_kom3("KOM3", lineRecorder(shown));
  call("DEV");
  rt::context().memvars.assign("urzadzenie", rt::Value::integer(2));
  ASSERT_TRUE(call("DEV_OPEN").logical());
  call("DEV_LINIA", {rt::Value::text("wiersz")});
  call("DEV_CLOSE");
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_LE(shown[1].size(), 74u) << shown[1];
  EXPECT_TRUE(shown[1].ends_with("/WYDRUKI/wydruk.txt")) << shown[1];
  EXPECT_TRUE(shown[1].starts_with("...")) << shown[1];
}

TEST_F(PrintLayer, AFilePrintWhoseFolderCannotBeMadeIsRefusedWithAMessage) {
  std::ofstream(dir / "WYDRUKI") << "not a folder";
  rt::term::Headless h;
  h.keys({rt::term::K_ESC});  // read by the message
  call("DEV");
  rt::context().memvars.assign("urzadzenie", rt::Value::integer(2));
  bool opened = true;
  EXPECT_NO_THROW(opened = call("DEV_OPEN").logical());
  EXPECT_FALSE(opened);
  EXPECT_EQ(h.keysLeft(), 0u) << "no message was shown";
  call("DEV_LINIA", {rt::Value::text("nic")});
  call("DEV_CLOSE");
  EXPECT_TRUE(fs::is_regular_file(dir / "WYDRUKI"));
}

TEST_F(PrintLayer, AFullDiskDropsTheNewPrintWithAMessageAndKeepsThePreviousFile) {
  fs::create_directories(dir / "WYDRUKI");
  std::ofstream(dir / "WYDRUKI" / "wydruk.txt") << "poprzedni\n";
  std::vector<std::string> shown;
  test_support::ScopedFunctions stand_kom3("KOM3", lineRecorder(shown));
  call("DEV");
  rt::context().memvars.assign("urzadzenie", rt::Value::integer(2));
  ASSERT_TRUE(call("DEV_OPEN").logical());
  call("DEV_LINIA", {rt::Value::text("wiersz 1")});
  rt::print::setWriteFault([](const std::string&) { return ENOSPC; });
  call("DEV_LINIA", {rt::Value::text("wiersz 2")});
  rt::print::setWriteFault(nullptr);
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0], "Wydruk przerwany:");
  EXPECT_EQ(shown[2].find("Plik: "), 0u) << shown[2];
  EXPECT_TRUE(shown[2].ends_with("wydruk.txt")) << shown[2];
  EXPECT_NE(shown[3].find("brak miejsca na dysku"), std::string::npos) << shown[3];
  EXPECT_TRUE(call("DEV_PRZERWANY").logical());
  EXPECT_EQ(rt::context().memvars.get("urzadzenie").num(), 0);
  call("DEV_LINIA", {rt::Value::text("wiersz 3")});
  call("DEV_CLOSE");
  std::ifstream f(dir / "WYDRUKI" / "wydruk.txt");
  std::stringstream text;
  text << f.rdbuf();
  EXPECT_EQ(text.str(), "poprzedni\n");
  size_t files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "WYDRUKI")) ++files;
  EXPECT_EQ(files, 1u);
}

TEST_F(PrintLayer, ACancelledDeviceChoicePrintsNothing) {
  rt::term::Headless h;
  h.keys({rt::term::K_ESC});
  call("DEV");
  EXPECT_EQ(call("WYB_URZ").num(), 0);
  EXPECT_FALSE(call("DEV_OPEN").logical());
  call("DEV_LINIA", {rt::Value::text("nic")});
  call("DEV_CLOSE");
  EXPECT_FALSE(fs::exists(dir / "WYDRUKI" / "wydruk.txt"));
}

}  // namespace
