// The parameter window, the payout dates and the print parameters on a company: what the user
// types is in memory at once and in "zaokrag.zus" for the next start.
#include "tests/zus/shell/settings_fixture.h"

#include "tests/support/scoped_functions.h"
#include "zus/shell/params_editor.h"

namespace settings_test {
namespace {

using Params = SettingsCompany;

TEST_F(Params, AChangedRoundingStepIsSavedWithEscAndReadBackAtTheNextStart) {
  start([&] {
    // Field 1 takes 5; Esc in field 2 closes the window, which saves.
    entry("ED_ZAOK", {rt::Value::integer(1)}, join({text("5"), {K_ENTER, K_ESC}}));
    EXPECT_DOUBLE_EQ(var("zusx_zaok1").num(), 5);
  });
  EXPECT_TRUE(fs::exists("zaokrag.zus"));
  rt::context().memvars.clearAll();
  double atNextStart = 0;
  start([&] { atNextStart = var("zusx_zaok1").num(); });
  EXPECT_DOUBLE_EQ(atNextStart, 5);
}

TEST_F(Params, ChoicesTurnOverWithSpaceAndTheWorkingCopiesGoBack) {
  start([&] {
    // Down to field 6 (months drop out, "T" by default): Space makes it "Nie"; field 7 (filling
    // up) Space twice: "Wg sl`ownika"; then field 8 is the dictionary field, Esc closes.
    entry("ED_ZAOK", {rt::Value::integer(1)},
          {K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, ' ', K_ENTER, ' ', ' ', K_ENTER, K_ESC});
    EXPECT_EQ(var("zusx_wypad").str(), "N");
    EXPECT_DOUBLE_EQ(var("zusx_kor").num(), 3);
    // The working copies end with the window.
    EXPECT_EQ(rt::context().memvars.typeOf("wypad"), "U");
  });
}

TEST_F(Params, AFirstDepthAboveTheLastIsRefusedUntilThePeriodIsInOrder) {
  // With parameter 8's dictionary field shown (method 3) the period lies one field further down;
  // either way the refusal brings the user back to the period's first depth.
  for (int method : {1, 3}) {
    SCOPED_TRACE(method);
    start([&] {
      rt::context().memvars.assign("zusx_sposob", rt::Value::integer(method));
      std::vector<int> keys(method == 3 ? 10 : 9, K_DOWN);  // to the first depth
      keys = join({keys, text("5"), {K_ENTER}, text("3"), {K_ENTER, K_ESC}});
      // The period 5..3 is refused; the cursor stands on the first depth again.
      keys = join({keys, text("2"), {K_ENTER, K_ESC}, {'N'}});  // 2..3: keep the new period
      messages.clear();
      entry("ED_ZAOK", {rt::Value::integer(1)}, keys);
      EXPECT_TRUE(said("Pierwszy parametr podstawy pomocniczej nie mox`e byc` wie`kszy od drugiego!"));
      EXPECT_DOUBLE_EQ(var("zusx_pom_od").num(), 2);
      EXPECT_DOUBLE_EQ(var("zusx_pom_do").num(), 3);
      rt::context().memvars.assign("zusx_pom_od", rt::Value::integer(0));
      rt::context().memvars.assign("zusx_pom_do", rt::Value::integer(0));
    });
  }
}

TEST_F(Params, AChangedPeriodCanBeTakenBackButNotItsMonthAndYear) {
  start([&] {
    std::vector<int> keys;
    for (int i = 0; i < 10; ++i) keys.push_back(K_DOWN);  // to field 11, the last depth
    keys = join({keys, text("4"), {K_ENTER}, text("7"), {K_ENTER, K_ESC}, {'T'}});
    entry("ED_ZAOK", {rt::Value::integer(1)}, keys);
    EXPECT_DOUBLE_EQ(var("zusx_pom_do").num(), 0);
    EXPECT_DOUBLE_EQ(var("zusx_pom_m").num(), 7);
  });
}

TEST_F(Params, AValueFailingItsCheckKeepsTheUserInTheField) {
  start([&] {
    // 0 is refused in field 1: Enter leaves the user there, and Esc gives the value back.
    entry("ED_ZAOK", {rt::Value::integer(1)}, join({text("0"), {K_ENTER, K_ESC}}));
    EXPECT_DOUBLE_EQ(var("zusx_zaok1").num(), 0.01);
  });
}

TEST_F(Params, PayoutDatesRaisedFromNoneAreStoredAndTheRestEmptied) {
  start([&] {
    entry("ED_ZAOK", {rt::Value::integer(2)},
          join({text("2"), text("01022026"), text("15032026")}));
    EXPECT_DOUBLE_EQ(var("zusx_daty").num(), 2);
    EXPECT_EQ(rt::evalText("DTOS(zusx_d1)").str(), "20260201");
    EXPECT_EQ(rt::evalText("DTOS(zusx_d2)").str(), "20260315");
    EXPECT_EQ(rt::evalText("DTOS(zusx_d3)").str(), "        ");
  });
  rt::context().memvars.clearAll();
  std::string second;
  start([&] { second = rt::evalText("DTOS(zusx_d2)").str(); });
  EXPECT_EQ(second, "20260315");
}

TEST_F(Params, EscInTheDateWindowKeepsTheDatesButStoresTheCount) {
  start([&] {
    entry("ED_ZAOK", {rt::Value::integer(2)}, join({text("1"), text("0102"), {K_ESC}}));
    EXPECT_DOUBLE_EQ(var("zusx_daty").num(), 1);
    EXPECT_EQ(rt::evalText("DTOS(zusx_d1)").str(), "        ");
  });
}

TEST_F(Params, TheCardWidthRefusesNineAndTakesTen) {
  start([&] {
    // Field 1 yes/no, field 2 the width: 9 is refused (Esc gives the value back and closes).
    entry("ZUS_PARA", {}, join({{K_ENTER}, text("9"), {K_ENTER, K_ESC}}));
    EXPECT_DOUBLE_EQ(var("zusx_szer").num(), 10);
    // 12 fills the field and moves on; in field 3 Space turns the choice over.
    entry("ZUS_PARA", {}, join({{K_ENTER}, text("12"), {' ', K_PGDN}}));
    EXPECT_DOUBLE_EQ(var("zusx_szer").num(), 12);
    EXPECT_TRUE(var("zusx_wysuw").logical());
  });
  EXPECT_TRUE(fs::exists("zaokrag.zus"));
}

TEST_F(Params, TheDictionaryEntryOpensNoEditorForAParameterNotByDictionary) {
  start([&] {
    rt::functions().call("_EDITSLOW", {rt::Value::integer(1)});
    EXPECT_TRUE(said("Nie podl`. pozycji \"Wg sl`ownika\" w param.\"Czy dopel`niac` podstawe`?\""));
    messages.clear();
    rt::functions().call("_EDITSLOW", {rt::Value::integer(5)});
    EXPECT_TRUE(messages.empty());
  });
}

}  // namespace
}  // namespace settings_test

