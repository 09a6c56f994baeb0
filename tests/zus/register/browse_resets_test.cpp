// The yearly resets: care counters zeroed, start dates of the control year set per employee from
// the benefits running over New Year, the days outside zeroed, and an employee table that cannot
// be had exclusively.
#include "tests/zus/register/browse_fixture.h"
#include "zus/register/resets_entries.h"

namespace register_test {
namespace {

using namespace rt::term;

class Resets : public RegisterCompany {
 protected:
  void SetUp() override {
    RegisterCompany::SetUp();
    Fields counters{{"dni_ch", num(20)},
                    {"dni_op", num(10)},
                    {"dni_rdz", num(4)},
                    {"dni_poza", num(3)},
                    {"data_zus", day(2023, 1, 1)}};
    for (const char* nr : {"    1", "    2", "    3", "    4", "    5", "    6"})
      employee(nr, "Nowak", counters);
    employee("    7", "Nowak", {{"dni_poza", num(3)}});
    // 1: insurance sickness from 20 December to 15 January: the old start stays.
    benefit("    1", 1, day(2023, 12, 20), day(2024, 1, 15), day(2024, 1, 20));
    // 2: the same absence in two records; the second begins on New Year's Day.
    benefit("    2", 1, day(2023, 12, 20), day(2023, 12, 31), day(2024, 1, 10));
    benefit("    2", 1, day(2024, 1, 1), day(2024, 1, 15), day(2024, 1, 20));
    // 3: employer sick pay over New Year: the start becomes 1 January.
    benefit("    3", 10, day(2023, 12, 20), day(2024, 1, 15), day(2024, 1, 20));
    // 4: insurance sickness ending on New Year's Eve and nothing later: the old start stays.
    benefit("    4", 1, day(2023, 12, 1), day(2023, 12, 31), day(2024, 1, 10));
    // 5: as 4, but a record ending in 2024 that began after New Year's Day.
    benefit("    5", 1, day(2023, 12, 1), day(2023, 12, 31), day(2024, 1, 10));
    benefit("    5", 1, day(2024, 2, 1), day(2024, 2, 5), day(2024, 2, 10));
    // 6: no benefit at all; 7: as 1 without a start date.
    benefit("    7", 4, day(2023, 12, 20), day(2024, 1, 15), day(2024, 1, 20));
  }
};

TEST_F(Resets, CareCountersZeroedForEveryEmployee) {
  answers = {true};
  zus::ZER_DNI();
  for (const char* nr : {"    1", "    6", "    7"}) {
    EXPECT_EQ(employeeField(nr, "dni_op").numOr(-1), 0);
    EXPECT_EQ(employeeField(nr, "dni_rdz").numOr(-1), 0);
    EXPECT_EQ(employeeField(nr, "dni_ch").numOr(-1), nr[4] == '7' ? 0 : 20);
  }
  EXPECT_TRUE(said(" Zerowanie zostal`o zakon`czone! "));
}

TEST_F(Resets, NothingChangesWhenTheEmployeeTableIsInUseElsewhere) {
  // Another user has the employee table open (shared).
  ASSERT_TRUE(call("_OPEN_LOCAL", {txt(dir.string()), txt("MAIN"), txt("other")}).logicalOr(false));
  answers = {true};
  zus::ZER_DNI();
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_TRUE(said("MAIN.DBF jest ux`ywana na innym stanowisku"));
  EXPECT_FALSE(said("Zerowanie zostal`o zakon`czone"));
  // The start dates need the table shared only; the days outside need it alone.
  messages.clear();
  answers = {true, true};
  h.keys({K_ENTER});
  zus::ZER_DAT();
  call("DBSELECTAREA", {txt("other")});
  call("DBCLOSEAREA");
  EXPECT_TRUE(said(" Ustalanie dat zostal`o zakon`czone! "));
  EXPECT_TRUE(said("MAIN.DBF jest ux`ywana na innym stanowisku"));
  EXPECT_FALSE(said("Zerowanie zostal`o zakon`czone"));
  EXPECT_EQ(employeeField("    1", "dni_op").numOr(-1), 10);
  EXPECT_EQ(employeeField("    1", "dni_poza").numOr(-1), 3);
  EXPECT_EQ(employeeField("    6", "data_zus").date(), day(2024, 1, 1).date());
}

TEST_F(Resets, StartDatesFollowTheBenefitsRunningOverNewYear) {
  answers = {true, false};
  // 1990 is refused; Esc then leaves the entry with the payroll year 2024, and the option goes on.
  h.keys({'1', '9', '9', '0', K_ENTER, K_ESC});
  zus::ZER_DAT();
  struct Expected {
    const char* nr;
    rt::Value start;
  };
  for (const Expected& e : {Expected{"    1", day(2023, 1, 1)}, Expected{"    2", day(2023, 1, 1)},
                            Expected{"    3", day(2024, 1, 1)}, Expected{"    4", day(2023, 1, 1)},
                            Expected{"    5", day(2024, 1, 1)}, Expected{"    6", day(2024, 1, 1)},
                            Expected{"    7", day(2023, 1, 1)}})
    EXPECT_EQ(employeeField(e.nr, "data_zus").date(), e.start.date()) << "employee" << e.nr;
  EXPECT_TRUE(said(" Ustalanie dat zostal`o zakon`czone! "));
  EXPECT_TRUE(asked("Czy wyzerowac` dni poza? "));
  EXPECT_EQ(employeeField("    1", "dni_poza").numOr(-1), 3);
}

TEST_F(Resets, YearTypedAndDaysOutsideZeroed) {
  answers = {true, true};
  h.keys({'2', '0', '2', '5', K_ENTER});
  zus::ZER_DAT();
  EXPECT_EQ(employeeField("    6", "data_zus").date(), day(2025, 1, 1).date());
  EXPECT_EQ(employeeField("    1", "dni_poza").numOr(-1), 0);
  EXPECT_EQ(employeeField("    7", "dni_poza").numOr(-1), 0);
}

TEST_F(Resets, ABreakKeepsTheStartsDoneAndStillOffersTheDaysOutside) {
  // Esc after the first employee, "Tak" to the break question, "Nie" to the days outside.
  answers = {true, true, false};
  h.keys({K_ENTER, K_ESC});
  zus::ZER_DAT();
  EXPECT_EQ(employeeField("    3", "data_zus").date(), day(2023, 1, 1).date()) << "not reached";
  EXPECT_EQ(employeeField("    6", "data_zus").date(), day(2023, 1, 1).date()) << "not reached";
  // The user learns that the dates were set only in part, and for how many employees.
  EXPECT_TRUE(said(" Ustalanie dat zostal`o przerwane! "));
  EXPECT_TRUE(said("Daty ustalono dla 1 z "));
  EXPECT_FALSE(said("zakon`czone"));
  EXPECT_TRUE(asked("Czy wyzerowac` dni poza? "));
}

TEST_F(Resets, AnEmployeeTableWithoutTheOptionalFields) {
  struct Case {
    const char* missing;
    const char* message;
  };
  for (const Case& c : {Case{"data_zus", "Brak pola \"DATA_ZUS \" w bazie MAIN.DBF !"},
                        Case{"dni_poza", "Brak pola \"DNI_POZA \" w bazie MAIN.DBF !"}}) {
    SCOPED_TRACE(c.missing);
    call("DBCLOSEALL");
    suite::TableDef def = *suite::findTable("MAIN");
    std::erase_if(def.fields, [&](const suite::FieldDef& f) { return f.name == c.missing; });
    suite::createTable(suite::tablePath(def), def);
    Fields fields{{"dni_op", num(5)}};
    if (std::string(c.missing) != "data_zus") fields.push_back({"data_zus", day(2024, 1, 1)});
    employee("    1", "Nowak", fields);
    messages.clear();
    // The register opens on such a table after naming the missing field; no start-date warning,
    // 0 days outside.
    bool shown = false;
    inBrowse("    1", [&](int) {
      shown = true;
      return zus::kLeaveBrowse;
    });
    EXPECT_TRUE(shown);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages.front().find(c.message), std::string::npos) << messages.front();
    messages.clear();
    answers = {true, true};
    h.keys({K_ENTER});
    zus::ZER_DAT();
    EXPECT_TRUE(said(c.message));
  }
}

TEST_F(Resets, AnsweringNoToTheFirstQuestionSkipsBothStages) {
  answers = {false};
  zus::ZER_DAT();
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_EQ(employeeField("    6", "data_zus").date(), day(2023, 1, 1).date());
  EXPECT_EQ(employeeField("    6", "dni_poza").numOr(-1), 3);
}

}  // namespace
}  // namespace register_test
