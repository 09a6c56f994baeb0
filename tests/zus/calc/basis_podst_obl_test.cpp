// PODST_OBL on a small company: the archive read by its rule, months dropping out, the failure
// statuses, the floors with their question, the fields and the saved basis record written.
#include "tests/zus/calc/basis_fixture.h"

#include "zus/calc/archive_reading.h"
#include "zus/calc/basis_routines.h"

namespace basis_test {
namespace {

class PodstObl : public BasisCompany {
 protected:
  void SetUp() override {
    BasisCompany::SetUp();
    append("main", {{"nr_prac", txt("    1")}, {"nazwisko", txt("Wis`niewski")}, {"imie", txt("Jan")},
                    {"status", num(1)}, {"rok_arc", num(2024)}, {"mies_arc", num(4)}});
    // April, March and February at depths 1, 2 and 3: February had 10 days worked of 21.
    archive("    1", "B001", {0, 3000, 3000, 1200});
    archive("    1", "B006", {0, 21, 21, 10});
    archive("    0", "B007", {22, 21, 21, 21});
    append("nieobec", {{"nr_prac", txt("    1")}, {"od", date(2024, 5, 15)}, {"do", date(2024, 5, 20)},
                       {"zasilek", txt("Z01")}, {"l_dni", num(6)}, {"procent", num(80)}});
  }
  bool run(const std::string& item) {
    return rt::functions().call("PODST_OBL", {txt(item)}).logical();
  }
  static std::string savedRecord() { return field("nieobec", "zapis_pod").strOr(""); }
};

TEST_F(PodstObl, AMonthDropsOutAndTheRecordIsWritten) {
  ASSERT_TRUE(run("B001"));
  EXPECT_FALSE(var("tylko_stale").logical());
  EXPECT_DOUBLE_EQ(field("nieobec", "suma").num(), 3000.00);
  EXPECT_DOUBLE_EQ(field("nieobec", "druk_podst").num(), 100.00);
  EXPECT_DOUBLE_EQ(var("podstawa").num(), 100.00);
  EXPECT_EQ(field("nieobec", "fakt_mies").str().substr(0, 4), " 4 3");
  EXPECT_EQ(savedRecord(),
            "20100101\tCHOR_ZUS  \t5\t2024\t3\t0\t100.00\r\n"
            "4\t3\t2\tNIL\tNIL\tNIL\tNIL\tNIL\tNIL\tNIL\tNIL\tNIL\r\n"
            "2024\t2024\t2024\tNIL\tNIL\tNIL\tNIL\tNIL\tNIL\tNIL\tNIL\tNIL\r\n"
            "3000.00\t3000.00\t1200.00\r\n"
            "T\tT\tF\r\n"
            "3000.00\t3000.00\t1200.00\r\n"
            "21.00\t21.00\t10.00\r\n"
            "21.00\t21.00\t21.00\r\n"
            "0\t0\t0\r\n"
            "\t\t\t\r\n");
  EXPECT_EQ(rt::functions().call("ALIAS").strOr(""), "NIEOBEC");
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(questions.empty());
}

TEST_F(PodstObl, MissingArchiveDataEndWithTheirStatus) {
  struct Case {
    const char* name;
    const char* basisItem;
    const char* systemDays;
    const char* employeeDays;
    int fillUp;
    bool result;
    int status;
  };
  const Case cases[] = {
      {"no basis in the archive", "B002", "B007", "", 2, false, 9},
      {"system working days not archived", "B001", "B099", "", 2, false, 5},
      {"employee's working days missing, no system item", "B001", "", "B013", 2, false, 5},
      {"employee's working days missing, system's found", "B001", "B007", "B013", 2, true, 0},
      {"no working-days item linked at all", "B001", "", "", 1, true, 0},
  };
  for (const Case& c : cases) {
    set("dni_w_mies", txt(c.systemDays));
    rt::Value dan = var("zas_dan");
    dan.arr()[12] = txt(c.employeeDays);
    set("zusx_kor", num(c.fillUp));
    set("tylko_stale", yes(false));
    set("ten_arch_stat", num(0));
    EXPECT_EQ(run(c.basisItem), c.result) << c.name;
    EXPECT_EQ(var("tylko_stale").logical(), !c.result) << c.name;
    if (!c.result) {
      EXPECT_EQ(var("ten_arch_stat").num(), c.status) << c.name;
      EXPECT_EQ(rt::functions().call("ALIAS").strOr(""), "ARCHIW") << c.name;
    }
  }
  // The working days of the system were used where the employee had none.
  EXPECT_TRUE(messages.empty());

  // Without a date of the last archiving the system's months cannot be placed: no basis is
  // made of guessed working days.
  set("dni_w_mies", txt("B007"));
  set("closed_dat", rt::Value::date(0));
  EXPECT_FALSE(run("B001"));
  EXPECT_EQ(var("ten_arch_stat").num(), 5);
}

// The archive keeps 24 months (depths 0 to 23 from May 2024). A month deeper than that is
// missing data with the status of what is missing, never a 0 that counts or drops out; a month
// kept with 0 in it is a month like any other. One employee's run names the month.
TEST_F(PodstObl, AMonthOutsideTheArchiveIsMissingData) {
  struct Case {
    const char* name;
    rt::Value start;     // the benefit's first day: a start long ago pushes the months deeper
    const char* basisItem;
    const char* auxiliaryItem;
    rt::Value closed;    // the last archiving of the system parameters
    bool result;
    int status;
    const char* month;   // the month named, "" for none
  };
  const Case cases[] = {
      {"basis months at depths 23, 24, 25", date(2022, 7, 4), "B001", "", date(2024, 4, 30), false, 9, "05.2022"},
      {"basis months at depths 21, 22, 23 hold 0", date(2022, 9, 4), "B001", "", date(2024, 4, 30), true, 0, ""},
      {"system working days at depths 25, 26, 27", date(2024, 5, 15), "B001", "", date(2026, 4, 30), false, 5, "04.2024"},
      {"auxiliary months at depths 23, 24, 25", date(2022, 7, 4), "", "B008", date(2024, 4, 30), false, 9, "05.2022"},
  };
  archive("    1", "B008", {0, 3000, 4000, 2000});
  set("zakr", num(3));
  set("zusx_pom_od", num(1));
  set("zusx_pom_do", num(3));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages.clear();
    rt::functions().call("DBSELECTAREA", {txt("nieobec")});
    suite::setField("od", c.start);
    suite::setField("suma", num(1035.5, 2));
    set("pod_pom", txt(c.auxiliaryItem));
    set("closed_dat", c.closed);
    set("tylko_stale", yes(false));
    set("ten_arch_stat", num(0));
    EXPECT_EQ(run(c.basisItem), c.result);
    EXPECT_EQ(var("tylko_stale").logical(), !c.result);
    if (c.result) continue;
    EXPECT_EQ(var("ten_arch_stat").num(), c.status);
    EXPECT_DOUBLE_EQ(field("nieobec", "suma").num(), 1035.50) << "nothing of the record is written";
    EXPECT_TRUE(said(std::string("Archiwum pl`ac nie obejmuje miesia`ca ") + c.month + "!"));
  }
}

TEST_F(PodstObl, NeitherFillingUpNorDroppingReadsNoDays) {
  set("zusx_wypad", txt("N"));
  set("dni_w_mies", txt("B099"));  // not archived, but not looked for either
  ASSERT_TRUE(run("B001"));
  EXPECT_DOUBLE_EQ(field("nieobec", "suma").num(), 2400.00);
  std::string saved = savedRecord();
  EXPECT_NE(saved.find("\r\n0\t0\t0\r\n0\t0\t0\r\n0\t0\t0\r\n"), std::string::npos);
}

TEST_F(PodstObl, FillingUpWithoutDropping) {
  set("zusx_kor", num(1));
  set("zusx_wypad", txt("N"));
  ASSERT_TRUE(run("B001"));
  // February: 1200 x 21 / 10 = 2520.00; the three months average (3000 + 3000 + 2520) / 3.
  EXPECT_DOUBLE_EQ(field("nieobec", "suma").num(), 2840.00);
  EXPECT_DOUBLE_EQ(field("nieobec", "druk_podst").num(), 94.67);
  EXPECT_EQ(field("nieobec", "fakt_mies").str().substr(0, 6), " 4 3 2");
}

TEST_F(PodstObl, MinimumWageFloorsAskForTheDailyRate) {
  set("min_pl_br", num(4242, 2));
  ASSERT_TRUE(run("B001"));
  EXPECT_DOUBLE_EQ(field("nieobec", "suma").num(), 4242.00);
  EXPECT_DOUBLE_EQ(field("nieobec", "druk_podst").num(), 122.01);  // (4242 - 13.71%) / 30
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], "Czy zatwierdzasz stawke` dzienna` z pl`acy minimalnej ?");
  std::string saved = savedRecord();
  EXPECT_NE(saved.find("\r\n" + display("Uwaga: Stawke` dzienna` ustalono wg minim. pl`acy kraj. (etat:1.00)")),
            std::string::npos);

  // "Nie" keeps the computed daily basis and writes no note.
  questions.clear();
  answer = false;
  set("podstawa", num(0));
  ASSERT_TRUE(run("B001"));
  EXPECT_DOUBLE_EQ(field("nieobec", "druk_podst").num(), 100.00);
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_EQ(savedRecord().substr(savedRecord().size() - 2), "\r\n");
}

