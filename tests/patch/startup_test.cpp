// The installer's entry: "-koduj", the time stamp, and whole installations on a headless screen.
#include "patch_fixture.h"

#include <regex>

namespace patchtest {
namespace {

const char* const kNoSection = "Skrypt update.dat nie zawiera zadnej sekcji - czy zostal zakodowany (-koduj)?";

using ScriptConversion = InstallerTest;

TEST_F(ScriptConversion, ScramblesAndGivesBackTheSameBytes) {
  for (size_t size : {size_t(0), size_t(1), size_t(4096), size_t(8192), size_t(10000)}) {
    std::string plain;
    for (size_t i = 0; i < size; ++i) plain += char(i * 7 % 256);
    writeFile(src / "a.txt", plain);
    ASSERT_TRUE(patch::KOD_DEKOD((src / "a.txt").string(), (src / "b.dat").string())) << size;
    EXPECT_EQ(readFile(src / "b.dat"), scramble(plain)) << size;
    ASSERT_TRUE(patch::KOD_DEKOD((src / "b.dat").string(), (src / "c.txt").string())) << size;
    EXPECT_EQ(readFile(src / "c.txt"), plain) << size;
  }
}

TEST_F(ScriptConversion, OnlyTheExactOptionWithBothNamesConverts) {
  auto t = [](const char* s) { return rt::Value::text(s); };
  EXPECT_TRUE(patch::isConversion(t("-koduj"), t("a.txt"), t("b.dat")));
  EXPECT_FALSE(patch::isConversion(t("-koduj"), t("a.txt"), rt::Value()));
  EXPECT_FALSE(patch::isConversion(t("-KODUJ"), t("a.txt"), t("b.dat")));
  EXPECT_FALSE(patch::isConversion(t("-koduj"), t(""), t("b.dat")));
}

TEST_F(ScriptConversion, FailsAndLeavesNoOutputWhenItCannotWriteItAll) {
  writeFile(src / "a.txt", std::string(5000, 'x'));
  auto previous = patch::setScriptWriter(+[](int, const void*, size_t size) -> long {
    return long(size / 2);  // a full disk: half of every write
  });
  EXPECT_FALSE(patch::KOD_DEKOD((src / "a.txt").string(), (src / "b.dat").string()));
  patch::setScriptWriter(previous);
  EXPECT_FALSE(fs::exists(src / "b.dat"));
  // A missing input fails too, creating nothing.
  EXPECT_FALSE(patch::KOD_DEKOD((src / "nie_ma.txt").string(), (src / "c.dat").string()));
  EXPECT_FALSE(fs::exists(src / "c.dat"));
}

TEST_F(ScriptConversion, RefusesToWriteOntoItsOwnInput) {
  writeFile(src / "skrypt.txt", "[koniec]\r\n");
  for (std::string out : {"skrypt.txt", "SKRYPT.TXT", "./skrypt.txt", "../upd/Skrypt.txt"}) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(patch::MAIN(rt::Value::text("-koduj"), rt::Value::text("skrypt.txt"), rt::Value::text(out)),
              patch::kExitFailed);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Plik wynikowy jest plikiem zrodlowym: " + out + "\n");
    EXPECT_EQ(readFile(src / "skrypt.txt"), "[koniec]\r\n") << out;
  }
}

using InstallTimeStamp = InstallerTest;

TEST_F(InstallTimeStamp, WritesTheTwoLinesIntoExe) {
  fs::create_directories(dst / "exe");
  ASSERT_TRUE(patch::ZNACZ_CZAS(dst.string()));
  std::string text = readFile(dst / "exe" / "z_n_a_c_z.nik");
  EXPECT_TRUE(std::regex_match(text, std::regex("\\[Parametry\\]\r\nczas=\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\r\n")))
      << text;
  EXPECT_TRUE(messages.empty());
}

TEST_F(InstallTimeStamp, MissingExeDirectoryIsReportedWithTheShortenedName) {
  EXPECT_FALSE(patch::ZNACZ_CZAS(dst.string()));
  ASSERT_EQ(messages.size(), 1u);
  std::string name = (dst / "exe" / "z_n_a_c_z.nik").string();  // one separator shown
  EXPECT_EQ(messages[0][0], "Plik znacznik czasu uzupel`nienia: " + patch::shortStampName(name));
  EXPECT_EQ(messages[0][1], "Bl`a`d otwarcia pliku!");
  EXPECT_EQ(patch::shortStampName(std::string(60, 'a')), "..." + std::string(47, 'a'));
  EXPECT_EQ(patch::shortStampName(std::string(50, 'a')), std::string(50, 'a'));
}

class InstallerRun : public InstallerTest {
 protected:
  int install(const std::vector<std::string>& script, const char* akcja = "-katalog") {
    writeFile(src / "update.dat", scramble(scriptText(script)));
    return patch::MAIN(rt::Value::text(akcja), rt::Value::text(dst.string()), rt::Value());
  }
};

TEST_F(InstallerRun, InstallsIntoTheDirectoryOfTheOptionAndStampsIt) {
  fs::create_directories(dst / "exe");
  writeFile(src / "PROG.EXE", "nowy");
  EXPECT_EQ(install({"[copy]", "PROG.EXE|EXE\\PROG.EXE"}), patch::kExitOk);
  EXPECT_EQ(readFile(dst / "exe" / "PROG.EXE"), "nowy");
  EXPECT_TRUE(fs::exists(dst / "exe" / "z_n_a_c_z.nik"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(InstallerRun, FailedScriptEndsWithAnErrorCodeAndIsStillStamped) {
  fs::create_directories(dst / "exe");
  EXPECT_EQ(install({"[copy]", "BRAK.EXE|EXE\\BRAK.EXE", "[koniec]", "blad={|| t_log := 'blad' }"}),
            patch::kExitFailed);
  EXPECT_EQ(logged(), "blad");
  EXPECT_TRUE(fs::exists(dst / "exe" / "z_n_a_c_z.nik"));
}

TEST_F(InstallerRun, WithoutTheScriptNothingIsAsked) {
  EXPECT_EQ(patch::MAIN(rt::Value::text("-katalog"), rt::Value::text(dst.string()), rt::Value()),
            patch::kExitFailed);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0][0], "Brak pliku update.dat !");
}

TEST_F(InstallerRun, ScriptErrorsAreReportedClearly) {
  fs::create_directories(dst / "exe");
  struct Case {
    std::vector<std::string> script;
    std::string message;
  };
  const Case cases[] = {
      {{"[dbase]", "dst_base=X.DBF|x", "base_blok={|| 1 + }", "-"}, "Blad: [dbase], linia 3 skryptu update.dat"},
      {{"[copy]", "BRAK.TXT|B.TXT"}, "Blad w okresleniu pliku zrodlowego:"},
      {{"[pliki]", "x"}, kNoSection},  // no known section header at all
  };
  for (const Case& c : cases) {
    messages.clear();
    int code = install(c.script);
    if (c.message.empty()) {
      EXPECT_EQ(code, patch::kExitOk);
      EXPECT_TRUE(messages.empty());
      continue;
    }
    EXPECT_EQ(code, patch::kExitFailed) << c.message;
    ASSERT_FALSE(messages.empty()) << c.message;
    EXPECT_EQ(messages[0][0], c.message);
  }
}

TEST_F(InstallerRun, AScriptWithoutASectionIsNoUpdate) {
  fs::create_directories(dst / "exe");
  std::string randomBytes;
  for (int i = 0; i < 5000; ++i) randomBytes += char((i * 7919 + 13) % 251);
  const struct {
    const char* what;
    std::string bytes;  // update.dat as it lies on the disk
  } cases[] = {
      {"not scrambled", scriptText({"[copy]", "PROG.EXE|EXE\\PROG.EXE"})},
      {"empty", ""},
      {"random bytes", randomBytes},
      {"blank lines", scramble("\r\n   \r\n\r\n")},
  };
  for (const auto& c : cases) {
    messages.clear();
    writeFile(src / "update.dat", c.bytes);
    EXPECT_EQ(patch::MAIN(rt::Value::text("-katalog"), rt::Value::text(dst.string()), rt::Value()),
              patch::kExitFailed) << c.what;
    ASSERT_EQ(messages.size(), 1u) << c.what;
    EXPECT_EQ(messages[0], std::vector<std::string>{kNoSection}) << c.what;
  }
}

class DestinationDialog : public InstallerRun {
 protected:
  DestinationDialog() { queueEnters = false; }
};

TEST_F(DestinationDialog, AsksForTheDestinationUntilItExists) {
  fs::create_directories(dst / "exe");
  writeFile(src / "update.dat", scramble(scriptText({"[koniec]", "ok={|| t_log := u_x }"})));
  std::string windowsDst = "c:" + dst.string();
  for (char& c : windowsDst)
    if (c == '/') c = '\\';
  h.keys({rt::term::K_ENTER, rt::term::K_ENTER});  // blank: asked again after the message
  h.type("c:\\nie_ma_takiego");
  h.keys({rt::term::K_ENTER, rt::term::K_ENTER});  // no such directory: the message, then again
  h.keys({rt::term::K_CTRL_Y});  // the field is entered at its start: Ctrl+Y empties it
  h.type(windowsDst);
  h.keys({rt::term::K_ENTER});
  rt::context().memvars.declarePublic("u_x", rt::Value::text("zainstalowano"));
  EXPECT_EQ(patch::MAIN(rt::Value(), rt::Value(), rt::Value()), patch::kExitOk);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0][0], "Nie wprowadzono katalogu docelowego !");
  EXPECT_EQ(messages[1][0], "Wprowadzony katalog nie istnieje !");
  EXPECT_EQ(logged(), "zainstalowano");
  EXPECT_TRUE(fs::exists(dst / "exe" / "z_n_a_c_z.nik"));
}

