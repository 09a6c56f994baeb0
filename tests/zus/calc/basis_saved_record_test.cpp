// The saved basis record: its exact text, reading it back, the basis window of the register
// (NVIEW_DANE) drawn from it, and the basis print's lines.
#include "tests/zus/calc/basis_fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/core/error.h"
#include "zus/calc/basis_print.h"
#include "zus/calc/saved_basis_record.h"

namespace basis_test {
namespace {

using zus::basis::BasisSet;
using zus::basis::Num;

// A basis of `n` months from March back, months 3 and 7 dropped out when present.
BasisSet basisOf(int n) {
  BasisSet b;
  b.insuranceStart = rt::makeDate(2015, 2, 1);
  b.kindName = "CHOR_ZUS  ";
  b.startMonth = {4, 0};
  b.startYear = {2024, 0};
  b.monthCount = {double(n), 0};
  b.auxiliary = {0, 0};
  b.daily = {85.33, 2};
  for (int i = 0; i < n; ++i) {
    int month = 3 - i > 0 ? 3 - i : 15 - i;
    b.months[size_t(i)] = Num{double(month), 0};
    b.years[size_t(i)] = Num{double(3 - i > 0 ? 2024 : 2023), 0};
    bool counts = i != 2 && i != 6;
    b.basis.push_back({3000.0 + i, 2});
    b.counts.push_back(counts);
    b.filledUp.push_back({3000.5 + i, 2});
    b.daysWorked.push_back({21, 0});
    b.workingDays.push_back({i == 2 ? 20.0 : 21.0, 2});
    b.calendarDays.push_back({30, 0});
  }
  return b;
}

std::vector<std::string> split(const std::string& s, const std::string& sep) {
  std::vector<std::string> out;
  size_t from = 0, at;
  while ((at = s.find(sep, from)) != std::string::npos) {
    out.push_back(s.substr(from, at - from));
    from = at + sep.size();
  }
  out.push_back(s.substr(from));
  return out;
}

using SavedRecord = BasisCompany;

TEST_F(SavedRecord, TwelveMonthsWithTwoDroppedOut) {
  BasisSet b = basisOf(12);
  b.texts = {" 80", "     68.26", " 14", "    955.64"};
  b.remark = "  Uwaga  ";
  std::string text = zus::basis::savedRecordText(b);
  std::vector<std::string> lines = split(text, "\r\n");
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], "20150201\tCHOR_ZUS  \t4\t2024\t12\t0\t85.33");
  EXPECT_EQ(lines[1], "3\t2\t1\t12\t11\t10\t9\t8\t7\t6\t5\t4");
  EXPECT_EQ(lines[2], "2024\t2024\t2024\t2023\t2023\t2023\t2023\t2023\t2023\t2023\t2023\t2023");
  EXPECT_EQ(lines[3].substr(0, 24), "3000.00\t3001.00\t3002.00\t");
  EXPECT_EQ(lines[4], "T\tT\tF\tT\tT\tT\tF\tT\tT\tT\tT\tT");
  EXPECT_EQ(lines[5].substr(0, 8), "3000.50\t");
  EXPECT_EQ(split(lines[6], "\t").size(), 12u);
  EXPECT_EQ(lines[6].substr(0, 6), "21\t21\t");
  EXPECT_EQ(lines[7].substr(0, 18), "21.00\t21.00\t20.00\t");
  EXPECT_EQ(lines[9], " 80\t     68.26\t 14\t    955.64");
  EXPECT_EQ(lines[10], "Uwaga");
  EXPECT_EQ(text.substr(text.size() - 5), "Uwaga");  // nothing after the last line

  std::optional<BasisSet> back = zus::basis::parseSavedRecord(text);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->insuranceStart, b.insuranceStart);
  EXPECT_EQ(back->kindName, "CHOR_ZUS  ");
  EXPECT_EQ(back->count(), 12);
  EXPECT_DOUBLE_EQ(back->daily.value, 85.33);
  EXPECT_EQ(back->counts, b.counts);
  EXPECT_DOUBLE_EQ(back->filledUp[11].value, 3011.5);
  EXPECT_DOUBLE_EQ(back->workingDays[2].value, 20);
  EXPECT_EQ(back->texts[3], "    955.64");
  EXPECT_EQ(back->remark, "Uwaga");
}