TEST_F(PodstObl, TheAverageKindKeepsTheCallersDailyBasis) {
  rt::functions().call("DBSELECTAREA", {txt("nieobec")});
  suite::setField("zasilek", txt("Z05"));
  set("min_pl_br", num(4242, 2));
  set("podstawa", num(7, 2));
  ASSERT_TRUE(run("B001"));
  EXPECT_TRUE(questions.empty());  // no daily floor for an average alone
  EXPECT_DOUBLE_EQ(field("nieobec", "druk_podst").num(), 7);
  EXPECT_DOUBLE_EQ(field("nieobec", "suma").num(), 4242.00);
  // The note of the monthly floor is the average's remark.
  EXPECT_NE(savedRecord().find(display("Uwaga: S`rednia` ustalono wg minimalnej pl`acy krajowej (etat:1.00)")),
            std::string::npos);
}

TEST_F(PodstObl, AuxiliaryBasisAlone) {
  archive("    1", "B008", {0, 3000, 4000, 2000});
  set("pod_pom", txt("B008"));
  set("zusx_pom_od", num(1));
  set("zusx_pom_do", num(3));
  ASSERT_TRUE(run(""));
  EXPECT_DOUBLE_EQ(field("nieobec", "suma").num(), 3000.00);
  EXPECT_DOUBLE_EQ(field("nieobec", "druk_podst").num(), 100.00);
  EXPECT_EQ(savedRecord().substr(0, 60).find("\t3000.00\t100.00\r\n") != std::string::npos, true);
}

