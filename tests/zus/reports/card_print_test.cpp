// The benefit card printed to a file: short and full headers, ASCII and graphic boxes, the rows'
// columns, the scopes and the lines about employees without benefits.
#include <cstdlib>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "console/message_window.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "suite/tables/table_sets.h"
#include "tests/support/scoped_functions.h"
#include "tests/zus/reports/card_fixture.h"

namespace cards_test {
namespace {

// Characters of a UTF-8 line (box glyphs and Polish letters count one each).
std::u32string chars(const std::string& utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    char32_t cp = n == 1 ? c : c & (0xFF >> (n + 1));
    for (int k = 1; k < n && i + size_t(k) < utf8.size(); ++k) cp = (cp << 6) | (utf8[i + size_t(k)] & 0x3F);
    out.push_back(cp);
    i += size_t(n);
  }
  return out;
}

std::vector<std::string> split(const std::string& line, char sep) {
  std::vector<std::string> cells;
  std::string cell;
  for (char c : line) {
    if (c == sep) {
      cells.push_back(cell);
      cell.clear();
    } else {
      cell += c;
    }
  }
  cells.push_back(cell);
  return cells;
}

class CardPrint : public CardCompany {
 protected:
  static void range(int r, Value tab = txt("")) {
    set("ky_zakres", num(r));
    set("ky_tab", std::move(tab));
  }
  void standardBenefits() {
    benefits({
        benefit("    1", "Z01", day(2024, 3, 4), day(2024, 3, 8), 5, day(2024, 3, 10), 400, 4,
                {{"procent", num(80)}, {"podst_zas", num(100, 2)}, {"podat", num(12, 2)},
                 {"zalicz", num(10, 2)}, {"netto", num(350, 2)}, {"nr_stat", txt("A")},
                 {"fakt_mies", txt("010203")}, {"suma", num(3000, 2)}}),
        benefit("    1", "   ", day(2024, 3, 9), day(2024, 3, 9), 1, day(2024, 3, 11), 0, 2),
        benefit("    1", "Z02", day(2024, 3, 11), day(2024, 3, 17), 7, day(2024, 3, 20), 280.5, 94,
                {{"procent", num(80)}, {"czy_dz", yes(true)}, {"te_mies", txt("1011")}}),
        benefit("    2", "Z06", day(2024, 3, 1), day(2024, 3, 1), 1, day(2024, 3, 5), 150, 1,
                {{"procent", num(100)}}),
        benefit("    1", "Z01", day(2024, 2, 1), day(2024, 2, 5), 5, day(2024, 2, 10), 300, 4),
    });
  }
  // The cells of row `n` of the printed card (ASCII boxes), edges dropped.
  std::vector<std::string> row(int n) const {
    char head[8];
    std::snprintf(head, sizeof head, "|%3d|", n);
    for (const std::string& l : printedLines())
      if (l.rfind(head, 0) == 0) {
        std::vector<std::string> cells = split(l, '|');
        return std::vector<std::string>(cells.begin() + 1, cells.end() - 1);
      }
    return {};
  }
  bool printedLine(const std::string& utf8) const {
    std::vector<std::string> lines = printedLines();
    return std::find(lines.begin(), lines.end(), utf8) != lines.end();
  }
};

TEST_F(CardPrint, AllEmployeesWithShortHeadersAndAsciiBoxes) {
  standardBenefits();
  run(1);
  // Records without a kind get no row and no number; the February record lies outside the
  // period; Lis has no benefit and gets no card.
  EXPECT_EQ(printed(), R"(str    1       Karty zasiłkowe dla wszystkich pracowników za   marzec 2024 

/-------------------------------------------------------------------------------------------------------------------------------------------------------------------------\
|                                                                        Kowalski Jan    Nr     1                                                                         |
|-------------------------------------------------------------------------------------------------------------------------------------------------------------------------|
|LP.|   Data   |    Od    |    Do    |Dni|Dzienny | Zasiłek  | Przypis  |Potrącona | Zasiłek  |     Rodzaj i % zasiłku     |Kod |     Wynagrodzenie lub przychód      |Okr|
|   | wypłaty  |          |          |   |zasiłek |  brutto  | podatku  | zaliczka |  netto   |                            |lit |       za miesiące        |przeciętny|dni|
|---+----------+----------+----------+---+--------+----------+----------+----------+----------+----------------------------+----+--------------------------+----------+---|
|  1|10.03.2024|04.03.2024|08.03.2024|  5|  100.00|    400.00|     48.00|     38.00|    350.00|Zasiłek chorobowy        80%|   A|3,2,1                     |   3000.00| 12|
|  2|20.03.2024|11.03.2024|17.03.2024|  7|       -|    280.50|      0.00|      0.00|      0.00|Zasiłek opiekuńczy (dz.) 80%|    |11,10                     |    -     |  7|
\-------------------------------------------------------------------------------------------------------------------------------------------------------------------------/
/-------------------------------------------------------------------------------------------------------------------------------------------------------------------------\
|                                                                         Nowak Anna    Nr     2                                                                          |
|-------------------------------------------------------------------------------------------------------------------------------------------------------------------------|
|LP.|   Data   |    Od    |    Do    |Dni|Dzienny | Zasiłek  | Przypis  |Potrącona | Zasiłek  |     Rodzaj i % zasiłku     |Kod |     Wynagrodzenie lub przychód      |Okr|
|   | wypłaty  |          |          |   |zasiłek |  brutto  | podatku  | zaliczka |  netto   |                            |lit |       za miesiące        |przeciętny|dni|
|---+----------+----------+----------+---+--------+----------+----------+----------+----------+----------------------------+----+--------------------------+----------+---|
|  1|05.03.2024|01.03.2024|01.03.2024|  1|       -|    150.00|      0.00|      0.00|      0.00|Zasiłek pogrzebowy          |    |           ***            |    -     |   |
\-------------------------------------------------------------------------------------------------------------------------------------------------------------------------/
)");
  EXPECT_EQ(questions, std::vector<std::string>{"Czy drukowac` pel`ne nagl`o`wki ?"});
}

TEST_F(CardPrint, OneEmployeeWithFullHeaderAndGraphicBoxes) {
  standardBenefits();
  fullHeaders = true;
  set("p_graf", yes(true));
  range(3, txt("    1"));
  run(1);
  EXPECT_EQ(printed(), R"(str    1       Karta zasiłkowa dla pracownika Kowalski Jan    Nr     1  za   marzec 2024 

┌───────────────────────────────────────────────────────────────────────────────────────────────────────────────────────────────┐
│ KARTA ZASIŁKOWA                                                                                    Poprzednie ubezp.chorobowe │
│ Kowalski Jan    Nr     1                                                   Data ur. 01.01.1980     ustało dnia . . . . . . . .│
│ PESEL: 80010112345                                                                                                            │
│ Wym.zatrudniony - objęty ubezp.chor.od 01.02.2010   zwolniony - wyłączony z ubezp. dn.    .  .                                │
│ Uwagi . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . .                             │
│ . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . .        data, podpis         │
├───┬──────────┬──────────┬──────────┬───┬────────┬──────────┬──────────┬──────────┬──────────┬────────────────────────────┬────┼──────────────────────────┬──────────┬───┐
│LP.│   Data   │    Od    │    Do    │Dni│Dzienny │ Zasiłek  │ Przypis  │Potrącona │ Zasiłek  │     Rodzaj i % zasiłku     │Kod │     Wynagrodzenie lub przychód      │Okr│
│   │ wypłaty  │          │          │   │zasiłek │  brutto  │ podatku  │ zaliczka │  netto   │                            │lit │       za miesiące        │przeciętny│dni│
├───┼──────────┼──────────┼──────────┼───┼────────┼──────────┼──────────┼──────────┼──────────┼────────────────────────────┼────┼──────────────────────────┼──────────┼───┤
│  1│10.03.2024│04.03.2024│08.03.2024│  5│  100.00│    400.00│     48.00│     38.00│    350.00│Zasiłek chorobowy        80%│   A│3,2,1                     │   3000.00│ 12│
│  2│20.03.2024│11.03.2024│17.03.2024│  7│       -│    280.50│      0.00│      0.00│      0.00│Zasiłek opiekuńczy (dz.) 80%│    │11,10                     │    -     │  7│
└───┴──────────┴──────────┴──────────┴───┴────────┴──────────┴──────────┴──────────┴──────────┴────────────────────────────┴────┴──────────────────────────┴──────────┴───┘
)");
  std::vector<std::string> lines = printedLines();
  // The table's top line meets the header's right edge in column 129 and ends in a corner.
  std::u32string top = chars(lines[9]);
  ASSERT_EQ(top.size(), 171u);
  EXPECT_EQ(top[128], U'┼');
  EXPECT_EQ(top.back(), U'┐');
  EXPECT_EQ(chars(lines[2]).size(), 129u);
}

// Polish letters in the employee's names, the kinds' names and the titles: every line of a card
// is exactly as wide as its frame (129 for the full header, 171 for the table) and every row has
// its column lines where the separator under the titles has its crossings.
TEST_F(CardPrint, CardLinesAreAsWideAsTheFrameWhateverPolishLettersTheyHold) {
  fill("MAIN", {{{"nr_prac", txt("    4")}, {"nazwisko", txt("X`o`l`c`kiewicz")}, {"imie", txt("L`ucja")},
                 {"status", num(1)}, {"data_zatr", day(2012, 1, 1)}}});
  benefits({benefit("    4", "Z02", day(2024, 3, 4), day(2024, 3, 8), 5, day(2024, 3, 10), 400, 4,
                    {{"procent", num(80)}, {"czy_dz", yes(true)}, {"nr_stat", txt("A`")}})});
  set("p_graf", yes(true));
  range(3, txt("    4"));
  for (bool full : {false, true}) {
    SCOPED_TRACE(full ? "full header" : "short header");
    fullHeaders = full;
    run(1);
    std::vector<std::string> lines = printedLines();
    ASSERT_GE(lines.size(), 10u);
    std::u32string separator;
    size_t framed = 0;
    for (size_t i = 2; i < lines.size(); ++i) {
      std::u32string l = chars(lines[i]);
      bool header = full && (l.front() == U'┌' || (l.front() == U'│' && l.size() < 171 && separator.empty()));
      EXPECT_EQ(l.size(), header ? 129u : 171u) << lines[i];
      if (l.front() == U'├' && l.find(U'┼') != std::u32string::npos) separator = l;
      ++framed;
    }
    EXPECT_EQ(framed, full ? 13u : 8u);
    ASSERT_FALSE(separator.empty());
    for (const std::string& line : lines) {
      std::u32string l = chars(line);
      bool grid = l.size() == 171 && l.front() == U'│' && l.find(U'│', 1) < 170;
      if (!grid || line.find("Wynagrodzenie") != std::string::npos) continue;  // its cell spans two columns
      for (size_t c = 0; c < separator.size(); ++c) {
        if (separator[c] == U'┼') {
          EXPECT_EQ(l[c], U'│') << line << " column " << c;
        }
      }
    }
    EXPECT_NE(printed().find("Żółćkiewicz Łucja"), std::string::npos);
    EXPECT_NE(printed().find("│przeciętny│"), std::string::npos);
    EXPECT_NE(printed().find("│Zasiłek opiekuńczy (dz.) 80%│   Ą│"), std::string::npos);
  }
}

TEST_F(CardPrint, FrameWidthFollowsTheAmountColumnWidth) {
  standardBenefits();
  set("zusx_szer", num(12));
  range(3, txt("    1"));
  run(1);
  std::vector<std::string> lines = printedLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(chars(lines[2]).size(), 183u);
  EXPECT_EQ(chars(lines.back()).size(), 183u);
  EXPECT_EQ(lines.back().front(), '\\');
  EXPECT_EQ(lines.back().back(), '/');
}

TEST_F(CardPrint, FullHeaderOfAnEmployeeWhoLeftWithoutPersonnelRecord) {
  standardBenefits();
  fullHeaders = true;
  range(3, txt("    2"));
  run(1);
  std::vector<std::string> lines = printedLines();
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[5], "| PESEL: " + std::string(11 + 15, ' ') + std::string(15, ' ') + " Nr dowodu osob.: " +
                          std::string(15, ' ') + std::string(17, ' ') + std::string(28, ' ') + "|");
  // Employed before 1999 and no insurance-start field: the fixed date; not employed: the date left.
  EXPECT_EQ(lines[6], "| Wym.zatrudniony - objęty ubezp.chor.od 31.12.1998   zwolniony - wyłączony z ubezp. dn.  "
                      "15.03.2024" + std::string(28, ' ') + "|");
}

