// The calculation run end to end: the real `OBL_ZAS` with the real basis (archive, averaging,
// floors, saved basis), value and net amount, on a small archive of the case's own. Each case
// checks what the register holds afterwards: the amounts, the basis fields, the saved basis and
// the status.
#include "tests/zus/calc/run_fixture.h"

#include <algorithm>

#include "zus/calc/by_name.h"

namespace calcrun_test {
namespace {

// One archive record: employee, payroll item, values at depths 1, 2, 3, ... (depth 0, the payroll
// month, holds nothing yet).
struct Archived {
  int employee;  // 0: the system pseudo-employee
  const char* item;
  std::vector<double> values;
};

// What one record holds after the run. `used` lists the basis months written to `fakt_mies` as
// months back from the month calculated (`fakt` gives the text itself instead); `flags` and
// `filled` are the saved basis's lines of the months that count and of the filled-up amounts
// ("" for no saved basis), `remark` a part of its note.
struct Expected {
  int status;
  double wartosc, netto, podst_zas, suma, druk_podst;
  std::vector<int> used;
  const char* flags = "";
  const char* filled = "";
  const char* remark = "";
  const char* fakt = nullptr;
};

class EndToEnd;

struct Case {
  const char* name;
  int employee;
  std::vector<Archived> archive = {};
  std::function<std::vector<Benefit>(const EndToEnd&)> records;
  std::vector<Expected> expected;
  std::function<void()> settings = [] {};
  double minimumWage = 0;       // the system's archive at depth 0
  bool insuredThisMonth = false;  // else insured since 2010
  int minimumWageAnswer = 1;    // 1 Tak, 0 Nie
  int critical = 0;
  const char* namedInQuestion = nullptr;  // the minimum-wage question's line naming the employee
};

class EndToEnd : public RunCompany {
 public:
  void SetUp() override {
    RunCompany::SetUp();
    zus::registerBasisFunctions();  // the real basis in place of the fixture's stand-in
    monthsBack = 0;
  }

  // Replaces the payroll archive: working days 21 and the given minimum wage for the system,
  // then the case's records.
  void archive_(const std::vector<Archived>& records, double minimumWage) {
    const suite::TableDef& def = *suite::findTable("ARCHIW");
    std::string path = suite::tablePath(def);
    for (const char* ext : {".dbf", ".cdx"}) fs::remove(path + ext);
    suite::createTable(path, def);
    suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(path + ".dbf"), txt("archiw"), flag(true), flag(false)});
    std::vector<Archived> all{{0, "B007", std::vector<double>(23, 21)},
                              {0, "B039", {}},
                              {0, "B040", std::vector<double>(23, 1000)}};
    all.insert(all.end(), records.begin(), records.end());
    for (const Archived& a : all) {
      Fields f{{"nr_prac", txt(employee(a.employee))}, {"kod", txt(a.item)}};
      f.push_back({suite::archiveField(0), num(std::string(a.item) == "B039" ? minimumWage : 0, 2)});
      for (size_t d = 0; d < a.values.size(); ++d) f.push_back({suite::archiveField(int(d + 1)), num(a.values[d], 2)});
      suite::appendRecord(f);
    }
    suite::call("DBCOMMIT");
    suite::call("DBCLOSEAREA");
  }

  // The insurance start of employee n (the personnel item the link names).
  void insured(int n, const rt::Value& since) {
    suite::call("DBUSEAREA", {flag(true), rt::Value(), txt(suite::tablePath(*suite::findTable("MAIN_2")) + ".dbf"),
                              txt("upd2"), flag(true), flag(false)});
    suite::call("DBSETORDER", {num(1)});
    ASSERT_TRUE(suite::call("DBSEEK", {txt(employee(n))}).logicalOr(false));
    ASSERT_TRUE(suite::call("RLOCK").logicalOr(false));
    suite::setField("kd_ubezp", since);
    suite::call("DBCOMMIT");
    suite::call("DBCLOSEAREA");
  }

  // `fakt_mies` of the months `back` months before the month calculated, each two wide.
  std::string usedMonths(const std::vector<int>& back) const {
    std::string out;
    for (int b : back) {
      int y, m, d;
      suite::splitDayNumber(suite::addMonths(month, -b), y, m, d);
      char piece[8];
      std::snprintf(piece, sizeof piece, "%2d", m);
      out += piece;
    }
    return out;
  }
};