TEST_F(DestinationDialog, RelativeNamesAreCompletedFromTheCurrentDirectory) {
  fs::create_directories(src / "ZEF" / "exe");
  writeFile(src / "update.dat", scramble(scriptText({"[wer]", "blok={|| .t. }", "[koniec]", "ok={|| t_log := u_dst_path }"})));
  h.type("zef");  // shown and taken in capitals
  h.keys({rt::term::K_ENTER});
  EXPECT_EQ(patch::MAIN(rt::Value(), rt::Value(), rt::Value()), patch::kExitOk);
  EXPECT_EQ(logged(), patch::USTAL_SRC() + "\\ZEF\\");
  EXPECT_TRUE(fs::exists(src / "ZEF" / "exe" / "z_n_a_c_z.nik"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(DestinationDialog, LinuxAbsoluteNamesAreTakenAsTheyStand) {
  fs::create_directories(dst / "exe");
  writeFile(src / "update.dat", scramble(scriptText({"[koniec]", "ok={|| .t. }"})));
  h.type(dst.string());
  h.keys({rt::term::K_ENTER});
  EXPECT_EQ(patch::MAIN(rt::Value(), rt::Value(), rt::Value()), patch::kExitOk);
  EXPECT_TRUE(fs::exists(dst / "exe" / "z_n_a_c_z.nik"));
}

TEST_F(DestinationDialog, EscAbandonsTheInstallation) {
  writeFile(src / "update.dat", scramble(scriptText({"[koniec]", "ok={|| t_log := 'uruchomiony' }"})));
  h.keys({rt::term::K_ESC, rt::term::K_ENTER});
  EXPECT_EQ(patch::MAIN(rt::Value::text("-katalog"), rt::Value::text((root / "nie_ma").string()), rt::Value()),
            patch::kExitFailed);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], (std::vector<std::string>{"Nie okreslono sciezki zrodlowej i(lub) docelowej !",
                                                   "Instalacja zostanie przerwana."}));
  EXPECT_EQ(logged(), "");
}

}  // namespace
}  // namespace patchtest
