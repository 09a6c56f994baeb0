// Table and screen wrappers, called by name as update scripts call them.
#include "console/table_wrappers.h"

#include "runtime/core/expr.h"
#include "runtime/core/std_functions.h"
#include "runtime/db/table_functions.h"
#include "runtime/db/work_areas.h"
#include "screen_fixture.h"
#include "temp_dir.h"

namespace {

using contest::ScreenTest;
using contest::TempDir;
using rt::Value;

Value arr(std::vector<Value> v) {
  Value a = Value::newArray(0);
  a.arr() = std::move(v);
  return a;
}
Value text(const std::string& s) { return Value::text(s); }
Value num(double n) { return Value::number(n); }

class TableWrappers : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    rt::registerStandardFunctions();
    rt::db::registerTableFunctions();
    con::registerConsoleFunctions();
    rt::db::workAreas();
    create("osoby", {{"NAZWISKO", "C", 10}, {"PENSJA", "N", 8, 2}, {"UWAGI", "M", 10}});
    create("kopia", {{"NAZWISKO", "C", 10}, {"PENSJA", "C", 8}, {"INNE", "L", 1}});
  }
  void TearDown() override {
    rt::db::workAreas().closeAll();
    ScreenTest::TearDown();
  }
  struct Field {
    const char* name;
    const char* type;
    int len, dec = 0;
  };
  void create(const std::string& name, std::vector<Field> fields) {
    Value st = Value::newArray(0);
    for (const auto& f : fields)
      st.arr().push_back(arr({text(f.name), text(f.type), num(f.len), num(f.dec)}));
    call("DBCREATE", {text(dir.file(name)), st});
  }
  Value call(const char* name, std::vector<Value> args = {}) {
    return rt::functions().call(name, std::move(args));
  }
  void addRow(const std::string& name, double pay) {
    call("DBAPPEND");
    call("FIELDPUT", {num(1), text(name)});
    call("FIELDPUT", {num(2), Value::number(pay, 2)});
  }
  TempDir dir;
};

TEST_F(TableWrappers, OpenLocateAndClose) {
  EXPECT_TRUE(call("DBOPEN", {text(dir.file("osoby")), text("OS")}).logical());
  addRow("Nowak", 100);
  addRow("Kowal", 200);
  addRow("Nowak", 300);
  EXPECT_TRUE(call("DBOPEN", {text(dir.file("kopia")), text("KO")}).logical());
  ASSERT_EQ(call("ALIAS").str(), "KO");

  for (int twice = 0; twice < 2; ++twice) {
    EXPECT_TRUE(call("DBLOCATE", {text("OS"), text("NAZWISKO = 'Nowak'")}).logical());
    EXPECT_EQ(rt::evalText("OS->(RECNO())").num(), 1);  // every locate starts from the top
    EXPECT_EQ(call("ALIAS").str(), "KO");
  }
  EXPECT_FALSE(call("DBLOCATE", {text("OS"), text("PENSJA > 1000")}).logical());
  EXPECT_TRUE(rt::evalText("OS->(EOF())").logical());
  EXPECT_EQ(call("ALIAS").str(), "KO");

  call("DBCLOSE", {text("OS")});
  EXPECT_EQ(call("SELECT", {text("OS")}).num(), 0);
  EXPECT_EQ(call("ALIAS").str(), "KO");
}