TEST_F(PodstObl, FillUpByTheEmployeesDictionaryEntry) {
  append("sl", {{"kod", txt("D  ")}, {"skrot", txt("SLOW1")}});
  append("sl", {{"kod", txt("D01")}, {"skrot", txt("A")}, {"dop_zus", num(1)}});
  append("sl", {{"kod", txt("D02")}, {"skrot", txt("B")}, {"dop_zus", num(0)}});
  append("sl", {{"kod", txt("Z01")}, {"skrot", txt("CHOR")}});
  set("zusx_kor", num(3));
  set("zusx_slownik", txt("D"));
  set("zusx_wypad", txt("N"));
  struct Case {
    const char* code;
    double average;
  };
  for (Case c : {Case{"D01", 2840.00}, Case{"D02", 2400.00}, Case{"D09", 2400.00}}) {
    rt::functions().call("DBSELECTAREA", {txt("main")});
    suite::setField("sl_slow1", txt(c.code));
    rt::functions().call("DBSELECTAREA", {txt("sl")});
    rt::functions().call("DBSETORDER", {num(2)});
    rt::functions().call("DBGOTO", {num(4)});
    ASSERT_TRUE(run("B001")) << c.code;
    EXPECT_DOUBLE_EQ(field("nieobec", "suma").num(), c.average) << c.code;
    // The dictionary keeps its order and record.
    rt::functions().call("DBSELECTAREA", {txt("sl")});
    EXPECT_EQ(rt::functions().call("INDEXORD").intOr(0), 2) << c.code;
    EXPECT_EQ(rt::functions().call("RECNO").intOr(0), 4) << c.code;
  }
}

