// The settlement printed to a file: counts and amounts per benefit kind, the information box,
// accidents at work, statuses, kinds linked to no slot, empty scopes and the payout-date kind.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/zus/reports/card_fixture.h"

#include "tests/support/scoped_functions.h"

namespace cards_test {
namespace {

class Settlement : public CardCompany {
 protected:
  void mixedBenefits() {
    benefits({
        benefit("    1", "Z01", day(2024, 3, 1), day(2024, 3, 5), 5, day(2024, 3, 10), 100, 4),
        benefit("    1", "Z01", day(2024, 3, 6), day(2024, 3, 12), 7, day(2024, 3, 15), 140, 4),
        benefit("    1", "Z01", day(2024, 3, 13), day(2024, 3, 22), 10, day(2024, 3, 25), 500, 4,
                {{"przy_pracy", yes(true)}}),
        benefit("    1", "Z02", day(2024, 3, 23), day(2024, 3, 25), 3, day(2024, 3, 28), 60, 94),
        benefit("    1", "Z02", day(2024, 3, 26), day(2024, 3, 27), 2, day(2024, 3, 28), 40, 2),
        benefit("    1", "Z06", day(2024, 3, 28), day(2024, 3, 28), 1, day(2024, 3, 28), 70, 95),
        benefit("    2", "Z06", day(2024, 3, 2), day(2024, 3, 2), 1, day(2024, 3, 5), 150, 1),
        benefit("    2", "Z06", day(2024, 3, 9), day(2024, 3, 9), 1, day(2024, 3, 12), 200, 3),
        benefit("    3", "   ", day(2024, 3, 9), day(2024, 3, 9), 1, day(2024, 3, 12), 0, 4),
    });
  }
};

// Text of the fixture's mixed records: sickness records of 5 and 7 days and one of 10 days at
// work, care records of correct and incorrect status, constant-value records of a kind that is
// not calculated, and an employee whose only record has no kind.
TEST_F(Settlement, CountsAndTotalsPerKind) {
  mixedBenefits();
  run(2);
  EXPECT_EQ(printed(), R"(str    1       Rozliczenia zasiłków dla wszystkich pracowników za   marzec 2024 

/---------------------------------------------------------------\
|                                                               |
|                       INFORMACJE OGÓLNE                       |
|                                                               |
|       Liczba pracowników otrzymujących zasiłki :      3       |
|      Liczba zasiłków obliczonych lub o stałej wartości :      |
|            - poprawnych :                        6            |
|            - z błędami lub nie obliczonych:      2            |
|                                                               |
\---------------------------------------------------------------/
 
 
/----------------------------------------------------------------------------------------------\
|    |                |          |        |                   |  Z tytułu wypadków przy pracy  |
|    |                |          |        |                   |       i chorób zawodowych      |
|    |                |  Liczba  | Liczba |                   |--------------------------------|
| Lp | Rodzaj zasiłku | zasiłków |  dni   |     Kwota zł      |  Liczba  |                     |
|    |                |          |        |                   |   dni    |       Kwota zł      |
|    |                |          |        |                   | zasiłków |                     |
|----+----------------+----------+--------+-------------------+----------+---------------------|
|  1 | Zasiłek chorob |     x    |     22 |            740.00 |      10  |             500.00  |
|----+----------------+----------+--------+-------------------+----------+---------------------|
|  2 | Zasiłek opieku |     x    |      3 |             60.00 |       0  |               0.00  |
|----+----------------+----------+--------+-------------------+----------+---------------------|
|  5 | Średnia wychow |       0  |    x   |              0.00 |    x     |          x          |
|----+----------------+----------+--------+-------------------+----------+---------------------|
|  6 | Zasiłek pogrze |       2  |    x   |            350.00 |    x     |          x          |
|----+----------------+----------+--------+-------------------+----------+---------------------|
|    |   Razem        |       2  |     25 |          1 150.00 |      10  |             500.00  |
\----------------------------------------------------------------------------------------------/
)");
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(questions.empty());
}

TEST_F(Settlement, GraphicFrames) {
  mixedBenefits();
  set("p_graf", yes(true));
  run(2);
  std::vector<std::string> lines = printedLines();
  ASSERT_GT(lines.size(), 20u);
  auto count = [](const std::string& line, const char* glyph) {
    size_t n = 0;
    for (size_t at = line.find(glyph); at != std::string::npos; at = line.find(glyph, at + 1)) ++n;
    return n;
  };
  const std::string& top = lines[14];
  EXPECT_EQ(top.rfind("┌", 0), 0u);
  EXPECT_EQ(count(top, "┬"), 5u);  // no tee over the split of the accident part
  EXPECT_NE(lines[17].find("  ├──────────┬─────"), std::string::npos);
  EXPECT_EQ(count(lines[21], "┼"), 6u);
  EXPECT_EQ(lines.back().rfind("└", 0), 0u);
  EXPECT_EQ(count(lines.back(), "┴"), 6u);
  EXPECT_NE(lines[22].find("  1 │ Zasiłek chorob │     x    │     22 │"), std::string::npos);
  // Every framed line is as wide as its frame, whatever Polish letters its titles hold.
  auto width = [](const std::string& utf8) {
    return size_t(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; }));
  };
  for (size_t i = 2; i < lines.size(); ++i) {
    if (lines[i] == " ") continue;
    EXPECT_EQ(width(lines[i]), i < 14 ? 65u : 96u) << lines[i];
  }
}

