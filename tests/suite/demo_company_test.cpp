// The demo company and the table sets over it: what the options find when they open their tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include <unistd.h>

#include "runtime/core/context.h"
#include "runtime/core/error.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/print/styled_text.h"
#include "runtime/term/headless.h"
#include "runtime/term/keyboard.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/term/register.h"
#include "suite/company/company.h"
#include "suite/demo/demo_company.h"
#include "suite/forms/display_text.h"
#include "suite/payroll/payroll.h"
#include "suite/payroll/pickers.h"
#include "suite/register.h"
#include "suite/screen/menu_defs.h"
#include "suite/screen/menu_engine.h"
#include "suite/tables/table_ops.h"
#include "suite/tables/table_sets.h"
#include "tests/runtime/db/helpers/index_check.h"
#include "tests/runtime/db/helpers/interrupted_write.h"
#include "tests/runtime/db/helpers/killed_at_write.h"
#include "tests/support/scoped_functions.h"

namespace {

namespace fs = std::filesystem;
using suite::call;

rt::Value txt(const std::string& s) { return rt::Value::text(s); }

// One demo company for the whole suite of tests: building it is the slow part.
class DemoCompany : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    previous = fs::current_path();
    dir = fs::temp_directory_path() / ("zus_demo_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    rt::registerStandardFunctions();
    rt::db::registerTableFunctions();
    rt::term::registerScreenFunctions();
    suite::registerSuiteFunctions();
    suite::createDemoCompany(dir.string());
  }
  static void TearDownTestSuite() {
    fs::current_path(previous);
    fs::remove_all(dir);
  }
  void SetUp() override {
    fs::current_path(dir);
    suite::INI_FIRM();
  }
  void TearDown() override { call("DBCLOSEALL"); }

  static int count(const char* alias) {
    call("DBSELECTAREA", {txt(alias)});
    int n = 0;
    for (call("DBGOTOP"); !call("EOF").logical(); call("DBSKIP")) ++n;
    return n;
  }

  static inline fs::path previous, dir;
};

TEST_F(DemoCompany, TheRegisterSetOpensUnderItsAliasesAndClosesWhole) {
  ASSERT_TRUE(suite::openSet("MAIN | SLOWNIK | DANE_WE | NIEOBEC | MAIN_2", "SSSSS"));
  EXPECT_EQ(call("ALIAS").str(), "MAIN_2");  // the last one selected
  for (const char* alias : {"main", "sl", "dane_we", "nieobec", "main_2"})
    EXPECT_GT(call("SELECT", {txt(alias)}).intOr(0), 0) << alias;
  EXPECT_EQ(count("main"), 51);
  suite::closeSet("MAIN");
  for (const char* alias : {"main", "sl", "nieobec"})
    EXPECT_EQ(call("SELECT", {txt(alias)}).intOr(0), 0) << alias;
}

TEST_F(DemoCompany, ASetWithATableThatCannotOpenLeavesNothingOpen) {
  fs::rename(dir / "NIEOBEC.dbf", dir / "NIEOBEC.bak");
  bool opened = suite::openSet("MAIN | SLOWNIK | NIEOBEC", "SSS");
  fs::rename(dir / "NIEOBEC.bak", dir / "NIEOBEC.dbf");
  EXPECT_FALSE(opened);
  EXPECT_EQ(call("SELECT", {txt("main")}).intOr(0), 0);
  EXPECT_EQ(call("SELECT", {txt("sl")}).intOr(0), 0);
  EXPECT_TRUE(suite::openSets().empty());
}

