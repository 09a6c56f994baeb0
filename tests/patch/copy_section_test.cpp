// The copy sections: copy lines, attributes, company mode and the refusals.
#include "patch_fixture.h"

#include <sys/stat.h>

#include "console/copy_file.h"
#include "patch/copy_section.h"

namespace patchtest {
namespace {

class CopySection : public InstallerTest {
 protected:
  // PRZEDS.DBF in `dir` with the given company names (field width 4); `deleted` marks the last.
  void companies(const fs::path& dir, const std::vector<std::string>& names, bool deleteLast = false) {
    std::string table = (dir / "PRZEDS").string();
    run("DBCREATE('" + table + "', {{'PRZEDS','C',4,0}})");
    run("DBUSEAREA(.T., , '" + table + "', 'PRZ_MAKE', .F.)");
    for (const auto& n : names) {
      run("DBAPPEND()");
      run("FIELDPUT(1, '" + n + "')");
    }
    if (deleteLast) run("DBDELETE()");
    run("DBCLOSEAREA()");
  }
  bool readOnly(const fs::path& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR);
  }
};

TEST_F(CopySection, CopyLinesAsTheyAreSplit) {
  struct Case {
    const char* line;
    const char* source;
    const char* destination;
    int attributes;
    const char* date;  // "" none
    const char* time;
    const char* condition;
  };
  const Case cases[] = {
      {"PROG.EXE|EXE\\PROG.EXE", "PROG.EXE", "EXE\\PROG.EXE", patch::kKeepAttributes, "", "", ""},
      {"\\PROG.EXE|\\EXE\\PROG.EXE", "PROG.EXE", "EXE\\PROG.EXE", patch::kKeepAttributes, "", "", ""},
      {"A.TXT|B.TXT|RH", "A.TXT", "B.TXT", 3, "", "", ""},
      {"A.TXT|B.TXT|rh", "A.TXT", "B.TXT", 0, "", "", ""},
      {"A.TXT|B.TXT|", "A.TXT", "B.TXT", 0, "", "", ""},
      {"A.TXT|B.TXT|nil", "A.TXT", "B.TXT", patch::kKeepAttributes, "", "", ""},
      {"A.TXT|B.TXT| NIL", "A.TXT", "B.TXT", 0, "", "", ""},
      {"A.TXT|B.TXT|brak", "A.TXT", "B.TXT", 0, "", "", ""},
      {"A.TXT|B.TXT|RHSA", "A.TXT", "B.TXT", 39, "", "", ""},
      {"A.TXT|B.TXT|NIL|20190901|14:05:31", "A.TXT", "B.TXT", patch::kKeepAttributes, "20190901", "14:05:31", ""},
      {"A.TXT|B.TXT|NIL|2019-9-1", "A.TXT", "B.TXT", patch::kKeepAttributes, "2019-9-1", "", ""},
      {"A.TXT|B.TXT|NIL|NIL|NIL|{||.f.}", "A.TXT", "B.TXT", patch::kKeepAttributes, "", "", "{||.f.}"},
      {" A.TXT | B.TXT ", "A.TXT", "B.TXT", patch::kKeepAttributes, "", "", ""},
      {"A.TXT| B.TXT |RH", "A.TXT", "B.TXT ", 3, "", "", ""},
      {"A.TXT", "", "", patch::kKeepAttributes, "", "", ""},
  };
  for (const Case& c : cases) {
    patch::CopyLine l = patch::parseCopyLine(patch::cleanScriptLine(c.line));
    EXPECT_EQ(l.source, c.source) << c.line;
    EXPECT_EQ(l.destination, c.destination) << c.line;
    EXPECT_EQ(l.attributes, c.attributes) << c.line;
    EXPECT_EQ(l.date.value_or(""), c.date) << c.line;
    EXPECT_EQ(l.time.value_or(""), c.time) << c.line;
    EXPECT_EQ(l.condition.value_or(""), c.condition) << c.line;
  }
  // A time without a date asks for today's date.
  patch::CopyLine today = patch::parseCopyLine("A.TXT|B.TXT|NIL|NIL|14:05:31");
  ASSERT_TRUE(today.date);
  EXPECT_EQ(*today.date, run("DTOS(DATE())").str());
}

TEST_F(CopySection, CopiesIntoTheDestinationWithAttributesAndConditions) {
  writeFile(src / "PROG.EXE", "program");
  writeFile(src / "A.TXT", "a");
  writeFile(root / "outside.txt", "outside");
  fs::create_directories(dst / "exe");
  EXPECT_TRUE(runScript({"[copy]", "PROG.EXE|EXE\\PROG.EXE|R", "A.TXT|B.TXT|NIL|NIL|NIL|{|| .f. }",
                         "A.TXT|C.TXT|NIL|NIL|NIL|{|| file('A.TXT') }",
                         "*" + (root / "outside.txt").string() + "|OUT.TXT",
                         "A.TXT|*" + (root / "copied.txt").string()}));
  EXPECT_EQ(readFile(dst / "exe" / "PROG.EXE"), "program");
  EXPECT_TRUE(readOnly(dst / "exe" / "PROG.EXE"));
  EXPECT_FALSE(fs::exists(dst / "B.TXT"));
  EXPECT_TRUE(fs::exists(dst / "C.TXT"));
  EXPECT_EQ(readFile(dst / "OUT.TXT"), "outside");
  EXPECT_EQ(readFile(root / "copied.txt"), "a");
  // Within one directory.
  EXPECT_TRUE(runScript({"[copy_in_dst]", "EXE\\PROG.EXE|EXE\\PROG.BAK|BRAK"}));
  EXPECT_EQ(readFile(dst / "exe" / "PROG.BAK"), "program");
  EXPECT_FALSE(readOnly(dst / "exe" / "PROG.BAK"));
}

TEST_F(CopySection, MissingSourceStopsTheSectionWithItsName) {
  writeFile(src / "A.TXT", "a");
  EXPECT_FALSE(runScript({"[copy]", "BRAK.TXT|X.TXT", "A.TXT|A.TXT"}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], (std::vector<std::string>{"Blad w okresleniu pliku zrodlowego:", (src / "BRAK.TXT").string()}));
  EXPECT_FALSE(fs::exists(dst / "A.TXT"));
}

TEST_F(CopySection, FailedCopyShowsAMessageAndFailsTheSection) {
  writeFile(src / "A.TXT", "a");
  // The directory NIE_MA does not exist below the destination.
  EXPECT_FALSE(runScript({"[copy]", "A.TXT|NIE_MA\\A.TXT", "A.TXT|A.TXT"}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0][0], "Blad: [copy], linia 2 skryptu update.dat");
  EXPECT_FALSE(fs::exists(dst / "A.TXT"));
}

TEST_F(CopySection, CompanyModeCopiesIntoEveryCompanyDirectory) {
  writeFile(src / "A.TXT", "a");
  writeFile(src / "C.TXT", "c");
  companies(dst, {"AB", "", "CD", "XY"}, /*deleteLast=*/true);
  fs::create_directories(dst / "PRZEDS" / "AB__");
  fs::create_directories(dst / "PRZEDS" / "CD__");
  EXPECT_TRUE(runScript({"[copy]", "status=+przeds", "A.TXT|B.TXT", "STATUS=-PRZEDS", "C.TXT|D.TXT"}));
  EXPECT_EQ(readFile(dst / "PRZEDS" / "AB__" / "B.TXT"), "a");
  EXPECT_EQ(readFile(dst / "PRZEDS" / "CD__" / "B.TXT"), "a");
  EXPECT_FALSE(fs::exists(dst / "PRZEDS" / "XY__"));  // deleted record not visited
  EXPECT_EQ(readFile(dst / "D.TXT"), "c");
  // A section ending in company mode closes the list: the next section can open it again.
  EXPECT_TRUE(runScript({"[copy]", "STATUS=+PRZEDS", "A.TXT|E.TXT", "[copy]", "STATUS=+PRZEDS", "C.TXT|F.TXT"}));
  EXPECT_TRUE(fs::exists(dst / "PRZEDS" / "CD__" / "F.TXT"));
}

TEST_F(CopySection, CompanyModeRefusals) {
  writeFile(src / "A.TXT", "a");
  // No company list: the switch is a copy line and fails naming the from-directory.
  EXPECT_FALSE(runScript({"[copy]", "STATUS=+PRZEDS", "A.TXT|B.TXT"}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0][1], src.string() + "/");
  messages.clear();

  companies(dst, {"AB"});
  fs::create_directories(dst / "PRZEDS" / "AB__");
  // A full destination name cannot be copied per company.
  EXPECT_FALSE(runScript({"[copy]", "STATUS=+PRZEDS", "A.TXT|*" + (root / "x.txt").string()}));
  EXPECT_FALSE(fs::exists(root / "x.txt"));
  ASSERT_EQ(messages.size(), 1u);
  messages.clear();
  // A second switch-on while on fails like a copy line.
  EXPECT_FALSE(runScript({"[copy]", "STATUS=+PRZEDS", "STATUS=+PRZEDS"}));
  messages.clear();
  EXPECT_FALSE(runScript({"[copy]", "STATUS = +PRZEDS"}));
}

TEST_F(CopySection, CompanyNamesThatLeaveTheCompanyDirectoriesAreRefused) {
  writeFile(src / "A.TXT", "a");
  for (const char* bad : {"..", "a/b", "c:x", "a\\\\b"}) {
    fs::remove(dst / "PRZEDS.dbf");
    companies(dst, {bad});
    messages.clear();
    EXPECT_FALSE(runScript({"[copy]", "STATUS=+PRZEDS", "A.TXT|B.TXT"})) << bad;
    ASSERT_EQ(messages.size(), 1u) << bad;
    EXPECT_EQ(messages[0][0], "Niedozwolona nazwa firmy w PRZEDS.DBF:") << bad;
  }
  EXPECT_FALSE(fs::exists(root / "B.TXT"));
}

TEST_F(CopySection, BusyCompanyListHasItsOwnMessage) {
  writeFile(src / "A.TXT", "a");
  companies(dst, {"AB"});
  // Held open exclusively by another opening of this process.
  run("DBUSEAREA(.T., , '" + (dst / "PRZEDS").string() + "', 'INNY', .F.)");
  EXPECT_FALSE(runScript({"[copy]", "STATUS=+PRZEDS", "A.TXT|B.TXT"}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0][1].find("uzywana przez inny program"), std::string::npos);
}

}  // namespace
}  // namespace patchtest
