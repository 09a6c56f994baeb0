// The "[dbase]" section: reading groups, running them once or per company, indexes, and a failed
// group that leaves every table as it was.
#include "patch_fixture.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <map>

#include "patch/dbase_section.h"
#include "patch/file_backup.h"

namespace patchtest {
namespace {

std::string shell(const std::string& command) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  ::pclose(p);
  return out;
}

class TableMigration : public InstallerTest {
 protected:
  // The old table: three employees with notes, the middle one deleted.
  void oldTable(const fs::path& dir) {
    fs::create_directories(dir);
    std::string t = (dir / "KADRY").string();
    run("DBCREATE('" + t + "', {{'NR','C',5,0},{'NAZW','C',20,0},{'UWAGI','M',10,0},{'KWOTA','N',10,2}})");
    run("DBUSEAREA(.T., , '" + t + "', 'MAKE', .F.)");
    const char* rows[][4] = {{"    3", "Nowak", "pierwsza notatka", "100.50"},
                             {"    2", "Usuniety", "usunieta", "5"},
                             {"    1", "Kowalski", "druga notatka", "7.25"}};
    for (auto& r : rows) {
      run("DBAPPEND()");
      run(std::string("FIELDPUT(1, '") + r[0] + "')");
      run(std::string("FIELDPUT(2, '") + r[1] + "')");
      run(std::string("FIELDPUT(3, '") + r[2] + "')");
      run(std::string("FIELDPUT(4, ") + r[3] + ")");
    }
    run("DBGOTO(2)");
    run("DBDELETE()");
    run("DBCLOSEAREA()");
  }
  // The new structure: a wider name, no amount, a new logical field.
  void newTable(const fs::path& dir) {
    run("DBCREATE('" + (dir / "KADRY_N").string() +
        "', {{'NR','C',5,0},{'NAZW','C',30,0},{'UWAGI','M',10,0},{'NOWE','L',1,0}})");
  }
  std::map<std::string, std::string> snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir))
      if (e.is_regular_file()) files[e.path().filename().string()] = readFile(e.path());
    return files;
  }

  // Two companies F1 and F2, each with the old table and its marker.
  void twoCompanies() {
    std::string list = (dst / "PRZEDS").string();
    run("DBCREATE('" + list + "', {{'PRZEDS','C',2,0}})");
    run("DBUSEAREA(.T., , '" + list + "', 'MK', .F.)");
    for (const char* n : {"F1", "F2"}) {
      run("DBAPPEND()");
      run(std::string("FIELDPUT(1, '") + n + "')");
    }
    run("DBCLOSEAREA()");
    for (const char* d : {"F1", "F2"}) {
      oldTable(dst / "PRZEDS" / d);
      writeFile(dst / "PRZEDS" / d / "ZAKLAD.DBF", "");
    }
  }

  const std::vector<std::string> migration = {
      "[dbase]",
      "src_base=KADRY_N.DBF|nowa",
      "dst_base=KADRY.DBF|stara",
      "index=stara|STARE_NR.CDX|nr",
      "index=nowa|KADRY_NR.CDX|nr",
      "index=nowa|KADRY_NZ.CDX|upper(nazw)",
      "rek_pocz={|| dbselectar('stara'), dbgotop(), .t. }",
      "rek_blok={|| t_rek := stara->(read_rekord()), nowa->(dbappend()), nowa->(write_rekord(t_rek)) }",
      "kon_copy=KADRY_N.DBF|KADRY.DBF",
      "kon_copy=KADRY_N.FPT|KADRY.FPT",
      "kon_copy=KADRY_NR.CDX|KADRY_NR.CDX",
      "kon_copy=KADRY_NZ.CDX|KADRY_NZ.CDX|{|| file('KADRY_NZ.CDX') }",
      "-"};
};

