// The listings' catalogues: type strings, the optional columns, the widths taken from the
// dictionary and MAIN, and the dictionary columns.
#include "zus/reports/listing_catalogue.h"

#include "listing_fixture.h"
#include "suite/screen/listing_columns.h"

namespace listing_test {
namespace {

using zus::listing::CatalogueColumn;
using zus::listing::MainFacts;

TEST(ListingTypeString, ReadsLevelLetterSizePickerAndTotalMark) {
  struct Case {
    const char* type;
    bool master;
    char letter;
    int width, decimals, list;
    const char* picker;
    bool totalled;
  } cases[] = {
      {"1n5  ; val ( wyb_prac ( \"\", 12 ) )$", true, 'n', 5, 0, 0, "val ( wyb_prac ( \"\", 12 ) )", false},
      {"0n132;$", false, 'n', 13, 2, 0, "", false},
      {"1n132;", true, 'n', 13, 2, 0, "", true},
      {"1c25 ;my_wyb_prac ( )", true, 'c', 25, 0, 0, "my_wyb_prac ( )", true},
      {"1d8;", true, 'd', 8, 0, 0, "", true},
      {"0L3  ;", false, 'L', 3, 0, 0, "", true},
      {"1s1 ;", true, 's', 10, 0, 1, "", true},
      {"1S2", true, 'S', 10, 0, 2, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    suite::ListingColumnType t = suite::parseListingType(c.type);
    EXPECT_EQ(t.master, c.master);
    EXPECT_EQ(t.letter, c.letter);
    EXPECT_EQ(t.width, c.width);
    EXPECT_EQ(t.decimals, c.decimals);
    EXPECT_EQ(t.list, c.list);
    EXPECT_EQ(t.picker, c.picker);
    EXPECT_EQ(t.totalled, c.totalled);
  }
}

TEST(ListingTypeString, CodedColumnsShowTheirLabelsFromTheChoiceList) {
  Value lists = Value::newArray(0);
  Value yesNo = Value::newArray(0), statuses = Value::newArray(0);
  yesNo.arr() = {txt("1TAK"), txt("2NIE")};
  statuses.arr() = {txt("1  Zatrudniony"), txt("12 Urlop")};
  lists.arr() = {yesNo, statuses};
  suite::ListingColumnType s = suite::parseListingType("1s1 ;"), S = suite::parseListingType("1S2");
  EXPECT_EQ(suite::columnText(s, txt("2"), lists), "NIE");
  EXPECT_EQ(suite::columnText(S, txt("12"), lists), "Urlop      ");
  EXPECT_EQ(suite::columnText(S, txt("1"), lists), "Zatrudniony");
}

class ListingCatalogue : public ListingSetOpen {
 protected:
  static std::vector<std::string> headings(const std::vector<CatalogueColumn>& c) {
    std::vector<std::string> out;
    for (const CatalogueColumn& col : c) out.push_back(col.heading);
    return out;
  }
  static const CatalogueColumn& byHeading(const std::vector<CatalogueColumn>& c, const std::string& heading) {
    for (const CatalogueColumn& col : c)
      if (col.heading == heading) return col;
    static CatalogueColumn none{Value(), "<none>", "<none>"};
    return none;
  }
};

TEST_F(ListingCatalogue, OptionalColumnsAndDictionaryColumnsSetTheLength) {
  struct Case {
    bool pseudo, dataZus;
    int dictionaries;
    size_t benefits, masters;
  } cases[] = {
      {false, false, 0, 35, 36}, {true, false, 0, 36, 37}, {false, true, 0, 36, 37},
      {true, true, 0, 37, 38},   {true, true, 2, 39, 40},  {false, false, 2, 37, 38},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pseudo " << c.pseudo << " data_zus " << c.dataZus << " z_indeks "
                                    << c.dictionaries);
    rt::context().memvars.assign("z_indeks", num(c.dictionaries));
    MainFacts f{c.dataZus, c.pseudo, 10};
    std::vector<CatalogueColumn> one = zus::listing::benefitCatalogue(f),
                                 two = zus::listing::masterCatalogue(f);
    EXPECT_EQ(one.size(), c.benefits);
    EXPECT_EQ(two.size(), c.masters);
    // The additional number stands after the value in the first variant, after the number in
    // the second.
    if (c.pseudo) {
      EXPECT_EQ(one[10].heading, "Numer dodatkowy pracownika");
      EXPECT_EQ(two[2].heading, "Numer dodatkowy pracownika");
    }
    for (const CatalogueColumn& col : one) EXPECT_TRUE(col.value.isBlock()) << col.heading;
  }
}

TEST_F(ListingCatalogue, TypeStringsTakeTheirWidthsFromTheTables) {
  std::vector<CatalogueColumn> one = zus::listing::benefitCatalogue({true, true, 8});
  EXPECT_EQ(byHeading(one, "Skro`t zasil`ku").type,
            "1c10  ;nb_zas ( pobslowo ( 8, 30, 10, zas_slow [ 1 ], .f. ), .t. )");
  EXPECT_EQ(byHeading(one, "Nazwa zasil`ku").type,
            "1c55 ;nb_zas ( pobslowo ( 8, 30, 10, zas_slow [ 1 ], .f. ), .f. )");
  EXPECT_EQ(byHeading(one, "Numer dodatkowy pracownika").type, "1c8  ; wyb_nr_ps ( \"\", 12 )$");
  EXPECT_EQ(byHeading(one, "Data pocza`tkuja`ca okres zliczania 33 dni").type, "1d8  ;");

  rt::context().memvars.assign("zusx_chzk", num(7));
  std::vector<CatalogueColumn> two = zus::listing::masterCatalogue({true, true, 10});
  EXPECT_EQ(byHeading(two, "Skro`t zasil`ku").type,
            "0c10  ;nb_zas2 ( pobslowo ( 8, 30, 10, zas_slow [ 1 ], .f. ), .t. )");
  EXPECT_EQ(byHeading(two, "Numer dodatkowy pracownika").type, "1c10 ; wyb_nr_ps ( \"\", 12 )$");
  EXPECT_EQ(byHeading(two, "Data pocza`tkuja`ca okres zliczania  7 dni").type, "1d8  ;");
  EXPECT_EQ(byHeading(two, "Status przepisania zasil`ku do Pl`ac").type, "0c20 ;przepis_stat ()");
  EXPECT_EQ(two[0].type, "1S2");
}

TEST_F(ListingCatalogue, DictionaryColumnsAreHeadedByTheDictionaryAndShowTheEntrysShortName) {
  call("DBSELECTAREA", {txt("sl")});
  call("ORDSETFOCUS", {num(1)});
  std::vector<CatalogueColumn> dict = zus::listing::dictionaryColumns("nb_zas");
  ASSERT_EQ(dict.size(), 2u);
  EXPECT_EQ(dict[0].heading, "SLOW1      - Dzial`y");
  EXPECT_EQ(dict[0].type, "1c5  ;nb_zas ( pobslowo ( 8, 30, 10, daj_kod(), .f. ), .t. )");
  // "GRUPA" is no dictionary of this company: the heading comes from the empty record.
  EXPECT_EQ(dict[1].heading, std::string(10, ' ') + " - ");
  // The dictionary's order is given back.
  EXPECT_EQ(call("INDEXORD").num(), 1);

  call("DBSELECTAREA", {txt("nieobec")});
  call("DBSELECTAREA", {txt("main")});
  call("DBGOTOP");  // Kowalski, department D02
  EXPECT_EQ(rt::evalBlock(dict[0].value).strOr(""), "HALA      ");
}

}  // namespace
}  // namespace listing_test