TEST_F(CardPrint, LinesAboutEmployeesWithoutBenefits) {
  standardBenefits();
  range(3, txt("    3"));
  run(1);
  EXPECT_TRUE(printedLine("Pracownik: Lis Ewa    Nr     3 - nie otrzymał żadnych zasiłków we wskazanym okresie!"));

  set("lum_data", day(2023, 1, 1));
  range(1);
  run(1);
  std::vector<std::string> lines = printedLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "str    1       Karty zasiłkowe dla wszystkich pracowników za   styczeń 2023 ");
  EXPECT_EQ(lines[2], "Żaden z pracowników nie otrzymał zasiłku we wskazanym okresie!");
}

TEST_F(CardPrint, GroupsAreVisitedInKeyOrderWithTheirLines) {
  standardBenefits();
  Value groups = Value::newArray(0);
  for (const char* g : {"D02", "D09", "D01"}) groups.arr().push_back(txt(g));
  rt::context().memvars.declarePublic("grupy", groups);
  set("ky_index", txt("SL_SLOW1"));
  range(2, txt("grupy"));
  run(1);
  std::string text = printed();
  size_t nowak = text.find("Nowak Anna"), kowalski = text.find("Kowalski Jan"), nobody = text.find("Żaden");
  ASSERT_NE(nowak, std::string::npos);
  ASSERT_NE(kowalski, std::string::npos);
  ASSERT_NE(nobody, std::string::npos);
  EXPECT_LT(nowak, kowalski);   // D01 before D02 whatever the chosen order
  EXPECT_GT(nobody, kowalski);  // D09, last, has nobody
  EXPECT_NE(text.find("\n            BIURO      - Biuro"), std::string::npos);
  EXPECT_EQ(text.find("Lis Ewa"), std::string::npos);
}