TEST_F(TableMigration, KeyLinesAsTheyAreRead) {
  patch::GroupSettings g;
  bool company = false;
  auto line = [&](const char* text) { return patch::readGroupLine({text, 1}, g, company); };
  line("src_base=T1.DBF|t1");
  line("src_base=|t1");
  line("src_base=T1.DBF");
  line("dst_base=T2.DBF|t2|przeds");
  line("dst_base=T2.DBF|t2|x");
  line("dst_base=T2.DBF|t2");
  line("index=t2|T2A.CDX|nr_prac");
  line("index=t2|nr_prac");
  line("kon_copy=A.TXT|B.TXT");
  line("kon_copy=A.TXT");
  line("kon_copy=A.TXT | B.TXT");
  EXPECT_FALSE(line("Src_base=T3.DBF|t3"));
  line("rek_blok={|| 1 }");
  line("rek_blok={|| 2 }");
  line("rek_blok=");
  line("status=+przeds");
  ASSERT_EQ(g.sources.size(), 1u);
  EXPECT_EQ(g.sources[0].file, "T1.DBF");
  EXPECT_EQ(g.sources[0].alias, "t1");
  ASSERT_EQ(g.destinations.size(), 3u);
  EXPECT_TRUE(g.destinations[0].perCompany);
  EXPECT_FALSE(g.destinations[1].perCompany);
  EXPECT_FALSE(g.destinations[2].perCompany);
  ASSERT_EQ(g.indexes.size(), 1u);
  EXPECT_EQ(g.indexes[0].key, "nr_prac");
  ASSERT_EQ(g.finalCopies.size(), 2u);
  EXPECT_EQ(g.finalCopies[1].source, "A.TXT ");
  EXPECT_EQ(g.finalCopies[1].destination, " B.TXT");
  EXPECT_EQ(g.recordBlocks.size(), 2u);
  EXPECT_TRUE(company);
}

TEST_F(TableMigration, MigratesATableToANewStructureKeepingRecordsAndMemos) {
  oldTable(dst);
  newTable(src);
  ASSERT_TRUE(runScript(migration)) << allMessages();
  EXPECT_TRUE(messages.empty()) << allMessages();

  // The migrated table, read by an independent reader: records in order, the deleted one gone,
  // fields matched by name, memos carried over.
  std::string rows = shell("cd '" + dst.string() + "' && /usr/bin/python3 -c \"import dbf\n"
                           "t=dbf.Table('KADRY.dbf', default_data_types={'C': str}, codepage=0x64)\n"
                           "t.open()\n"
                           "for r in t: print(repr(r.nr), r.nazw.strip(), r.uwagi, r.nowe)\" 2>&1");
  // The old table was walked in the order of its new index (by number).
  EXPECT_EQ(rows, "'    1' Kowalski druga notatka None\n'    3' Nowak pierwsza notatka None\n");

  // The new index files, read by Perl's XBase: keys in order with their record numbers.
  std::string keys = shell("cd '" + dst.string() +
                           "' && perl -MXBase::Index -e '$t=XBase::Index->new(\"KADRY_NR.CDX\",tag=>\"KADRY_NR\",type=>\"C\"); "
                           "$t->prepare_select; while(($k,$r)=$t->fetch){print \"[$k] $r\\n\"}' 2>&1");
  EXPECT_EQ(keys, "[    1] 1\n[    3] 2\n");
  std::string names = shell("cd '" + dst.string() +
                            "' && perl -MXBase::Index -e '$t=XBase::Index->new(\"KADRY_NZ.CDX\",tag=>\"KADRY_NZ\",type=>\"C\"); "
                            "$t->prepare_select; while(($k,$r)=$t->fetch){$k=~s/ +$//; print \"[$k] $r\\n\"}' 2>&1");
  EXPECT_EQ(names, "[KOWALSKI] 1\n[NOWAK] 2\n");
  // The destination table's index, named without a directory, was built beside its table.
  std::string old = shell("cd '" + dst.string() +
                          "' && perl -MXBase::Index -e '$i=XBase::Index->new(\"STARE_NR.CDX\",type=>\"C\"); print join(\",\",$i->tags),\"\\n\"' 2>&1");
  EXPECT_EQ(old, "STARE_NR\n");
}

TEST_F(TableMigration, FailureInTheMiddleLeavesEveryTableAsItWas) {
  oldTable(dst);
  newTable(src);
  writeFile(src / "A.TXT", "a");
  auto dstBefore = snapshot(dst);
  auto srcBefore = snapshot(src);
  std::vector<std::string> script = {
      "[dbase]",
      "dst_base=KADRY.DBF|stara",
      "index=stara|KADRY_X.CDX|nr",
      "rek_blok={|| stara->kwota := stara->kwota * 2, stara->uwagi := 'zmieniona', iif(recno() == 3, 1/0, .t.) }",
      "kon_copy=A.TXT|A.TXT",
      "-",
      "[koniec]",
      "blad={|| t_log := 'koniec po bledzie' }"};
  EXPECT_FALSE(runScript(script));
  ASSERT_EQ(messages.size(), 1u) << allMessages();
  EXPECT_EQ(messages[0][0], "Blad: [dbase], linia 4 skryptu update.dat");
  EXPECT_EQ(logged(), "koniec po bledzie");
  EXPECT_EQ(snapshot(dst), dstBefore);  // no index file left, every byte as before
  EXPECT_EQ(snapshot(src), srcBefore);
  EXPECT_FALSE(fs::exists(dst / "A.TXT"));  // a failed group makes no final copies
  // The tables are closed: they open again.
  run("DBUSEAREA(.T., , '" + (dst / "KADRY").string() + "', 'SPR', .F.)");
  EXPECT_EQ(run("KWOTA").num(), 100.5);
}

