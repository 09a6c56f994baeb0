// One installer at a time on a system, the end of a run as one step, and the journal of a run
// that was cut short: what a restart finds and does, after kills placed at the run's steps.
#include "patch_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <csignal>
#include <functional>

#include "patch/file_backup.h"
#include "patch/run_steps.h"
#include "runtime/core/file_names.h"
#include "runtime/db/file.h"
#include "runtime/memfile/memfile.h"
#include "tests/runtime/db/helpers/child_process.h"

namespace patchtest {
namespace {

using rt::db::testing::Child;
using rt::db::testing::readLineFrom;
using rt::db::testing::sendLine;

class RunEnd : public InstallerTest {
 protected:
  void SetUp() override {
    InstallerTest::SetUp();
    fresh();
  }
  // The installed system: the table KADRY and the version file at 1.0.
  void fresh() {
    fs::remove_all(dst);
    fs::create_directories(dst);
    table(dst / "KADRY");
    rt::mem::writeFile((dst / "V.XPF").string(), {{"WERSJA", rt::Value::text("1.0")}});
  }
  // A file of a table by its extension, in the letter case the table layer gave it.
  static fs::path fileOf(const fs::path& t, const std::string& ext) { return rt::mapPath(t.string() + "." + ext); }
  void TearDown() override {
    patch::setStepHook({});
    rt::db::File::setWriteFault({});
    InstallerTest::TearDown();
  }

  // A table with a memo file and a structural index: amounts 1 and 2.
  void table(const fs::path& t) {
    fs::create_directories(t.parent_path());
    run("DBCREATE('" + t.string() + "', {{'NR','C',5,0},{'KWOTA','N',10,2},{'UWAGI','M',10,0}})");
    run("DBUSEAREA(.T., , '" + t.string() + "', 'MAKE', .F.)");
    for (int i = 1; i <= 2; ++i) {
      run("DBAPPEND()");
      run("FIELDPUT(1, '    " + std::to_string(i) + "')");
      run("FIELDPUT(2, " + std::to_string(i) + ")");
      run("FIELDPUT(3, 'notatka')");
    }
    run("ORDCREATE(, 'NR', 'nr')");
    run("DBCLOSEAREA()");
  }
  // The amounts of a table, "1/2/".
  std::string amounts(const fs::path& t) {
    run("DBUSEAREA(.T., , '" + t.string() + "', 'SPR', .T.)");
    std::string s;
    for (run("DBGOTOP()"); !run("EOF()").logicalOr(true); run("DBSKIP()"))
      s += std::to_string(int(run("KWOTA").num())) + "/";
    run("DBCLOSEAREA()");
    return s;
  }
  std::string version() {
    for (const auto& v : rt::mem::readFile((dst / "V.XPF").string()))
      if (v.name == "WERSJA") return v.value.str();
    return "";
  }
  // Runs the script in a forked installer; `inChild` prepares it. Returns its exit code, minus
  // the signal when it was killed.
  int forkedRun(const std::vector<std::string>& script, const std::function<void()>& inChild) {
    Child child([&](int, int) {
      inChild();
      return runScript(script) ? 0 : 1;
    });
    return child.wait();
  }
  // The script's t_pelny() makes every later write under `prefix` fail as on a full disk.
  void fullDiskOnCall(const std::string& prefix) {
    rt::functions().add("T_PELNY", [prefix](rt::Args&) {
      rt::db::File::setWriteFault([prefix](const std::string& path, uint64_t, size_t length) {
        return length > 0 && path.rfind(prefix, 0) == 0 ? ENOSPC : 0;  // a rename needs no room
      });
      return rt::Value::logical(true);
    });
  }