TEST_F(DemoCompany, ASetWithADamagedIndexRaisesItsErrorAndLeavesNothingOpen) {
  fs::copy_file(dir / "NIEOBEC.cdx", dir / "NIEOBEC.cdx.bak");
  {
    std::ofstream damaged(dir / "NIEOBEC.cdx", std::ios::binary | std::ios::in | std::ios::out);
    damaged.seekp(1024);
    damaged << std::string(200, '\xab');
  }
  std::string file;
  try {
    suite::openSet("MAIN | SLOWNIK | NIEOBEC", "SSS");
  } catch (const rt::Error& e) {
    file = e.file();
  }
  fs::rename(dir / "NIEOBEC.cdx.bak", dir / "NIEOBEC.cdx");
  EXPECT_NE(file.find("NIEOBEC.cdx"), std::string::npos) << file;
  EXPECT_EQ(call("SELECT", {txt("main")}).intOr(0), 0);
  EXPECT_EQ(call("SELECT", {txt("sl")}).intOr(0), 0);
  EXPECT_TRUE(suite::openSets().empty());
}

TEST_F(DemoCompany, ASetWithAMissingIndexRaisesAnErrorNamingItAndTheTableStaysUnwritten) {
  fs::rename(dir / "NIEOBEC.cdx", dir / "NIEOBEC.cdx.bak");
  const auto sizeBefore = fs::file_size(dir / "NIEOBEC.dbf");
  std::string file, description;
  try {
    suite::openSet("MAIN | SLOWNIK | NIEOBEC", "SSS");
    ADD_FAILURE() << "the register opened without its index";
  } catch (const rt::Error& e) {
    EXPECT_EQ(e.kind(), rt::ErrorKind::Corrupt);
    file = e.file();
    description = e.description();
  }
  EXPECT_FALSE(fs::exists(dir / "NIEOBEC.cdx"));
  fs::rename(dir / "NIEOBEC.cdx.bak", dir / "NIEOBEC.cdx");
  EXPECT_NE(file.find("NIEOBEC.cdx"), std::string::npos) << file;
  EXPECT_NE(description.find("index file is missing"), std::string::npos) << description;
  EXPECT_EQ(fs::file_size(dir / "NIEOBEC.dbf"), sizeBefore);
  for (const char* alias : {"main", "sl", "nieobec"})
    EXPECT_EQ(call("SELECT", {txt(alias)}).intOr(0), 0) << alias;
  EXPECT_TRUE(suite::openSets().empty());
}

// A set whose table's index was left behind by a writer killed half-way opens with the index
// rebuilt (said in one line), whether the table is opened shared or exclusively.
TEST_F(DemoCompany, ASetRebuildsAnIndexLeftBehindByAKilledWriter) {
  for (const char* ext : {".dbf", ".cdx"})
    fs::copy_file(dir / ("NIEOBEC" + std::string(ext)), dir / ("NIEOBEC.keep" + std::string(ext)),
                  fs::copy_options::overwrite_existing);
  std::vector<std::string> said;
  test_support::ScopedFunctions stand_kom3("KOM3", [&said](rt::Args& m) {
    said.push_back(m[0].isArray() ? m[0].arr()[0].strOr("") : m[0].strOr(""));
    return rt::Value();
  });
  for (const char* mode : {"S", "e"}) {
    SCOPED_TRACE(mode);
    said.clear();
    ASSERT_TRUE(rt::db::testing::killWriterBeforeItsKeys((dir / "NIEOBEC.dbf").string(), "nr_prac", txt("  777")));
    ASSERT_TRUE(suite::openSet("NIEOBEC", mode));
    EXPECT_EQ(said, std::vector<std::string>{"Odbudowano indeksy zbioru NIEOBEC.dbf"});
    rt::db::WorkArea& area = *rt::db::workAreas().selected();
    EXPECT_FALSE(area.indexesStale());
    EXPECT_EQ(rt::db::testing::compareOrdersWithScan(area), "");
    EXPECT_TRUE(call("DBSEEK", {txt("  777")}).logical());
    suite::closeSet("NIEOBEC");
    for (const char* ext : {".dbf", ".cdx"})
      fs::copy_file(dir / ("NIEOBEC.keep" + std::string(ext)), dir / ("NIEOBEC" + std::string(ext)),
                    fs::copy_options::overwrite_existing);
  }
  for (const char* ext : {".dbf", ".cdx"}) fs::remove(dir / ("NIEOBEC.keep" + std::string(ext)));
}