TEST_F(TableMigration, GroupsStartAfreshAfterEachTerminator) {
  oldTable(dst);
  EXPECT_TRUE(runScript({"[dbase]", "dst_base=KADRY.DBF|stara", "rek_blok={|| t_log += 'a' }", "-",
                         "dst_base=KADRY.DBF|druga", "rek_blok={|| t_log += 'b' }", "--- koniec grupy",
                         "rek_blok={|| t_log += 'c' }"}));
  EXPECT_EQ(logged(), "aabb");  // two visible records; the first group's block ran once
}

TEST_F(TableMigration, LoopBlocksAndEntryCondition) {
  oldTable(dst);
  // No rek_blok: not even rek_pocz and rek_kon run.
  EXPECT_TRUE(runScript({"[dbase]", "dst_base=KADRY.DBF|t", "rek_pocz={|| t_log += 'p', .t. }",
                         "rek_kon={|| t_log += 'k' }", "base_blok={|| t_log += 'B' }", "-"}));
  EXPECT_EQ(logged(), "B");
  rt::context().memvars.assign("t_log", rt::Value::text(""));
  // Only the last rek_war block decides; all run for every record.
  EXPECT_TRUE(runScript({"[dbase]", "dst_base=KADRY.DBF|t", "rek_war={|| t_log += 'w', .f. }",
                         "rek_war={|| trim(nazw) == 'Nowak' }", "rek_blok={|| t_log += trim(nazw) + '/' }",
                         "rek_kon={|| t_log += 'k' }", "-"}));
  EXPECT_EQ(logged(), "wNowak/wk");
  rt::context().memvars.assign("t_log", rt::Value::text(""));
  // A false entry condition skips the loop and succeeds; a false rek_pocz fails after rek_kon.
  EXPECT_TRUE(runScript({"[dbase]", "dst_base=KADRY.DBF|t", "war_we={|| .f. }", "rek_blok={|| t_log += 'x' }", "-"}));
  EXPECT_EQ(logged(), "");
  EXPECT_FALSE(runScript({"[dbase]", "dst_base=KADRY.DBF|t", "rek_pocz={|| .f. }", "rek_blok={|| t_log += 'x' }",
                          "rek_kon={|| t_log += 'k' }", "-"}));
  EXPECT_EQ(logged(), "k");
  // The group sees empty script variables of its own and the destination.
  EXPECT_TRUE(runScript({"[wer]", "blok={|| u_zm1 := 'z wer' }", "[dbase]",
                         "base_blok={|| t_log := '[' + u_zm1 + ']' + u_dst_path }", "-", "[koniec]",
                         "blok={|| t_log += '/' + u_zm1 }"}));
  EXPECT_EQ(logged(), "[]" + dstDir() + "/z wer");
}

TEST_F(TableMigration, MissingTables) {
  writeFile(src / "A.TXT", "a");
  // A missing destination table in a single run skips the group, which succeeds and copies.
  EXPECT_TRUE(runScript({"[dbase]", "dst_base=BRAK.DBF|b", "rek_blok={|| t_log += 'x' }",
                         "kon_copy=A.TXT|A.TXT", "-"}));
  EXPECT_EQ(logged(), "");
  EXPECT_TRUE(fs::exists(dst / "A.TXT"));
  // A missing source table fails the group, and the section stops there.
  EXPECT_FALSE(runScript({"[dbase]", "src_base=BRAK.DBF|b", "-", "base_blok={|| t_log += 'x' }", "-"}));
  EXPECT_EQ(logged(), "");
}