// The demo's access check refuses the employees listed in ZEF_ODMOWA, for the test's duration.
class Refused {
 public:
  explicit Refused(const char* numbers) { ::setenv("ZEF_ODMOWA", numbers, 1); }
  ~Refused() { ::unsetenv("ZEF_ODMOWA"); }
};

TEST_F(CardPrint, TheAccessCheckPassesOverARefusedEmployeeInEveryRange) {
  standardBenefits();
  Refused refused("1");
  Value groups = Value::newArray(0);
  groups.arr().push_back(txt("D02"));
  rt::context().memvars.declarePublic("grupy", groups);
  set("ky_index", txt("SL_SLOW1"));
  struct Case {
    const char* what;
    int range;
    Value tab;
  };
  for (const Case& c : {Case{"all employees", 1, txt("")}, Case{"a group", 2, txt("grupy")},
                        Case{"one employee", 3, txt("    1")}}) {
    SCOPED_TRACE(c.what);
    range(c.range, c.tab);
    for (int what : {1, 2}) {
      std::filesystem::remove(dir / "WYDRUKI" / "wydruk.txt");
      messages.clear();
      run(what);
      if (c.range == 3) {  // one refused employee: a message and no print at all
        EXPECT_FALSE(printedAnything());
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], "Brak uprawnien` do danych pracownika nr 1 !");
        continue;
      }
      std::string text = printed();
      EXPECT_EQ(text.find("Kowalski"), std::string::npos);
      EXPECT_EQ(text.find("400.00"), std::string::npos);
      EXPECT_EQ(text.find("280.50"), std::string::npos);
    }
  }
}