// An option that fails with its tables open (an order that cannot be set, a damaged index met
// half-way) leaves neither the set, nor its aliases, nor its record locks behind: the next
// option opens the same tables and locks the same record.
TEST_F(DemoCompany, AFailedOptionLeavesNoTableOpenForTheNextOne) {
  rt::term::Headless screen;
  rt::Value before = call("SELECT");
  test_support::ScopedFunctions stand;
  stand.replace("TEST_FAILS_WITH_SET", [](rt::Args&) -> rt::Value {
    if (!suite::openSet("MAIN | NIEOBEC", "SS")) throw std::runtime_error("set not opened");
    call("DBSELECTAREA", {txt("main")});
    if (!call("RLOCK").logicalOr(false)) throw std::runtime_error("record not locked");
    suite::setField("nazwisko", txt("Niedokonczona zmiana"));
    call("ORDSETFOCUS", {rt::Value::integer(99)});  // no such order: the option ends here
    return rt::Value();
  });
  std::vector<std::string> outcome;
  stand.replace("TEST_OPENS_SET", [&](rt::Args&) {
    bool opened = suite::openSet("MAIN | NIEOBEC", "SS");
    outcome.push_back(opened ? "otwarty" : "nieotwarty");
    if (!opened) return rt::Value();
    call("DBSELECTAREA", {txt("main")});
    outcome.push_back(call("RLOCK").logicalOr(false) ? "zablokowany" : "niezablokowany");
    outcome.push_back(suite::field("nazwisko").strOr(""));
    suite::closeSet("MAIN");
    return rt::Value();
  });
  suite::MenuDef menu{"test", "Test", {{"G", {{"Zle", "TEST_FAILS_WITH_SET", {}, ""},
                                               {"Dobrze", "TEST_OPENS_SET", {}, ""}}}}};
  // Esc leaves the menu once the question is answered Tak.
  stand.replace("DECYZJA", [](rt::Args&) { return rt::Value::logical(true); });
  screen.keys({rt::term::K_ENTER, rt::term::K_SPACE, rt::term::K_DOWN, rt::term::K_ENTER, rt::term::K_ESC});
  suite::runMenu(menu);
  ASSERT_EQ(outcome.size(), 3u) << (outcome.empty() ? "" : outcome[0]);
  EXPECT_EQ(outcome[0], "otwarty");
  EXPECT_EQ(outcome[1], "zablokowany");
  EXPECT_EQ(outcome[2].find("Niedokonczona"), std::string::npos) << outcome[2];
  EXPECT_TRUE(suite::openSets().empty());
  EXPECT_EQ(call("SELECT", {txt("main")}).intOr(0), 0);
  EXPECT_EQ(call("SELECT").intOr(0), before.intOr(0));
}

// Prints draw graphic frames and mark bold text by default; a file keeps graphic frames even when
// the settings ask the printer for ASCII ones.
TEST_F(DemoCompany, PrintsHaveGraphicFramesAndBoldCodesByDefault) {
  rt::Memvars& v = rt::context().memvars;
  EXPECT_TRUE(v.get("p_graf").logical());
  EXPECT_EQ(v.get("dev_b_on").str(), rt::print::styleCodes().boldOn);
  EXPECT_EQ(v.get("dev_u_off").str(), rt::print::styleCodes().underlineOff);
  std::vector<std::string> shown;
  test_support::ScopedFunctions stand_kom3("KOM3", [&](rt::Args& a) {
    shown.push_back(a[0].arr().at(0).str());
    return rt::Value();
  });
  call("DEV");
  v.assign("p_graf", rt::Value::logical(false));
  v.assign("urzadzenie", rt::Value::integer(2));
  ASSERT_TRUE(call("DEV_OPEN").logical());
  call("DEV_LINIA", {txt("\xB3" + v.get("dev_b_on").str() + "Zasil`ek" + v.get("dev_b_off").str() + "\xB3")});
  call("DEV_CLOSE");
  std::ifstream f(dir / "WYDRUKI" / "wydruk.txt");
  std::string line;
  std::getline(f, line);
  EXPECT_EQ(line, "│Zasiłek│");
  EXPECT_EQ(shown, std::vector<std::string>{"Wydruk zapisano w pliku"});
}