  // Version 1.0 to 2.0 with every amount one higher.
  const std::vector<std::string> update = {"[wer]", "u_zm1=V.XPF|wersja|2.0", "warunek={|| u_zm1 == '1.0' }",
                                           "[dbase]", "dst_base=KADRY.DBF|k",
                                           "rek_blok={|| k->kwota := k->kwota + 1 }", "-"};
  const fs::path journal() const { return dst / patch::kBackupDir / patch::kJournalFile; }
};

TEST_F(RunEnd, ASecondInstallerIsRefusedWhileTheFirstRunsUpToItsJournalsRemoval) {
  // The first installer is stopped while it reads its versions, or while it removes its journal.
  const struct {
    const char* where;
    std::vector<std::string> script;
    const char* step;  // nullptr: stopped by the script's block
  } cases[] = {
      {"reading the versions",
       {"[wer]", "u_zm1=V.XPF|wersja|2.0", "blok={|| t_czekaj() }", "warunek={|| u_zm1 == '1.0' }", "[dbase]",
        "dst_base=KADRY.DBF|k", "rek_blok={|| k->kwota := k->kwota + 1 }", "-"},
       nullptr},
      {"removing the journal", update, patch::kStepJournalRemoving},
  };
  for (const auto& c : cases) {
    fresh();
    rt::functions().add("T_CZEKAJ", [](rt::Args&) { return rt::Value::logical(true); });
    Child first([&](int toParent, int fromParent) {
      auto stop = [=] {
        sendLine(toParent, "s");
        readLineFrom(fromParent);
      };
      if (c.step) patch::setStepHook([&](const std::string& step) { if (step == c.step) stop(); });
      else rt::functions().add("T_CZEKAJ", [&](rt::Args&) { stop(); return rt::Value::logical(true); });
      return runScript(c.script) ? 0 : 1;
    });
    ASSERT_EQ(first.readLine(), "s") << c.where;
    messages.clear();
    EXPECT_FALSE(runScript(c.script)) << c.where;
    ASSERT_FALSE(messages.empty()) << c.where;
    EXPECT_EQ(messages[0][0], "Inne uzupelnienie tego systemu jest w toku !") << c.where;
    first.send("g");
    EXPECT_EQ(first.wait(), 0) << c.where;
    EXPECT_EQ(amounts(dst / "KADRY"), "2/3/") << c.where;  // changed once
    EXPECT_EQ(version(), "2.0") << c.where;
    EXPECT_FALSE(fs::exists(dst / patch::kBackupDir)) << c.where;
  }
}

TEST_F(RunEnd, KilledAtAnyStepOfItsEndTheSystemKeepsVersionsAndTablesAgreeing) {
  // The run's end: the version written, the journal removed, its four copies removed (the table,
  // its memo and index files, the version file).
  const struct {
    const char* step;
    int occurrence;
  } cases[] = {{patch::kStepVersionWritten, 1}, {patch::kStepJournalRemoving, 1}, {patch::kStepJournalRemoved, 1},
               {patch::kStepCopyRemoved, 1},    {patch::kStepCopyRemoved, 2},     {patch::kStepCopyRemoved, 4}};
  for (const auto& c : cases) {
    std::string where = std::string(c.step) + " #" + std::to_string(c.occurrence);
    fresh();
    int code = forkedRun(update, [&] {
      patch::setStepHook([&, seen = 0](const std::string& step) mutable {
        if (step == c.step && ++seen == c.occurrence) ::raise(SIGKILL);
      });
    });
    ASSERT_EQ(code, -SIGKILL) << where;
    // The restart: what it leaves agrees, both old or both new.
    messages.clear();
    EXPECT_TRUE(runScript({"[koniec]"})) << where << allMessages();
    std::string state = version() + " " + amounts(dst / "KADRY");
    EXPECT_TRUE(state == "1.0 1/2/" || state == "2.0 2/3/") << where << ": " << state;
    EXPECT_FALSE(fs::exists(dst / patch::kBackupDir)) << where;
    // The update run again converts once, or is refused by its condition when it was in.
    bool wasIn = state == "2.0 2/3/";
    EXPECT_EQ(runScript(update), !wasIn) << where;
    EXPECT_EQ(version() + " " + amounts(dst / "KADRY"), "2.0 2/3/") << where;
  }
}

TEST_F(RunEnd, AKillWhileTheJournalIsRewrittenLosesNoTableToPutBack) {
  // Two tables migrated by the first group; the second group fails while another program has
  // opened the second table: the restore puts back the first and rewrites the journal naming the
  // second, and is killed there.
  table(dst / "PLACE");
  Child holder([&](int toParent, int fromParent) {
    readLineFrom(fromParent);
    run("DBUSEAREA(.T., , '" + (dst / "PLACE").string() + "', 'INNY', .T.)");
    sendLine(toParent, "o");
    readLineFrom(fromParent);
    return 0;
  });
  int code = forkedRun({"[dbase]", "dst_base=PLACE.DBF|p", "dst_base=KADRY.DBF|k",
                        "rek_blok={|| k->kwota := k->kwota + 1, p->kwota := 9 }", "-",
                        "[dbase]", "dst_base=KADRY.DBF|k", "base_blok={|| t_otworz() }", "rek_pocz={|| .f. }",
                        "rek_blok={|| .t. }", "-"},
                       [&] {
                         rt::functions().add("T_OTWORZ", [&](rt::Args&) {
                           holder.send("o");
                           holder.readLine();
                           return rt::Value::logical(true);
                         });
                         patch::setStepHook([](const std::string& step) {
                           if (step == patch::kStepJournalRewriting) ::raise(SIGKILL);
                         });
                       });
  ASSERT_EQ(code, -SIGKILL);
  holder.send("r");
  EXPECT_EQ(holder.wait(), 0);
  EXPECT_EQ(amounts(dst / "PLACE"), "9/2/");  // still migrated
  EXPECT_TRUE(runScript({"[koniec]"})) << allMessages();
  EXPECT_EQ(amounts(dst / "KADRY"), "1/2/");
  EXPECT_EQ(amounts(dst / "PLACE"), "1/2/");
  EXPECT_FALSE(fs::exists(dst / patch::kBackupDir));
}

TEST_F(RunEnd, AKillAtTheEndOfARestoreLeavesARestartWithNothingToAskAbout) {
  // The first group makes a new index; the second fails, the restore removes the index and puts
  // the table back, and is killed before its journal goes.
  auto before = readFile(fileOf(dst / "KADRY", "dbf"));
  int code = forkedRun({"[dbase]", "dst_base=KADRY.DBF|k", "index=k|KADRY_NR.CDX|nr",
                        "rek_blok={|| k->kwota := k->kwota + 1 }", "-", "[dbase]", "src_base=BRAK.DBF|b", "-"},
                       [] {
                         patch::setStepHook([](const std::string& step) {
                           if (step == patch::kStepJournalRemoving) ::raise(SIGKILL);
                         });
                       });
  ASSERT_EQ(code, -SIGKILL);
  EXPECT_TRUE(runScript({"[koniec]"})) << allMessages();
  EXPECT_EQ(readFile(fileOf(dst / "KADRY", "dbf")), before);
  EXPECT_FALSE(fs::exists(dst / "KADRY_NR.CDX"));
  EXPECT_FALSE(fs::exists(dst / patch::kBackupDir));
}

TEST_F(RunEnd, PlantedJournalLinesAreRefusedAndNothingIsTouched) {
  fs::path outside = root / "poza.txt";
  std::string kadry = fileOf(dst / "KADRY", "dbf").string();
  const struct {
    const char* what;
    std::string line;
  } cases[] = {
      {"a file outside the system", outside.string() + "\t" + outside.string() + "\t2"},
      {"'..' in the copy field", kadry + "\t" + kadry + "\t../2"},
      {"an empty copy field for an outside file", outside.string() + "\t" + outside.string() + "\t"},
      {"a path climbing out", kadry + "\t" + dst.string() + "/../poza.txt\t2"},
      {"the journal itself", kadry + "\t" + journal().string() + "\t2"},
      {"a size past the largest number", kadry + "\t" + kadry + "\t1\t99999999999999999999\t0"},
  };
  for (const auto& c : cases) {
    writeFile(outside, "cudzy plik");
    auto before = readFile(fileOf(dst / "KADRY", "dbf"));
    // A sound line first: it is not put back either.
    writeFile(dst / patch::kBackupDir / "1", "stara tabela");
    writeFile(dst / patch::kBackupDir / "2", "podlozony");
    writeFile(journal(), kadry + "\t" + kadry + "\t1\n" + c.line + "\n");
    messages.clear();
    EXPECT_FALSE(runScript({"[koniec]"})) << c.what;
    ASSERT_FALSE(messages.empty()) << c.what;
    EXPECT_EQ(messages[0][0], "Nie mozna przywrocic plikow sprzed przerwanego uzupelnienia:") << c.what;
    EXPECT_EQ(readFile(outside), "cudzy plik") << c.what;
    EXPECT_EQ(readFile(kadry), before) << c.what;
    EXPECT_TRUE(fs::exists(journal())) << c.what;
    fs::remove_all(dst / patch::kBackupDir);
  }
}

TEST_F(RunEnd, ARestoreOnAFullDiskPutsEveryTableBackAndNamesTheCauseOnce) {
  table(dst / "PLACE");
  std::string kadry = amounts(dst / "KADRY"), place = amounts(dst / "PLACE");
  // From the second group on, every write into the system fails as on a full disk.
  fullDiskOnCall(dst.string());
  EXPECT_FALSE(runScript({"[dbase]", "dst_base=KADRY.DBF|k", "rek_blok={|| k->kwota := k->kwota + 1 }", "-",
                          "[dbase]", "dst_base=PLACE.DBF|p", "base_blok={|| t_pelny() }",
                          "rek_blok={|| p->kwota := p->kwota + 1 }", "-"}));
  rt::db::File::setWriteFault({});
  EXPECT_EQ(amounts(dst / "KADRY"), kadry);
  EXPECT_EQ(amounts(dst / "PLACE"), place);
  EXPECT_FALSE(fs::exists(dst / patch::kBackupDir));
  std::string shown = allMessages();
  size_t first = shown.find("brak miejsca na dysku");
  ASSERT_NE(first, std::string::npos) << shown;
  EXPECT_EQ(shown.find("brak miejsca na dysku", first + 1), std::string::npos) << shown;
  EXPECT_EQ(shown.find("Nie mozna przywrocic"), std::string::npos) << shown;
}

TEST_F(RunEnd, AFileOnAnotherFileSystemGoesBackByACopyAndAFullDiskThereIsNamedOnce) {
  // PLACE lies on another file system (tmpfs), reached through links: the copies of UZUP_KOP cannot
  // be renamed over it.
  fs::path other = "/dev/shm";
  if (!fs::is_directory(other)) GTEST_SKIP() << "no second file system";
  fs::path real = other / ("zef-" + std::to_string(::getpid())) / "PLACE";
  fs::remove_all(real.parent_path());
  table(real);
  for (const auto& e : fs::directory_iterator(real.parent_path()))
    fs::create_symlink(e.path(), dst / e.path().filename());
  std::string place = amounts(real);
  fullDiskOnCall(real.parent_path().string());
  const std::vector<std::string> script = {"[dbase]", "dst_base=PLACE.DBF|p", "rek_blok={|| p->kwota := 7 }", "-",
                                           "[dbase]", "dst_base=KADRY.DBF|k", "base_blok={|| t_pelny() }",
                                           "rek_pocz={|| .f. }", "rek_blok={|| .t. }", "-"};
  EXPECT_FALSE(runScript(script));
  rt::db::File::setWriteFault({});
  EXPECT_EQ(amounts(real), "7/7/");  // the copy back could not be written
  std::string shown = allMessages();
  size_t first = shown.find("brak miejsca na dysku");
  ASSERT_NE(first, std::string::npos) << shown;
  EXPECT_EQ(shown.find("brak miejsca na dysku", first + 1), std::string::npos) << shown;
  EXPECT_NE(shown.find(patch::pathLine(fileOf(dst / "PLACE", "dbf").string())), std::string::npos) << shown;
  // With room again, the next start puts it back and the links stay.
  EXPECT_TRUE(runScript({"[koniec]"})) << allMessages();
  EXPECT_EQ(amounts(real), place);
  EXPECT_TRUE(fs::is_symlink(fileOf(dst / "PLACE", "dbf")));
  EXPECT_FALSE(fs::exists(dst / patch::kBackupDir));
  fs::remove_all(real.parent_path());
}

TEST_F(RunEnd, ATableChangedAfterTheKillIsNotPutBack) {
  table(dst / "PLACE");
  // Killed in the second group, after the first one let KADRY go.
  int code = forkedRun({"[dbase]", "dst_base=KADRY.DBF|k", "rek_blok={|| k->kwota := k->kwota + 1 }", "-",
                        "[dbase]", "dst_base=PLACE.DBF|p", "rek_blok={|| t_zabij() }", "-"},
                       [] {
                         rt::functions().add("T_ZABIJ", [](rt::Args&) {
                           ::raise(SIGKILL);
                           return rt::Value();
                         });
                       });
  ASSERT_EQ(code, -SIGKILL);
  // Another program works on KADRY before the restart.
  run("DBUSEAREA(.T., , '" + (dst / "KADRY").string() + "', 'INNY', .T.)");
  run("RLOCK()");
  run("FIELDPUT(2, 50)");
  run("DBCLOSEAREA()");
  EXPECT_FALSE(runScript({"[koniec]"}));
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0][0], "Po przerwaniu uzupelnienia zmieniono tabele:");
  EXPECT_EQ(messages[0][1], patch::pathLine(fileOf(dst / "KADRY", "dbf").string()));
  EXPECT_EQ(amounts(dst / "KADRY"), "50/3/");  // the change kept
  EXPECT_TRUE(fs::exists(journal()));          // and the copies, for the user to decide
}

