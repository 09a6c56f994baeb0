// The dictionary editor on a company: an entry changed, a form left with Esc, entries added and
// deleted, and a change refused while another opening holds the entry's lock.
#include "tests/zus/shell/settings_fixture.h"

#include "suite/payroll/pickers.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"
#include "tests/runtime/db/helpers/killed_at_write.h"
#include "tests/support/scoped_functions.h"

namespace settings_test {
namespace {

using suite::call;

struct StoredEntry {
  int records = 0;  // records with the code, deleted ones included
  bool deleted = false;
  std::string skrot, nazwa, wart;
};

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// Opens SLOWNIK a second time under `alias`, shared, and leaves it selected.
void openSecondHandle(const char* alias) {
  call("DBUSEAREA", {rt::Value::logical(true), rt::Value(),
                     rt::Value::text(suite::tablePath(*suite::findTable("SLOWNIK")) + ".dbf"),
                     rt::Value::text(alias), rt::Value::logical(true), rt::Value::logical(false)});
  ASSERT_FALSE(call("NETERR").logicalOr(true));
}

// What SLOWNIK holds for a code, read through an opening of its own.
StoredEntry stored(const std::string& kod) {
  rt::Value previous = call("SELECT");
  StoredEntry e;
  rt::Value deletedHidden = call("SET", {rt::Value::integer(11), rt::Value::logical(false)});
  openSecondHandle("slcheck");
  for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP")) {
    if (suite::field("kod").strOr("") != kod) continue;
    ++e.records;
    e.deleted = call("DELETED").logicalOr(false);
    e.skrot = trimmed(suite::field("skrot").strOr(""));
    e.nazwa = trimmed(suite::field("nazwa").strOr(""));
    e.wart = trimmed(suite::field("wart").strOr(""));
  }
  call("DBCLOSEAREA");
  call("SET", {rt::Value::integer(11), deletedHidden});
  if (previous.intOr(0) > 0) call("DBSELECTAREA", {previous});
  return e;
}

const std::vector<rt::Value> kZ = {rt::Value(), rt::Value::text("Z")};
constexpr const char* kRefused = "Pozycja sl`ownika jest ux`ywana przez innego ux`ytkownika !";

using DictionaryEditor = SettingsCompany;

TEST_F(DictionaryEditor, AnEditedEntryIsStoredAndTheSelectedAreaComesBack) {
  start([&] {
    rt::Value before = call("SELECT");
    // The first entry: a new abbreviation (the rest of the old one cut with Ctrl+Y), the name
    // kept, a value; Enter past the last field writes the form.
    entry("MODISLOW", kZ,
          join({{K_ENTER}, text("zmiana"), {K_CTRL_Y, K_ENTER, K_ENTER}, text("12.5"), {K_ENTER, K_ESC}}));
    EXPECT_EQ(call("SELECT").intOr(-1), before.intOr(-2));
    StoredEntry e = stored("Z01");
    EXPECT_EQ(e.skrot, "ZMIANA");
    EXPECT_EQ(e.nazwa, "Zasil`ek chorobowy ZUS");
    EXPECT_EQ(e.wart, "12.5");
  });
}

TEST_F(DictionaryEditor, EscInTheFormKeepsTheStoredValues) {
  start([&] {
    entry("MODISLOW", kZ, join({{K_DOWN, K_ENTER}, text("XX"), {K_CTRL_Y, K_ENTER}, text("Y"), {K_ESC, K_ESC}}));
    StoredEntry e = stored("Z02");
    EXPECT_EQ(e.skrot, "OPIEKA");
    EXPECT_EQ(e.nazwa, "Zasil`ek opiekun`czy");
  });
}

TEST_F(DictionaryEditor, AnAddedEntryTakesANewCodeAndAUsedOneIsRefused) {
  start([&] {
    // Code 01 is refused (the user stays in the field, Esc leaves the form); then code 40.
    entry("MODISLOW", kZ,
          join({{K_INS}, text("01"), {K_ESC, K_INS}, text("40"), text("nowy"), {K_ENTER},
                text("Nowa pozycja"), {K_ENTER}, text("7"), {K_ENTER, K_ESC}}));
    EXPECT_TRUE(said("Taki kod jest jux` w sl`owniku !"));
    EXPECT_EQ(stored("Z01").records, 1);
    StoredEntry e = stored("Z40");
    EXPECT_EQ(e.records, 1);
    EXPECT_FALSE(e.deleted);
    EXPECT_EQ(e.skrot, "NOWY");
    EXPECT_EQ(e.nazwa, "Nowa pozycja");
    EXPECT_EQ(e.wart, "7");
  });
}

// An added entry killed at each write into the dictionary in turn, as a power cut could stop it:
// no blank entry is left behind, only none or the whole one.
TEST_F(DictionaryEditor, AnAddedEntryKilledAtAnyWriteLeavesNoBlankEntry) {
  int kills = 0;
  for (int k = 1; k < 100; ++k) {
    SCOPED_TRACE("killed at write " + std::to_string(k));
    const int adding = rt::db::testing::killedAtWrite(k, "SLOWNIK.dbf", [&] {
      start([&] {
        entry("MODISLOW", kZ, join({{K_INS}, text("40"), text("nowy"), {K_ENTER}, text("Nowa pozycja"), {K_ENTER},
                                    text("7"), {K_ENTER, K_ESC}}));
      });
      return 0;
    });
    if (adding == 0) break;  // the entry was added before its k-th write
    ++kills;
    openSecondHandle("slcheck");
    for (call("DBGOTOP"); !call("EOF").logicalOr(true); call("DBSKIP"))
      EXPECT_NE(suite::field("kod").strOr("").find_first_not_of(' '), std::string::npos) << "a blank entry";
    call("DBCLOSEAREA");
  }
  EXPECT_GE(kills, 3) << "the entry was killed at each of its writes";
}

TEST_F(DictionaryEditor, TheListShowsCodeAbbreviationAndNameAndDelAsksAboutTheSelectedEntry) {
  std::string screen, question;
  test_support::ScopedFunctions stand_decyzja("DECYZJA", [&](rt::Args& a) {
    screen = h.textUtf8();
    question = a[1].strOr("");
    return rt::Value::logical(false);
  });
  start([&] {
    entry("MODISLOW", kZ, {K_DOWN, K_DEL, K_ESC});
    EXPECT_NE(screen.find("01 CHOR_ZUS   Zasiłek chorobowy ZUS"), std::string::npos) << screen;
    EXPECT_NE(screen.find("02 OPIEKA     Zasiłek opiekuńczy"), std::string::npos) << screen;
    EXPECT_NE(question.find("OPIEKA"), std::string::npos);
    EXPECT_FALSE(stored("Z02").deleted);
  });
}

TEST_F(DictionaryEditor, TheOpenSetTableGetsItsOrderAndRecordBack) {
  start([&] {
    if (call("SELECT", {rt::Value::text("sl")}).intOr(0) == 0) openSecondHandle("sl");
    call("DBSELECTAREA", {rt::Value::text("sl")});
    call("ORDSETFOCUS", {rt::Value::integer(2)});
    call("DBGOTO", {rt::Value::integer(5)});
    rt::Value area = call("SELECT");
    entry("MODISLOW", kZ, join({{K_ENTER}, text("inna"), {K_CTRL_Y, K_PGDN, K_ESC}}));
    EXPECT_EQ(call("SELECT").intOr(-1), area.intOr(-2));
    EXPECT_EQ(call("INDEXORD").intOr(-1), 2);
    EXPECT_EQ(call("RECNO").intOr(-1), 5);
    EXPECT_EQ(stored("Z01").skrot, "INNA");
  });
}

TEST_F(DictionaryEditor, PolishLettersTypedAreStoredInTheStoredCodingAndCutAsWholeLetters) {
  // "ł" is 0x88 in code page 852; "a" and 39 of them are 79 stored characters, where a cut at
  // the field's 40 would split the twentieth letter.
  const std::string l = "\x88";
  std::string fortyLetters = "a";
  for (int i = 0; i < 39; ++i) fortyLetters += l;
  start([&] {
    entry("MODISLOW", kZ,
          join({{K_INS}, text("41"), {K_ENTER}, text("Zasi" + l + "ek"), {K_ENTER, K_ENTER},
                {K_INS}, text("42"), {K_ENTER}, text(fortyLetters), {K_ENTER, K_ESC}}));
    EXPECT_EQ(stored("Z41").nazwa, "Zasil`ek");
    std::string nineteen = "a";
    for (int i = 0; i < 19; ++i) nineteen += "l`";
    EXPECT_EQ(stored("Z42").nazwa, nineteen);
  });
}

TEST_F(DictionaryEditor, ADeletedEntryLeavesTheDictionaryAndItsCodeCanBeTakenAgain) {
  start([&] {
    // "Nie" keeps the entry, "Tak" deletes it.
    entry("MODISLOW", kZ, {K_DOWN, K_DEL, kLater, 'N', K_ESC});
    EXPECT_FALSE(stored("Z02").deleted);
    entry("MODISLOW", kZ, {K_DOWN, K_DEL, kLater, 'T', K_ESC});
    EXPECT_TRUE(stored("Z02").deleted);
    for (const suite::DictionaryRow& r : suite::dictionaryEntries('Z')) EXPECT_NE(r.kod, "Z02");
    // The freed code is taken again by the same record.
    entry("MODISLOW", kZ, join({{K_INS}, text("02"), text("znowu"), {K_ENTER, K_ENTER, K_ENTER, K_ESC}}));
    StoredEntry e = stored("Z02");
    EXPECT_EQ(e.records, 1);
    EXPECT_FALSE(e.deleted);
    EXPECT_EQ(e.skrot, "ZNOWU");
  });
}

TEST_F(DictionaryEditor, AnEntryLockedByAnotherOpeningIsNotChanged) {
  start([&] {
    rt::Value before = call("SELECT");
    openSecondHandle("slother");
    call("ORDSETFOCUS", {rt::Value::integer(1)});
    ASSERT_TRUE(call("DBSEEK", {rt::Value::text("Z01")}).logicalOr(false));
    ASSERT_TRUE(call("DBRLOCK", {call("RECNO")}).logicalOr(false));
    rt::Value other = call("SELECT");
    if (before.intOr(0) > 0) call("DBSELECTAREA", {before});
    entry("MODISLOW", kZ, join({{K_ENTER}, text("inny"), {K_CTRL_Y, K_PGDN, K_ESC}}));
    EXPECT_TRUE(said(kRefused));
    EXPECT_EQ(stored("Z01").skrot, "CHOR_ZUS");
    call("DBSELECTAREA", {other});
    call("DBCLOSEAREA");
  });
}

}  // namespace
}  // namespace settings_test