TEST_F(DemoCompany, EmployeesIncludeTheDismissedAndTheOverFifty) {
  ASSERT_TRUE(suite::openSet("MAIN | MAIN_2", "SS"));
  int dismissed = 0, overFifty = 0;
  int year, month, day;
  suite::splitDayNumber(rt::context().memvars.get("lum_data").date(), year, month, day);
  call("DBSELECTAREA", {txt("main")});
  for (call("DBGOTOP"); !call("EOF").logical(); call("DBSKIP"))
    if (suite::field("status").num() < 1) ++dismissed;
  call("DBSELECTAREA", {txt("main_2")});
  for (call("DBGOTOP"); !call("EOF").logical(); call("DBSKIP")) {
    int y, m, d;
    suite::splitDayNumber(suite::field("data_ur").date(), y, m, d);
    if (year - y > 50) ++overFifty;
  }
  EXPECT_GE(dismissed, 2);
  EXPECT_GE(overFifty, 5);
}

TEST_F(DemoCompany, TheBenefitDictionaryHoldsAll33KindsOfTheLink) {
  std::vector<suite::DictionaryRow> kinds = suite::dictionaryEntries('Z');
  ASSERT_EQ(kinds.size(), 33u);
  EXPECT_EQ(kinds.front().kod, "Z01");
  EXPECT_EQ(kinds.back().kod, "Z33");
  std::set<std::string> headers;
  for (const auto& d : suite::dictionaries()) headers.insert(d.kod);
  EXPECT_EQ(headers, (std::set<std::string>{"D  ", "E  ", "G  ", "Z  "}));
}

TEST_F(DemoCompany, TheArchiveHoldsThePseudoEmployeeAndEveryEmployeesBasis) {
  ASSERT_TRUE(suite::openSet("MAIN | ARCHIW", "SS"));
  call("DBSELECTAREA", {txt("archiw")});
  call("ORDSETFOCUS", {rt::Value::integer(1)});
  // Working days and minimum wage of the pseudo-employee for 13 months back.
  ASSERT_TRUE(call("DBSEEK", {txt("    0B007")}).logical());
  for (int d = 0; d <= 12; ++d) {
    double days = suite::field(suite::archiveField(d)).num();
    EXPECT_GE(days, 20);
    EXPECT_LE(days, 23);
  }
  ASSERT_TRUE(call("DBSEEK", {txt("    0B039")}).logical());
  EXPECT_GT(suite::field("a12").num(), 2000);
  ASSERT_TRUE(call("DBSEEK", {txt("    1B001")}).logical());
  EXPECT_GT(suite::field("a01").num(), 0);
  ASSERT_TRUE(call("DBSEEK", {txt("   50B006")}).logical());
}

