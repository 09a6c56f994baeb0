// The listing of employees with their benefits: master and detail rows in the order chosen under
// "Par. dod.", the named orders, the status list, NB_ZAS2, and the tax of each detail row.
#include "zus/reports/listing_master.h"

#include "listing_fixture.h"
#include "tests/support/scoped_functions.h"
#include "zus/reports/listing_catalogue.h"

namespace listing_test {
namespace {

using namespace rt::term;

class MasterListing : public ListingCompany {};

TEST_F(MasterListing, EmployeesWithTheirBenefitsInTheDetailOrderChosenUnderExtraParameters) {
  struct Case {
    const char* name;
    bool byPayout;
    const char* kowalski;
  } cases[] = {
      {"never opened: end date", false,
       "    10.02.2024 20.03.2024\n"
       "    20.02.2024 05.03.2024\n"},
      {"payout date chosen", true,
       "    20.02.2024 05.03.2024\n"
       "    10.02.2024 20.03.2024\n"},
  };
  createTables(false);
  someBenefits();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir / "WYDRUKI");
    // Status, surname; end date and payout date of each benefit.
    h.keys(join({{K_ENTER}, {K_ENTER}, pick(2), pick(5), pick(13), {K_ESC}}));
    if (c.byPayout)
      h.keys(join({pick(3), {K_SPACE, K_PGDN}, pick(1)}));  // Par. dod., then Wykonaj
    else
      h.keys(pick(4));
    h.pause(0.5);
    h.keys({K_ESC});
    call("G_WYDRZAS2");
    EXPECT_EQ(printed(), std::string("Zestawienie zasiłków ZUS\n"
                                     "\n"
                                     "Status      Nazwisko pracownika\n"
                                     "    Data do    Data\n"
                                     "               wypłaty\n"
                                     "-------------------------------------\n"
                                     "Zatrudniony Kowalski\n") +
                             c.kowalski +
                             "Urlop       Nowak\n"
                             "    05.02.2024 10.03.2024\n"
                             "Zatrudniony Lis\n"
                             "    31.01.2024 10.02.2024\n");
    EXPECT_EQ(call("SELECT", {txt("main")}).num(), 0);
  }
}

TEST_F(MasterListing, AConditionOnADetailColumnKeepsTheEmployeesWithAMatchingBenefit) {
  createTables(false);
  someBenefits();
  // Surname; days of the benefit. Condition: days typed as 5.
  h.keys(join({{K_ENTER}, pick(2), pick(6), {K_ESC}, pick(2), pick(8), {'5', K_ENTER}, pick(2)}));
  h.pause(0.5);
  h.keys({K_ESC});
  call("G_WYDRZAS2");
  EXPECT_EQ(printed(),
            "Zestawienie zasiłków ZUS\n"
            "\n"
            "Nazwisko pracownika\n"
            "    Liczba\n"
            "    dni\n"
            "    zasiłku\n"
            "-------------------------\n"
            "Kowalski\n"
            "          5\n"
            "-------------------------\n"
            "Razem:\n"
            "          5\n");
}

