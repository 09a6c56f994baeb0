// Start-up of the benefit program on a company directory built in a temporary folder: the program
// state seen by the menu, with and without a link file, parameters and payroll data.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "runtime/core/context.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/term/headless.h"
#include "runtime/term/register.h"
#include "suite/company/memory_store.h"
#include "suite/register.h"
#include "tests/support/scoped_functions.h"
#include "tests/zus/company_fixture.h"
#include "zus/shell/link_config.h"
#include "zus/shell/startup.h"

namespace {

namespace fs = std::filesystem;

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    previousDir = fs::current_path();
    dir = fs::temp_directory_path() / ("zus_startup_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::current_path(dir);
    rt::context().memvars.clearAll();
    rt::registerStandardFunctions();
    rt::term::registerScreenFunctions();
    suite::registerSuiteFunctions();
    zus::registerShellFunctions();
    zus::registerPendingEntries();
    rt::functions().add("FEKRAN", [this](rt::Args&) {
      menuShown = true;
      if (duringMenu) duringMenu();
      return rt::Value();
    });
    rt::functions().add("MFKONIEC", [this](rt::Args&) {
      closed = true;
      return rt::Value();
    });
  }
  void TearDown() override {
    fs::current_path(previousDir);
    fs::remove_all(dir);
  }

  void withPayrollData() { std::ofstream(dir / "MAIN.dbf") << ""; }

  // Writes a memory file from variables set in a frame of its own.
  void writeMemoryFile(const std::string& name, const std::map<std::string, rt::Value>& values,
                       const std::string& mask) {
    rt::PrivateFrame frame(rt::context().memvars);
    for (const auto& [n, v] : values) rt::context().memvars.declarePrivate(n, v);
    suite::saveMemory((dir / name).string(), mask);
  }

  // Runs the program with the menu replaced: `probe` runs where the menu would.
  int run(std::function<void()> probe = {}) {
    duringMenu = std::move(probe);
    rt::term::Headless h;
    return zus::MAIN();
  }

  static const rt::Value* var(const char* name) { return rt::context().memvars.tryGet(name); }
  static std::string type(const std::string& name) { return rt::context().memvars.typeOf(name); }

  fs::path previousDir, dir;
  bool menuShown = false, closed = false;
  std::function<void()> duringMenu;
};

rt::Value txt(const char* s) { return rt::Value::text(s); }

TEST_F(Startup, WithoutALinkFileTheFlagIsFalseAndTheArraysHoldNoValue) {
  withPayrollData();
  bool checked = false;
  EXPECT_EQ(run([&] {
              checked = true;
              EXPECT_FALSE(var("czy_jest_mem")->logical());
              ASSERT_EQ(var("zas_zus")->arr().size(), 33u);
              ASSERT_EQ(var("zas_place")->arr().size(), 33u);
              ASSERT_EQ(var("zas_dni")->arr().size(), 33u);
              ASSERT_EQ(var("zas_slow")->arr().size(), 1u);
              ASSERT_EQ(var("zas_dan")->arr().size(), 40u);
              for (const rt::Value& v : var("zas_zus")->arr()) EXPECT_TRUE(v.isNil());
              EXPECT_EQ(type("pd_chor_z"), "U");
              EXPECT_EQ(type("dni_macierz"), "U");
              // Display conventions and defaults.
              EXPECT_EQ(var("pustykod")->str(), std::string(3, char(255)));
              EXPECT_EQ(var("lum_pic_n2")->str(), std::string(15, '!'));
              EXPECT_EQ(var("pict_long")->str(), "99 999 999 999.99");
              EXPECT_EQ(var("zusx_chzk")->num(), 33);
              EXPECT_EQ(var("zusx_chz50")->num(), 14);
              EXPECT_EQ(var("zusx_pr")->num(), 80);
              EXPECT_EQ(var("zusx_rzaok")->str(), "M");
              EXPECT_EQ(var("zusx_pole")->str(), "data_zwol");
              EXPECT_EQ(var("zusx_d9")->date(), 0);
              EXPECT_EQ(var("zkdr_du")->str(), "");
              EXPECT_FALSE(var("mini_pl")->logical());
              EXPECT_EQ(var("stat_ar_p")->num(), 9);
              EXPECT_EQ(var("stat_mess")->arr().size(), 18u);
            }),
            0);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(closed);
  // The program's privates are gone with MAIN; its publics stay.
  EXPECT_EQ(type("zas_zus"), "U");
  EXPECT_EQ(type("zkdr_du"), "C");
}