// The work-time fraction is the employee's full-time equivalent in the FTE dictionary that the
// personnel parameters name; 1.00 where none is set.
TEST_F(DemoCompany, TheWorkTimeFractionComesFromTheFteDictionary) {
  ASSERT_TRUE(suite::openSet("MAIN | SLOWNIK", "SS"));
  auto fractionOf = [](const char* nr) {
    call("DBSELECTAREA", {txt("main")});
    call("ORDSETFOCUS", {rt::Value::integer(1)});
    EXPECT_TRUE(call("DBSEEK", {txt(nr)}).logical()) << nr;
    return rt::functions().call("WYM_ETAT").num();
  };
  call("DBSELECTAREA", {txt("sl")});
  call("ORDSETFOCUS", {rt::Value::integer(2)});
  call("DBGOTO", {rt::Value::integer(3)});
  EXPECT_DOUBLE_EQ(fractionOf("   51"), 0.5);
  EXPECT_DOUBLE_EQ(fractionOf("    3"), 1.0) << "no code in the FTE dictionary";
  call("DBSELECTAREA", {txt("sl")});
  EXPECT_EQ(call("INDEXORD").intOr(0), 2) << "the dictionary keeps its order";
  EXPECT_EQ(call("RECNO").intOr(0), 3) << "and its record";

  // A code the dictionary lacks, and personnel parameters that name no dictionary.
  call("DBSELECTAREA", {txt("main")});
  ASSERT_TRUE(call("DBSEEK", {txt("   51")}).logical());
  ASSERT_TRUE(call("RLOCK").logical());
  suite::setField("sl_etat", txt("E09"));
  EXPECT_DOUBLE_EQ(fractionOf("   51"), 1.0);
  suite::setField("sl_etat", txt("E02"));
  call("DBUNLOCK");
  fs::path settings = dir / "KADRY" / "kadry_pp.mem";
  fs::rename(settings, dir / "KADRY" / "kadry_pp.bak");
  double withoutSettings = fractionOf("   51");
  fs::rename(dir / "KADRY" / "kadry_pp.bak", settings);
  EXPECT_DOUBLE_EQ(withoutSettings, 1.0);
  EXPECT_DOUBLE_EQ(fractionOf("   51"), 0.5);
}

TEST_F(DemoCompany, PayrollDataAreAvailableWithTheirItemSelections) {
  EXPECT_TRUE(suite::DANEPLAC(15));
  EXPECT_EQ(rt::context().memvars.get("dplac_kod").arr().size(), 66u);
  EXPECT_TRUE(suite::DANEPLAC(1));
  EXPECT_EQ(rt::context().memvars.get("dplac_kod").arr().size(), 41u);
  EXPECT_EQ(rt::context().memvars.get("dplac_kod").arr()[0].str(), "B001");
}

TEST_F(DemoCompany, TheCompanySetUpReadsThePayrollMonthAndDirectories) {
  rt::Memvars& v = rt::context().memvars;
  EXPECT_EQ(v.get("firm_nazwa").str(), "DEMO Sp. z o.o.");
  EXPECT_EQ(v.get("_path_kadr").str(), v.get("_path_plac").str() + "KADRY/");
  int y, m, d;
  suite::splitDayNumber(v.get("lum_data").date(), y, m, d);
  EXPECT_EQ(d, 1);
  EXPECT_TRUE(fs::exists(dir / "KADRY" / "CZAS_P.dbf"));
  EXPECT_TRUE(fs::exists(dir / "zas.zus"));
}

TEST_F(DemoCompany, TheBenefitPickerGivesTheChosenKeyOrTheNoCodeAfterEsc) {
  rt::term::Headless h;
  rt::context().memvars.declarePublic("pustykod", txt(std::string(3, char(255))));
  h.keys({rt::term::K_DOWN, rt::term::K_DOWN, rt::term::K_ENTER});
  rt::Value chosen = rt::functions().call(
      "POBSLOWO", {rt::Value::integer(8), rt::Value::integer(30), rt::Value::integer(10), txt("Z  "),
                   rt::Value::logical(false)});
  EXPECT_EQ(chosen.str(), "Z03");
  h.keys({rt::term::K_ESC});
  chosen = rt::functions().call("POBSLOWNIK", {rt::Value::integer(5), rt::Value::integer(10)});
  EXPECT_EQ(chosen.str(), std::string(3, char(255)));
}

}  // namespace