TEST_F(TableMigration, AnAliasWithManyIndexFilesGetsThemAll) {
  oldTable(dst);
  std::vector<std::string> script = {"[dbase]", "dst_base=KADRY.DBF|t"};
  for (int i = 1; i <= 12; ++i)
    script.push_back("index=t|IX" + std::to_string(i) + ".CDX|" + (i % 2 ? "nr" : "nazw"));
  script.push_back("base_blok={|| t_log := str(ordcount(), 2) + ordname(1) + '/' + trim(nazw) }");
  script.push_back("-");
  EXPECT_TRUE(runScript(script)) << allMessages();
  EXPECT_EQ(logged(), "12IX1/Kowalski");  // at the top of the first index
  for (int i = 1; i <= 12; ++i) EXPECT_TRUE(fs::exists(dst / ("IX" + std::to_string(i) + ".CDX"))) << i;
  // The controlling index is the first listed: record 3 (key "    1") comes first.
  EXPECT_TRUE(runScript({"[dbase]", "dst_base=KADRY.DBF|t", "index=t|IA.CDX|nr", "index=t|IB.CDX|nazw",
                         "rek_pocz={|| dbgotop(), t_log := nazw, .t. }", "rek_blok={|| .t. }", "-"}));
  EXPECT_EQ(logged().substr(0, 8), "Kowalski");
}

TEST_F(TableMigration, ANewIndexKeepsTheTablesOwnIndexMaintained) {
  oldTable(dst);
  run("DBUSEAREA(.T., , '" + (dst / "KADRY").string() + "', 'MAKE', .F.)");
  run("ORDCREATE(, 'NAZW', 'upper(nazw)')");
  run("DBCLOSEAREA()");
  // The group walks the new index, renames every employee and rebuilds the indexes at the end.
  EXPECT_TRUE(runScript({"[dbase]", "dst_base=KADRY.DBF|k", "index=k|KADRY_NR.CDX|nr",
                         "rek_blok={|| t_log += ordname(indexord()) + ',', k->nazw := 'Z' + trim(k->nazw) }",
                         "rek_kon={|| dbreindex() }", "-", "dst_base=KADRY.DBF|k",
                         "rek_blok={|| k->kwota := k->kwota + 1 }", "-"}))
      << allMessages();
  EXPECT_EQ(logged(), "KADRY_NR,KADRY_NR,");
  // The structural tag, walked by this runtime and read by Perl's XBase, holds the new names.
  run("DBUSEAREA(.T., , '" + (dst / "KADRY").string() + "', 'SPR', .F.)");
  run("ORDSETFOCUS('NAZW')");
  EXPECT_EQ(run("DBSEEK('ZNOWAK')").logical(), true);
  EXPECT_EQ(run("RECNO()").num(), 1);
  EXPECT_EQ(run("DBSEEK('NOWAK')").logical(), false);
  run("DBCLOSEAREA()");
  std::string keys = shell("cd '" + dst.string() +
                           "' && perl -MXBase::Index -e '$t=XBase::Index->new(\"KADRY.cdx\",tag=>\"NAZW\",type=>\"C\"); "
                           "$t->prepare_select; while(($k,$r)=$t->fetch){$k=~s/ +$//; print \"[$k] $r\\n\"}' 2>&1");
  EXPECT_EQ(keys, "[USUNIETY] 2\n[ZKOWALSKI] 3\n[ZNOWAK] 1\n");
}

TEST_F(TableMigration, ScriptsAttachIndexFilesByName) {
  oldTable(dst);
  EXPECT_TRUE(runScript({"[dbase]", "dst_base=KADRY.DBF|t", "index=t|IB.CDX|nazw", "-",
                         "dst_base=KADRY.DBF|t", "index=t|IA.CDX|nr",
                         "base_blok={|| open_indeks({{'t', 'IB.CDX'}, {'t', 'IA.CDX'}}), t_log := str(ordcount(), 1) + ordname(1) }",
                         "-"}))
      << allMessages();
  EXPECT_EQ(logged(), "2IB");
}

TEST_F(TableMigration, CompanyModeVisitsCompaniesWithTheirMarker) {
  std::string list = (dst / "PRZEDS").string();
  run("DBCREATE('" + list + "', {{'PRZEDS','C',6,0}})");
  run("DBUSEAREA(.T., , '" + list + "', 'MK', .F.)");
  for (const char* n : {"AB", "", "A B", "BEZ"}) {
    run("DBAPPEND()");
    run(std::string("FIELDPUT(1, '") + n + "')");
  }
  run("DBCLOSEAREA()");
  for (const char* d : {"AB____", "A_B___"}) {
    oldTable(dst / "PRZEDS" / d);
    writeFile(dst / "PRZEDS" / d / "ZAKLAD.DBF", "");
  }
  fs::create_directories(dst / "PRZEDS" / "BEZ___");
  writeFile(src / "A.TXT", "a");
  EXPECT_TRUE(runScript({"[dbase]", "STATUS=+PRZEDS", "dst_base=KADRY.DBF|k|przeds",
                         "war_we={|| t_log += '<', .t. }", "rek_blok={|| t_log += left(nazw, 1) }",
                         "kon_copy=A.TXT|A.TXT", "-",
                         // The next group starts afresh but stays in company mode.
                         "dst_base=KADRY.DBF|k|przeds", "rek_blok={|| t_log += '2' }", "-"}))
      << allMessages();
  EXPECT_EQ(logged(), "<NK<NK2222");
  EXPECT_TRUE(fs::exists(dst / "PRZEDS" / "AB____" / "A.TXT"));
  EXPECT_TRUE(fs::exists(dst / "PRZEDS" / "A_B___" / "A.TXT"));
  EXPECT_FALSE(fs::exists(dst / "PRZEDS" / "BEZ___" / "A.TXT"));
}