TEST_F(TableWrappers, FieldsFiltersAndIndexes) {
  call("DBOPEN", {text(dir.file("osoby")), text("OS")});
  addRow("Nowak", 100);
  addRow("Abacki", 200);
  call("_DB_REPL", {Value::number(250, 2), text("pensja")});
  EXPECT_EQ(call("FIELDGET", {num(2)}).num(), 250);

  call("SETFILTER", {text("PENSJA > 150")});
  call("DBGOTOP");
  EXPECT_EQ(call("RECNO").num(), 2);
  call("SETFILTER", {text("")});
  call("DBGOTOP");
  EXPECT_EQ(call("RECNO").num(), 1);
  call("SETFILTER", {text("PENSJA > 150")});
  call("SETFILTER");
  call("DBGOTOP");
  EXPECT_EQ(call("RECNO").num(), 1);

  EXPECT_TRUE(call("DBINDEX", {text(dir.file("os_naz")), text("NAZWISKO")}).logical());
  call("_SET_ORDER", {num(1)});
  call("DBGOTOP");
  EXPECT_EQ(call("FIELDGET", {num(1)}).str(), "Abacki    ");
  EXPECT_TRUE(call("CLOSE_IND").logical());
  call("_SET_INDEX", {text(dir.file("os_naz"))});
  call("_SET_ORDER", {num(1)});
  call("DBGOTOP");
  EXPECT_EQ(call("FIELDGET", {num(1)}).str(), "Abacki    ");
}

TEST_F(TableWrappers, RecordCopiesMatchFieldsByNameAndType) {
  call("DBOPEN", {text(dir.file("osoby")), text("OS")});
  addRow("Nowak", 100);
  Value copy = call("READ_REKORD");
  ASSERT_EQ(copy.arr().size(), 3u);
  EXPECT_EQ(copy.arr()[0].arr()[0].str(), "NAZWISKO");
  EXPECT_EQ(copy.arr()[1].arr()[1].num(), 100);

  call("DBOPEN", {text(dir.file("kopia")), text("KO")});
  call("DBAPPEND");
  EXPECT_TRUE(call("WRITE_REKORD", {copy}).logical());
  EXPECT_EQ(call("FIELDGET", {num(1)}).str(), "Nowak     ");
  EXPECT_EQ(call("FIELDGET", {num(2)}).str(), "        ");  // a number for a text field: skipped

  call("DBSELECTAREA", {text("OS")});
  call("WRITE_REKORD", {arr({arr({text("UWAGI"), text("notatka")}),
                             arr({text("BRAK"), text("x")}), arr({text("PENSJA"), text("9")})})});
  EXPECT_EQ(call("FIELDGET", {num(3)}).str(), "notatka");
  EXPECT_EQ(call("FIELDGET", {num(2)}).num(), 100);
}

TEST_F(TableWrappers, ArrayScanWithExpressionText) {
  Value a = arr({text("jeden"), text("dwa")});
  rt::context().memvars.declarePrivate("tab_x", a);
  EXPECT_EQ(call("_ASCAN", {a, text("{|e| e == 'dwa'}")}).num(), 2);
  EXPECT_EQ(call("_ASCAN", {a, text("'dwa'")}).num(), 2);
  EXPECT_EQ(call("_ASCAN", {a, text("'trzy'")}).num(), 0);
  rt::context().memvars.release("tab_x");
}

TEST_F(TableWrappers, ScreenOutput) {
  palette();
  call("_SAY", {num(3), num(5), text("Aktualizacja")});
  EXPECT_EQ(h.textAt(3, 5, 12), "Aktualizacja");
  EXPECT_EQ(rt::term::screen().col(), 17);
  call("_PRINT", {text("linia")});
  EXPECT_EQ(h.textAt(4, 0, 5), "linia");
  call("_CLR_SCR");
  EXPECT_EQ(h.text().find_first_not_of("\n "), std::string::npos);
  EXPECT_EQ(rt::term::screen().row(), 0);
  rt::term::screen().setCursor(24, 0);
  call("_PRINT", {text("dol")});
  EXPECT_EQ(h.textAt(24, 0, 3), "dol");
}

TEST_F(TableWrappers, DirectoryTest) {
  EXPECT_TRUE(call("N_ISDIR", {text(dir.path())}).logical());
  EXPECT_TRUE(call("N_ISDIR", {text(dir.path() + "\\")}).logical());
  EXPECT_FALSE(call("N_ISDIR", {text(dir.file("nie_ma"))}).logical());
}

}  // namespace