namespace {

TEST_F(DemoCompany, PayrollInputItemsAreAddedToAndTakenBack) {
  ASSERT_TRUE(suite::openSet("MAIN | DANE_WE", "SS"));
  call("DBSELECTAREA", {txt("dane_we")});
  call("ORDSETFOCUS", {rt::Value::integer(1)});
  auto sav = [](const char* fn, double v) {
    return rt::functions().call(fn, {txt("K001"), txt(""), txt("    3"), rt::Value::number(v, 2)}).num();
  };
  EXPECT_EQ(sav("DEL_SKL", 10), 4);  // nothing to take back yet
  EXPECT_EQ(sav("SAV_SKL", 123.45), 0);
  EXPECT_EQ(sav("SAV_SKL", 100), 0);
  rt::Value got;
  rt::Args args;
  args.push(txt("    3"));
  args.push(txt("K001"));
  args.push(rt::Value(), &got);
  EXPECT_TRUE(rt::functions().call("WEZ_WE", args).logical());
  EXPECT_DOUBLE_EQ(got.num(), 223.45);
  EXPECT_EQ(sav("DEL_SKL", 123.45), 0);
  rt::functions().call("WEZ_WE", args);
  EXPECT_DOUBLE_EQ(got.num(), 100);
}

// A new payroll input item killed at each write into the input table in turn, as a power cut
// could stop it: no blank item is left behind, only none or the whole one.
TEST_F(DemoCompany, ANewInputItemKilledAtAnyWriteLeavesNoBlankItem) {
  for (const char* ext : {".dbf", ".cdx"})
    fs::copy_file(dir / ("DANE_WE" + std::string(ext)), dir / ("DANE_WE.keep" + std::string(ext)),
                  fs::copy_options::overwrite_existing);
  int kills = 0;
  for (int k = 1; k < 100; ++k) {
    SCOPED_TRACE("killed at write " + std::to_string(k));
    for (const char* ext : {".dbf", ".cdx"})
      fs::copy_file(dir / ("DANE_WE.keep" + std::string(ext)), dir / ("DANE_WE" + std::string(ext)),
                    fs::copy_options::overwrite_existing);
    const int saving = rt::db::testing::killedAtWrite(k, "DANE_WE.dbf", [&] {
      if (!suite::openSet("MAIN | DANE_WE", "SS")) return 4;
      call("DBSELECTAREA", {txt("dane_we")});
      rt::functions().call("SAV_SKL", {txt("K033"), txt(""), txt("    3"), rt::Value::number(12.5, 2)});
      suite::closeSet("MAIN");
      return 0;
    });
    if (saving == 0) break;  // the item was saved before its k-th write
    ++kills;
    call("DBUSEAREA", {rt::Value::logical(true), rt::Value(), txt((dir / "DANE_WE.dbf").string()), txt("reader"),
                       rt::Value::logical(true), rt::Value::logical(true)});
    for (call("DBGOTOP"); !call("EOF").logical(); call("DBSKIP")) {
      EXPECT_NE(suite::field("nr_prac").strOr("").find_first_not_of(' '), std::string::npos) << "a blank item";
      EXPECT_NE(suite::field("kod").strOr("").find_first_not_of(' '), std::string::npos) << "an item without its code";
    }
    call("DBCLOSEAREA");
  }
  for (const char* ext : {".dbf", ".cdx"})
    fs::rename(dir / ("DANE_WE.keep" + std::string(ext)), dir / ("DANE_WE" + std::string(ext)));
  EXPECT_GE(kills, 3) << "the save was killed at each of its writes";
}

TEST_F(DemoCompany, ArchiveValuesAreReadByDepthFromThePositionedRecord) {
  ASSERT_TRUE(suite::openSet("MAIN | ARCHIW", "SS"));
  call("DBSELECTAREA", {txt("archiw")});
  ASSERT_TRUE(call("DBSEEK", {txt("    0B039")}).logical());
  call("DBSELECTAREA", {txt("main")});  // POB_AR reads the archive whatever is selected
  double wage = rt::functions().call("POB_AR", {rt::Value::integer(0), rt::Value::logical(false)}).num();
  EXPECT_GE(wage, 4242);
  // A month the archive does not keep is no value at all, unlike a month kept with 0.
  EXPECT_TRUE(rt::functions().call("POB_AR", {rt::Value::integer(24)}).isNil());
  EXPECT_TRUE(rt::functions().call("POB_AR", {rt::Value::integer(-1)}).isNil());
  EXPECT_TRUE(rt::functions().call("POB_AR", {rt::Value::integer(23)}).isNum());
  EXPECT_EQ(call("ALIAS").str(), "MAIN");
}

}  // namespace

