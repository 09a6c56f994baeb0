// The table functions as expression text and update scripts call them by name.
#include <gtest/gtest.h>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/expr.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/db/work_areas.h"
#include "tests/runtime/db/helpers/temp_dir.h"

namespace rt::db {
namespace {

class TableFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerStandardFunctions();
    registerTableFunctions();
    context().settings.deleted = true;
    context().settings.exclusive = true;
    context().memvars.assign("d", Value::text(dir_.path() + "/"));
  }
  void TearDown() override { workAreas().closeAll(); }
  Value run(const std::string& text) { return evalText(text); }
  // Runs each line; the value of the last.
  Value script(std::initializer_list<const char*> lines) {
    Value v;
    for (const char* l : lines) v = run(l);
    return v;
  }
  testing::TempDir dir_;
};

// A progress bar driven by the key count ends at 100 %: with SET DELETED on the keys of deleted
// records are not counted, within the scopes too.
TEST_F(TableFunctionsTest, TheKeyCountLeavesOutDeletedRecordsWhenTheyAreHidden) {
  script({"DBCREATE(d + 'LICZ', {{'NR','C',5,0}})", "DBUSEAREA(.T., , d + 'licz', 'licz', .F.)"});
  for (int i = 1; i <= 300; ++i) {
    run("DBAPPEND()");
    run("FIELDPUT(1, '" + std::string(i <= 150 ? "a" : "b") + std::to_string(1000 + i) + "')");
    if (i % 7 == 0) run("DBDELETE()");  // 21 of a, 21 of b
  }
  run("ORDCREATE(, 'NR', 'nr')");
  EXPECT_EQ(run("ORDKEYCOUNT()").num(), 258);
  run("ORDSCOPE(0, 'b')");
  run("ORDSCOPE(1, 'b')");
  EXPECT_EQ(run("ORDKEYCOUNT()").num(), 129);
  int visible = 0;
  for (run("DBGOTOP()"); !run("EOF()").logical(); run("DBSKIP()")) ++visible;
  EXPECT_EQ(visible, 129);
  run("SET(11, .F.)");  // SET DELETED OFF: every key
  EXPECT_EQ(run("ORDKEYCOUNT()").num(), 150);
}

TEST_F(TableFunctionsTest, CreateOpenAppendSeekAndReadThroughTheFunctions) {
  script({"DBCREATE(d + 'PRAC', {{'NR_PRAC','C',5,0},{'KW','N',10,2},{'OD','D',8,0},{'UW','M',10,0}})",
          "DBUSEAREA(.T., , d + 'prac', 'prac', .F.)",
          "DBAPPEND()", "FIELDPUT(1, '   12')", "FIELDPUT(2, 10.5)", "prac->uw := 'notatka'",
          "DBAPPEND()", "FIELDPUT(1, '    0')", "FIELDPUT(2, -3)",
          "DBAPPEND()", "FIELDPUT(1, '  100')", "DBDELETE()",
          "ORDCREATE(, 'NRP', 'nr_prac')", "ORDCREATE(, 'KWOTA', 'kw')"});
  EXPECT_EQ(run("ALIAS()").str(), "PRAC");
  EXPECT_EQ(run("SELECT('prac')").num(), 1);
  EXPECT_TRUE(run("USED()").logical());
  EXPECT_EQ(run("FCOUNT()").num(), 4);
  EXPECT_EQ(run("FIELDNAME(2)").str(), "KW");
  EXPECT_EQ(run("FIELDPOS('od')").num(), 3);
  EXPECT_EQ(run("LASTREC()").num(), 3);
  EXPECT_EQ(run("ORDNUMBER('KWOTA')").num(), 2);
  EXPECT_EQ(run("INDEXORD()").num(), 2);
  EXPECT_EQ(run("INDEXKEY(1)").str(), "nr_prac");
  EXPECT_EQ(run("ORDNAME(1)").str(), "NRP");
  run("ORDSETFOCUS(1)");
  EXPECT_TRUE(run("DBSEEK('   12')").logical());
  EXPECT_TRUE(run("FOUND()").logical());
  EXPECT_EQ(run("RECNO()").num(), 1);
  EXPECT_EQ(run("prac->uw").str(), "notatka");
  EXPECT_FALSE(run("DBSEEK('  100')").logical());  // deleted
  EXPECT_TRUE(run("EOF()").logical());
  run("SET(11, .F.)");  // SET DELETED OFF
  EXPECT_TRUE(run("DBSEEK('  100')").logical());
  EXPECT_TRUE(run("DELETED()").logical());
  run("DBRECALL()");
  run("SET(11, .T.)");
  run("DBGOTOP()");
  EXPECT_EQ(run("prac->nr_prac").str(), "    0");
  EXPECT_EQ(run("ORDKEYCOUNT()").num(), 3);
  run("ORDSCOPE(0, '   1')");
  run("ORDSCOPE(1, '   1')");
  EXPECT_EQ(run("ORDKEYCOUNT()").num(), 1);
  run("ORDSCOPE(0, NIL)");
  run("ORDSCOPE(1, NIL)");
  Value st = run("DBSTRUCT()");
  ASSERT_EQ(st.arr().size(), 4u);
  EXPECT_EQ(st.arr()[3].arr()[1].str(), "M");
  EXPECT_EQ(run("TYPE('prac->od')").str(), "D");
  run("DBSETFILTER({|| kw > 0}, 'kw > 0')");
  EXPECT_EQ(run("DBFILTER()").str(), "kw > 0");
  run("suma := 0");
  run("DBEVAL({|| suma := suma + 1})");
  EXPECT_EQ(run("suma").num(), 1);
  run("DBCLEARFIL()");
  EXPECT_EQ(run("DBFILTER()").str(), "");
  EXPECT_TRUE(run("__DBLOCATE({|| kw < 0})").logical());
  EXPECT_EQ(run("RECNO()").num(), 2);
  run("DBCLOSEAREA()");
  EXPECT_FALSE(run("USED()").logical());
  EXPECT_EQ(run("RECNO()").num(), 0);
  EXPECT_TRUE(run("EOF()").logical());
}

