// Section dispatch, the run status and the closing section; every name a script may call.
#include "patch_fixture.h"

#include "runtime/core/cp852.h"
#include "runtime/memfile/memfile.h"

namespace patchtest {
namespace {

using ScriptInterpreter = InstallerTest;

// The runtime's English descriptions reach the installer's windows as plain ASCII Polish.
TEST(InstallerErrorText, RuntimeErrorsReadInAsciiPolish) {
  EXPECT_EQ(patch::errorText(rt::Error(rt::ErrorKind::Write, "Write error: ", "DBCOMMIT", "KADRY.DBF", ENOSPC)),
            "Blad zapisu; brak miejsca na dysku: DBCOMMIT (KADRY.DBF)");
  EXPECT_EQ(patch::errorText(rt::Error(rt::ErrorKind::Lock, "Lock failure: the table is busy", "USE", "A.DBF")),
            "Plik lub rekord uzywany na innym stanowisku: USE (A.DBF)");
  // A text the runtime wrote in code page 852 (the terminal's size) loses its letters' marks too.
  EXPECT_EQ(patch::errorText(rt::userError(rt::ErrorKind::Other, rt::utf8ToCp852("Zażółć gęślą jaźń"))),
            "Zazolc gesla jazn");
}

TEST_F(ScriptInterpreter, ClosingSectionRunsOkOrErrorBlockThenFurtherBlocks) {
  EXPECT_TRUE(runScript({"title line before any header", "[koniec]", "ok={|| t_log := t_log + 'instalacja udana'}",
                         "blok={|| u_x := 'po' }"}));
  EXPECT_EQ(logged(), "instalacja udana");
  EXPECT_EQ(run("u_x").str(), "po");

  rt::context().memvars.assign("t_log", rt::Value::text(""));
  // A failed [wer] skips the copy section; the closing section runs its error block.
  writeFile(src / "A.TXT", "a");
  EXPECT_FALSE(runScript({"[wer]", "warunek={|| .f. }", "[copy]", "A.TXT|A.TXT", "[koniec]",
                          "ok={|| t_log += 'ok/'}", "blad={|| t_log += 'blad/'}",
                          "blok={|| t_log += 'zawsze/'}"}));
  EXPECT_FALSE(fs::exists(dst / "A.TXT"));
  EXPECT_EQ(logged(), "blad/zawsze/");
  // A refused condition shows nothing of its own: the run says where it stopped.
  EXPECT_EQ(messages, (std::vector<std::vector<std::string>>{
                          {"Uzupelnienie nie zostalo zainstalowane: [wer], linia 2 skryptu"}}));
}

TEST_F(ScriptInterpreter, ARunThatFailsSilentlySaysAtWhichStepItStopped) {
  run("DBCREATE('" + (dst / "KADRY").string() + "', {{'NR','C',5,0}})");
  struct Case {
    std::vector<std::string> script;
    std::string step;
  };
  const Case cases[] = {
      {{"[dbase]", "src_base=BRAK.DBF|b", "-"}, "[dbase], linia 3"},
      {{"[dbase]", "dst_base=KADRY.DBF|k", "-", "dst_base=KADRY.DBF|k", "rek_pocz={|| .f. }",
        "rek_blok={|| .t. }", "-"},
       "[dbase], linia 7"},
      {{"; wersja", "[wer]", "u_zm1=BRAK.MEM|wersja"}, "[wer], linia 3"},
  };
  for (const Case& c : cases) {
    messages.clear();
    EXPECT_FALSE(runScript(c.script)) << c.step;
    EXPECT_EQ(messages, (std::vector<std::vector<std::string>>{
                            {"Uzupelnienie nie zostalo zainstalowane: " + c.step + " skryptu"}}));
  }
}

TEST_F(ScriptInterpreter, ScriptVariablesExistWithoutAVersionSection) {
  EXPECT_TRUE(runScript({"[koniec]", "ok={|| t_log := u_dst_path + '[' + u_zm1 + u_zmF + ']' }"})) << allMessages();
  EXPECT_EQ(logged(), dstDir() + "[]");
}

TEST_F(ScriptInterpreter, TwoClosingSectionsEachSeeTheStatusOfTheirPlace) {
  EXPECT_FALSE(runScript({"[koniec]", "ok={|| t_log += '1ok/'}", "[copy]", "BRAK.TXT|B.TXT",
                          "[koniec]", "ok={|| t_log += '2ok/'}", "blad={|| t_log += '2blad/'}"}));
  EXPECT_EQ(logged(), "1ok/2blad/");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], (std::vector<std::string>{"Blad w okresleniu pliku zrodlowego:", (src / "BRAK.TXT").string()}));
}