TEST_F(TableMigration, CompanyFailureRestoresEveryCompanyVisited) {
  twoCompanies();
  auto f1 = snapshot(dst / "PRZEDS" / "F1");
  auto f2 = snapshot(dst / "PRZEDS" / "F2");
  // The first company is done (rek_kon marks it), the second fails on its last record.
  EXPECT_FALSE(runScript({"[dbase]", "STATUS=+PRZEDS", "dst_base=KADRY.DBF|k|przeds",
                          "rek_blok={|| k->kwota := 1, iif(t_log == 'F1' .and. k->nr == '    1', 1/0, .t.) }",
                          "rek_kon={|| t_log := 'F1' }", "-"}));
  EXPECT_EQ(snapshot(dst / "PRZEDS" / "F1"), f1);
  EXPECT_EQ(snapshot(dst / "PRZEDS" / "F2"), f2);
}

TEST_F(TableMigration, AChangeAnotherProgramCommitsWhileTheMessageWaitsSurvives) {
  twoCompanies();
  auto f1 = snapshot(dst / "PRZEDS" / "F1");
  std::string held = (dst / "PRZEDS" / "F2" / "KADRY").string();
  int toChild[2], fromChild[2];
  ASSERT_EQ(::pipe(toChild), 0);
  ASSERT_EQ(::pipe(fromChild), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The other program: holds F2's table shared, and commits a change when told to.
    char c = 0;
    int code = 1;
    try {
      run("DBUSEAREA(.T., , '" + held + "', 'INNY', .T.)");
      if (::write(fromChild[1], "h", 1) == 1 && ::read(toChild[0], &c, 1) == 1) {
        run("DBGOTO(1)");
        run("RLOCK()");
        run("FIELDPUT(2, 'Zmiana drugiego')");
        run("DBCOMMIT()");
        run("DBCLOSEAREA()");
        code = 0;
      }
    } catch (...) {
    }
    if (::write(fromChild[1], "d", 1) != 1) code = 2;
    ::_exit(code);
  }
  char c = 0;
  ASSERT_EQ(::read(fromChild[0], &c, 1), 1);
  patch::setMessageObserver([&](const std::vector<std::string>& lines) {
    messages.push_back(lines);
    if (lines[0].rfind("Wystapil problem z otwarciem bazy", 0) == 0) {
      // While the message waits for its key, the other program commits and lets the table go.
      EXPECT_EQ(::write(toChild[1], "g", 1), 1);
      EXPECT_EQ(::read(fromChild[0], &c, 1), 1);
    }
  });
  EXPECT_FALSE(runScript({"[dbase]", "STATUS=+PRZEDS", "dst_base=KADRY.DBF|k|przeds",
                          "rek_blok={|| k->kwota := 1 }", "-"}));
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_FALSE(messages.empty());
  std::vector<std::string> named = patch::withPath("Wystapil problem z otwarciem bazy: ",
                                                   dstDir() + "PRZEDS\\F2\\KADRY.DBF");
  EXPECT_EQ(std::vector<std::string>(messages[0].begin(), messages[0].begin() + long(named.size())), named);
  EXPECT_EQ(snapshot(dst / "PRZEDS" / "F1"), f1);  // the first company put back
  run("DBUSEAREA(.T., , '" + held + "', 'SPR', .F.)");
  EXPECT_EQ(run("NAZW").str(), "Zmiana drugiego     ");  // the other program's change kept
}