std::vector<std::string> linesOf(const std::string& saved) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (!saved.empty()) {
    size_t end = saved.find("\r\n", start);
    lines.push_back(saved.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

rt::Memvars& vars() { return rt::context().memvars; }

// The parameters every case starts from: three basis months, months drop out but are not filled
// up, contributions of 13.71%, rounding to the grosz.
void baseSettings() {
  vars().assign("zusx_mies", num(3));
  vars().assign("zusx_wypad", txt("T"));
  vars().assign("zusx_kor", num(2));
  vars().assign("zusx_sprsk", num(13.71, 2));
  vars().assign("zusx_zaok1", num(0.01, 2));
  vars().assign("zusx_zaok2", num(0.01, 2));
  vars().assign("zusx_rzaok", txt("M"));
  vars().assign("zusx_dni_kal", flag(false));
}

const std::vector<double> kFullDays(23, 21);

TEST_F(EndToEnd, RecordsThroughTheWholeRun) {
  const Case cases[] = {
      {.name = "a month filled up and a month dropped",
       .employee = 3,
       // 15 of 21 days worked fill 1200.00 up to 1680.00; 10 of 21 drop the third month.
       .archive = {{3, "B002", {3000, 1200, 1000}}, {3, "B006", {21, 15, 10}}},
       .records = [](const EndToEnd&) { return std::vector<Benefit>{{3, {}}}; },
       // (3000 + 1680) / 2 = 2340.00 a month, 4680 / 60 = 78.00 a day, 80% of it for 10 days.
       .expected = {{4, 624.00, 624.00, 62.40, 2340.00, 78.00, {1, 2}, "T\tT\tF", "3000.00\t1680.00\t2100.00"}},
       .settings = [] { vars().assign("zusx_kor", num(1)); }},
      {.name = "every month dropped: the second pass and the monthly floor",
       .employee = 5,
       .archive = {{5, "B002", {2000, 1500, 0}}, {5, "B006", kFullDays}},
       .records = [](const EndToEnd&) { return std::vector<Benefit>{{5, {}}}; },
       // Insured from the month calculated: every basis month lies before it. The second pass
       // sums them all and counts the two with a basis (3500 / 2 a month, 3500 / 60 a day); the
       // monthly floor lifts the average to 3000.00, "Nie" keeps the daily basis.
       .expected = {{4, 466.60, 466.60, 46.66, 3000.00, 58.33, {1, 2}, "T\tT\tF", "2000.00\t1500.00\t0.00"}},
       .minimumWage = 3000,
       .insuredThisMonth = true,
       .minimumWageAnswer = 0},
      {.name = "an amount rate, the alcohol and unpaid-days rules, a tax advance in both eras",
       .employee = 7,
       .records =
           [](const EndToEnd& t) {
             Fields amount{{"czy_kwot", flag(true)}, {"podst_zas", num(50, 2)}, {"czy_alk", flag(true)},
                           {"czy_nie_pl", flag(true)}, {"podat", num(18)}, {"zalicz", num(5.55, 2)}};
             Fields before2006 = amount;
             before2006.push_back({"dat_wyp", day(2005, 12, 30)});
             before2006.push_back({"od", t.inMonth(14)});
             before2006.push_back({"do", t.inMonth(23)});
             return std::vector<Benefit>{{7, amount}, {7, before2006}};
           },
       // 10 days less 5 unpaid for alcohol less the unpaid first day: 4 days of 50.00. The tax
       // 36.00 less 5.55 is rounded to the zloty, for a payout before 2006 to 10 grosz.
       .expected = {{4, 200.00, 170.00, 50.00, 0, 0, {}}, {4, 200.00, 169.50, 50.00, 0, 0, {}}}},
      {.name = "a basis copied for a PBZ record",
       .employee = 9,
       .records =
           [](const EndToEnd& t) {
             return std::vector<Benefit>{
                 {9, {{"od", t.inMonthBack(2, 1)}, {"do", t.inMonthBack(2, 10)}, {"status", num(4)},
                      {"druk_podst", num(120, 2)}, {"suma", num(3600, 2)}, {"te_mies", txt("0102")},
                      {"fakt_mies", txt(" 1 2")}}},
                 {9, {{"nieobec", txt("PBZ")}}}};
           },
       .expected = {{4, 0, 0, 0, 3600.00, 120.00, {}, "", "", "", " 1 2"},
                    {4, 960.00, 960.00, 96.00, 3600.00, 120.00, {}, "", "", "", " 1 2"}}},
      {.name = "a payroll date in mid-month leaves the next month's record untouched",
       .employee = 11,
       .archive = {{11, "B002", {3000, 3000, 3000}}, {11, "B006", kFullDays}},
       .records =
           [](const EndToEnd& t) {
             return std::vector<Benefit>{{11, {}}, {11, {{"od", t.inNextMonth(1)}, {"do", t.inNextMonth(5)}}}};
           },
       .expected = {{4, 800.00, 800.00, 80.00, 3000.00, 100.00, {1, 2, 3}, "T\tT\tT", "3000.00\t3000.00\t3000.00"},
                    {2, 0, 0, 0, 0, 0, {}}},
       .settings =
           [] {
             int32_t payroll = vars().get("lum_data").date();
             vars().assign("lum_data", rt::Value::date(payroll + 14));
           }},
      {.name = "a basis month deeper than the archive keeps",
       .employee = 13,
       .archive = {{13, "B002", std::vector<double>(23, 3000)}, {13, "B006", kFullDays}},
       // Started 22 months back: the months before it lie 23 to 25 months back, where the
       // archive ends after 23. The amounts stored before stay.
       .records =
           [](const EndToEnd& t) {
             return std::vector<Benefit>{
                 {13, {{"od", t.inMonthBack(22, 3)}, {"wartosc", num(949.2, 2)}, {"netto", num(949.2, 2)}}}};
           },
       .expected = {{9, 949.20, 949.20, 0, 0, 0, {}}},
       .critical = 1},
      {.name = "the half-time employee",
       .employee = 51,
       .archive = {{51, "B002", {1898.38, 1898.38, 1898.38}}, {51, "B006", kFullDays}},
       .records = [](const EndToEnd&) { return std::vector<Benefit>{{51, {}}}; },
       // Below the minimum wage for half a full time: 2333.00 a month, and Tak to the daily
       // floor (2333.00 less 13.71%) / 30 = 67.10.
       .expected = {{4, 536.80, 536.80, 53.68, 2333.00, 67.10, {1, 2, 3}, "T\tT\tT",
                     "1898.38\t1898.38\t1898.38", "(etat:0.50)"}},
       .minimumWage = 4666,
       // The question covers the progress window with the name: it names the employee.
       .namedInQuestion = "Pracownik: 51 Pawlak Ewa"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    answers = {{kMinimumWage, c.minimumWageAnswer}};
    questions.clear();
    comments.clear();
    start([&] {
      baseSettings();
      c.settings();
      insured(c.employee, c.insuredThisMonth ? inMonth(1) : day(2010, 1, 1));
      archive_(c.archive, c.minimumWage);
      register_(c.records(*this));
      calculate();
    });
    std::vector<double> status = numbers("status"), wartosc = numbers("wartosc"), netto = numbers("netto"),
                        podstZas = numbers("podst_zas"), suma = numbers("suma"), drukPodst = numbers("druk_podst");
    std::vector<rt::Value> used = column("fakt_mies"), saved = column("zapis_pod");
    ASSERT_EQ(status.size(), c.expected.size());
    for (size_t i = 0; i < c.expected.size(); ++i) {
      SCOPED_TRACE("record " + std::to_string(i + 1));
      const Expected& e = c.expected[i];
      EXPECT_EQ(status[i], e.status);
      EXPECT_DOUBLE_EQ(wartosc[i], e.wartosc);
      EXPECT_DOUBLE_EQ(netto[i], e.netto);
      EXPECT_DOUBLE_EQ(podstZas[i], e.podst_zas);
      EXPECT_DOUBLE_EQ(suma[i], e.suma);
      EXPECT_DOUBLE_EQ(drukPodst[i], e.druk_podst);
      std::string fakt = used[i].strOr("");
      EXPECT_EQ(fakt.substr(0, fakt.find_last_not_of(' ') + 1), e.fakt ? e.fakt : usedMonths(e.used));
      std::vector<std::string> lines = linesOf(saved[i].strOr(""));
      if (std::string(e.flags).empty()) {
        EXPECT_TRUE(lines.empty());
        continue;
      }
      ASSERT_GE(lines.size(), 10u);
      EXPECT_EQ(lines[4], e.flags);
      EXPECT_EQ(lines[5], e.filled);
      char daily[16];
      std::snprintf(daily, sizeof daily, "\t%.2f", e.druk_podst);
      EXPECT_EQ(lines[0].substr(lines[0].rfind('\t')), daily);
      std::string remark = lines.size() > 10 ? lines[10] : "";
      if (std::string(e.remark).empty())
        EXPECT_EQ(remark, "");
      else
        EXPECT_NE(remark.find(e.remark), std::string::npos) << remark;
    }
    if (c.namedInQuestion) {
      ASSERT_EQ(questions.back(), kMinimumWage);
      EXPECT_EQ(comments.back(), c.namedInQuestion);
    }
    ASSERT_EQ(summary.size(), 4u);
    EXPECT_EQ(summary[3], c.critical ? "Podczas obliczen` zasil`ko`w wysta`pil`y bl`e`dy krytyczne w 1 przypadku !"
                                     : "Nie stwierdzono bl`e`do`w krytycznych!");
  }
}

// The demo company as it is built: its half-time employee's sick pay of the payroll month falls
// under the floors for half a full time, and the saved basis says so.
TEST_F(EndToEnd, TheDemosHalfTimeEmployeeGetsTheFloorsOfHerFraction) {
  start([&] { calculate(); });
  std::vector<rt::Value> employees = column("nr_prac"), saved = column("zapis_pod");
  std::vector<double> status = numbers("status"), suma = numbers("suma");
  auto it = std::find_if(employees.begin(), employees.end(), [](const rt::Value& v) { return v.strOr("") == "   51"; });
  ASSERT_NE(it, employees.end());
  size_t i = size_t(it - employees.begin());
  EXPECT_EQ(status[i], 4);
  EXPECT_NE(saved[i].strOr("").find("(etat:0.50)"), std::string::npos) << saved[i].strOr("");
  EXPECT_LT(suma[i], 3000) << "half of the minimum wage, not the whole";
}

}  // namespace
}  // namespace calcrun_test