TEST_F(SavedRecord, ShortBasesAndShortRecords) {
  BasisSet b = basisOf(6);
  b.insuranceStart = 0;
  std::string text = zus::basis::savedRecordText(b);
  std::vector<std::string> lines = split(text, "\r\n");
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0].substr(0, 9), "        \t");  // an empty date is eight blanks
  EXPECT_EQ(lines[1], "3\t2\t1\t12\t11\t10\tNIL\tNIL\tNIL\tNIL\tNIL\tNIL");
  EXPECT_EQ(split(lines[3], "\t").size(), 6u);
  EXPECT_EQ(lines[9], "\t\t\t");
  EXPECT_EQ(lines[10], "");  // an empty remark is an empty last line
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");

  std::optional<BasisSet> back = zus::basis::parseSavedRecord(text);
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->months[6].has_value());
  EXPECT_DOUBLE_EQ(back->months[5]->value, 10);

  // Ten lines: a saved basis without a remark; nine lines or nothing: none.
  std::string ten = text.substr(0, text.rfind("\r\n"));
  ASSERT_TRUE(zus::basis::parseSavedRecord(ten));
  EXPECT_EQ(zus::basis::parseSavedRecord(ten)->remark, "");
  EXPECT_FALSE(zus::basis::parseSavedRecord(ten.substr(0, ten.rfind("\r\n"))));
  EXPECT_FALSE(zus::basis::parseSavedRecord(""));
  // A count beyond the twelve places is held to them.
  std::string wild = "        \tX\t4\t2024\t40\t0\t1\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
  ASSERT_TRUE(zus::basis::parseSavedRecord(wild));
  EXPECT_EQ(zus::basis::parseSavedRecord(wild)->count(), 12);
}

class BasisView : public BasisCompany {
 protected:
  void SetUp() override {
    BasisCompany::SetUp();
    append("main", {{"nr_prac", txt("   17")}, {"nazwisko", txt("Nowak")}, {"imie", txt("Anna")}});
    append("nieobec", {{"nr_prac", txt("   17")}, {"od", date(2024, 4, 3)}, {"do", date(2024, 4, 16)},
                       {"zasilek", txt("Z01")}, {"l_dni", num(14)}, {"procent", num(80)},
                       {"podst_zas", num(68.26, 2)}, {"wartosc", num(955.64, 2)}, {"czy_nie_pl", yes(true)}});
  }
  void store(const BasisSet& b) {
    rt::functions().call("DBSELECTAREA", {txt("nieobec")});
    suite::setField("zapis_pod", txt(zus::basis::savedRecordText(b)));
    rt::functions().call("DBCOMMIT");
  }
};

TEST_F(BasisView, SixMonthsReadBackIntoTheWindow) {
  BasisSet b = basisOf(6);
  b.remark = "Uwaga: test";
  store(b);
  rt::functions().call("NVIEW_DANE");
  ASSERT_EQ(screens.size(), 1u);
  const std::vector<std::string>& s = screens[0];
  EXPECT_NE(s[1].find("Dane o podstawach"), std::string::npos);
  EXPECT_NE(s[2].find("Pracownik  Anna Nowak  Nr    17"), std::string::npos);
  EXPECT_NE(s[3].find("01.02.2015"), std::string::npos);
  EXPECT_NE(s[4].find("CHOR_ZUS"), std::string::npos);
  EXPECT_EQ(s[5].substr(9, 9), "Mc \xB3Rok \xB3");
  EXPECT_EQ(s[5].find("Kal."), std::string::npos);
  // Month 1 on the first row; month 3 dropped out: 0.00 and "WYP".
  EXPECT_EQ(s[6].substr(9, 4), "MAR\xB3");
  EXPECT_NE(s[8].find("   3002.00\xB3      0.00\xB3        21\xB3        20\xB3WYP\xB3"), std::string::npos);
  EXPECT_NE(s[7].find("   3001.00\xB3   3001.50\xB3"), std::string::npos);
  // The sum leaves out the dropped month: 6 x 3000.5 + 15 - 3002.5.
  EXPECT_NE(s[12].find(display("Podsumowanie: ")), std::string::npos);
  EXPECT_NE(s[12].find("  15015.50"), std::string::npos);
  // Blank saved texts: the values come from the record.
  EXPECT_NE(s[14].find("Procent  80"), std::string::npos);
  EXPECT_NE(s[14].find(" 68.26"), std::string::npos);
  EXPECT_NE(s[14].find(" 14 " + display("(pierwszy niepl`)")), std::string::npos);
  EXPECT_NE(s[15].find("955.64"), std::string::npos);
  // The remark sits in the bottom frame row, row 16.
  EXPECT_NE(s[16].find("Uwaga: test"), std::string::npos);
  EXPECT_EQ(s[24].substr(0, 9), "F6-wydruk");
  // The saved values became the working variables the print reads.
  EXPECT_EQ(var("_data_puc").date(), rt::makeDate(2015, 2, 1));
  // The window is gone afterwards.
  EXPECT_EQ(h.line(1).find("Dane o podstawach"), std::string::npos);
}