namespace {

using namespace rt::term;

TEST_F(DemoCompany, TheEmployeeChooserLeavesMainOnTheChosenEmployee) {
  Headless h;
  ASSERT_TRUE(suite::openSet("MAIN", "S"));
  h.keys({K_DOWN, K_DOWN, K_ENTER});
  EXPECT_EQ(rt::functions().call("WYB_PRAC", {txt(""), rt::Value::integer(12)}).str(), "    3");
  call("DBSELECTAREA", {txt("main")});
  EXPECT_EQ(suite::field("nr_prac").str(), "    3");
  h.keys({K_ESC});
  EXPECT_EQ(rt::functions().call("WYB_PRAC", {txt(""), rt::Value::integer(12)}).str(), "");
}

// The register's employee choice opens on the employee chosen last and shows the extra fields it
// is given after the name.
TEST_F(DemoCompany, TheEmployeeChooserOpensOnTheStartNumberWithTheExtraColumns) {
  Headless h;
  ASSERT_TRUE(suite::openSet("MAIN", "S"));
  std::string shown;
  // A hot key looks at the list while it waits.
  keyboard().setKey(K_F10, HotKey{[&](const WaitState&) { shown = h.textUtf8(); }, {}});
  h.keys({K_DOWN, K_F10, K_ENTER});
  const rt::Value chosen = rt::functions().call(
      "WYB_PRAC", {txt("    5"), rt::Value::integer(-1), rt::Value::integer(-1), txt("DATA_ZATR")});
  EXPECT_EQ(chosen.str(), "    6");
  call("DBSELECTAREA", {txt("main")});
  EXPECT_NE(shown.find(call("DTOC", {suite::field("data_zatr")}).str()), std::string::npos) << shown;
  keyboard().setKey(K_F10, std::nullopt);
}

TEST_F(DemoCompany, TheRangeDialogAndTheEmployeeLoop) {
  Headless h;
  ASSERT_TRUE(suite::openSet("MAIN", "S"));
  rt::Value range = rt::Value::integer(1), tab = txt(""), index = rt::Value::logical(false);
  auto zakres = [&] {
    rt::Args a;
    a.push(range, &range);
    a.push(tab, &tab);
    a.push(rt::Value::integer(8));
    a.push(index, &index);
    rt::functions().call("ZAKRES", a);
  };
  h.keys({K_ESC});
  zakres();
  EXPECT_EQ(range.num(), 0);
  h.keys({K_DOWN, K_DOWN, K_ENTER, K_DOWN, K_DOWN, K_DOWN, K_DOWN, K_ENTER});
  zakres();
  EXPECT_EQ(range.num(), 3);
  EXPECT_EQ(tab.str(), "    5");

  struct Counter : rt::Block {
    int* n;
    explicit Counter(int* c) : n(c) {}
    rt::Value eval(std::vector<rt::Value>&) override {
      ++*n;
      return rt::Value();
    }
  };
  int visited = 0, closings = 0;
  rt::functions().call("GEN_PLACE", {txt("zus"), rt::Value::integer(4), rt::Value::integer(24),
                                     rt::Value::block(std::make_shared<Counter>(&visited)),
                                     rt::Value::block(std::make_shared<Counter>(&closings))});
  EXPECT_GT(visited, 40);
  EXPECT_LT(visited, 50);  // the dismissed are not in the selection
  EXPECT_EQ(closings, 1);
}

TEST_F(DemoCompany, MonthsAreChosenBackFromThePayrollMonth) {
  Headless h;
  rt::Value first = rt::Value::integer(0), last = rt::Value::integer(0);
  rt::Args a;
  a.push(rt::Value::integer(6));
  a.push(rt::Value::integer(30));
  a.push(first, &first);
  a.push(last, &last);
  h.keys({K_DOWN, K_DOWN, K_ENTER, K_UP, K_ENTER});
  EXPECT_TRUE(rt::functions().call("WYB_OKRESU", a).logical());
  EXPECT_EQ(first.num(), 2);
  EXPECT_EQ(last.num(), 1);

  // An end before the start is refused with a message, and the end is asked for again.
  std::vector<std::string> said;
  test_support::ScopedFunctions stand_kom3("KOM3", [&said](rt::Args& m) {
    said.push_back(m[0].strOr(""));
    return rt::Value();
  });
  h.keys({K_UP, K_ENTER, K_DOWN, K_ENTER, K_UP, K_ENTER});
  const bool chosen = rt::functions().call("WYB_OKRESU", a).logical();
  EXPECT_TRUE(chosen);
  EXPECT_EQ(first.num(), 1);
  EXPECT_EQ(last.num(), 0);
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], "Koniec okresu nie mox`e byc` wczes`niejszy nix` jego pocza`tek.");
}

}  // namespace