TEST_F(TableFunctionsTest, CreateIndexKeepsTheStructuralIndexAndListAddMakesTheFirstControlling) {
  script({"DBCREATE(d + 'T2', {{'NR_PRAC','C',5,0},{'NAZW','C',10,0}})", "DBUSEAREA(.T., , d + 'T2', 't2', .F., .F.)",
          "DBAPPEND()", "FIELDPUT(1, '    2')", "FIELDPUT(2, 'b')", "DBAPPEND()", "FIELDPUT(1, '    1')",
          "FIELDPUT(2, 'c')", "ORDCREATE(, 'STRUKT', 'nazw')"});
  // Reopened, the structural bag comes back with the table.
  run("DBCLOSEAREA()");
  run("DBUSEAREA(.T., , d + 'T2', 't2', .F., .F.)");
  EXPECT_EQ(run("ORDCOUNT()").num(), 1);
  // A new index file replaces the other index files but never the structural one; it controls.
  run("DBCREATEINDEX(d + 'T2A.CDX', 'nr_prac', {|| nr_prac})");
  EXPECT_EQ(run("ORDCOUNT()").num(), 2);
  EXPECT_EQ(run("ORDNAME(1)").str(), "STRUKT");
  EXPECT_EQ(run("ORDNAME(INDEXORD())").str(), "T2A");
  run("DBCREATEINDEX(d + 'T2B', 'nazw')");
  EXPECT_EQ(run("ORDCOUNT()").num(), 2);
  EXPECT_EQ(run("ORDNAME(INDEXORD())").str(), "T2B");
  // Changes made now reach the structural tag as well.
  run("DBGOTOP()");
  run("FIELDPUT(2, 'a')");
  run("DBCOMMIT()");
  run("ORDSETFOCUS('STRUKT')");
  run("DBGOTOP()");
  EXPECT_EQ(run("nazw").str(), "a         ");
  run("ORDLISTCLEAR()");
  EXPECT_EQ(run("ORDCOUNT()").num(), 1);
  EXPECT_EQ(run("INDEXORD()").num(), 0);
  run("DBCLEARIND()");
  run("ORDLISTADD(d + 'T2A')");
  run("ORDLISTADD(d + 'T2B')");
  EXPECT_EQ(run("ORDCOUNT()").num(), 3);
  EXPECT_EQ(run("ORDNAME(INDEXORD())").str(), "T2A");  // the first file added controls
  run("DBGOTOP()");
  EXPECT_EQ(run("nr_prac").str(), "    1");
}

