// The card's text routines by name (months text, amount column, reduction window, years of
// service), the frames of the card table and the page title without a title line.
#include <string>

#include "tests/zus/reports/card_fixture.h"
#include "zus/reports/load_tekst.h"
#include "zus/reports/print_setup_frames.h"

namespace cards_test {
namespace {

Value call(const char* name, std::vector<Value> args = {}) { return rt::functions().call(name, std::move(args)); }

TEST(LoadTekst, MonthsFromTheLastStored) {
  struct Case {
    const char* months;
    int width;
    const char* expected;
  };
  for (const Case& c : {
           Case{"010203", 14, "3,2,1         "},
           Case{"", 14, "              "},
           Case{"1011", 3, "11,"},
           Case{"0102    ", 5, "2,1  "},
           Case{"10203", 6, "3,2   "},  // odd length: the first character is lost
           Case{"12", 0, ""},
           Case{"0a0b", -2, ""},
       }) {
    SCOPED_TRACE(c.months);
    EXPECT_EQ(zus::LOAD_TEKST(c.months, c.width), c.expected);
  }
}

TEST(LoadTekst, ByNameWidthDefaultsTo14) {
  zus::registerReportFunctions();
  EXPECT_EQ(call("LOAD_TEKST", {txt("0304"), txt("x")}).str(), "4,3           ");
  EXPECT_EQ(call("LOAD_TEKST", {txt("0304")}).str(), "4,3           ");
  EXPECT_EQ(call("LOAD_TEKST", {txt("0304"), num(2)}).str(), "4,");
}

using CardText = CardCompany;

TEST_F(CardText, AmountColumn) {
  struct Case {
    double amount;
    bool dash;
    bool grouping;
    int width;
    const char* expected;
  };
  for (const Case& c : {
           Case{0, false, false, 10, "      0.00"},
           Case{0, true, false, 10, "    -     "},
           Case{1234567.89, false, false, 10, "1234567.89"},
           Case{12345678.9, false, false, 10, "*******.**"},
           Case{-5, false, false, 10, "     -5.00"},
           Case{1234.5, false, true, 10, "  1 234.50"},
           Case{1234567.89, false, true, 10, "*** ***.**"},
           Case{12345678.9, false, false, 12, " 12345678.90"},
       }) {
    SCOPED_TRACE(std::to_string(c.amount) + (c.grouping ? " grouped" : "") + " in " + std::to_string(c.width));
    set("zusx_spac", yes(c.grouping));
    set("zusx_szer", num(c.width));
    EXPECT_EQ(call("FORMAT_", {num(c.amount, 2), yes(c.dash)}).str(), c.expected);
  }
}

TEST_F(CardText, ReductionWindow) {
  benefits({benefit("    1", "Z01", day(2024, 3, 4), day(2024, 3, 8), 5, day(2024, 3, 10), 100, 4)});
  call("_OPEN_SET", {txt("MAIN |SLOWNIK |NIEOBEC"), txt("SSS")});
  call("DBSELECTAREA", {txt("main")});
  call("DBSEEK", {txt("    1")});
  call("DBSELECTAREA", {txt("nieobec")});
  call("DBGOTOP");
  EXPECT_EQ(call("_OBNIZ").str(), " nie ma obni\xBE" "enia  ");
  auto startAt = [](Value d) {
    rt::functions().call("DBSELECTAREA", {txt("main")});
    rt::functions().call("DBRLOCK");
    rt::functions().call("FIELDPUT", {rt::functions().call("FIELDPOS", {txt("pocz_obniz")}), d});
    rt::functions().call("DBSELECTAREA", {txt("nieobec")});
  };
  startAt(day(2023, 6, 1));
  EXPECT_EQ(call("_OBNIZ").str(), "01.06.2023 \xF6 01.06.2024");
  startAt(day(2023, 1, 1));  // the window ended before the benefit began
  EXPECT_EQ(call("_OBNIZ").str(), " nie ma obni\xBE" "enia  ");
  call("_CLOSE_SET", {txt("MAIN")});
}

TEST_F(CardText, YearsOfServiceItem) {
  fill("DANE_WE", {
                      {{"nr_prac", txt("    1")}, {"kod", txt("P001")}, {"wartosc", txt(std::string("\x05\0\0\0", 4))}},
                      {{"nr_prac", txt("    1")}, {"kod", txt("S001")}, {"wartosc", txt(std::string("\xFE\xFF\xFF\xFF", 4))}},
                      {{"nr_prac", txt("    2")}, {"kod", txt("P001")}, {"wartosc", txt(std::string("\x07\0\0\0", 4))}},
                  });
  call("_OPEN_SET", {txt("DANE_WE |NIEOBEC"), txt("SS")});
  struct Case {
    const char* employee;
    bool found;
    Value value;
  };
  for (const Case& c : {Case{"    1", true, num(-2)}, Case{"    2", true, txt("unchanged")},
                        Case{"    9", false, txt("unchanged")}}) {
    SCOPED_TRACE(c.employee);
    rt::context().memvars.declarePrivate("staz", txt("unchanged"));
    rt::Args a;
    a.push(txt(c.employee));
    a.push(txt("unchanged"), rt::context().memvars.ref("staz"));
    EXPECT_EQ(rt::functions().call("WEZ_STAZ", a).logical(), c.found);
    Value got = rt::context().memvars.get("staz");
    if (c.value.isNum()) EXPECT_EQ(got.numOr(99), c.value.num());
    else EXPECT_EQ(got.strOr(""), c.value.str());
  }
  call("_CLOSE_SET", {txt("DANE_WE")});
}

TEST_F(CardText, KindNameOfASlot) {
  rt::Value link = rt::context().memvars.get("zas_zus");
  link.arr()[3] = txt("Z99");  // slot 4: a code the dictionary lacks
  call("_OPEN_SET", {txt("SLOWNIK |NIEOBEC"), txt("SS")});
  struct Case {
    int slot;
    bool found;
    std::string name;
  };
  for (const Case& c : {Case{1, true, "Zasi\x88" "ek chorobowy" + std::string(23, ' ')},
                        Case{3, false, "unchanged"}, Case{4, false, std::string(40, ' ')}}) {
    SCOPED_TRACE(c.slot);
    rt::context().memvars.declarePrivate("nazwa_zas", txt("unchanged"));
    rt::Args a;
    a.push(num(c.slot));
    a.push(txt("unchanged"), rt::context().memvars.ref("nazwa_zas"));
    EXPECT_EQ(rt::functions().call("WEZ_ZAS", a).logical(), c.found);
    EXPECT_EQ(rt::context().memvars.get("nazwa_zas").str(), c.name);
    EXPECT_EQ(call("ALIAS").str(), "NIEOBEC");
  }
  call("_CLOSE_SET", {txt("SLOWNIK")});
}

TEST_F(CardText, PageTitleWithoutTitleLine) {
  rt::Memvars& v = rt::context().memvars;
  v.declarePrivate("dev_tytul", Value::newArray(2));
  v.declarePrivate("tytul_proc", txt("_rob_tytul"));
  call("DEV");
  set("urzadzenie", num(2));
  ASSERT_TRUE(call("DEV_OPEN").logical());
  call("DEV_LINIA", {txt("wiersz")});
  call("DEV_CLOSE");
  EXPECT_EQ(printed(), "str    1       \n\nwiersz\n");
  EXPECT_EQ(v.get("dev_tytul").arr()[0].strOr("<nil>"), "");
}

using CardFrames = CardCompany;

TEST_F(CardFrames, BoxCharactersAndLines) {
  using namespace zus::cards;
  BoxChars ascii = boxChars(false, false), graphic = boxChars(true, true);
  EXPECT_EQ(ascii.pion, "|");
  EXPECT_EQ(graphic.pion, " \xB3 ");
  EXPECT_EQ(ascii.rlg + ascii.rpg + ascii.rld + ascii.rpd, "/\\\\/");

  CardWidths widths = cardWidths(8);  // below 10 counts as 10
  EXPECT_EQ(widths[5], 8);
  EXPECT_EQ(widths[13], 10);
  CardLines lines = cardLines(boxChars(true, false), cardWidths(10), "<u>", "</u>");
  for (const std::string* l : {&lines.top, &lines.separator, &lines.bottom}) EXPECT_EQ(l->size(), 171u);
  EXPECT_EQ(lines.top.front(), '\xC3');
  EXPECT_EQ(lines.top.back(), '\xB4');
  EXPECT_EQ(lines.separator.find('\xC2'), std::string::npos);
  EXPECT_EQ(lines.bottom.front(), '\xC0');
  EXPECT_NE(lines.title1.find("<u>"), std::string::npos);
  EXPECT_EQ(lines.title1.size(), 171u + 7);  // one cell over two columns, plus the codes
}

}  // namespace
}  // namespace cards_test