TEST_F(ScriptInterpreter, EmptySectionsSucceed) {
  EXPECT_TRUE(runScript({"; nic", "   ", "[copy]", "[koniec]"}));
  EXPECT_TRUE(messages.empty());
}

TEST_F(ScriptInterpreter, BadExpressionInClosingSectionIsReportedWithItsLine) {
  // The bad line is reported; the lines that compiled still run.
  EXPECT_FALSE(runScript({"[koniec]", "ok={|| 1 + }", "blok={|| t_log += 'dalej'}", "blok={|| ((( }",
                          "blok={|| t_log += '/dalej'}"}));
  EXPECT_EQ(logged(), "dalej/dalej");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0][0], "Blad: [koniec], linia 2 skryptu update.dat");
  EXPECT_EQ(messages[1][0], "Blad: [koniec], linia 4 skryptu update.dat");
}

TEST_F(ScriptInterpreter, RuntimeErrorInABlockFailsTheRunButTheOtherBlocksRun) {
  EXPECT_FALSE(runScript({"[koniec]", "blok={|| nie_ma_takiej_funkcji() }", "blok={|| t_log += 'dalej'}"}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0][0], "Blad: [koniec], linia 2 skryptu update.dat");
  EXPECT_EQ(logged(), "dalej");
}

TEST_F(ScriptInterpreter, UnknownBracketLineIsALineOfTheSectionInForce) {
  writeFile(src / "A.TXT", "a");
  // "[pliki]" is a copy line without "|" and fails the copy section.
  EXPECT_FALSE(runScript({"[copy]", "A.TXT|A.TXT", "[pliki]", "[koniec]", "blad={|| t_log += 'blad'}"}));
  EXPECT_TRUE(fs::exists(dst / "A.TXT"));
  EXPECT_EQ(logged(), "blad");
}