TEST_F(BasisView, CalendarDaysAndTheAverageKind) {
  set("zusx_dni_kal", yes(true));
  rt::functions().call("DBSELECTAREA", {txt("nieobec")});
  suite::setField("zasilek", txt("Z05"));
  BasisSet b = basisOf(2);
  b.texts = {"0", "0", "0", "   3000.00"};
  b.remark = "Uwaga: zas`wiadczenie";  // a Polish letter prints as one character
  store(b);
  rt::functions().call("NVIEW_DANE");
  ASSERT_EQ(screens.size(), 1u);
  const std::vector<std::string>& s = screens[0];
  EXPECT_NE(s[5].find("Kal.\xB3"), std::string::npos);
  EXPECT_NE(s[6].find("  30\xB3"), std::string::npos);
  EXPECT_NE(s[10].find(display("Wartos`c`  s`redniej")), std::string::npos);
  EXPECT_NE(s[10].find("3000.00"), std::string::npos);
  EXPECT_NE(s[11].find("Uwaga"), std::string::npos);
}

TEST_F(BasisView, NoSavedBasisGivesTheMessageAndNoWindow) {
  for (std::string text : {std::string(), std::string("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\ni")}) {
    messages.clear();
    rt::functions().call("DBSELECTAREA", {txt("nieobec")});
    suite::setField("zapis_pod", txt(text));
    rt::functions().call("NVIEW_DANE");
    EXPECT_TRUE(said("Brak zapisu podstaw na pods`wietlonym zasil`ku."));
    EXPECT_TRUE(screens.empty());
  }
}

TEST_F(BasisView, ADamagedSavedBasisMemoIsReportedNotTakenForAMissingOne) {
  const std::filesystem::path memo = dir / "NIEOBEC.fpt";
  const auto block = std::filesystem::file_size(memo) / 64;  // the new memo goes to the end
  store(basisOf(6));
  {
    std::fstream f(memo, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(std::streamoff(block * 64 + 4));
    f.write("\x7f\xff\xff\xff", 4);  // a length far past the end of the file
  }
  std::string file;
  try {
    rt::functions().call("NVIEW_DANE");
    ADD_FAILURE() << "a damaged memo was read as no saved basis";
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.kind(), rt::ErrorKind::Corrupt);
    file = e.file();
  }
  EXPECT_NE(file.find("NIEOBEC.fpt"), std::string::npos) << file;
  EXPECT_FALSE(said("Brak zapisu podstaw na pods`wietlonym zasil`ku."));
  EXPECT_TRUE(screens.empty());
}

TEST_F(BasisView, AuxiliaryMonthWithoutItsParametersGivesAMessage) {
  BasisSet b = basisOf(1);
  b.auxiliary = {1500, 2};
  store(b);
  set("zusx_pom_od", num(2));
  set("zusx_pom_do", num(2));
  rt::functions().call("NVIEW_DANE");
  EXPECT_TRUE(said("Brak w parametrach inf. o miesia`cu i roku dla podstawy pomocniczej!"));
  set("zusx_pom_m", num(11));
  set("zusx_pom_r", num(2023));
  messages.clear();
  rt::functions().call("NVIEW_DANE");
  EXPECT_TRUE(messages.empty());
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_NE(screens[1][8].find(display("z miesia`ca: ") + "LIS"), std::string::npos);
  EXPECT_NE(screens[1][8].find("2023"), std::string::npos);
}