TEST_F(Startup, ALinkFileFillsTheArraysAndOnlyZsxNRsaSurvives) {
  withPayrollData();
  std::map<std::string, rt::Value> link{{"zsx_slow1", txt("Z  ")}, {"zsx_n_rsa", txt("RSA-7")}};
  for (int n = 1; n <= 32; ++n) {  // slot 33 left out of the file
    std::string k = std::to_string(n);
    link["zsx_zus" + k] = txt(("Z" + std::string(n < 10 ? "0" : "") + k).c_str());
    link["zsx_pl" + k] = txt(("P" + k).c_str());
    link["zsx_dni" + k] = txt(("D" + k).c_str());
  }
  link["zsx_zus5"] = txt("");  // a key of "" still counts as linked
  for (int n = 1; n <= 40; ++n) link["zsx_dan" + std::to_string(n)] = txt(("A" + std::to_string(n)).c_str());
  link["zsx_dan12"] = rt::Value::integer(12);  // not text: the slot stays unlinked
  writeMemoryFile("zas.zus", link, "zsx_*");

  run([&] {
    EXPECT_TRUE(var("czy_jest_mem")->logical());
    const rt::Array& zus = var("zas_zus")->arr();
    EXPECT_EQ(zus[0].str(), "Z01");
    EXPECT_EQ(zus[4].str(), "");
    EXPECT_EQ(var("zas_place")->arr()[4].str(), "P5");
    EXPECT_EQ(zus[32].str(), "");
    EXPECT_EQ(var("zas_place")->arr()[32].str(), "");
    EXPECT_EQ(var("zas_dni")->arr()[32].str(), "");
    EXPECT_EQ(var("zas_slow")->arr()[0].str(), "Z  ");
    EXPECT_EQ(var("zas_dan")->arr()[11].str(), "");
    EXPECT_EQ(var("zas_dan")->arr()[39].str(), "A40");
    // Derived codes are copies of their elements.
    EXPECT_EQ(var("pd_chor_z")->str(), "A1");
    EXPECT_EQ(var("podst_macierz")->str(), "A4");
    EXPECT_EQ(var("podst_opiek")->str(), "A3");
    EXPECT_EQ(var("podst_zwol")->str(), "A16");
    EXPECT_EQ(var("dni_chor_f")->str(), "D10");
    EXPECT_EQ(var("dni_opieki")->str(), "D2");
    // The stored variables are released; `zsx_n_rsa` keeps the stored value.
    for (const char* name : {"zsx_zus1", "zsx_pl7", "zsx_dni33", "zsx_dan40", "zsx_slow1"})
      EXPECT_EQ(type(name), "U") << name;
    EXPECT_EQ(var("zsx_n_rsa")->str(), "RSA-7");
  });
  EXPECT_TRUE(menuShown);
}

TEST_F(Startup, WithoutPayrollDataTheProgramSaysWhereItLookedAndFails) {
  bool sawParameters = false;
  std::vector<std::string> reported;
  test_support::ScopedFunctions stand_kom3("KOM3", company_test::lineRecorder(reported));
  test_support::ScopedFunctions stand_mfkoniec("MFKONIEC", [&](rt::Args&) {
    closed = true;
    // Only the five parameters of MAIN have values; the rest were never set.
    sawParameters = var("zusx_chzk") && var("zusx_chzk")->num() == 33 && type("zusx_pr") == "U";
    return rt::Value();
  });
  EXPECT_EQ(run(), 1);
  EXPECT_FALSE(menuShown);
  EXPECT_TRUE(closed);
  EXPECT_TRUE(sawParameters);
  ASSERT_EQ(reported.size(), 3u);
  EXPECT_EQ(reported[0], "Brak danych programu pl`acowego (tabeli MAIN) w katalogu:");
  EXPECT_EQ(fs::path(reported[1]), fs::absolute(dir).lexically_normal());
}

