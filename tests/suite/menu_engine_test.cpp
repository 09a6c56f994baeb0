// The menu engine on the "zus" menu: drawing, moving, calling entries by name, leaving.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "console/register.h"
#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/term/headless.h"
#include "runtime/term/keys.h"
#include "runtime/term/register.h"
#include "runtime/term/terminal.h"
#include "suite/forms/display_text.h"
#include "suite/register.h"
#include "suite/screen/menu_defs.h"
#include "suite/screen/menu_engine.h"
#include "suite/screen/messages.h"
#include "tests/support/scoped_functions.h"

namespace {

using namespace rt::term;

class MenuEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    registerScreenFunctions();
    con::registerConsoleFunctions();
    suite::registerSuiteFunctions();
    rt::functions().add("TEST_ENTRY", [this](rt::Args& a) {
      calls.push_back(a[0].intOr(-1));
      shownDuringCall = h.text();
      return rt::Value();
    });
  }
  bool screenHas(const std::string& stored) const {
    return h.text().find(suite::displayText(stored)) != std::string::npos;
  }
  Headless h;
  std::vector<int64_t> calls;
  std::string shownDuringCall;
};

TEST_F(MenuEngine, EveryEntryFunctionOfTheProgramIsOnTheZusMenu) {
  const suite::MenuDef* menu = suite::findMenu("ZUS");
  ASSERT_NE(menu, nullptr);
  std::vector<std::string> names;
  for (const auto& g : menu->groups)
    for (const auto& it : g.items) names.push_back(it.function);
  for (const char* entry : {"WPROW_NB", "OBL_ZAS", "TO_WRITE", "GOTO_KADRY", "DRUK_ZAS",
                            "G_WYDR_ZAS", "G_WYDRZAS2", "ED_ZAOK", "ZUS_PARA", "LOAD_ZUS",
                            "Z_KADRAMI", "WSKAZ_FUN", "ODLACZ_FUN", "_EDITSLOW", "ZER_DNI",
                            "ZER_DAT", "RS_PARAM", "RS_RODZ_NB", "RS_EKSP"})
    EXPECT_NE(std::find(names.begin(), names.end(), entry), names.end()) << entry;
  // The link editor sits under the tools, as the link message tells the user.
  const suite::MenuGroup* tools = nullptr;
  for (const auto& g : menu->groups)
    if (g.label == "NARZE`DZIA") tools = &g;
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(tools->items.front().label, "Pol`a`czenie");
  EXPECT_EQ(tools->items.front().function, "LOAD_ZUS");
}

TEST_F(MenuEngine, EscAsksBeforeLeavingAndEnterOnTakLeaves) {
  std::string asked;
  const rt::NativeFunction decyzja = *rt::functions().find("DECYZJA");
  test_support::ScopedFunctions stand_decyzja("DECYZJA", [&](rt::Args& a) {
    asked = a[1].strOr("");
    return decyzja(a);
  });
  // "Nie" keeps the menu; Esc and Enter ("Tak" is preselected) leave it.
  h.keys({K_ESC});
  h.type("N");
  h.keys({K_DOWN, K_ENTER, K_ESC, K_ENTER});
  suite::MenuDef menu{"test", "Test", {{"G", {{"Jeden", "TEST_ENTRY", {rt::Value::integer(1)}, ""},
                                              {"Dwa", "TEST_ENTRY", {rt::Value::integer(2)}, ""}}}}};
  suite::runMenu(menu);
  EXPECT_EQ(asked, "Czy zakon`czyc` prace` z programem ?");
  EXPECT_EQ(calls, (std::vector<int64_t>{2}));
}

TEST_F(MenuEngine, EnterCallsTheHighlightedEntryByNameAndTheMenuGoesOn) {
  suite::MenuDef menu{"test", "Test", {{"PIERWSZA", {{"Jeden", "TEST_ENTRY", {rt::Value::integer(1)}, ""},
                                                     {"Dwa", "TEST_ENTRY", {rt::Value::integer(2)}, ""}}},
                                       {"DRUGA", {{"Trzy", "TEST_ENTRY", {rt::Value::integer(3)}, ""}}}}};
  h.keys({K_DOWN, K_ENTER, K_RIGHT, K_ENTER, K_LEFT, K_UP, K_ENTER, K_ESC, K_ENTER});
  suite::runMenu(menu);
  EXPECT_EQ(calls, (std::vector<int64_t>{2, 3, 1}));
}

TEST_F(MenuEngine, DrawsGroupsAndItemsInDisplayForm) {
  h.keys({K_RIGHT, K_RIGHT, K_RIGHT, K_RIGHT});
  EXPECT_THROW(rt::functions().call("FEKRAN", {rt::Value::text("zus")}), KeysExhausted);
  EXPECT_TRUE(screenHas("NARZE`DZIA"));
  EXPECT_TRUE(screenHas("Pol`a`czenie"));
  EXPECT_TRUE(screenHas("ZASIL`KI"));
  EXPECT_TRUE(screenHas("System ZEFIRON"));
}