TEST_F(RunEnd, JournalLinesOfADirectoryThatIsGoneAreDroppedWithANote) {
  // A killed run read a source table of an update directory that has been removed since.
  fs::path gone = root / "stara_aktualizacja" / "NOWA.DBF";
  std::string kadry = fileOf(dst / "KADRY", "dbf").string();
  auto before = readFile(kadry);
  fs::create_directories(dst / patch::kBackupDir);
  fs::copy_file(kadry, dst / patch::kBackupDir / "1");
  writeFile(dst / patch::kBackupDir / "2", "zrodlo");
  writeFile(kadry, "w polowie");
  writeFile(journal(), gone.string() + "\t" + gone.string() + "\t2\n" + kadry + "\t" + kadry + "\t1\n");
  EXPECT_TRUE(runScript({"[koniec]"})) << allMessages();
  ASSERT_GE(messages.size(), 2u);
  ASSERT_EQ(messages[0].size(), 3u) << allMessages();
  EXPECT_EQ(messages[0][0], "Pominieto w dzienniku przerwanego uzupelnienia pliki");
  EXPECT_EQ(messages[0][2], gone.string());
  EXPECT_EQ(messages[1][0], "Poprzednie uzupelnienie zostalo przerwane.");
  EXPECT_EQ(readFile(kadry), before);
  EXPECT_FALSE(fs::exists(dst / patch::kBackupDir));
}

