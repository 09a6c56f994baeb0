// Sick-pay day counting with its limit warnings, the care limit, sick-note numbers with the
// 90-day rule, the calendar-month distance and the counter editor.
#include <optional>

#include "tests/zus/register/browse_fixture.h"
#include "zus/register/browse_state.h"
#include "zus/register/counters_count.h"
#include "zus/register/counters_editor.h"
#include "zus/register/counters_notes.h"

namespace register_test {
namespace {

using namespace rt::term;

class Counters : public RegisterCompany {
 protected:
  void SetUp() override {
    RegisterCompany::SetUp();
    employee("    1", "Nowak",
             {{"dni_ch", num(20)},
              {"dni_op", num(10)},
              {"dni_rdz", num(10)},
              {"dni_poza", num(3)},
              {"data_zus", day(2024, 1, 2)}});
    // Before the control year: not counted.
    benefit("    1", 10, day(2023, 11, 2), day(2023, 11, 11), day(2023, 11, 20));
    benefit("    1", 10, day(2024, 1, 2), day(2024, 1, 11), day(2024, 2, 10),
            {{"nr_l_4", txt("A1")}});
    benefit("    1", 1, day(2024, 2, 1), day(2024, 2, 10), day(2024, 3, 10),
            {{"nr_l_4", txt("A2")}, {"poprz_l_4", txt("A1")}});
    // Kept out of the counters, an accident and a care benefit: none of them counts.
    benefit("    1", 10, day(2024, 2, 12), day(2024, 2, 13), day(2024, 3, 10),
            {{"o_zlicz", flag(true)}});
    benefit("    1", 27, day(2024, 2, 14), day(2024, 2, 16), day(2024, 3, 10));
    benefit("    1", 2, day(2024, 2, 17), day(2024, 2, 18), day(2024, 3, 10));
  }

  // The register as the browse leaves it for the routines it calls: tables open, the employee's
  // record locked, NIEOBEC selected in the browse's order and scope.
  void enterRegister(const std::string& nr) {
    frame.emplace(vars());
    zus::declareRegisterState();
    vars().assign("nr_pracusia", txt(nr));
    ASSERT_TRUE(
        call("_OPEN_SET", {txt("MAIN | SLOWNIK | DANE_WE | NIEOBEC | MAIN_2"), txt("SSSSS")})
            .logicalOr(false));
    call("DBSELECTAREA", {txt("main")});
    ASSERT_TRUE(call("DBSEEK", {txt(nr)}).logicalOr(false));
    ASSERT_TRUE(call("_REC_LOCK").logicalOr(false));
    for (const auto* c :
         {&zus::kSickDays, &zus::kCareDays, &zus::kFamilyCareDays, &zus::kDaysOutside})
      vars().assign(c->var, suite::field(c->field));
    call("DBSELECTAREA", {txt("nieobec")});
    zus::DAJ_SCOPY();
    call("DBGOTOP");
  }

  // The edit form's working copies for a new sickness entry.
  void form(int slot, rt::Value od, rt::Value to, rt::Value born = noDate(),
            const char* correction = "N") {
    for (auto& [name, value] : Fields{{"_zasilek", txt(kind(slot))},
                                      {"_od", od},
                                      {"_do", to},
                                      {"_l_dni", num(double(to.date() - od.date() + 1))},
                                      {"_data_prawa", od},
                                      {"_czy_zlicz", txt("T")},
                                      {"_czy_korekt", txt(correction)},
                                      {"czy_new", flag(true)},
                                      {"_proc", num(80)},
                                      {"wier", num(2)},
                                      {"kol", num(2)}})
      vars().declarePrivate(name, value);
    vars().assign("_data_ur", born);
  }