TEST_F(MenuEngine, AnEntryThatFailsReportsItAndTheMenuGoesOn) {
  rt::functions().add("TEST_FAILS", [](rt::Args&) -> rt::Value {
    throw rt::Error(rt::ErrorKind::Open, "Open error", "DBUSEAREA", "NIEOBEC.DBF");
  });
  suite::MenuDef menu{"test", "Test", {{"G", {{"Zle", "TEST_FAILS", {}, ""}, {"Dobrze", "TEST_ENTRY", {}, ""}}}}};
  h.keys({K_ENTER, K_SPACE, K_DOWN, K_ENTER, K_ESC, K_ENTER});
  suite::runMenu(menu);
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(MenuEngine, TheErrorMessageOfAnEntryStandsOverTheMenusStatusLineNotTheEntrys) {
  rt::functions().add("TEST_FAILS_IN_EDITOR", [](rt::Args&) -> rt::Value {
    suite::setStatusLine(suite::displayText("Ctrl_W-Zapis, Esc-Rezygn."));
    throw rt::Error(rt::ErrorKind::Corrupt, "Corruption detected: memo", "memo", "NIEOBEC.FPT");
  });
  suite::MenuDef menu{"test", "Test", {{"G", {{"Uwagi", "TEST_FAILS_IN_EDITOR", {}, "Pomoc opcji"}}}}};
  h.keys({K_ENTER});
  EXPECT_THROW(suite::runMenu(menu), rt::term::KeysExhausted);  // stops at the message
  EXPECT_TRUE(screenHas("NIEOBEC.FPT"));
  EXPECT_TRUE(screenHas("Uszkodzony plik"));
  EXPECT_FALSE(screenHas("Corruption"));
  EXPECT_EQ(h.line(24).find("Ctrl_W-Zapis"), std::string::npos) << h.line(24);
  EXPECT_NE(h.line(24).find("Pomoc opcji"), std::string::npos) << h.line(24);
}

TEST_F(MenuEngine, ALongErrorTextIsShownWholeOverSeveralLines) {
  rt::functions().add("TEST_FAILS_ON_INDEX", [](rt::Args&) -> rt::Value {
    throw rt::Error(rt::ErrorKind::Corrupt,
                    "Corruption detected: the index does not match its table (an earlier write was interrupted); "
                    "rebuild it with DBREINDEX",
                    "index", "/srv/firmy/dane/NIEOBEC.cdx")
        .because(rt::ErrorCause::InterruptedWrite);
  });
  suite::MenuDef menu{"test", "Test", {{"G", {{"Rejestr", "TEST_FAILS_ON_INDEX", {}, ""}}}}};
  h.keys({K_ENTER});
  EXPECT_THROW(suite::runMenu(menu), rt::term::KeysExhausted);  // stops at the message
  const std::string shown = h.text();
  EXPECT_EQ(shown.find(" ..."), std::string::npos) << shown;
  for (const char* part : {"Uszkodzony plik (indeks)", "NIEOBEC.cdx", "Przyczyna: przerwany wczes`niej zapis",
                           "(DBREINDEX)."})
    EXPECT_TRUE(screenHas(part)) << part << "\n" << shown;
}

TEST_F(MenuEngine, AnEntryFailingOutsideTheRuntimeIsReportedAndTheMenuGoesOn) {
  std::string shown;
  rt::functions().add("TEST_THROWS", [](rt::Args&) -> rt::Value {
    throw std::filesystem::filesystem_error("cannot create directories", "WYDRUKI",
                                            std::error_code(ENOTDIR, std::generic_category()));
  });
  test_support::ScopedFunctions stand_test_looks("TEST_LOOKS", [&](rt::Args&) {
    calls.push_back(0);
    return rt::Value();
  });
  suite::MenuDef menu{"test", "Test", {{"G", {{"Zle", "TEST_THROWS", {}, ""}, {"Dobrze", "TEST_LOOKS", {}, ""}}}}};
  h.keys({K_ENTER});
  EXPECT_THROW(suite::runMenu(menu), rt::term::KeysExhausted);  // stops at the message
  shown = h.text();
  EXPECT_TRUE(screenHas("Opcja zakon`czona bl`e`dem:")) << shown;
  EXPECT_TRUE(screenHas("Plik: WYDRUKI")) << shown;
  EXPECT_TRUE(screenHas("Przyczyna: to nie jest katalog")) << shown;
  EXPECT_EQ(shown.find("directory"), std::string::npos) << shown;
  h.keys({K_SPACE, K_DOWN, K_ENTER, K_ESC, K_ENTER});
  suite::runMenu(menu);
  EXPECT_EQ(calls.size(), 1u);
}

}  // namespace