TEST_F(RunEnd, NoCompanionIsPutBackBesideATableWhoseCopyIsGone) {
  // The table's own copy is gone (it went back already): its memo file's copy stays unused.
  std::string kadry = fileOf(dst / "KADRY", "dbf").string(), memo = fileOf(dst / "KADRY", "fpt").string();
  auto before = readFile(memo);
  writeFile(dst / patch::kBackupDir / "2", "stare notatki");
  writeFile(journal(), kadry + "\t" + kadry + "\t1\n" + kadry + "\t" + memo + "\t2\n");
  EXPECT_TRUE(runScript({"[koniec]"})) << allMessages();
  EXPECT_EQ(readFile(memo), before);
  EXPECT_FALSE(fs::exists(dst / patch::kBackupDir));
}

TEST_F(RunEnd, ADestinationAnotherProgramHoldsIsNotCopiedOver) {
  writeFile(src / "NIEOBEC.DBF", "nowa tabela");
  writeFile(src / "NIEOBEC.FPT", "nowe notatki");
  const struct {
    std::vector<std::string> script;
    fs::path held;  // the table another program has open
    const char* line;
  } cases[] = {
      {{"[copy]", "NIEOBEC.DBF|NIEOBEC.DBF"}, dst / "NIEOBEC", "Blad: [copy], linia 2 skryptu update.dat"},
      {{"[copy]", "NIEOBEC.FPT|NIEOBEC.FPT"}, dst / "NIEOBEC", "Blad: [copy], linia 2 skryptu update.dat"},
      {{"[copy_in_dst]", "KADRY.DBF|NIEOBEC.DBF"}, dst / "NIEOBEC", "Blad: [copy_in_dst], linia 2 skryptu update.dat"},
      {{"[copy_in_src]", "NIEOBEC.DBF|STARA.DBF"}, src / "STARA", "Blad: [copy_in_src], linia 2 skryptu update.dat"},
      {{"[dbase]", "dst_base=KADRY.DBF|k", "kon_copy=NIEOBEC.DBF|NIEOBEC.DBF", "-"}, dst / "NIEOBEC",
       "Blad: [dbase], linia 3 skryptu update.dat"},
  };
  for (const auto& c : cases) {
    table(c.held);
    auto dbf = readFile(fileOf(c.held, "dbf")), fpt = readFile(fileOf(c.held, "fpt"));
    auto kadry = readFile(fileOf(dst / "KADRY", "dbf"));
    // Another program holds the table open shared until the run has tried it.
    Child holder([&](int toParent, int fromParent) {
      run("DBUSEAREA(.T., , '" + c.held.string() + "', 'INNY', .T.)");
      sendLine(toParent, "h");
      readLineFrom(fromParent);
      return 0;
    });
    EXPECT_EQ(holder.readLine(), "h");
    messages.clear();
    EXPECT_FALSE(runScript(c.script)) << c.line;
    holder.send("r");
    EXPECT_EQ(holder.wait(), 0);
    ASSERT_FALSE(messages.empty()) << c.line;
    EXPECT_EQ(messages[0][0], c.line);
    EXPECT_EQ(messages[0][1].rfind("Plik docelowy jest uzywany przez inny program:", 0), 0u) << messages[0][1];
    EXPECT_EQ(readFile(fileOf(c.held, "dbf")), dbf) << c.line;
    EXPECT_EQ(readFile(fileOf(c.held, "fpt")), fpt) << c.line;
    EXPECT_EQ(readFile(fileOf(dst / "KADRY", "dbf")), kadry) << c.line;
    EXPECT_FALSE(fs::exists(dst / patch::kBackupDir)) << c.line;
    for (const char* ext : {"dbf", "fpt", "cdx"}) fs::remove(fileOf(c.held, ext));
  }
}

