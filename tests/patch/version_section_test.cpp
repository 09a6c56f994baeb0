// The "[wer]" section: reading version values, the condition, and the new values written only
// after the whole run has succeeded.
#include "patch_fixture.h"

#include "patch/version_section.h"
#include "runtime/memfile/memfile.h"

namespace patchtest {
namespace {

class VersionSection : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    rt::mem::writeFile((dst / "V.XPF").string(),
                       {{"WERSJA", rt::Value::text("2.1")}, {"NR", rt::Value::number(7)}});
  }
  rt::Value stored(const std::string& name, const char* file = "V.XPF") {
    for (const auto& v : rt::mem::readFile((dst / file).string()))
      if (v.name == name) return v.value;
    return rt::Value();
  }
};

TEST_F(VersionSection, VariableLinesAsTheyAreSplit) {
  struct Case {
    const char* line;
    bool valid;
    const char* variable;
    const char* file;
    const char* memVariable;
    const char* newValue;  // nullptr: none
  };
  const Case cases[] = {
      {"u_zm1=V.XPF|wersja", true, "u_zm1", "V.XPF", "wersja", nullptr},
      {"U_ZM1 = V.XPF | wersja | 2.2", true, "U_ZM1", "V.XPF", "wersja", "2.2"},
      {"u_zm2=V.XPF|x|a|b", true, "u_zm2", "V.XPF", "x", "a|b"},
      {"u_zm2=V.XPF|x|  ", true, "u_zm2", "V.XPF", "x", nullptr},
      {"u_zm2=V.XPF", false, "", "", "", nullptr},
      {"u_zm2 V.XPF|x", false, "", "", "", nullptr},
      {"=V.XPF|x", false, "", "", "", nullptr},
      {"u_zm2=|x", false, "", "", "", nullptr},
  };
  for (const Case& c : cases) {
    auto e = patch::parseVersionLine(c.line, 1);
    ASSERT_EQ(e.has_value(), c.valid) << c.line;
    if (!e) continue;
    EXPECT_EQ(e->variable, c.variable) << c.line;
    EXPECT_EQ(e->file, c.file) << c.line;
    EXPECT_EQ(e->memVariable, c.memVariable) << c.line;
    EXPECT_EQ(e->newValue.value_or("<none>"), c.newValue ? c.newValue : "<none>") << c.line;
  }
}

TEST_F(VersionSection, ReadsValuesTestsTheConditionAndWritesAfterSuccess) {
  EXPECT_TRUE(runScript({"[wer]", "u_zm1=V.XPF|wersja|2.2", "u_zmB = V.XPF | nr", "x=V.XPF|wersja",
                         "blok={|| u_zm2 := u_zm1 + '!' }", "warunek={|| u_zm1 == '2.1' .and. u_zmB == 7 }",
                         "[koniec]", "ok={|| t_log := u_zm2 + '/' + u_dst_path }"}));
  EXPECT_EQ(logged(), "2.1!/" + dstDir());
  EXPECT_EQ(stored("WERSJA").str(), "2.2");  // converted to the type the file holds
}

TEST_F(VersionSection, ConditionNotLastOrTooShortHasNoEffect) {
  EXPECT_TRUE(runScript({"[wer]", "warunek={|| .f. }", "u_zm1=V.XPF|wersja"}));
  EXPECT_TRUE(runScript({"[wer]", "u_zm1=V.XPF|wersja", "warunek={||}"}));
  EXPECT_FALSE(runScript({"[wer]", "u_zm1=V.XPF|wersja", "warunek={|| u_zm1 > '3' }"}));
}

TEST_F(VersionSection, MissingFileStopsReadingAndWritesNothing) {
  EXPECT_FALSE(runScript({"[wer]", "u_zm1=V.XPF|wersja|9.9", "u_zm2=BRAK.XPF|wersja",
                          "blok={|| t_log := 'blok ' + u_zm1 + '/' + u_zm2 }"}));
  EXPECT_EQ(logged(), "blok 2.1/");  // the blocks still ran
  EXPECT_EQ(stored("WERSJA").str(), "2.1");
  EXPECT_EQ(messages, (std::vector<std::vector<std::string>>{
                          {"Uzupelnienie nie zostalo zainstalowane: [wer], linia 3 skryptu"}}));
}

TEST_F(VersionSection, MissingVariableFailsWithAMessageNamingTheLine) {
  EXPECT_FALSE(runScript({"[wer]", "u_zm1=V.XPF|wersja|2.2", "u_zm2=V.XPF|nie_ma"}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0][0], "Blad: [wer], linia 3 skryptu update.dat");
  EXPECT_NE(messages[0][1].find("nie_ma"), std::string::npos);
  EXPECT_EQ(stored("WERSJA").str(), "2.1");
}

TEST_F(VersionSection, NewValuesWaitForTheWholeRunToSucceed) {
  // The copy after [wer] fails: the update can be run again against version 2.1.
  EXPECT_FALSE(runScript({"[wer]", "u_zm1=V.XPF|wersja|2.2", "warunek={|| u_zm1 == '2.1' }", "[copy]",
                          "BRAK.TXT|B.TXT", "[koniec]", "blad={|| t_log := 'blad ' + u_zm1 }"}));
  EXPECT_EQ(stored("WERSJA").str(), "2.1");
  EXPECT_EQ(logged(), "blad 2.1");  // the variables in memory hold what was read
  // A closing section at the end of a successful run sees the values written.
  EXPECT_TRUE(runScript({"[wer]", "u_zm1=V.XPF|wersja|2.2", "[koniec]",
                         "ok={|| t_log := read_mem(u_dst_path + 'V.XPF', 'wersja') }"}));
  EXPECT_EQ(logged(), "2.2");
}

TEST_F(VersionSection, BadExpressionFailsTheSection) {
  EXPECT_FALSE(runScript({"[wer]", "u_zm1=V.XPF|wersja|2.2", "blok={|| (( }"}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0][0], "Blad: [wer], linia 3 skryptu update.dat");
  EXPECT_EQ(stored("WERSJA").str(), "2.1");
}

}  // namespace
}  // namespace patchtest