TEST_F(Settlement, EmptyScopePrintsZerosForEveryLinkedKind) {
  run(2);
  std::string text = printed();
  EXPECT_NE(text.find("Liczba pracowników otrzymujących zasiłki :      0"), std::string::npos);
  EXPECT_NE(text.find("- poprawnych :                        0"), std::string::npos);
  std::vector<std::string> rows;
  for (const std::string& l : printedLines())
    if (l.size() > 4 && l[0] == '|' && l[3] >= '0' && l[3] <= '9') rows.push_back(l.substr(0, 5));
  EXPECT_EQ(rows, (std::vector<std::string>{"|  1 ", "|  2 ", "|  5 ", "|  6 "}));
  EXPECT_NE(text.find("|    |   Razem        |       0  |      0 |              0.00 |       0  |               0.00  |"),
            std::string::npos);
}

TEST_F(Settlement, KindLinkedToNoSlotIsReportedOncePerRecord) {
  benefits({
      benefit("    1", "Z09", day(2024, 3, 1), day(2024, 3, 2), 2, day(2024, 3, 5), 80, 4),
      benefit("    1", "Z09", day(2024, 3, 3), day(2024, 3, 4), 2, day(2024, 3, 5), 80, 4),
      benefit("    1", "Z01", day(2024, 3, 5), day(2024, 3, 9), 5, day(2024, 3, 10), 100, 4),
  });
  run(2);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0],
            "Pracownik nr 1 ma przypisany nieprawidl`owy sl`ownik: \n"
            "Sprawdz` poprawnos`c` przypisania sl`owniko`w w opcji \"Pol`a`czenie ZUS/PL`ACE\"\n");
  std::string text = printed();
  EXPECT_NE(text.find("- poprawnych :                        3"), std::string::npos);
  EXPECT_NE(text.find("|  1 | Zasiłek chorob |     x    |      5 |            100.00 |"), std::string::npos);
  EXPECT_NE(text.find("|    |   Razem        |       0  |      5 |            100.00 |"), std::string::npos);
}

// The message names the short name of the record's own kind: blank for a code the dictionary
// lacks even when a later code follows it, the entry's short name for a known but unlinked code.
TEST_F(Settlement, WrongDictionaryMessageNamesOnlyTheRecordsOwnKind) {
  benefits({
      benefit("    1", "Z03", day(2024, 3, 1), day(2024, 3, 2), 2, day(2024, 3, 5), 80, 4),
      benefit("    1", "D01", day(2024, 3, 3), day(2024, 3, 4), 2, day(2024, 3, 5), 80, 4),
  });
  run(2);
  ASSERT_EQ(messages.size(), 2u);
  auto firstLine = [](const std::string& m) {
    std::string l = m.substr(0, m.find('\n'));
    return l.substr(0, l.find_last_not_of(' ') + 1);
  };
  EXPECT_EQ(firstLine(messages[0]), "Pracownik nr 1 ma przypisany nieprawidl`owy sl`ownik:");
  EXPECT_EQ(firstLine(messages[1]), "Pracownik nr 1 ma przypisany nieprawidl`owy sl`ownik: BIURO");
}