TEST_F(PodstObl, OneEmployeeSeesWarningsAndTheWindow) {
  set("zakr", num(3));
  // The employee's archive ends in March: April, month 1, is the current payroll month.
  rt::functions().call("DBSELECTAREA", {txt("main")});
  suite::setField("mies_arc", num(3));
  set("closed_dat", date(2024, 2, 29));  // the system's working days end in February
  set("zusx_kor", num(1));
  set("zusx_wypad", txt("N"));
  replace("_ZASILEK", [](rt::Args&) {
    rt::Value t = rt::Value::newArray(0);
    for (const char* s : {" 80", "     75.74", "  6", "    454.44"}) t.arr().push_back(txt(s));
    rt::context().memvars.assign("tekst_wysw", t);
    rt::context().memvars.assign("kwota_tmp", num(12.5, 2));
    return num(454.44, 2);
  });
  ASSERT_TRUE(run("B001"));
  EXPECT_TRUE(said("Podstawa z 04.2024 jest pobrana z biex`a`cego miesia`ca!"));
  EXPECT_TRUE(said("UWAGA: Ostatnio zarchiwizowane dni robocze za 02.2024"));
 EXPECT_TRUE(said("Wielkos`c` zasil`ku jest mniejsza od s`wiadczenia rodzicielskiego\no kwote`: 12.50 zl`.\n"));
  ASSERT_EQ(screens.size(), 1u);
  const std::vector<std::string>& s = screens[0];
  EXPECT_NE(s[1].find("Dane o podstawach"), std::string::npos);
  EXPECT_NE(s[2].find("Jan " + display("Wis`niewski") + "  Nr     1"), std::string::npos);
  // April and March have no system working days (depths below 0): nothing is filled up.
  EXPECT_EQ(s[6].substr(9, 8), "KW \xB3" "2024");
  EXPECT_EQ(s[8].substr(9, 8), "LUT\xB3" "2024");
  EXPECT_NE(s[6].find("   3000.00\xB3   3000.00\xB3        21\xB3         0\xB3   \xB3"), std::string::npos);
  EXPECT_NE(s[11].find("Procent  80"), std::string::npos);
  EXPECT_NE(s[11].find("Stawka dzienna        75.74"), std::string::npos);
  EXPECT_NE(s[12].find(display("Wartos`c` zasil`ku") + "      454.44"), std::string::npos);
  // The texts of the window are saved with the basis.
  EXPECT_NE(savedRecord().find("\r\n 80\t     75.74\t  6\t    454.44\r\n"), std::string::npos);
}

TEST_F(PodstObl, MonthTableRoutinesByName) {
  rt::PrivateFrame frame(rt::context().memvars);
  zus::basis::MonthTable t = zus::basis::chooseMonths("", {2024, 3}, {2024, 5}, 3, 1);
  t.months[0] = {3, 2, 2024, 1200, 0, 15, 21};
  t.months[1] = {4, 1, 2024, 3000, 0, 21, 21};
  t.months[2] = {5, 12, 2023, 0, 0, 0, 0};
  zus::basis::publishMonthTable(t);
  auto byName = [](const char* name, rt::Value arg) { return rt::functions().call(name, {arg}); };
  EXPECT_DOUBLE_EQ(byName("KORYGUJ_PODST", num(1)).num(), 1680.00);
  EXPECT_DOUBLE_EQ(byName("KORYGUJ_PODST", num(2)).num(), 3000);
  EXPECT_DOUBLE_EQ(byName("KORYGUJ_PODST", num(9)).num(), 0);
  EXPECT_FALSE(byName("CZY_WYPADLO", num(1)).logical());
  EXPECT_TRUE(byName("CZY_WYPADLO", num(3)).logical());
  set("zusx_wypad", txt("N"));
  EXPECT_FALSE(byName("CZY_WYPADLO", num(3)).logical());
  EXPECT_EQ(rt::functions().call("KOREKTA_MC").num(), 2);
  // Z_ARCH counts from the calculation month unless asked for the archive depth itself.
  set("miesp", num(1));
  ASSERT_TRUE(zus::basis::seekArchive("    1", "B001"));
  EXPECT_DOUBLE_EQ(rt::functions().call("Z_ARCH", {num(1)}).num(), 3000);
  EXPECT_DOUBLE_EQ(rt::functions().call("Z_ARCH", {num(2)}).num(), 1200);
  EXPECT_DOUBLE_EQ(rt::functions().call("Z_ARCH", {num(1), yes(true)}).num(), 3000);
  EXPECT_DOUBLE_EQ(rt::functions().call("Z_ARCH", {num(0), yes(true)}).num(), 0);
  EXPECT_EQ(rt::functions().call("DAJ_MC", {num(4)}).str(), "KW ");
  EXPECT_EQ(rt::functions().call("DAJ_MC", {num(10)}).str(), display("PAZ`"));
}

TEST_F(PodstObl, AuxiliaryBasisByNameAddsIntoTheAverages) {
  rt::PrivateFrame frame(rt::context().memvars);
  archive("    1", "B008", {0, 3000, 4000, 2000});
  set("pod_pom", txt("B008"));
  set("zusx_pom_od", num(2));
  set("zusx_pom_do", num(3));
  set("akt_mies", num(5));
  set("akt_rok", num(2024));
  set("ta_podstawa", num(10, 2));
  set("pd_mies", num(100, 2));
  EXPECT_DOUBLE_EQ(rt::functions().call("POD_POM", {yes(false)}).num(), 3000);
  EXPECT_DOUBLE_EQ(var("ta_podstawa").num(), 110.00);
  EXPECT_DOUBLE_EQ(var("pd_mies").num(), 3100.00);
  // Asked whether there is one, it sums nothing.
  EXPECT_DOUBLE_EQ(rt::functions().call("POD_POM", {yes(true)}).num(), 0);
}

}  // namespace
}  // namespace basis_test