TEST_F(TableMigration, ALateFailurePutsBackEveryEarlierGroupSoTheRerunCountsOnce) {
  struct Case {
    const char* what;
    std::vector<std::string> tail;  // fails on the first run, succeeds on the second
  };
  const Case cases[] = {
      {"a later group", {"[dbase]", "src_base=NOWA.DBF|n", "-"}},
      {"a later copy section", {"[copy]", "NOWA.DBF|NOWA.DBF"}},
  };
  for (const Case& c : cases) {
    fs::remove_all(dst);
    fs::create_directories(dst);
    fs::remove(src / "NOWA.dbf");
    twoCompanies();
    oldTable(dst);
    auto before = snapshot(dst);
    auto f1 = snapshot(dst / "PRZEDS" / "F1");
    std::vector<std::string> script = {"[dbase]", "dst_base=KADRY.DBF|k", "index=k|KADRY_NR.CDX|nr",
                                       "rek_blok={|| k->kwota := k->kwota + 1 }", "-", "STATUS=+PRZEDS",
                                       "dst_base=KADRY.DBF|k|przeds", "rek_blok={|| k->kwota := k->kwota + 1 }", "-"};
    script.insert(script.end(), c.tail.begin(), c.tail.end());
    EXPECT_FALSE(runScript(script)) << c.what;
    EXPECT_EQ(snapshot(dst), before) << c.what;
    EXPECT_EQ(snapshot(dst / "PRZEDS" / "F1"), f1) << c.what;
    EXPECT_FALSE(fs::exists(dst / patch::kBackupDir)) << c.what;
    // The rerun the user is told to make: every conversion once.
    run("DBCREATE('" + (src / "NOWA").string() + "', {{'X','C',1,0}})");
    EXPECT_TRUE(runScript(script)) << c.what << allMessages();
    EXPECT_FALSE(fs::exists(dst / patch::kBackupDir)) << c.what;
    for (const fs::path& table : {dst / "KADRY", dst / "PRZEDS" / "F1" / "KADRY"}) {
      run("DBUSEAREA(.T., , '" + table.string() + "', 'SPR', .F.)");
      EXPECT_EQ(run("KWOTA").num(), 101.5) << c.what << table;
      run("DBCLOSEAREA()");
    }
  }
}

TEST_F(TableMigration, ARunKilledInTheMiddleOfAGroupIsPutBackByTheNextRun) {
  twoCompanies();
  oldTable(dst);
  auto before = snapshot(dst);
  auto f1 = snapshot(dst / "PRZEDS" / "F1");
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The installer, killed in the second company's group, on its second record.
    rt::functions().add("T_ZABIJ", [](rt::Args&) {
      ::raise(SIGKILL);
      return rt::Value();
    });
    runScript({"[dbase]", "dst_base=KADRY.DBF|k", "rek_blok={|| k->kwota := 0, k->uwagi := 'x' }", "-",
               "STATUS=+PRZEDS", "dst_base=KADRY.DBF|k|przeds", "index=k|KADRY_NR.CDX|nr",
               "rek_blok={|| k->kwota := 0, iif(recno() == 1, t_zabij(), .t.) }", "-"});
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_TRUE(fs::exists(dst / patch::kBackupDir / patch::kJournalFile));
  EXPECT_NE(snapshot(dst), before);  // half done
  EXPECT_TRUE(runScript({"[koniec]", "ok={|| t_log := 'ok' }"})) << allMessages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0][0], "Poprzednie uzupelnienie zostalo przerwane.");
  EXPECT_EQ(logged(), "ok");
  EXPECT_EQ(snapshot(dst), before);
  EXPECT_EQ(snapshot(dst / "PRZEDS" / "F1"), f1);
  EXPECT_FALSE(fs::exists(dst / patch::kBackupDir));
}

TEST_F(TableMigration, ASystemHeldByAnotherInstallerIsLeftAlone) {
  oldTable(dst);
  fs::create_directories(dst / patch::kBackupDir);
  writeFile(dst / patch::kBackupDir / patch::kJournalFile, "");
  int fd = ::open(dst.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  auto before = snapshot(dst);
  EXPECT_FALSE(runScript({"[dbase]", "dst_base=KADRY.DBF|k", "rek_blok={|| k->kwota := 0 }", "-"}));
  ::close(fd);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0][0], "Inne uzupelnienie tego systemu jest w toku !");
  EXPECT_EQ(snapshot(dst), before);
  EXPECT_TRUE(fs::exists(dst / patch::kBackupDir / patch::kJournalFile));
}

TEST_F(TableMigration, CompanyBlocksSeeTheirCompanyRecord) {
  twoCompanies();
  EXPECT_TRUE(runScript({"[dbase]", "STATUS=+PRZEDS", "dst_base=KADRY.DBF|k|przeds",
                         "base_blok={|| t_log += trim(przeds->przeds) + iif(file(u_dst_path + 'PRZEDS\\' + "
                         "trim(przeds->przeds) + '\\ZAKLAD.DBF'), '+', '-') + '/' }",
                         "-"}))
      << allMessages();
  EXPECT_EQ(logged(), "F1+/F2+/");
}