TEST_F(BasisView, F6PrintsTheTableToAFile) {
  BasisSet b = basisOf(12);
  b.texts = {" 80", "     68.26", " 14", "    955.64"};
  store(b);
  nextKey = rt::term::K_F6;
  replace("WYB_URZ", [](rt::Args&) {
    rt::context().memvars.assign("urzadzenie", num(2));
    return num(2);
  });
  rt::functions().call("NVIEW_DANE");
  std::ifstream in("WYDRUKI/wydruk.txt");
  ASSERT_TRUE(in.good());
  std::stringstream all;
  all << in.rdbuf();
  std::string printed = all.str();
  EXPECT_NE(printed.find("Anna Nowak"), std::string::npos);
  EXPECT_NE(printed.find("Tak"), std::string::npos);
  EXPECT_NE(printed.find("955.64"), std::string::npos);
}

TEST_F(BasisView, PrintLinesAreOneWidthInEitherLineSet) {
  BasisSet b = basisOf(12);
  b.auxiliary = {1200, 2};
  b.startMonth = {3, 0};
  b.startYear = {2011, 0};
  b.remark = "Uwaga: zas`wiadczenie";  // a Polish letter prints as one character
  zus::basis::PrintSubject s;
  s.firstName = "Anna";
  s.surname = "Nowak";
  s.number = "   17";
  s.auxiliaryFrom = s.auxiliaryTo = 3;
  s.recordTexts = {" 80", " 68.26", " 14", "  955.64"};
  for (bool graphic : {false, true}) {
    zus::basis::PrintLines p = zus::basis::basisPrintLines(b, s, graphic, "", "");
    ASSERT_EQ(p.title.size(), 7u);
    ASSERT_EQ(p.rows.size(), 12u);
    ASSERT_EQ(p.closing.size(), 8u);
    for (const auto* part : {&p.title, &p.rows, &p.closing})
      for (const std::string& line : *part) {
        EXPECT_EQ(line.size(), 104u) << graphic << ": " << line;
        if (!graphic)
          for (unsigned char c : line)
            if (c >= 128) {
              // Only Polish letters of the labels, never a line character.
              EXPECT_EQ(std::string("\xB3\xC4\xDA\xBF\xC0\xD9\xC3\xB4\xC2\xC1\xC5").find(char(c)), std::string::npos);
            }
      }
    if (!graphic) {
      EXPECT_EQ(p.title[0], "/" + std::string(102, '-') + "\\");
      EXPECT_EQ(p.closing[7], "\\" + std::string(102, '-') + "/");
      EXPECT_NE(p.rows[2].find("Tak"), std::string::npos);
      EXPECT_NE(p.rows[2].find("           0.00"), std::string::npos);
    }
  }
  zus::basis::PrintLines p = zus::basis::basisPrintLines(b, s, false, "", "");
  // A single auxiliary month three months before a March start: December of the year before.
  EXPECT_NE(p.closing[3].find(display("z miesia`ca: Grudzien` 2010")), std::string::npos);
  b.startMonth = {5, 0};
  p = zus::basis::basisPrintLines(b, s, false, "", "");
  EXPECT_NE(p.closing[3].find("Luty 2011"), std::string::npos);
  EXPECT_NE(p.closing[6].find("Uwaga"), std::string::npos);
  // The sum leaves out the two dropped months.
  EXPECT_NE(p.closing[1].find("       30063.00"), std::string::npos);
  // An average alone: its value on line A, line B blank.
  s.averageKind = true;
  p = zus::basis::basisPrintLines(b, s, false, "", "");
  EXPECT_NE(p.closing[4].find("955.64"), std::string::npos);
  EXPECT_EQ(p.closing[5], "|" + std::string(102, ' ') + "|");
}

}  // namespace
}  // namespace basis_test