TEST_F(Startup, ACompanyOfASystemWithAnInterruptedUpdateIsNotOpened) {
  withPayrollData();
  fs::path company = dir / "PRZEDS" / "F1";
  fs::create_directories(company);
  fs::create_directories(dir / "UZUP_KOP");
  std::ofstream(dir / "UZUP_KOP" / "DZIENNIK.TXT") << "";
  fs::current_path(company);
  std::vector<std::string> reported;
  test_support::ScopedFunctions stand_kom3("KOM3", company_test::lineRecorder(reported));
  bool companyOpened = false;
  test_support::ScopedFunctions stand_ini_firm("INI_FIRM", [&](rt::Args&) {
    companyOpened = true;
    return rt::Value();
  });
  EXPECT_EQ(run(), 1);
  EXPECT_FALSE(companyOpened);
  EXPECT_FALSE(menuShown);
  EXPECT_TRUE(closed);
  ASSERT_EQ(reported.size(), 4u);
  EXPECT_EQ(reported[0], "Uzupel`nienie systemu w katalogu:");
  EXPECT_EQ(fs::path(reported[1]), fs::absolute(dir).lexically_normal());
  EXPECT_EQ(reported[2], "zostal`o przerwane. Uruchom je ponownie (uzupelnienie).");
}

TEST_F(Startup, SavedParametersAreRestoredAndRepaired) {
  struct Case {
    rt::Value kor;
    double expected;
  };
  const std::vector<Case> cases{{txt("T"), 1}, {txt("N"), 2}, {txt("t"), 2}, {txt(""), 2},
                                {txt("T "), 2}, {rt::Value::integer(3), 3}};
  withPayrollData();
  for (const Case& c : cases) {
    writeMemoryFile("zaokrag.zus",
                    {{"zusx_kor", c.kor}, {"zusx_pr", rt::Value::integer(100)},
                     {"zusx_pole", rt::Value::integer(5)}, {"zusx_zatr", txt("data_przyj")},
                     {"zusx_chzk", rt::Value::integer(30)}},
                    "zusx_*");
    run([&] {
      EXPECT_EQ(var("zusx_kor")->num(), c.expected);
      EXPECT_EQ(var("zusx_pr")->num(), 100);
      EXPECT_EQ(var("zusx_chzk")->num(), 30);
      EXPECT_EQ(var("zusx_pole")->str(), "data_zwol");   // a number is no field name
      EXPECT_EQ(var("zusx_zatr")->str(), "data_przyj");  // a text one is kept
    });
  }
}

TEST_F(Startup, PersonnelItemsAndMiniplAreRead) {
  withPayrollData();
  writeMemoryFile("zus_kdr.mem", {{"zkdr_du", txt("kd_ubezp")}, {"zkdr_do", txt("kd_dowod")}}, "zkdr_*");
  writeMemoryFile("minipl.mem", {{"staz_pracy", txt("S001")}}, "");
  run([&] {
    EXPECT_EQ(var("zkdr_du")->str(), "kd_ubezp");
    EXPECT_EQ(var("zkdr_do")->str(), "kd_dowod");
    EXPECT_TRUE(var("mini_pl")->logical());
    EXPECT_EQ(var("staz_pracy")->str(), "S001");
  });
}

TEST_F(Startup, AnEntryNeedingTheLinkShowsTheLinkMessageWhenNoLinkExists) {
  withPayrollData();
  std::vector<std::string> shown;
  test_support::ScopedFunctions stand_kom3("KOM3", company_test::lineRecorder(shown));
  run([&] { rt::functions().call("WPROW_NB"); });
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0], "Nie dokonano pol`a`czenia modul`o`w ZUS i PL`ACE !");
  EXPECT_EQ(shown[2], "Musisz uprzednio uruchomic` opcje` \"Pol`a`czenie\" (patrz funkcja NARZE`DZIA).");
}