namespace settings_test {
namespace {

// Marks the header rows of dictionaries D and Z as offered (their `wart` ends in 1 or 3) and G
// as not (2).
void markDictionaries() {
  rt::functions().call("_OPEN_SET", {rt::Value::text("SLOWNIK"), rt::Value::text("S")});
  for (auto [kod, wart] : {std::pair{"D  ", "1"}, std::pair{"G  ", "2"}, std::pair{"Z  ", "03"}}) {
    ASSERT_TRUE(rt::functions().call("DBSEEK", {rt::Value::text(kod)}).logical());
    rt::functions().call("RLOCK");
    rt::evalText(std::string("FIELDPUT(FIELDPOS('wart'), PADL('") + wart + "', 8))");
    rt::functions().call("DBCOMMIT");
    rt::functions().call("DBUNLOCK");
  }
  rt::functions().call("_CLOSE_SET", {rt::Value::text("SL")});
}

TEST_F(Params, ParameterSevenByDictionaryOffersTheListedDictionaries) {
  start([&] {
    markDictionaries();
    zus::DictionaryList list = zus::USTAL_SLOWNIKI();
    ASSERT_EQ(list.letters, (std::vector<std::string>{"D", "Z"}));
    EXPECT_EQ(list.texts[1].substr(0, 10), "ZASILKI   ");
    // Field 7: Space twice makes it "Wg sl`ownika"; its dictionary field follows: Space moves
    // from the first dictionary (D) to Z; Esc closes.
    entry("ED_ZAOK", {rt::Value::integer(1)},
          {K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_DOWN, ' ', ' ', K_ENTER, ' ', K_ENTER, K_ESC});
    EXPECT_DOUBLE_EQ(var("zusx_kor").num(), 3);
    EXPECT_EQ(var("zusx_slownik").str(), "Z");
    // Its dictionary can now be edited from the menu.
    messages.clear();
    bool editorCalled = false;
    test_support::ScopedFunctions stand_modislow("MODISLOW", [&](rt::Args& a) {
      editorCalled = a[1].strOr("") == "Z";
      return rt::Value();
    });
    rt::functions().call("_EDITSLOW", {rt::Value::integer(1)});
    EXPECT_TRUE(editorCalled);
    EXPECT_TRUE(messages.empty());
  });
}

}  // namespace
}  // namespace settings_test

namespace settings_test {
namespace {

TEST_F(Params, FromInsideAFormTheDatesOfTheCurrentCountAreEditedAtOnce) {
  start([&] {
    rt::Memvars& v = rt::context().memvars;
    v.assign("zusx_daty", rt::Value::integer(2));
    v.assign("zusx_d1", rt::evalText("CTOD('10.01.2026')"));
    v.assign("zusx_d2", rt::evalText("CTOD('10.02.2026')"));
    // The register's form: its fields must be there again afterwards.
    rt::Value form = rt::Value::newArray(1);
    v.declarePrivate("GetList", form);
    h.keys(join({text("20032026"), {K_ENTER}}));
    rt::functions().call("ED_DATY", {rt::Value::integer(6), rt::Value::integer(5),
                                     rt::Value::integer(46), rt::Value::logical(false)});
    EXPECT_EQ(rt::evalText("DTOS(zusx_d1)").str(), "20260320");
    EXPECT_EQ(rt::evalText("DTOS(zusx_d2)").str(), "20260210");
    EXPECT_DOUBLE_EQ(var("zusx_daty").num(), 2);
    EXPECT_EQ(var("GetList").arr().size(), 1u);
  });
}

}  // namespace
}  // namespace settings_test