TEST_F(CardPrint, ANumberThatIsNotInTheEmployeeTableIsReportedAndNothingPrinted) {
  standardBenefits();
  // Under the nearest-key setting the seek would stop on the next employee.
  rt::context().settings.softSeek = true;
  for (int what : {1, 2}) {
    messages.clear();
    range(3, txt("    0"));
    run(what);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Nie ma w kartotece pracownika nr 0 !");
    EXPECT_FALSE(printedAnything());
  }
}

TEST_F(CardPrint, NoLinkShowsTheMessageAndAsksNothing) {
  set("czy_jest_mem", yes(false));
  for (int what : {1, 2}) {
    messages.clear();
    run(what);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Nie dokonano pol`a`czenia modul`o`w ZUS i PL`ACE !"), std::string::npos);
  }
  EXPECT_TRUE(questions.empty());
  EXPECT_FALSE(printedAnything());
}

TEST_F(CardPrint, GivingUpLeavesNothingOpenAndPrintsNothing) {
  standardBenefits();
  struct Case {
    const char* what;
    int dateKind;
    bool period;
    int device;
  };
  for (const Case& c : {Case{"Esc in the date kind", 0, true, 2}, Case{"period cancelled", 1, false, 2},
                        Case{"device cancelled", 1, true, 0}}) {
    SCOPED_TRACE(c.what);
    dateKindAnswer = c.dateKind;
    periodChosen = c.period;
    deviceAnswer = c.device;
    rt::functions().call("DBSELECTAREA", {num(7)});
    run(1);
    EXPECT_FALSE(printedAnything());
    EXPECT_TRUE(suite::openSets().empty());
    EXPECT_EQ(rt::functions().call("SELECT").intOr(0), 7);
  }
}

TEST_F(CardPrint, AveragePrintedOnlyWhenNotTheFirstRecord) {
  benefits({
      benefit("    1", "Z05", day(2024, 3, 1), day(2024, 3, 2), 2, day(2024, 3, 3), 10, 4),
      benefit("    1", "Z01", day(2024, 3, 4), day(2024, 3, 8), 5, day(2024, 3, 10), 400, 4),
      benefit("    2", "Z01", day(2024, 3, 1), day(2024, 3, 2), 2, day(2024, 3, 3), 80, 4),
      benefit("    2", "Z05", day(2024, 3, 4), day(2024, 3, 8), 5, day(2024, 3, 10), 20, 4),
  });
  run(1);
  std::string text = printed();
  EXPECT_EQ(text.find("Kowalski Jan"), std::string::npos);
  EXPECT_NE(text.find("Nowak Anna"), std::string::npos);
  EXPECT_EQ(row(2).at(10).substr(0, 13), "Średnia wych");
}

TEST_F(CardPrint, PayoutDateKindTakesRecordsByPayoutDate) {
  benefits({
      benefit("    1", "Z01", day(2024, 2, 20), day(2024, 2, 28), 9, day(2024, 3, 5), 100, 4),
      benefit("    1", "Z01", day(2024, 3, 20), day(2024, 3, 28), 9, day(2024, 4, 5), 200, 4),
  });
  dateKindAnswer = 2;
  range(3, txt("    1"));
  run(1);
  EXPECT_EQ(row(1).at(1), "05.03.2024");
  EXPECT_TRUE(row(2).empty());
}

TEST_F(CardPrint, RowColumns) {
  struct Case {
    const char* what;
    Fields more;
    size_t column;
    std::string expected;
  };
  const std::vector<Case> cases{
      {"alcohol, 3 days", {{"czy_alk", yes(true)}, {"l_dni", num(3)}}, 4, "  0"},
      {"alcohol, 10 days", {{"czy_alk", yes(true)}, {"l_dni", num(10)}}, 4, "  7"},
      {"tax rate on the value rounded to units", {{"wartosc", num(1000.4, 2)}, {"podat", num(19, 2)}}, 7, "    190.00"},
      {"tax as an amount", {{"podat", num(150, 2)}}, 7, "    150.00"},
      {"no tax", {{"podat", num(0, 2)}}, 7, "      0.00"},
      {"advance before 2006 to tenths",
       {{"podat", num(150.37, 2)}, {"zalicz", num(0.3, 2)}, {"dat_wyp", day(2005, 12, 31)}, {"do", day(2005, 12, 20)}},
       8, "    150.10"},
      {"advance from 2006 to units",
       {{"podat", num(150.37, 2)}, {"zalicz", num(0.3, 2)}, {"dat_wyp", day(2006, 1, 1)}, {"do", day(2005, 12, 20)}},
       8, "    150.00"},
      {"advance above the tax", {{"podat", num(150, 2)}, {"zalicz", num(200, 2)}}, 8, "      0.00"},
      {"sickness at work", {{"przy_pracy", yes(true)}, {"procent", num(80)}}, 10, "Zasiłek chorobowy       100%"},
      {"no percentage", {{"procent", num(0)}}, 10, "Zasiłek chorobowy           "},
      {"constant value", {{"procent", num(80)}, {"status", num(1)}}, 10, "Zasiłek chorobowy           "},
      {"not calculated", {{"status", num(2)}, {"wartosc", num(55, 2)}}, 6, "    -     "},
      {"too wide", {{"wartosc", num(12345678.9, 2)}}, 6, "*******.**"},
      {"widest that fits", {{"wartosc", num(1234567.89, 2)}}, 6, "1234567.89"},
      {"daily rate", {{"podst_zas", num(12345.67, 2)}}, 5, "12345.67"},
      {"daily rate too wide for its narrower column", {{"podst_zas", num(123456.78, 2)}}, 5, "*****.**"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    rt::functions().call("DBCLOSEALL");
    create("NIEOBEC");
    benefits({benefit("    1", "Z01", day(2024, 3, 4), day(2024, 3, 8), 5, day(2024, 3, 10), 100, 4, c.more)});
    // Records moved to December 2005 are printed for that month.
    bool old = std::any_of(c.more.begin(), c.more.end(), [](const auto& f) { return f.first == "do"; });
    set("lum_data", old ? day(2005, 12, 1) : day(2024, 3, 1));
    range(3, txt("    1"));
    run(1);
    std::vector<std::string> cells = row(1);
    ASSERT_GT(cells.size(), c.column);
    EXPECT_EQ(cells[c.column], c.expected);
  }
}

TEST_F(CardPrint, PageBreaks) {
  standardBenefits();
  struct Case {
    const char* what;
    int pageLength;
    bool newPageAfterCard;
    size_t pages;
  };
  for (const Case& c : {Case{"both cards fit", 64, false, 1}, Case{"the second card does not fit", 14, false, 2},
                        Case{"a new page after each card", 64, true, 2}}) {
    SCOPED_TRACE(c.what);
    set("p_licz_wie", num(c.pageLength));
    set("zusx_wysuw", yes(c.newPageAfterCard));
    run(1);
    std::string text = printed();
    EXPECT_EQ(size_t(std::count(text.begin(), text.end(), '\f')), c.pages - 1);
    if (c.pages == 2) {
      size_t brk = text.find('\f');
      EXPECT_EQ(text.substr(brk + 1, 9), "str    2 ");
      EXPECT_GT(text.find("Nowak Anna"), brk);
      EXPECT_LT(text.find("Kowalski Jan"), brk);
    }
  }
}

// Whatever the page length, with short or full headers, no card is torn across pages: each page
// holds its two title lines, then whole cards, each from its top corner to its bottom line.
TEST_F(CardPrint, NoCardIsTornAcrossPages) {
  standardBenefits();
  for (bool full : {false, true}) {
    fullHeaders = full;
    for (int length = full ? 16 : 11; length <= 40; ++length) {
      SCOPED_TRACE(std::string(full ? "full" : "short") + " headers, page of " + std::to_string(length));
      set("p_licz_wie", num(length));
      run(1);
      std::vector<std::string> pages = split(printed(), '\f');
      for (const std::string& page : pages) {
        std::vector<std::string> lines = split(page, '\n');
        if (lines.back().empty()) lines.pop_back();
        ASSERT_GE(lines.size(), 3u) << page;
        EXPECT_LE(lines.size(), size_t(length)) << page;
        EXPECT_EQ(lines[0].rfind("str ", 0), 0u) << page;
        EXPECT_EQ(lines[2].front(), '/') << page;         // a card's top corner
        EXPECT_EQ(lines.back().front(), '\\') << page;  // a card's bottom line
      }
      // Both cards fit on one page from 11 + 10 lines (short) or 16 + 15 (full) on.
      EXPECT_EQ(pages.size(), size_t(length >= (full ? 2 + 14 + 13 : 2 + 9 + 8) ? 1 : 2));
    }
  }
}

// Esc pressed while the cards print to a file: the loop stops, the user is told, the file keeps
// what was printed and ends with a line saying the print was cut short.
TEST_F(CardPrint, EscInTheMiddleOfAFilePrintStopsTheLoop) {
  standardBenefits();
  std::filesystem::create_directories(dir / "WYDRUKI");
  std::ofstream(dir / "WYDRUKI" / "wydruk.txt") << "poprzedni\n";
  rt::NativeFunction realLine = *rt::functions().find("DEV_LINIA");
  int lines = 0;
  test_support::ScopedFunctions stand_dev_linia("DEV_LINIA", [&](rt::Args& a) {
    if (++lines == 6) rt::term::keyboard().push(rt::term::K_ESC);  // inside the first card
    return realLine(a);
  });
  run(1);
  EXPECT_EQ(lines, 9);  // the rest of the card goes nowhere and Nowak's card is not begun
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].substr(0, 17), "Wydruk przerwany\n");
  EXPECT_NE(messages[0].find("wydruk.txt"), std::string::npos);
  EXPECT_TRUE(fileMessages.empty());
  std::vector<std::string> printed = printedLines();
  ASSERT_EQ(printed.size(), 8u);  // the page title, five lines of the card, then the mark
  EXPECT_EQ(printed.back(), "*** Wydruk przerwany ***");
  EXPECT_TRUE(suite::openSets().empty());

  // Printed to the end, the message names the file written.
  rt::functions().add("DEV_LINIA", realLine);
  messages.clear();
  run(2);
  EXPECT_TRUE(messages.empty());
  ASSERT_EQ(fileMessages.size(), 1u);
  EXPECT_EQ(fileMessages[0],
            "Wydruk zapisano w pliku\n" + con::shortenPath((dir / "WYDRUKI" / "wydruk.txt").string()) + "\n");
}

TEST_F(CardPrint, FailedOpeningIsRetriedUntilEsc) {
  standardBenefits();
  int failures = 0, windowsClosed = 0;
  rt::NativeFunction realOpen = *rt::functions().find("_OPEN_SET");
  test_support::ScopedFunctions stand__open_set("_OPEN_SET", [&](rt::Args& a) {
    if (failures > 0 && a[0].strOr("").rfind("MAIN |", 0) == 0) {
      --failures;
      return yes(false);
    }
    return realOpen(a);
  });
  int nextKey = 0;
  test_support::ScopedFunctions stand_kom2("KOM2", [&](rt::Args&) {
    rt::term::keyboard().setLastKey(nextKey);
    return Value();
  });
  test_support::ScopedFunctions stand_zwin("ZWIN", [&](rt::Args&) {
    ++windowsClosed;
    return Value();
  });

  failures = 2;
  nextKey = 13;
  run(1);
  EXPECT_EQ(failures, 0);
  EXPECT_NE(printed().find("Kowalski Jan"), std::string::npos);
  EXPECT_EQ(windowsClosed, 1);

  std::filesystem::remove(dir / "WYDRUKI" / "wydruk.txt");
  failures = 1;
  nextKey = 27;
  windowsClosed = 0;
  run(1);
  EXPECT_FALSE(printedAnything());
  EXPECT_EQ(windowsClosed, 1);
  EXPECT_TRUE(suite::openSets().empty());
}

TEST_F(CardPrint, RangeChosenBeforeThePrint) {
  standardBenefits();
  rt::functions().add("ZAKRES", [](rt::Args& a) {
    a.assign(0, num(3));
    a.assign(1, txt("    2"));
    return Value();
  });
  rt::functions().call("ZAKRES_WYDR");
  run(1);
  std::string text = printed();
  EXPECT_NE(text.find("Karta zasiłkowa dla pracownika Nowak Anna    Nr     2"), std::string::npos);
  EXPECT_EQ(text.find("Kowalski"), std::string::npos);

  rt::functions().add("ZAKRES", [](rt::Args& a) {  // Esc: the range stays
    a.assign(0, num(0));
    return Value();
  });
  rt::functions().call("ZAKRES_WYDR");
  EXPECT_EQ(rt::context().memvars.get("ky_zakres").num(), 3);
}

}  // namespace
}  // namespace cards_test