  std::optional<rt::PrivateFrame> frame;
};

TEST_F(Counters, DisplayCountStartsAtTheControlYearAndCountsOnlySicknessDays) {
  enterRegister("    1");
  // 3 days outside + 10 + 10; the record kept out, the accident and the care benefit add nothing.
  EXPECT_EQ(zus::ZLICZ_CHOR("    1", false), 23);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(call("ALIAS").strOr(""), "NIEOBEC");
  EXPECT_EQ(call("INDEXORD").intOr(0), 5) << "the browse's order comes back";
  // An empty start of the count counts from the employee's first record.
  call("DBSELECTAREA", {txt("main")});
  suite::setField("data_zus", noDate());
  call("DBSELECTAREA", {txt("nieobec")});
  EXPECT_EQ(zus::ZLICZ_CHOR("    1", false), 33);
}

TEST_F(Counters, CountIgnoresTheBrowsesYearFilter) {
  // A sickness over the next New Year ends after the filter's last year and still counts.
  benefit("    1", 10, day(2024, 12, 28), day(2025, 1, 5), day(2024, 12, 20));
  vars().assign("zusx_filtr", flag(true));
  enterRegister("    1");
  EXPECT_EQ(zus::ZLICZ_CHOR("    1", false), 32);
  EXPECT_EQ(call("ORDSCOPE", {num(0)}).strOr(""), "    12023") << "the browse keeps its scope";
}

struct LimitCase {
  const char* name;
  int slot;
  rt::Value od, to, born;
  const char* correction;
  int result;
  const char* warning;  // "" for none
};

TEST_F(Counters, NewEntryWarnsWhereTheLimitIsCrossed) {
  const LimitCase cases[] = {
      {"sick pay beyond 33", 10, day(2024, 3, 1), day(2024, 3, 12), noDate(), "N", 33,
       "przekroczyl`a 33 !\n33 dzien przypada 10.03.2024r."},
      {"insurance benefit reaching 33", 1, day(2024, 3, 1), day(2024, 3, 10), noDate(), "N", 33,
       "przypada na 10.03.2024r.\nWpisz wynagrodzenie"},
      {"sick pay exactly to 33", 10, day(2024, 3, 1), day(2024, 3, 10), noDate(), "N", 33, ""},
      {"insurance benefit below 33", 1, day(2024, 3, 1), day(2024, 3, 3), noDate(), "N", 26,
       "nie przekroczyl`a 33 !"},
      {"accident adds nothing", 27, day(2024, 3, 1), day(2024, 3, 20), noDate(), "N", 23, ""},
      {"correction never warns", 10, day(2024, 3, 1), day(2024, 3, 12), noDate(), "T", 33, ""},
      {"fifty and over", 10, day(2024, 3, 1), day(2024, 3, 2), day(1970, 1, 1), "N", 14,
       "Wprowadz` zasil`ek w cal`os`ci jako \"chorobowy ZUS\" !"},
  };
  enterRegister("    1");
  for (const LimitCase& c : cases) {
    SCOPED_TRACE(c.name);
    messages.clear();
    form(c.slot, c.od, c.to, c.born, c.correction);
    EXPECT_EQ(zus::ZLICZ_CHOR("    1", true, c.od.date(), c.to.date()), c.result);
    if (*c.warning) {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_NE(messages[0].find(c.warning), std::string::npos) << messages[0];
    } else {
      EXPECT_TRUE(messages.empty()) << messages.front();
    }
  }
}

TEST_F(Counters, EditedRecordCountsWithTheFormsDaysWhereItStillLiesInTheVisit) {
  enterRegister("    1");
  // Positions NIEOBEC on the employee's record that begins on `od` and declares the form's
  // copies of it as edited.
  auto editing = [&](rt::Value od, int slot, rt::Value from, rt::Value to) {
    call("DBGOTOP");
    while (!call("EOF").logicalOr(true) && suite::field("od").date() != od.date())
      call("DBSKIP");
    ASSERT_FALSE(call("EOF").logicalOr(true));
    form(slot, from, to);
    vars().assign("czy_new", flag(false));
  };
  struct Case {
    const char* name;
    rt::Value od;  // the stored record edited
    int slot;
    rt::Value from, to;
    int result;
  };
  const Case cases[] = {
      // 3 outside + 10 before it; the edited record now ends before its stored end (10 February)
      // and so lies beyond the visit.
      {"end moved earlier", day(2024, 2, 1), 1, day(2024, 2, 1), day(2024, 2, 5), 13},
      // The edited record counts with the form's 20 days instead of its stored 10.
      {"end moved later", day(2024, 2, 1), 1, day(2024, 2, 1), day(2024, 2, 20), 33},
      // A stored care benefit turned into sick pay on the form is still not counted.
      {"stored kind no sickness", day(2024, 2, 17), 10, day(2024, 2, 17), day(2024, 2, 18), 23},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages.clear();
    editing(c.od, c.slot, c.from, c.to);
    rt::Value edited = call("RECNO");
    EXPECT_EQ(zus::ZLICZ_CHOR("    1", false, c.from.date(), c.to.date()), c.result);
    EXPECT_TRUE(messages.empty()) << "an existing record never gets a warning";
    EXPECT_EQ(call("RECNO").intOr(0), edited.intOr(-1));
  }
}

TEST_F(Counters, RehabilitationAndAdditionalContractKindsAndTheRightDateOfTheLimit) {
  // Stored rehabilitation (slot 7) and additional-contract sickness (slot 17): never counted.
  benefit("    1", 7, day(2024, 2, 19), day(2024, 2, 22), day(2024, 3, 10));
  benefit("    1", 17, day(2024, 2, 23), day(2024, 2, 25), day(2024, 3, 10));
  enterRegister("    1");
  EXPECT_EQ(zus::ZLICZ_CHOR("    1", false), 23);
  // New records of either kind add their days and get the insurance rows.
  form(17, day(2024, 3, 1), day(2024, 3, 3));
  EXPECT_EQ(zus::ZLICZ_CHOR("    1", true, day(2024, 3, 1).date(), day(2024, 3, 3).date()), 26);
  EXPECT_TRUE(said("nie przekroczyl`a 33 !"));
  messages.clear();
  form(7, day(2024, 3, 1), day(2024, 3, 12));
  EXPECT_EQ(zus::ZLICZ_CHOR("    1", true, day(2024, 3, 1).date(), day(2024, 3, 12).date()), 33);
  EXPECT_TRUE(said("przypada na 10.03.2024r."));
  // 50 and over with a right of 31 January 2009: the warning uses the limit 33, the result is
  // capped at 14.
  messages.clear();
  form(10, day(2024, 3, 1), day(2024, 3, 12), day(1950, 5, 5));
  vars().assign("_data_prawa", day(2009, 1, 31));
  EXPECT_EQ(zus::ZLICZ_CHOR("    1", true, day(2024, 3, 1).date(), day(2024, 3, 12).date()), 14);
  EXPECT_TRUE(said("przekroczyl`a 33 !"));
  EXPECT_TRUE(said("33 dzien przypada 10.03.2024r."));
}

TEST_F(Counters, CareOfAnotherFamilyMemberWarnsBeyondFourteenDays) {
  enterRegister("    1");
  form(2, day(2024, 3, 1), day(2024, 3, 4));
  vars().declarePrivate("_pom_dz", txt("N"));
  EXPECT_TRUE(zus::OK_POM_DZ());
  EXPECT_TRUE(messages.empty());
  form(2, day(2024, 3, 1), day(2024, 3, 5));
  EXPECT_TRUE(zus::OK_POM_DZ());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("dzien`: 04.03.2024r."), std::string::npos) << messages[0];
  vars().assign("_pom_dz", txt("X"));
  EXPECT_FALSE(zus::OK_POM_DZ());
}

TEST_F(Counters, CalendarMonthDistance) {
  struct Case {
    rt::Value from, to;
    int n;
    bool more;
  };
  for (const Case& c : {Case{day(2024, 1, 31), day(2024, 5, 1), 3, true},
                        Case{day(2024, 3, 15), day(2024, 6, 20), 3, false},
                        Case{day(2023, 12, 1), day(2024, 12, 31), 12, false},
                        Case{day(2024, 3, 15), noDate(), 3, true}})
    EXPECT_EQ(zus::MIES_KAL(c.from.date(), c.to.date(), c.n), c.more);
}

// A number the edited record shares with a record after it in the number order is taken.
TEST_F(Counters, AnEditedRecordsNumberHeldByAnotherRecordExists) {
  benefit("    2", 10, day(2024, 1, 5), day(2024, 1, 9), day(2024, 2, 10), {{"nr_l_4", txt("A1")}});
  enterRegister("    1");
  form(10, day(2024, 3, 1), day(2024, 3, 2));
  call("DBGOTOP");
  while (call("FIELDGET", {call("FIELDPOS", {txt("NR_L_4")})}).strOr("").substr(0, 2) != "A1")
    call("DBSKIP");
  rt::Value own = call("RECNO");
  EXPECT_TRUE(zus::CZY_JEST_L_4("A1", false, false));
  EXPECT_TRUE(said("Taki numer L-4 jux` jest !"));
  EXPECT_EQ(call("RECNO").intOr(0), own.intOr(-1));
}

TEST_F(Counters, SickNoteNumbersMustBeNewOrMustExist) {
  benefit("    2", 10, day(2024, 1, 5), day(2024, 1, 9), day(2024, 2, 10), {{"nr_l_4", txt("X9")}});
  enterRegister("    1");
  form(10, day(2024, 3, 1), day(2024, 3, 2));
  EXPECT_TRUE(zus::CZY_JEST_L_4("A1", false, true));
  EXPECT_TRUE(said("Taki numer L-4 jux` jest !"));
  // Another employee's sick note counts as existing, outside the browse's scope.
  EXPECT_TRUE(zus::CZY_JEST_L_4("X9", false, true));
  EXPECT_TRUE(zus::CZY_JEST_L_4("X9", true, true));
  EXPECT_FALSE(zus::CZY_JEST_L_4("B9", true, true));
  EXPECT_TRUE(said("Nie ma jeszcze takiego numeru L-4 !"));
  EXPECT_TRUE(zus::CZY_JEST_L_4("", true, true));
  // An existing record keeps its own number.
  call("DBGOTOP");
  while (call("FIELDGET", {call("FIELDPOS", {txt("NR_L_4")})}).strOr("").substr(0, 2) != "A1")
    call("DBSKIP");
  rt::Value own = call("RECNO");
  messages.clear();
  EXPECT_FALSE(zus::CZY_JEST_L_4("A1", false, false));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(call("RECNO").intOr(0), own.intOr(-1));
  EXPECT_EQ(call("INDEXORD").intOr(0), 5);
  // Days along the chain A2 -> A1; without the browse's scope given back afresh, the walk still
  // sees the whole register and leaves the browse's scope as it was.
  EXPECT_EQ(zus::ILE_TYCH_DNI(true, std::string("A2")), 20);
  const std::string scope = call("ORDSCOPE", {num(0)}).strOr("");
  EXPECT_EQ(zus::ILE_TYCH_DNI(false, std::string("A2")), 20);
  EXPECT_EQ(call("ORDSCOPE", {num(0)}).strOr(""), scope);
  EXPECT_EQ(call("INDEXORD").intOr(0), 5);
  EXPECT_EQ(call("RECNO").intOr(0), own.intOr(-1));
}

TEST_F(Counters, NinetyDayRuleAlongTheChainForRightsBefore2005) {
  struct Case {
    int daysBefore, daysNow;
    double percentAfter;
    const char* message;
    double percentBefore = 80;
    const char* previousNote = "C2";
    rt::Value right = noDate();  // the first day of the benefit unless given
  };
  const Case cases[] = {
      {89, 2, 80, "Zasil`ek ma wie`cej nix` 90 dni !"},
      {90, 1, 100, "Program wpisze 100% zasil`ku."},
      {89, 1, 80, ""},
      {90, 1, 100, "", 100},
      {90, 1, 80, "", 80, "C2", day(2005, 2, 8)},
      {90, 91, 80, "90 dzien` przypada", 80, ""},
  };
  for (const Case& c : cases) {
    call("DBCLOSEALL");
    suite::createTable(suite::tablePath(*suite::findTable("NIEOBEC")),
                       *suite::findTable("NIEOBEC"));
    int32_t start = rt::makeDate(2004, 1, 1);
    // Two notes of the chain, the second pointing back to the first; the first points to the
    // second as well, so the walk must stop where it began.
    benefit("    1", 10, rt::Value::date(start), rt::Value::date(start + 59), day(2004, 3, 10),
            {{"nr_l_4", txt("C1")}, {"poprz_l_4", txt("C2")}});
    benefit("    1", 10, rt::Value::date(start + 60), rt::Value::date(start + c.daysBefore - 1),
            day(2004, 4, 10), {{"nr_l_4", txt("C2")}, {"poprz_l_4", txt("C1")}});
    enterRegister("    1");
    int32_t from = start + c.daysBefore;
    form(10, rt::Value::date(from), rt::Value::date(from + c.daysNow - 1));
    vars().declarePrivate("_poprz_l_4", txt(c.previousNote));
    vars().assign("_proc", num(c.percentBefore));
    if (c.right.date() != 0) vars().assign("_data_prawa", c.right);
    messages.clear();
    EXPECT_TRUE(zus::CZY_JEST_L_4(c.previousNote, true, true));
    EXPECT_EQ(numVar("_proc"), c.percentAfter) << c.daysBefore << "+" << c.daysNow;
    if (*c.message) {
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_NE(messages[0].find(c.message), std::string::npos) << messages[0];
    } else {
      EXPECT_TRUE(messages.empty()) << messages.front();
    }
    frame.reset();
  }
}

TEST_F(Counters, DaysOutsideTheWorkplaceFromThePayrollInput) {
  enterRegister("    1");
  EXPECT_EQ(zus::ILE_POZA(), 0);
  call("DBSELECTAREA", {txt("dane_we")});
  ASSERT_EQ(call("SAV_SKL", {txt("N011"), rt::Value(), txt("    1"), num(5)}).intOr(-1), 0);
  call("DBSELECTAREA", {txt("nieobec")});
  EXPECT_EQ(zus::ILE_POZA(), 5);
  EXPECT_EQ(call("ALIAS").strOr(""), "NIEOBEC");
}

TEST_F(Counters, CounterEditorWritesTheEmployeeRecordWithinTheRanges) {
  enterRegister("    1");
  call("DBGOTOP");
  // 25 sick days, the two care counters kept, then 40 days outside is refused and Esc leaves.
  h.keys({'2', '5', K_ENTER, K_ENTER, K_ENTER, '4', '0', K_ENTER, K_ESC});
  zus::DNI_GORNE();
  call("DBSELECTAREA", {txt("main")});
  EXPECT_EQ(suite::field("dni_ch").numOr(-1), 25);
  EXPECT_EQ(suite::field("dni_op").numOr(-1), 10);
  EXPECT_EQ(suite::field("dni_poza").numOr(-1), 3);
  EXPECT_NE(suite::field("data_do").date(), 0);
  EXPECT_EQ(h.line(4).substr(23, 3), " 25");

  // Left without a change: nothing is written.
  suite::setField("data_do", noDate());
  call("DBSELECTAREA", {txt("nieobec")});
  h.keys({K_ESC});
  zus::DNI_GORNE();
  call("DBSELECTAREA", {txt("main")});
  EXPECT_EQ(suite::field("data_do").date(), 0);
}

}  // namespace
}  // namespace register_test
