// The personnel items on a company: an item chosen is stored in memory and in "zus_kdr" beside
// the other one; the search takes any character of the code page; an empty list and a missing
// DANE_KD are handled.
#include "tests/zus/shell/settings_fixture.h"

#include "suite/company/company.h"
#include "suite/company/memory_store.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"
#include "tests/support/scoped_functions.h"
#include "zus/shell/personnel_items.h"

namespace settings_test {
namespace {

using PersonnelItems = SettingsCompany;

std::string stored(const char* name) {
  rt::PrivateFrame frame(rt::context().memvars);
  suite::restoreMemory("zus_kdr.mem");
  const rt::Value* v = rt::context().memvars.tryGet(name);
  return v ? v->strOr("<none>") : "<none>";
}

TEST_F(PersonnelItems, TheDateItemChosenIsStoredBesideTheDocumentItem) {
  {
    rt::PrivateFrame frame(rt::context().memvars);
    rt::context().memvars.declarePrivate("zkdr_du", rt::Value::text(""));
    rt::context().memvars.declarePrivate("zkdr_do", rt::Value::text("KD_DOWOD"));
    suite::saveMemory("zus_kdr.mem", "zkdr_*");
  }
  start([&] {
    EXPECT_EQ(var("zkdr_du").str(), "");
    // Only the date item passes the filter: Enter takes it.
    entry("Z_KADRAMI", {rt::Value::integer(1)}, {'T', K_ENTER});
    EXPECT_EQ(var("zkdr_du").str(), "KD_UBEZP");
  });
  EXPECT_EQ(stored("zkdr_du"), "KD_UBEZP");
  EXPECT_EQ(stored("zkdr_do"), "KD_DOWOD");
}

TEST_F(PersonnelItems, TheSearchFindsAnItemByItsFirstLetters) {
  start([&] {
    // The character items are the document number and the telephone: typing "T" goes to the
    // telephone (the browse's order is the upper-case name).
    entry("Z_KADRAMI", {rt::Value::integer(2)}, {'T', 'T', K_ENTER});
    EXPECT_EQ(var("zkdr_do").str(), "KD_TELEF");
  });
  EXPECT_EQ(stored("zkdr_do"), "KD_TELEF");
  EXPECT_EQ(stored("zkdr_du"), "KD_UBEZP");
}

TEST_F(PersonnelItems, EveryCharacterOfTheCodePageCanBeTypedIntoTheSearch) {
  start([&] {
    // Polish letters (852: 0xA5 a-ogonek, 0xBD z-dot), a character above 174 and Backspace;
    // nothing is found, nothing breaks, Esc stores nothing.
    entry("Z_KADRAMI", {rt::Value::integer(2)}, {'T', 0xA5, 0xBD, 0xE0, K_BS, K_ESC});
    EXPECT_EQ(var("zkdr_do").str(), "KD_DOWOD");
  });
  EXPECT_EQ(stored("zkdr_do"), "KD_DOWOD");
}

TEST_F(PersonnelItems, TheSearchTextShowsTheTypedPolishLetters) {
  start([&] {
    // The key handler is wrapped so that the search line is read while the browse runs.
    rt::NativeFunction handler = *rt::functions().find("KDR_OBSL");
    std::string searchLine;
    test_support::ScopedFunctions stand_kdr_obsl("KDR_OBSL", [&](rt::Args& a) {
      rt::Value answer = handler(a);
      searchLine = rt::term::screen().rowText(23);
      return answer;
    });
    entry("Z_KADRAMI", {rt::Value::integer(2)}, {'T', 'N', 0xA5, 0xBD, K_ESC});
    EXPECT_EQ(searchLine.substr(0, 16), "Tekst szukania: ");
    EXPECT_EQ(searchLine.substr(16, 3), "N\xA5\xBD");
  });
}

TEST_F(PersonnelItems, EnterOnAnEmptyListStoresNothing) {
  {
    // A personnel module whose items are all dictionary items.
    fs::current_path(dir);
    suite::INI_FIRM();
    const suite::TableDef* def = suite::findTable("DANE_KD");
    suite::createTable(suite::tablePath(*def), *def);
    rt::context().memvars.clearAll();
  }
  start([&] {
    entry("Z_KADRAMI", {rt::Value::integer(1)}, {'T', K_ENTER, K_ESC});
    EXPECT_EQ(var("zkdr_du").str(), "KD_UBEZP");
  });
  EXPECT_EQ(stored("zkdr_du"), "KD_UBEZP");
}

TEST_F(PersonnelItems, APersonnelTableThatCannotBeOpenedGivesAMessage) {
  for (const auto& f : fs::recursive_directory_iterator(dir))
    if (f.path().filename().string().rfind("DANE_KD", 0) == 0 ||
        f.path().filename().string().rfind("dane_kd", 0) == 0)
      fs::remove(f.path());
  start([&] {
    entry("Z_KADRAMI", {rt::Value::integer(1)}, {});
    EXPECT_TRUE(said("DANE_KD"));
    EXPECT_EQ(var("zkdr_du").str(), "KD_UBEZP");
  });
}

TEST_F(PersonnelItems, TypeNamesAreTenCharactersWide) {
  EXPECT_EQ(zus::O_TYPIE("D"), "Data      ");
  EXPECT_EQ(zus::O_TYPIE("N"), "Numeryczny");
  EXPECT_EQ(zus::O_TYPIE("X"), std::string(10, ' '));
  EXPECT_EQ(zus::O_TYPIE("c"), std::string(10, ' '));
}

}  // namespace
}  // namespace settings_test