TEST_F(Startup, TheSavedLinkComesBackAtTheNextStartWithZsxNRsa) {
  withPayrollData();
  writeMemoryFile("zas.zus", {{"zsx_slow1", txt("Z  ")}, {"zsx_zus1", txt("Z01")},
                              {"zsx_pl1", txt("P1")}, {"zsx_dni1", txt("D1")},
                              {"zsx_n_rsa", rt::Value::integer(4)}},
                  "zsx_*");
  run([&] {
    // What a link editor does: change an element, then save.
    var("zas_zus");
    rt::context().memvars.find("zas_zus")->arr()[1] = txt("Z02");
    rt::context().memvars.find("zas_dan")->arr()[0] = txt("A1");
    zus::saveLinkFile();
    EXPECT_EQ(var("pd_chor_z")->str(), "A1");
  });
  run([&] {
    EXPECT_EQ(var("zas_zus")->arr()[0].str(), "Z01");
    EXPECT_EQ(var("zas_zus")->arr()[1].str(), "Z02");
    EXPECT_EQ(var("zas_dan")->arr()[0].str(), "A1");
    EXPECT_EQ(var("zsx_n_rsa")->num(), 4);
  });
}

TEST_F(Startup, DamagedSettingsFilesAreReportedAndTheProgramStartsWithDefaults) {
  withPayrollData();
  std::ofstream(dir / "zas.zus") << "not a memory file";
  std::ofstream(dir / "zaokrag.zus") << "ZEFMEMF";
  std::vector<std::string> reported;
  test_support::ScopedFunctions stand_kom3("KOM3", [&](rt::Args& a) {
    reported.push_back(a[0].arr()[1].str());
    return rt::Value();
  });
  run([&] {
    EXPECT_FALSE(var("czy_jest_mem")->logical());
    EXPECT_EQ(var("zusx_pr")->num(), 80);
  });
  EXPECT_TRUE(menuShown);
  ASSERT_EQ(reported.size(), 2u);
  EXPECT_NE(reported[0].find("zaokrag.zus"), std::string::npos);
  EXPECT_NE(reported[1].find("zas.zus"), std::string::npos);
}

TEST_F(Startup, ACompanyFileTheSetUpCannotReadIsNamedAndTheProgramEndsThroughItsClosing) {
  struct Case { const char* file; const char* bytes; };
  const Case cases[] = {{"lumdata.mem", "ZEFMEMF"}, {"SKLADNIK.dbf", "\x03\x7c"}};
  rt::db::registerTableFunctions();
  for (const Case& c : cases) {
    for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
    withPayrollData();
    std::ofstream(dir / c.file) << c.bytes;
    menuShown = closed = false;
    std::vector<std::string> reported;
    test_support::ScopedFunctions stand_kom3("KOM3", company_test::lineRecorder(reported));
    EXPECT_EQ(run(), 1) << c.file;
    EXPECT_FALSE(menuShown) << c.file;
    EXPECT_TRUE(closed) << c.file;
    ASSERT_FALSE(reported.empty()) << c.file;
    EXPECT_EQ(reported.front(), "Program nie mox`e rozpocza`c` pracy:");
    auto shows = [&](const std::string& part) {
      return std::any_of(reported.begin(), reported.end(),
                         [&](const std::string& line) { return line.find(part) != std::string::npos; });
    };
    EXPECT_TRUE(shows(c.file)) << c.file;
    EXPECT_TRUE(shows("Przyczyna: ")) << c.file << ": " << reported.back();
  }
}

TEST_F(Startup, EveryRequiredNameAndNoOpFunctionIsCallable) {
  for (const char* name : zus::requiredFunctionNames()) EXPECT_TRUE(rt::functions().has(name)) << name;
  for (const char* name : zus::optionEntryNames()) EXPECT_TRUE(rt::functions().has(name)) << name;
  for (const char* name : zus::noOpFunctionNames())
    EXPECT_TRUE(rt::functions().call(name).isNil()) << name;
}

}  // namespace