TEST_F(TableFunctionsTest, RelationsFieldBlocksAndAreaSelection) {
  script({"DBCREATE(d + 'MAIN', {{'NR_PRAC','C',5,0},{'NAZWISKO','C',10,0}})",
          "DBUSEAREA(.T., , d + 'MAIN', 'main')", "DBAPPEND()", "FIELDPUT(1, '    7')", "FIELDPUT(2, 'Kowalski')",
          "ORDCREATE(, 'MAINPRAC', 'nr_prac')",
          "DBCREATE(d + 'NIEOBEC', {{'NR_PRAC','C',5,0}})", "DBUSEAREA(.T., , d + 'NIEOBEC', 'nieobec')",
          "DBAPPEND()", "FIELDPUT(1, '    7')"});
  EXPECT_EQ(run("SELECT()").num(), 2);
  run("DBSETRELATION('main', {|| nieobec->nr_prac}, 'nieobec->nr_prac')");
  run("DBGOTOP()");
  EXPECT_EQ(run("main->nazwisko").str(), "Kowalski  ");
  EXPECT_EQ(run("DBRELATION(1)").str(), "nieobec->nr_prac");
  EXPECT_EQ(run("DBRSELECT(1)").num(), 1);
  run("DBCLEARREL()");
  EXPECT_EQ(run("DBRELATION(1)").str(), "");
  Value b = run("FIELDWBLOCK('NAZWISKO', 1)");
  EXPECT_EQ(evalBlock(b).str(), "Kowalski  ");
  evalBlock(b, {Value::text("Nowak")});
  EXPECT_EQ(run("main->nazwisko").str(), "Nowak     ");
  run("DBSELECTAREA('main')");
  EXPECT_EQ(run("ALIAS()").str(), "MAIN");
  run("DBSELECTAREA(0)");
  EXPECT_EQ(run("SELECT()").num(), 3);
  EXPECT_FALSE(run("USED()").logical());
  EXPECT_THROW(run("DBSELECTAREA('nieistnieje')"), Error);
  EXPECT_THROW(run("DBGOTOP()"), Error);
  run("DBCLOSEALL()");
  EXPECT_EQ(run("SELECT('main')").num(), 0);
}

// Temporary tags in a bag of their own whose keys read the employee table through the relation,
// built with a progress block, counted after the structural orders.
TEST_F(TableFunctionsTest, TemporaryTagsReadARelatedAreaWhileTheyAreBuilt) {
  script({"DBCREATE(d + 'MAIN', {{'NR_PRAC','C',5,0},{'NR_PSEUDO','C',3,0}})",
          "DBUSEAREA(.T., , d + 'MAIN', 'main')",
          "DBAPPEND()", "FIELDPUT(1, '    1')", "FIELDPUT(2, 'ccc')",
          "DBAPPEND()", "FIELDPUT(1, '    2')", "FIELDPUT(2, 'aaa')",
          "ORDCREATE(, 'MAINPRAC', 'nr_prac')",
          "DBCREATE(d + 'NIEOBEC', {{'NR_PRAC','C',5,0},{'DO','D',8,0}})",
          "DBUSEAREA(.T., , d + 'NIEOBEC', 'nieobec')",
          "DBAPPEND()", "FIELDPUT(1, '    1')", "FIELDPUT(2, STOD('20240105'))",
          "DBAPPEND()", "FIELDPUT(1, '    2')", "FIELDPUT(2, STOD('20240301'))",
          "DBAPPEND()", "FIELDPUT(1, '    1')", "FIELDPUT(2, STOD('20230101'))",
          "ORDCREATE(, 'NR', 'nr_prac+DTOS(do)')",
          "DBSETRELATION('main', {|| nieobec->nr_prac}, 'nieobec->nr_prac')", "DBGOTOP()"});
  run("ile_ind := ORDCOUNT()");
  run("postep := {}");
  run("ORDCONDSET(, , , , {|| AADD(postep, ORDKEYSINCLUDED())}, 1)");
  run("ORDCREATE(d + 'procz.cdx', 'jeden', 'main->nr_pseudo + DTOS(nieobec->do)')");
  EXPECT_EQ(run("ORDCOUNT()").num(), 2);
  EXPECT_EQ(run("ORDNUMBER('jeden')").num(), run("ile_ind").num() + 1);
  EXPECT_GE(run("LEN(postep)").num(), 3);
  run("ORDSETFOCUS('jeden')");
  std::vector<double> order;
  for (run("DBGOTOP()"); !run("EOF()").logical(); run("DBSKIP()")) order.push_back(run("RECNO()").num());
  EXPECT_EQ(order, (std::vector<double>{2, 3, 1}));  // aaa..., ccc2023..., ccc2024...
  EXPECT_EQ(run("ORDKEYCOUNT()").num(), 3);
}