TEST_F(TableMigration, ACompanyListWithABadNameAfterAGoodOneChangesNothing) {
  twoCompanies();
  writeFile(src / "A.TXT", "a");
  auto f1 = snapshot(dst / "PRZEDS" / "F1");
  struct Case {
    const char* name;
    bool migrationRefuses;  // a missing directory only keeps the copies from starting
  };
  const Case cases[] = {{"..", true}, {"A\\", true}, {"C:", true}, {"X/", true}, {"ZZ", false}};
  for (const Case& c : cases) {
    run("DBUSEAREA(.T., , '" + (dst / "PRZEDS").string() + "', 'MK', .F.)");
    run("DBGOTO(2)");
    run(std::string("FIELDPUT(1, '") + c.name + "')");
    run("DBCLOSEAREA()");
    messages.clear();
    EXPECT_EQ(runScript({"[dbase]", "STATUS=+PRZEDS", "dst_base=KADRY.DBF|k|przeds",
                         "rek_blok={|| k->kwota := 1 }", "kon_copy=A.TXT|A.TXT", "-"}),
              !c.migrationRefuses)
        << c.name;
    if (c.migrationRefuses) {
      EXPECT_NE(allMessages().find(c.name), std::string::npos) << c.name << allMessages();
      EXPECT_EQ(snapshot(dst / "PRZEDS" / "F1"), f1) << c.name;
    }
    fs::remove(dst / "PRZEDS" / "F1" / "A.TXT");
    messages.clear();
    EXPECT_FALSE(runScript({"[copy]", "STATUS=+PRZEDS", "A.TXT|A.TXT"})) << c.name;
    EXPECT_NE(allMessages().find(c.name), std::string::npos) << c.name << allMessages();
    EXPECT_FALSE(fs::exists(dst / "PRZEDS" / "F1" / "A.TXT")) << c.name;
    for (const auto& [file, bytes] : f1) writeFile(dst / "PRZEDS" / "F1" / file, bytes);
  }
}

TEST_F(TableMigration, ErrorsInOpeningIndexingOrBlocksNameTheirLine) {
  oldTable(dst);
  writeFile(dst / "ZEPSUTA.DBF", "to nie jest tabela");
  auto before = snapshot(dst);
  struct Case {
    std::vector<std::string> script;
    int line;
  };
  const Case cases[] = {
      {{"[dbase]", "dst_base=KADRY.DBF|k", "dst_base=ZEPSUTA.DBF|z", "-"}, 3},
      {{"[dbase]", "dst_base=KADRY.DBF|k", "index=k|KADRY_X.CDX|nie_ma_pola", "-"}, 3},
      {{"[dbase]", "dst_base=KADRY.DBF|k", "war_we={|| nie_ma_funkcji() }", "-"}, 3},
      {{"[dbase]", "dst_base=KADRY.DBF|k", "rek_blok={|| k->kwota := 'tekst' }", "-"}, 3},
      {{"[dbase]", "dst_base=KADRY.DBF|k", "rek_blok={|| ((( }", "-"}, 3},
  };
  for (const Case& c : cases) {
    messages.clear();
    rt::context().memvars.assign("t_log", rt::Value::text(""));
    std::vector<std::string> script = c.script;
    script.insert(script.end(), {"[koniec]", "blad={|| t_log := 'koniec' }"});
    EXPECT_FALSE(runScript(script)) << c.script[2];
    ASSERT_FALSE(messages.empty()) << c.script[2];
    EXPECT_EQ(messages[0][0], "Blad: [dbase], linia " + std::to_string(c.line) + " skryptu update.dat") << c.script[2];
    EXPECT_EQ(logged(), "koniec") << c.script[2];
    EXPECT_EQ(snapshot(dst), before) << c.script[2];
    EXPECT_EQ(run("SELECT('k')").num(), 0) << c.script[2];  // the work areas are closed
  }
}

TEST_F(TableMigration, ATableHeldByAnotherProgramFailsTheGroupWithAMessage) {
  oldTable(dst);
  run("DBUSEAREA(.T., , '" + (dst / "KADRY").string() + "', 'INNY', .F.)");
  EXPECT_FALSE(runScript({"[dbase]", "dst_base=KADRY.DBF|k", "rek_blok={|| t_log += 'x' }", "-"}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], (std::vector<std::string>{"Wystapil problem z otwarciem bazy: " + (dst / "KADRY.DBF").string(),
                                                   "Baza jest uzywana przez inny program."}));
  EXPECT_EQ(logged(), "");
}