TEST_F(RunEnd, FilesPutBackKeepTheirModeAndSymbolicLinksStay) {
  // KADRY is shared with the group (0660); PLACE lies elsewhere, reached through a link.
  fs::path kadryFile = fileOf(dst / "KADRY", "dbf");
  ::chmod(kadryFile.c_str(), 0660);
  fs::path real = root / "dane" / "PLACE";
  table(real);
  for (const auto& e : fs::directory_iterator(real.parent_path()))
    fs::create_symlink(e.path(), dst / e.path().filename());
  fs::path link = dst / fileOf(real, "dbf").filename();
  std::string kadry = amounts(dst / "KADRY"), place = amounts(real);
  EXPECT_FALSE(runScript({"[dbase]", "dst_base=PLACE.DBF|p", "dst_base=KADRY.DBF|k",
                          "rek_blok={|| k->kwota := 7, p->kwota := 7 }", "-",
                          "[dbase]", "src_base=BRAK.DBF|b", "-"}));
  EXPECT_EQ(amounts(dst / "KADRY"), kadry);
  EXPECT_EQ(amounts(real), place);
  struct stat st;
  ASSERT_EQ(::stat(kadryFile.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0660u);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), fileOf(real, "dbf"));
}

}  // namespace
}  // namespace patchtest
