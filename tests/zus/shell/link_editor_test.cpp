// The link editor on a company: a link made from nothing, clearing and choosing rows, and the
// link in memory taken back when the user does not save.
#include "tests/zus/shell/settings_fixture.h"

#include "suite/company/memory_store.h"

namespace settings_test {
namespace {

using LinkEditor = SettingsCompany;

TEST_F(LinkEditor, ALinkMadeFromNothingIsSavedAndOpensTheWorkingOptions) {
  fs::remove("zas.zus");
  start([&] {
    EXPECT_FALSE(var("czy_jest_mem").logical());
    // "Tak"; table 1: Enter, the benefit dictionary is the last of D, G, Z; table 2: Enter on
    // row 1 takes the first benefit kind; Esc finishes and "Tak" saves.
    entry("LOAD_ZUS", {}, {'T', K_ENTER, K_END, K_ENTER, kLater, '2', K_ENTER, K_ENTER, kLater, K_ESC, kLater, 'T'});
    EXPECT_TRUE(var("czy_jest_mem").logical());
    EXPECT_EQ(element("zas_slow", 1), "Z  ");
    EXPECT_EQ(element("zas_zus", 1).substr(0, 1), "Z");
    EXPECT_EQ(element("zas_zus", 2), "");
    EXPECT_EQ(var("pd_chor_z").strOr("<none>"), "");
    // The register no longer refuses with the link message.
    messages.clear();
    try {
      rt::functions().call("WPROW_NB");
    } catch (const KeysExhausted&) {
      // The register itself opened and waits for the user: it did not refuse.
    }
    EXPECT_FALSE(said("Nie dokonano pol`a`czenia"));
  });
  ASSERT_TRUE(fs::exists("zas.zus"));
  rt::context().memvars.clearAll();
  std::string dictionaryAtNextStart;
  start([&] {
    EXPECT_TRUE(var("czy_jest_mem").logical());
    dictionaryAtNextStart = element("zas_slow", 1);
  });
  EXPECT_EQ(dictionaryAtNextStart, "Z  ");
}

TEST_F(LinkEditor, SavingWithoutChoicesWritesAFileOfEmptyLinks) {
  fs::remove("zas.zus");
  start([&] { entry("LOAD_ZUS", {}, {'T', K_ESC, kLater, 'T'}); });
  rt::PrivateFrame frame(rt::context().memvars);
  suite::restoreMemory("zas.zus");
  EXPECT_EQ(var("zsx_zus33").strOr("<none>"), "");
  EXPECT_EQ(var("zsx_dan40").strOr("<none>"), "");
  EXPECT_EQ(var("zsx_slow1").strOr("<none>"), "");
}

TEST_F(LinkEditor, DelClearsARowAndNieTakesTheLinkInMemoryBack) {
  start([&] {
    std::string before = element("zas_dan", 1);
    std::string derivedBefore = var("pd_chor_z").strOr("");
    ASSERT_FALSE(before.empty());
    auto fileBefore = fs::last_write_time("zas.zus");
    // Table 5, Del on row 1, Esc, "Nie" at the save question.
    entry("LOAD_ZUS", {}, {'T', '5', K_DEL, kLater, K_ESC, kLater, 'N'});
    EXPECT_EQ(element("zas_dan", 1), before);
    EXPECT_EQ(var("pd_chor_z").strOr(""), derivedBefore);
    EXPECT_TRUE(var("czy_jest_mem").logical());
    EXPECT_EQ(fs::last_write_time("zas.zus"), fileBefore);
  });
}

TEST_F(LinkEditor, DelThenSaveClearsTheLinkTheDerivedCodeAndTheFile) {
  start([&] {
    // Table 4, row 2 is the days of care benefit: Del, Esc, "Tak".
    entry("LOAD_ZUS", {}, {'T', '4', K_DOWN, K_DEL, kLater, K_ESC, kLater, 'T'});
    EXPECT_EQ(element("zas_dni", 2), "");
    EXPECT_EQ(var("dni_opieki").strOr("<none>"), "");
  });
  rt::PrivateFrame frame(rt::context().memvars);
  suite::restoreMemory("zas.zus");
  EXPECT_EQ(var("zsx_dni2").strOr("<none>"), "");
  EXPECT_NE(var("zsx_dni1").strOr(""), "");
}

TEST_F(LinkEditor, AnItemChosenInTheDataTableReachesTheLinkArrayAtOnce) {
  start([&] {
    // Table 5, Enter on row 1 opens the item picker of selection 1; End takes its last item.
    entry("LOAD_ZUS", {}, {'T', '5', K_ENTER, K_END, K_ENTER, kLater, K_ESC, kLater, 'T'});
    EXPECT_EQ(element("zas_dan", 1), "S001");
    EXPECT_EQ(var("pd_chor_z").strOr(""), "S001");
  });
}

TEST_F(LinkEditor, TheTableRoutineWorksOnTheCallersNames) {
  start([&] {
    rt::PrivateFrame frame(rt::context().memvars);
    // A screen of the RESET export fills the same names and asks for table 2.
    rt::Memvars& v = rt::context().memvars;
    rt::Value labels = rt::Value::newArray(33), values = rt::Value::newArray(33);
    for (int i = 0; i < 33; ++i) {
      labels.arr()[size_t(i)] = rt::Value::text("L" + std::to_string(i + 1) + " - ");
      values.arr()[size_t(i)] = rt::Value::text("V");
    }
    v.declarePrivate("tab_skrot", labels);
    v.declarePrivate("zus_skrot", values);
    v.declarePrivate("tablica", rt::Value::newArray(40));
    EXPECT_EQ(rt::functions().call("USTAL_TABL", {rt::Value::integer(2)}).num(), 33);
    EXPECT_EQ(element("tablica", 7), "L7 - V");
    EXPECT_EQ(rt::functions().call("USTAL_NAGLOWEK", {rt::Value::integer(1)}).str().size(), 76u);
  });
}

TEST_F(LinkEditor, ADictionaryInUseElsewhereIsReportedAndTheLinkStays) {
  start([&] {
    const std::string before = element("zas_zus", 1);
    // Another workstation has the dictionary open.
    ASSERT_TRUE(rt::functions()
                    .call("_OPEN_LOCAL", {rt::Value::text(dir), rt::Value::text("SLOWNIK"),
                                          rt::Value::text("other")})
                    .logicalOr(false));
    messages.clear();
    entry("LOAD_ZUS", {}, {'T', kLater});
    EXPECT_TRUE(said("Baza SLOWNIK.DBF jest ux`ywana na innym stanowisku - opcja niewykonana !"));
    EXPECT_EQ(element("zas_zus", 1), before);
    rt::functions().call("DBSELECTAREA", {rt::Value::text("other")});
    rt::functions().call("DBCLOSEAREA");
  });
}

TEST_F(LinkEditor, NieAtTheFirstQuestionChangesNothing) {
  fs::remove("zas.zus");
  start([&] {
    entry("LOAD_ZUS", {}, {'N'});
    EXPECT_EQ(rt::context().memvars.typeOf("zas_zus[1]"), "U");
    EXPECT_FALSE(var("czy_jest_mem").logical());
  });
  EXPECT_FALSE(fs::exists("zas.zus"));
}

}  // namespace
}  // namespace settings_test