TEST_F(TableFunctionsTest, RefusedOpeningSetsNetErrWithoutRaising) {
  script({"DBCREATE(d + 'X', {{'A','C',1,0}})", "DBUSEAREA(.T., , d + 'X', 'x1', .F.)"});
  EXPECT_FALSE(run("NETERR()").logical());
  run("DBUSEAREA(.T., , d + 'X', 'x2', .T.)");
  EXPECT_TRUE(run("NETERR()").logical());
  EXPECT_EQ(run("SELECT('x2')").num(), 0);
  EXPECT_THROW(run("DBUSEAREA(.T., , d + 'BRAK', 'b', .T.)"), Error);
}

TEST_F(TableFunctionsTest, LocksThroughTheFunctions) {
  context().settings.exclusive = false;
  script({"DBCREATE(d + 'L', {{'A','N',3,0}})", "DBUSEAREA(.T., , d + 'L', 'l1')", "DBAPPEND()", "DBAPPEND()",
          "DBAPPEND()", "DBUSEAREA(.T., , d + 'L', 'l2')"});
  run("DBSELECTAREA('l1')");
  run("DBGOTO(1)");
  EXPECT_TRUE(run("RLOCK()").logical());
  EXPECT_TRUE(run("DBRLOCK(2)").logical());
  EXPECT_EQ(run("LEN(DBRLOCKLIST())").num(), 2);
  EXPECT_TRUE(run("RLOCK()").logical());  // the plain form replaces the list
  EXPECT_EQ(run("LEN(DBRLOCKLIST())").num(), 1);
  run("DBSELECTAREA('l2')");
  run("DBGOTO(1)");
  EXPECT_FALSE(run("RLOCK()").logical());
  EXPECT_FALSE(run("FLOCK()").logical());
  EXPECT_TRUE(run("DBRLOCK(2)").logical());
  run("DBSELECTAREA('l1')");
  run("DBUNLOCK()");
  run("DBSELECTAREA('l2')");
  EXPECT_TRUE(run("DBRLOCK(1)").logical());
  run("DBUNLOCKALL()");
  EXPECT_TRUE(run("FLOCK()").logical());
  EXPECT_THROW(run("__DBPACK()"), Error);  // shared
}

TEST_F(TableFunctionsTest, ClosingAllAreasKeysPendingRecordsInTheirOwnArea) {
  // The pending record of an area that is not selected gets its expression keys from its own
  // fields when DBCLOSEALL writes it out.
  script({"DBCREATE(d + 'OSOBY', {{'NAZW','C',10,0}})",
          "DBCREATE(d + 'INNA', {{'X','C',1,0}})",
          "DBUSEAREA(.T., , d + 'osoby', 'osoby', .F.)",
          "ORDCREATE(, 'NAZW', 'upper(nazw)')",
          "DBAPPEND()", "osoby->nazw := 'kowal'",
          "DBUSEAREA(.T., , d + 'inna', 'inna', .F.)",
          "DBCLOSEALL()",
          "DBUSEAREA(.T., , d + 'osoby', 'osoby', .F.)"});
  run("ORDSETFOCUS('NAZW')");
  EXPECT_EQ(run("ORDKEYCOUNT()").num(), 1);
  EXPECT_TRUE(run("DBSEEK('KOWAL')").logical());
}

}  // namespace
}  // namespace rt::db