TEST_F(MasterListing, AnEmptyRegisterStillReachesTheGeneratorWithoutAMessage) {
  createTables(false);
  int calls = 0;
  test_support::ScopedFunctions stand_generuj("GENERUJ", [&](rt::Args& a) {
    ++calls;
    EXPECT_EQ(a.count(), 29u);
    EXPECT_EQ(call("ALIAS").str(), "MAIN");
    EXPECT_EQ(a[16].str(), "nieobec");
    EXPECT_EQ(a[27].arr()[0].str(), "Par. dod.");
    EXPECT_EQ(rt::context().memvars.get("extension").str(), ".ZU2");
    EXPECT_EQ(rt::context().memvars.get("t_glob").arr().size(), 2u);
    return Value();
  });
  call("G_WYDRZAS2");
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MasterListing, NamedOrdersFollowAlphanumericNumbersAndTheAdditionalNumber) {
  struct Case {
    bool alpha, pseudo;
    std::vector<std::string> names;
    std::vector<double> orders;
  } cases[] = {
      {true, false, {"Wg nazwiska i imienia", "Wg numeru"}, {2, 1}},
      {true, true, {"Wg nazwiska i imienia", "Wg numeru", "Wg numeru dodatkowego"}, {2, 1, 3}},
      {false, false, {"Wg numeru", "Wg nazwiska i imienia"}, {1, 2}},
      {false, true, {"Wg numeru dodatkowego", "Wg numeru", "Wg nazwiska i imienia"}, {3, 1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "alpha " << c.alpha << " pseudo " << c.pseudo);
    call("DBCLOSEALL");
    for (const char* f : {"MAIN.dbf", "MAIN.cdx", "NIEOBEC.dbf", "NIEOBEC.cdx", "NIEOBEC.fpt", "SLOWNIK.dbf",
                          "SLOWNIK.cdx", "STATUS.dbf", "STATUS.cdx"})
      fs::remove(dir / f);
    createTables(c.pseudo);
    rt::context().memvars.assign("lum_alfa", yes(c.alpha));
    std::vector<std::string> names, headings;
    std::vector<double> orders;
    size_t browse = 0;
    std::vector<std::string> paired;
    test_support::ScopedFunctions stand_generuj("GENERUJ", [&](rt::Args& a) {
      for (const Value& n : a[8].arr()) names.push_back(n.str());
      for (const Value& b : a[7].arr()) orders.push_back(rt::evalBlock(b).num());
      for (const Value& n : a[10].arr()) headings.push_back(n.str());
      browse = a[9].arr().size();
      // Each browse column stands under its own heading.
      rt::evalText("main->( DBGOTOP() )");
      for (size_t i = 0; i < 2 && i < a[9].arr().size(); ++i)
        paired.push_back(a[10].arr()[i].str() + "=" + rt::evalBlock(a[9].arr()[i]).str());
      return Value();
    });
    call("G_WYDRZAS2");
    EXPECT_EQ(paired.size(), 2u);
    if (paired.size() == 2) {
      EXPECT_EQ(paired[0].rfind("Numer=", 0), 0u) << paired[0];
      EXPECT_EQ(paired[0].substr(6), std::string("    1")) << paired[0];
      if (c.pseudo) {
        EXPECT_EQ(paired[1].rfind("Nr dod.=K-30", 0), 0u) << paired[1];
      }
    }
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(orders, c.orders);
    EXPECT_EQ(browse, c.pseudo ? 4u : 3u);
    EXPECT_EQ(headings.size(), c.pseudo ? 7u : 6u);
  }
}

TEST_F(MasterListing, TheStatusListHoldsEachCodeInThreePlacesBeforeItsName) {
  createTables(false);
  Value list = zus::master_listing::TWORZ_TS();
  ASSERT_EQ(list.arr().size(), 2u);
  EXPECT_EQ(list.arr()[0].str().substr(0, 14), "1  Zatrudniony");
  EXPECT_EQ(list.arr()[1].str().substr(0, 8), "12 Urlop");
  EXPECT_EQ(call("SELECT", {txt("status")}).num(), 0);

  fs::remove(dir / "STATUS.dbf");
  EXPECT_TRUE(zus::master_listing::TWORZ_TS().arr().empty());
}

TEST_F(MasterListing, ExtraParametersStartFromTheDateKindAndSetTheDetailOrder) {
  createTables(false);
  ASSERT_TRUE(call("_OPEN_SET", {txt("MAIN|SLOWNIK|NIEOBEC"), txt("SSS")}).logical());
  rt::PrivateFrame frame(rt::context().memvars);
  rt::context().memvars.declarePrivate("nporzadek", num(1));
  rt::context().memvars.assign("zusx_dt_obl", num(2));
  std::string before = h.text();
  h.keys({K_PGDN});
  EXPECT_TRUE(zus::master_listing::GETPARDOD());
  EXPECT_EQ(rt::context().memvars.get("nporzadek").num(), 2);
  EXPECT_EQ(h.text(), before);
  call("DBSELECTAREA", {txt("main")});
  EXPECT_TRUE(zus::master_listing::USTAW_PORZ());
  EXPECT_EQ(rt::evalText("nieobec->( INDEXORD() )").num(), 3);
  EXPECT_EQ(call("ALIAS").str(), "MAIN");

  h.keys({K_SPACE, K_PGDN});
  zus::master_listing::GETPARDOD();
  EXPECT_EQ(rt::context().memvars.get("nporzadek").num(), 1);
  zus::master_listing::USTAW_PORZ();
  EXPECT_EQ(rt::evalText("nieobec->( INDEXORD() )").num(), 1);
  call("_CLOSE_SET", {txt("MAIN")});
}

TEST_F(MasterListing, KindTextLeavesTheSelectedAreaAndTheEmployeeTableAsItFoundThem) {
  createTables(false);
  ASSERT_TRUE(call("_OPEN_SET", {txt("MAIN|SLOWNIK|NIEOBEC"), txt("SSS")}).logical());
  call("DBSELECTAREA", {txt("main")});
  call("ORDSETFOCUS", {num(3)});
  call("DBGOTO", {num(2)});
  call("DBSELECTAREA", {txt("sl")});
  EXPECT_EQ(call("NB_ZAS2", {txt("Z01"), yes(true)}).str(), "CHOR      ");
  EXPECT_EQ(call("ALIAS").str(), "SL");
  EXPECT_EQ(rt::evalText("main->( INDEXORD() )").num(), 3);
  EXPECT_EQ(rt::evalText("main->( RECNO() )").num(), 2);
  call("_CLOSE_SET", {txt("MAIN")});
}

TEST_F(MasterListing, EveryDetailRowShowsTheTaxOfItsOwnBenefit) {
  createTables(false);
  fill("NIEOBEC",
       {
           benefit("    1", "Z01", day(2024, 2, 10), day(2024, 3, 20), 1000.00, {{"podat", num(18, 2)}}),
           benefit("    1", "Z01", day(2024, 2, 20), day(2024, 3, 25), 500.00, {{"podat", num(10, 2)}}),
           benefit("    1", "Z01", day(2024, 2, 25), day(2024, 3, 28), 2480.52, {{"podat", num(150, 2)}}),
       });
  ASSERT_TRUE(call("_OPEN_SET", {txt("MAIN|SLOWNIK|NIEOBEC"), txt("SSS")}).logical());
  std::vector<zus::listing::CatalogueColumn> c = zus::listing::masterCatalogue({true, false, 0});
  const zus::listing::CatalogueColumn* entered = nullptr;
  for (const auto& col : c)
    if (col.heading == "Przypis podatku") entered = &col;
  ASSERT_NE(entered, nullptr);
  EXPECT_EQ(entered->type, "0n132;");
  call("DBSELECTAREA", {txt("nieobec")});
  call("DBGOTO", {num(1)});
  EXPECT_DOUBLE_EQ(rt::evalBlock(entered->value).num(), 180.0);
  call("DBGOTO", {num(2)});
  EXPECT_DOUBLE_EQ(rt::evalBlock(entered->value).num(), 50.0);
  call("DBGOTO", {num(3)});
  EXPECT_DOUBLE_EQ(rt::evalBlock(entered->value).num(), 150.0);  // an amount from 100 on
  call("_CLOSE_SET", {txt("MAIN")});
}

}  // namespace
}  // namespace listing_test