TEST_F(Settlement, PeriodByDateKind) {
  benefits({
      // Ends in February, paid in March.
      benefit("    1", "Z01", day(2024, 2, 20), day(2024, 2, 24), 5, day(2024, 3, 5), 100, 4),
      // Ends in March, paid in April.
      benefit("    1", "Z01", day(2024, 3, 20), day(2024, 3, 26), 7, day(2024, 4, 5), 140, 4),
  });
  struct Case {
    int dateKind;
    const char* row;
  };
  for (const Case& c : {Case{1, "|  1 | Zasiłek chorob |     x    |      7 |            140.00 |"},
                        Case{2, "|  1 | Zasiłek chorob |     x    |      5 |            100.00 |"}}) {
    SCOPED_TRACE(c.dateKind);
    dateKindAnswer = c.dateKind;
    run(2);
    EXPECT_NE(printed().find(c.row), std::string::npos);
  }
}

TEST_F(Settlement, RecordsAfterTheFirstMonthOfThePeriodAreFound) {
  // The period is February and March; the employee's only record lies in March.
  benefits({benefit("    1", "Z01", day(2024, 3, 4), day(2024, 3, 8), 5, day(2024, 3, 10), 100, 4)});
  firstBack = 1;
  lastBack = 0;
  run(2);
  std::string text = printed();
  EXPECT_NE(text.find("za okres luty 2024 - marzec 2024"), std::string::npos);
  EXPECT_NE(text.find("Liczba pracowników otrzymujących zasiłki :      1"), std::string::npos);
  EXPECT_NE(text.find("|  1 | Zasiłek chorob |     x    |      5 |            100.00 |"), std::string::npos);
}

TEST_F(Settlement, OneEmployee) {
  mixedBenefits();
  set("ky_zakres", num(3));
  set("ky_tab", txt("    2"));
  run(2);
  std::string text = printed();
  EXPECT_EQ(printedLines().front(),
            "str    1       Rozliczenie dla pracownika Nowak Anna    Nr     2  za   marzec 2024 ");
  EXPECT_NE(text.find("|  6 | Zasiłek pogrze |       2  |    x   |            350.00 |"), std::string::npos);
  EXPECT_NE(text.find("|  1 | Zasiłek chorob |     x    |      0 |              0.00 |"), std::string::npos);
}

// The payroll library's own selection: it positions MAIN on each employee it selects and runs
// the blocks it was given; one settlement covers the whole selection.
TEST_F(Settlement, PayrollLibrarySelectionGivesOneSettlement) {
  mixedBenefits();
  std::vector<std::string> keys;
  test_support::ScopedFunctions stand_gen_place("GEN_PLACE", [&](rt::Args& a) {
    keys.push_back(a[0].strOr(""));
    set("urzadzenie", num(2));
    rt::functions().call("DEV_OPEN");
    for (const char* nr : {"    1", "    2"}) {
      rt::functions().call("DBSELECTAREA", {txt("main")});
      rt::functions().call("DBSEEK", {txt(nr)});
      std::vector<Value> none;
      a[3].blockPtr()->eval(none);
    }
    std::vector<Value> none;
    if (a[4].isBlock()) a[4].blockPtr()->eval(none);
    rt::functions().call("DEV_CLOSE");
    return Value();
  });
  set("ky_zakres", num(4));
  run(2);
  std::string text = printed();
  size_t first = text.find("INFORMACJE");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(text.find("INFORMACJE", first + 1), std::string::npos);
  EXPECT_NE(text.find("Liczba pracowników otrzymujących zasiłki :      2"), std::string::npos);
  EXPECT_NE(text.find("|    |   Razem        |       2  |     25 |          1 150.00 |"), std::string::npos);

  run(1);  // cards: no settlement and no line about employees without benefits
  text = printed();
  EXPECT_EQ(text.find("INFORMACJE"), std::string::npos);
  EXPECT_EQ(text.find("Żaden"), std::string::npos);
  EXPECT_NE(text.find("Karta zasiłkowa dla wybranych pracowników za   marzec 2024"), std::string::npos);
  EXPECT_EQ(keys, (std::vector<std::string>{"zus_rozl", "zus_kart"}));
}

TEST_F(Settlement, PayrollLibraryRunsItsSelectionOnItsOwnDevice) {
  mixedBenefits();
  set("ky_zakres", num(4));
  run(2);  // the library's selection: the employed (Nowak has left)
  std::string text = printed();
  EXPECT_NE(text.find("Rozliczenie dla wybranych pracowników za   marzec 2024"), std::string::npos);
  EXPECT_NE(text.find("Liczba pracowników otrzymujących zasiłki :      2"), std::string::npos);
  EXPECT_NE(text.find("|    |   Razem        |       0  |     25 |            800.00 |"), std::string::npos);
}

}  // namespace
}  // namespace cards_test