TEST_F(ScriptInterpreter, EveryFunctionAScriptMayCallIsRegistered) {
  const char* names[] = {
      "ALIAS", "ASCAN", "DBAPPEND", "DBCLEARFIL", "DBCLEARIND", "DBCLEARREL", "DBCLOSEALL",
      "DBCLOSEAREA", "DBCOMMIT", "DBCOMMITALL", "DBCREATE", "DBDELETE", "DBEDIT", "DBEVAL",
      "DBFILTER", "DBGOBOTTOM", "DBGOTO", "DBGOTOP", "DBRECALL", "DBREINDEX", "DBRELATION",
      "DBRSELECT", "DBSEEK", "DBSELECTAR", "DBSETFILTER", "DBSETINDEX", "DBSETORDER", "DBSETRELAT",
      "DBSKIP", "DBSTRUCT", "DBUNLOCK", "DBUNLOCKALL", "DBUSEAREA", "DESCEND", "DISKSPACE",
      "DISPBEGIN", "DISPBOX", "DISPCOUNT", "DISPEND", "DISPOUT", "ERRORBLOCK", "ERRORLEVEL",
      "FIELDBLOCK", "FIELDGET", "FIELDPOS", "FIELDPUT", "FIELDWBLOCK", "FRENAME", "INDEXEXT",
      "INDEXKEY", "INDEXORD", "ISALPHA", "ISDIGIT", "ISUPPER", "LASTKEY", "LEFT", "MEMOEDIT",
      "MEMOLINE", "MEMOREAD", "MEMOTRAN", "MEMOWRIT", "MLCOUNT", "MOD", "NETERR", "PADC", "PADL",
      "PADR", "RAT", "RESTSCREEN", "SAVESCREEN", "SCROLL", "SET", "STRTRAN", "STUFF", "TONE", "USED",
      "MAIN", "USTAL_SRC", "USTAL_DST", "ZNACZ_CZAS", "UAKTUALNIENIE", "OPEN_INDEKS",
      "NOWY_GEN", "STARY_GEN", "CZY_NOWY", "FMEMORXPF", "XGETENV", "CLOSE_IND", "K_ZMIEN_PALETE",
      "K_CLEAR", "K_DAJ_PALETE", "K_SET_KOLOR", "K_SET_ZESTAW", "K_INV", "K_NORM", "K_NORM_",
      "K_SPEC_MEN", "K_BOLD", "K_CIEN", "K_DAJ_RAMKI", "K_DAJ_CIEN", "K_KODUJ_KOL", "K_DEKODUJ_KOL",
      "READ_REKORD", "WRITE_REKORD", "ZASZYFR", "SZYFR", "DIRNAME", "ISDIR", "E_SETFDATI",
      "E_SETFATTR", "CZYTZMSR", "_KAT_INI", "FILE2ARRAY", "ARRAY2FILE", "ASCAN_EXACT", "E_INT",
      "READ_LINE", "DISKNAME", "DBOPEN", "DBLOCATE", "DBINDEX", "DBCLOSE", "_P", "_DB_REPL", "_SAY",
      "_DB_ZAP", "_DB_PACK", "_CLR_SCR", "_PRINT", "_SET_ORDER", "_SET_INDEX", "N_ISDIR", "KOM",
      "COPYFILE", "READ_MEM", "WRITE_MEM", "STOD", "POR_STR", "A_KODUJ", "A_DEKODUJ", "ROZWIN",
      "ZWIN", "KODY_RAMEK", "K_DAJ_NOWE", "INITDBASE", "GODBASE", "INITPROGRES", "GOPROGRES",
      "_ASCAN", "SETFILTER", "_ALERT", "DECYZJA", "SZUK_ACHOICE", "CTON", "NTOC", "N2BIN", "BIN2N",
      "ZEF_RAND"};
  std::vector<std::string> missing;
  for (const char* n : names)
    if (!rt::functions().has(n)) missing.push_back(n);
  EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
}

TEST_F(ScriptInterpreter, NamesRelativeToADirectoryMayNotClimbOutOfIt) {
  writeFile(src / "A.TXT", "a");
  writeFile(root / "POZA.TXT", "p");
  struct Case {
    std::vector<std::string> script;
    std::string name;
  };
  const Case cases[] = {
      {{"[copy]", "..\\POZA.TXT|POZA.TXT"}, "..\\POZA.TXT"},
      {{"[copy]", "A.TXT|..\\A.TXT"}, "..\\A.TXT"},
      {{"[copy_in_dst]", "EXE/../../A.TXT|A.TXT"}, "EXE\\..\\..\\A.TXT"},  // one separator shown
      {{"[dbase]", "dst_base=..\\KADRY.DBF|k", "-"}, "..\\KADRY.DBF"},
      {{"[dbase]", "src_base=..\\zef\\KADRY.DBF|k", "-"}, "..\\zef\\KADRY.DBF"},
      {{"[dbase]", "kon_copy=A.TXT|..\\A.TXT", "-"}, "..\\A.TXT"},
      {{"[dbase]", "index=k|..\\K.CDX|nr", "-"}, "..\\K.CDX"},
      {{"[wer]", "u_zm1=..\\WERSJA.MEM|wersja"}, "..\\WERSJA.MEM"},
  };
  for (const Case& c : cases) {
    messages.clear();
    EXPECT_FALSE(runScript(c.script)) << c.name;
    ASSERT_EQ(messages.size(), 1u) << c.name;
    EXPECT_EQ(messages[0], (std::vector<std::string>{"Blad: " + c.script[0] + ", linia 2 skryptu update.dat",
                                                     "Nazwa pliku wychodzi poza swoj katalog (" + c.name + ")"}));
    EXPECT_FALSE(fs::exists(root / "A.TXT")) << c.name;
  }
  // A full name ("*") is taken as it stands.
  EXPECT_TRUE(runScript({"[copy]", "*" + src.string() + "/../POZA.TXT|POZA.TXT"})) << allMessages();
  EXPECT_EQ(readFile(dst / "POZA.TXT"), "p");
}

}  // namespace
}  // namespace patchtest