TEST_F(TableMigration, ALongTablePathStandsOnALineOfItsOwnWithItsEndReadable) {
  fs::path deep = dst / "KATALOG_FIRMY_O_BARDZO_DLUGIEJ_NAZWIE" / "DRUGI_POZIOM_TEZ_DLUGI";
  oldTable(deep);
  run("DBUSEAREA(.T., , '" + (deep / "KADRY").string() + "', 'INNY', .F.)");
  EXPECT_FALSE(runScript({"[dbase]",
                          "dst_base=KATALOG_FIRMY_O_BARDZO_DLUGIEJ_NAZWIE\\DRUGI_POZIOM_TEZ_DLUGI\\KADRY.DBF|k",
                          "-"}));
  ASSERT_EQ(messages.size(), 1u);
  ASSERT_EQ(messages[0].size(), 3u);
  EXPECT_EQ(messages[0][0], "Wystapil problem z otwarciem bazy:");
  const std::string& path = messages[0][1];
  EXPECT_LE(path.size(), 74u);
  EXPECT_EQ(path.substr(0, 3), "...");
  EXPECT_TRUE(path.ends_with("/DRUGI_POZIOM_TEZ_DLUGI/KADRY.DBF")) << path;
  EXPECT_EQ(messages[0][2], "Baza jest uzywana przez inny program.");
}

TEST_F(TableMigration, AFailedSectionLeavesNoTableOpen) {
  oldTable(dst);
  EXPECT_FALSE(runScript({"[wer]", "blok={|| dbusearea(.t., , u_dst_path + 'KADRY', 'q', .f.), 1/0 }"}));
  EXPECT_EQ(run("SELECT('q')").num(), 0);
  EXPECT_FALSE(runScript({"[koniec]", "blok={|| dbusearea(.t., , '" + dstDir() + "KADRY', 'q', .f.), 1/0 }"}));
  EXPECT_EQ(run("SELECT('q')").num(), 0);
}

TEST_F(TableMigration, TablesMadePackedEmptiedAndReindexedByAScriptAreRealTables) {
  EXPECT_TRUE(runScript({
      "[wer]", "blok={|| .t. }", "[koniec]",
      "blok={|| dbcreate(u_dst_path + 'NOWA', {{'KOD','C',4,0},{'ILE','N',6,1}}), dbusearea(.t., , u_dst_path + 'NOWA', 'n', .f.) }",
      "blok={|| dbappend(), fieldput(1, 'B'), fieldput(2, 2), dbappend(), fieldput(1, 'A'), fieldput(2, -1.5) }",
      "blok={|| dbappend(), fieldput(1, 'C'), fieldput(2, 3), ordcreate(u_dst_path + 'NOWA', 'KOD', 'kod') }",
      "blok={|| dbgoto(1), dbdelete(), _db_pack(), dbreindex(), dbcloseall() }",
      "blok={|| dbcreate(u_dst_path + 'PUSTA', {{'X','C',2,0}}), dbusearea(.t., , u_dst_path + 'PUSTA', 'p', .f.) }",
      "blok={|| dbappend(), fieldput(1, 'x'), _db_zap(), dbcloseall() }"}))
      << allMessages();
  EXPECT_TRUE(messages.empty()) << allMessages();
  std::string rows = shell("cd '" + dst.string() + "' && /usr/bin/python3 -c \"import dbf\n"
                           "t=dbf.Table('NOWA.dbf', default_data_types={'C': str})\n"
                           "t.open()\n"
                           "print([(r.kod.strip(), r.ile) for r in t])\n"
                           "p=dbf.Table('PUSTA.dbf')\n"
                           "p.open()\n"
                           "print(len(p))\" 2>&1");
  EXPECT_EQ(rows, "[('A', -1.5), ('C', 3.0)]\n0\n");
  std::string keys = shell("cd '" + dst.string() +
                           "' && perl -MXBase::Index -e '$t=XBase::Index->new(\"NOWA.cdx\",tag=>\"KOD\",type=>\"C\"); "
                           "$t->prepare_select; while(($k,$r)=$t->fetch){$k=~s/ +$//; print \"[$k] $r\\n\"}' 2>&1");
  EXPECT_EQ(keys, "[A] 1\n[C] 2\n");
}

}  // namespace
}  // namespace patchtest
