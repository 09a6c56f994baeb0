// The pickers that the listings' conditions call by name, and a condition chosen through one.
#include "zus/reports/listing_pickers.h"

#include "listing_fixture.h"
#include "tests/support/scoped_functions.h"

namespace listing_test {
namespace {

using namespace rt::term;

class ListingPickers : public ListingSetOpen {
 protected:
  static std::string ltrim(const std::string& s) {
    return s.substr(std::min(s.size(), s.find_first_not_of(' ')));
  }
};

TEST_F(ListingPickers, StatusPickersAnswerInTheFormOfTheirColumnsAndLeaveTheScreen) {
  const Value messages = rt::context().memvars.get("stat_mess");
  std::string status = ltrim(messages.arr()[4].str());
  status.resize(40, ' ');
  struct Case {
    const char* function;
    std::vector<int> keys;
    std::string answer;
  } cases[] = {
      {"WYBOR_STAT", pick(4), status},
      {"WYBOR_STAT", {K_ESC}, ""},
      {"PRZEPIS_STAT", pick(2), "Przepisany-zmiany   "},
      {"PRZEPIS_STAT", pick(1), "Nie przepisany      "},
      {"PRZEPIS_STAT", {K_ESC}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.function + (" " + c.answer));
    std::string before = h.text();
    h.keys(c.keys);
    EXPECT_EQ(call(c.function).str(), c.answer);
    EXPECT_EQ(h.text(), before);
    EXPECT_EQ(call("ALIAS").str(), "NIEOBEC");
  }
}

TEST_F(ListingPickers, StatusPickersOfferTheirListsInsideTheirWindows) {
  std::vector<std::vector<int64_t>> boxes;
  test_support::ScopedFunctions stand_achoice("ACHOICE", [&boxes](rt::Args& a) {
    boxes.push_back({a[0].intOr(0), a[1].intOr(0), a[2].intOr(0), a[3].intOr(0)});
    return Value::integer(0);
  });
  call("WYBOR_STAT");
  call("PRZEPIS_STAT");
  EXPECT_EQ(boxes, (std::vector<std::vector<int64_t>>{{11, 14, 19, 66}, {7, 57, 9, 74}}));
}

TEST_F(ListingPickers, DictionaryOfAColumnComesFromTheColumnNumberTheGeneratorSet) {
  rt::PrivateFrame frame(rt::context().memvars);
  rt::Memvars& v = rt::context().memvars;
  Value headings = Value::newArray(0);
  headings.arr() = {txt("Numer pracownika"), txt("SLOW1      - Dzial`y")};
  v.declarePrivate("naglowki", headings);
  v.declarePrivate("___nr_k", num(2));
  v.declarePrivate("g_wybor2", num(1));
  call("DBSELECTAREA", {txt("sl")});
  call("ORDSETFOCUS", {num(1)});
  call("DBSELECTAREA", {txt("main")});
  EXPECT_EQ(call("DAJ_KOD").str(), "D  ");

  // Not a number in ___nr_k: the column number comes from g_wybor2 and is kept in ___nr_k.
  v.assign("___nr_k", txt(""));
  v.assign("g_wybor2", num(2));
  EXPECT_EQ(call("DAJ_KOD").str(), "D  ");
  EXPECT_EQ(v.get("___nr_k").num(), 2);
  EXPECT_EQ(call("ALIAS").str(), "MAIN");
  EXPECT_EQ(rt::evalText("sl->( INDEXORD() )").num(), 1);

  // Neither names a column: no dictionary rather than a subscript error.
  v.assign("___nr_k", txt(""));
  v.assign("g_wybor2", num(7));
  EXPECT_EQ(call("DAJ_KOD").str(), "");
}

TEST_F(ListingPickers, EmployeePickersGiveTheSurnameOrTheAdditionalNumberOfTheChosenEmployee) {
  rt::functions().add("WYB_PRAC", [](rt::Args&) { return txt("    2"); });
  call("DBSELECTAREA", {txt("main")});
  call("ORDSETFOCUS", {num(3)});
  call("DBGOTO", {num(3)});
  call("DBSELECTAREA", {txt("nieobec")});
  EXPECT_EQ(call("MY_WYB_PRAC").str(), "Nowak" + std::string(25, ' '));
  EXPECT_EQ(call("WYB_NR_PS").str(), "A-10      ");
  EXPECT_EQ(call("ALIAS").str(), "NIEOBEC");
  EXPECT_EQ(rt::evalText("main->( INDEXORD() )").num(), 3);
  EXPECT_EQ(rt::evalText("main->( RECNO() )").num(), 3);

  rt::functions().add("WYB_PRAC", [](rt::Args&) { return txt(""); });
  EXPECT_EQ(call("MY_WYB_PRAC").str(), "");
}

TEST_F(ListingPickers, DoubleLineBoxCharactersFollowTheGraphicsFlag) {
  rt::PrivateFrame frame(rt::context().memvars);
  struct Case {
    bool graphic;
    const char* name;
    std::string character;
  } cases[] = {
      {false, "zn_pion", " | "}, {true, "zn_pion", " \xB3 "}, {false, "zn_rpg", "\\"},
      {true, "zn_rlg", "\xC9"},  {true, "zn_kon2", "\xB9"},   {false, "zn_l2", "+"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rt::context().memvars.assign("p_graf", yes(c.graphic));
    call("INI_ZN");
    EXPECT_EQ(rt::context().memvars.get(c.name).str(), c.character);
  }
}

class ListingCondition : public ListingCompany {};

TEST_F(ListingCondition, AConditionChosenThroughTheStatusPickerKeepsOnlyMatchingBenefits) {
  createTables(false);
  fill("NIEOBEC",
       {
           benefit("    1", "Z01", day(2024, 2, 10), day(2024, 3, 20), 300.50),
           benefit("    2", "Z02", day(2024, 2, 5), day(2024, 3, 10), 120.00, {{"status", num(2)}}),
           benefit("    3", "Z01", day(2024, 1, 31), day(2024, 2, 10), 1000.00),
       });
  // Surname; a condition on "Status zasil`ku" (column 24): the fifth status text (code 4).
  h.keys(join({{K_ENTER}, pick(1), {K_ESC}, pick(2), pick(23), pick(4), pick(1)}));
  h.pause(0.5);
  h.keys({K_ESC});
  call("G_WYDR_ZAS");
  EXPECT_EQ(printed(),
            "Zestawienie zasiłków ZUS\n"
            "\n"
            "Nazwisko pracownika\n"
            "-------------------------\n"
            "Kowalski\n"
            "Lis\n");
}

TEST_F(ListingCondition, ColumnsWithoutAPickerTakeATypedValueOrAChoiceFromTheirList) {
  createTables(false);
  fill("NIEOBEC",
       {
           benefit("    1", "Z01", day(2024, 2, 10), day(2024, 3, 20), 300.50, {{"l_dni", num(5)}}),
           benefit("    2", "Z02", day(2024, 2, 5), day(2024, 3, 10), 120.00,
                   {{"l_dni", num(2)}, {"kod_wew", txt("    12")}}),
           benefit("    3", "Z01", day(2024, 1, 31), day(2024, 2, 10), 1000.00, {{"l_dni", num(5)}}),
       });
  struct Case {
    const char* name;
    std::vector<int> condition;  // keys from the column list on
    const char* rows;
  } cases[] = {
      {"days typed", join({pick(7), {'5', K_ENTER}}), "Kowalski\nLis\n"},
      {"sent to personnel: TAK", join({pick(25), pick(0)}), "Nowak\n"},
      {"sent to personnel: NIE", join({pick(25), pick(1)}), "Kowalski\nLis\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir / "WYDRUKI");
    h.keys(join({{K_ENTER}, pick(1), {K_ESC}, pick(2), c.condition, pick(1)}));
    h.pause(0.5);
    h.keys({K_ESC});
    call("G_WYDR_ZAS");
    EXPECT_EQ(
        printed(),
        std::string("Zestawienie zasiłków ZUS\n\nNazwisko pracownika\n-------------------------\n") + c.rows);
  }
}

}  // namespace
}  // namespace listing_test