namespace {

TEST_F(DemoCompany, TheListingGeneratorPrintsEveryRecordTheCallbackKeeps) {
  Headless h;
  ASSERT_TRUE(suite::openSet("MAIN | NIEOBEC", "SS"));
  struct SkipEmployee7 : rt::Block {
    rt::Value eval(std::vector<rt::Value>&) override {
      return suite::field("nr_prac").str() == "    7" ? txt("T") : rt::Value::logical(false);
    }
  };
  struct Order : rt::Block {
    rt::Value eval(std::vector<rt::Value>&) override { return rt::Value::integer(3); }
  };
  auto list = [](std::initializer_list<rt::Value> items) {
    rt::Value a = rt::Value::newArray(0);
    for (const rt::Value& v : items) a.arr().push_back(v);
    return a;
  };
  std::vector<rt::Value> args(17);
  args[0] = rt::Value::integer(8);
  args[6] = txt("Zestawienie zasil`ko`w ZUS");
  args[7] = list({rt::Value::block(std::make_shared<Order>())});
  args[8] = list({txt("Wg daty wypl`aty")});
  args[9] = list({txt("nieobec->nr_prac"), txt("nieobec->zasilek"), txt("nieobec->l_dni")});
  args[10] = list({txt("Numer"), txt("Rodzaj"), txt("Dni")});
  args[14] = rt::Value::block(std::make_shared<SkipEmployee7>());
  call("DBSELECTAREA", {txt("nieobec")});
  h.keys({K_ENTER, K_DOWN, K_ENTER, K_ENTER});  // the last one reads the message naming the file
  rt::functions().call("GENERUJ", args);
  std::ifstream f(dir / "WYDRUKI" / "wydruk.txt");
  std::vector<std::string> lines;
  for (std::string l; std::getline(f, l);) lines.push_back(l);
  ASSERT_EQ(lines.size(), 4u + 8u);  // title, blank, headings, rule, eight of the nine benefits
  EXPECT_NE(lines[0].find("Zestawienie"), std::string::npos);
  for (size_t i = 4; i < lines.size(); ++i) EXPECT_EQ(lines[i].find("    7"), std::string::npos);
  EXPECT_EQ(call("ALIAS").str(), "NIEOBEC");
}

}  // namespace
