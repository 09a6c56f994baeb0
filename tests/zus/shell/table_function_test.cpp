// The table function: attached and detached on a company, and evaluated inside and outside its
// tables, where a missing value comes with its message and never breaks the caller.
#include "tests/zus/shell/settings_fixture.h"

#include <cmath>
#include <optional>

#include "suite/company/memory_store.h"
#include "zus/shell/table_function.h"

namespace settings_test {
namespace {

using TableFunction = SettingsCompany;

rt::Value numbers(std::initializer_list<double> values) {
  rt::Value a = rt::Value::newArray(0);
  for (double v : values) a.arr().push_back(rt::Value::number(v, 2));
  return a;
}

// Tables of a function whose code ends in "7": starts 0, 3, 8, end 40.
void stepTables() {
  rt::Memvars& v = rt::context().memvars;
  v.declarePrivate("ft_il_p7", rt::Value::integer(3));
  v.declarePrivate("ft_pocz_7", numbers({0, 3, 8, 40}));
  v.declarePrivate("ft_st1_7", numbers({75, 80, 100}));
  v.declarePrivate("ft_st2_7", numbers({0, 0, 0}));
}

std::string storedCode() {
  rt::PrivateFrame frame(rt::context().memvars);
  suite::restoreMemory("zus_kod.mem");
  return rt::context().memvars.get("_kod_fun").strOr("<none>");
}

TEST_F(TableFunction, ValuesInsideTheRangeFollowTheIntervals) {
  rt::PrivateFrame frame(rt::context().memvars);
  stepTables();
  struct Case {
    double argument;
    double value;
  };
  for (Case c : {Case{0, 75}, Case{2.99, 75}, Case{3, 80}, Case{7.5, 80}, Case{8, 100}, Case{40, 100}}) {
    std::optional<double> v = zus::evaluateTableFunction("FUN7", c.argument);
    ASSERT_TRUE(v.has_value()) << c.argument;
    EXPECT_DOUBLE_EQ(*v, c.value) << c.argument;
  }
  EXPECT_TRUE(messages.empty());
  // Two codes ending in the same character share their tables.
  EXPECT_EQ(zus::evaluateTableFunction("X7", 3), std::optional<double>(80));
}

TEST_F(TableFunction, ASlopeGrowsTheValueInsideItsInterval) {
  rt::PrivateFrame frame(rt::context().memvars);
  rt::Memvars& v = rt::context().memvars;
  v.declarePrivate("ft_il_pA", rt::Value::integer(1));
  v.declarePrivate("ft_pocz_A", numbers({0, 10}));
  v.declarePrivate("ft_st1_A", numbers({10}));
  v.declarePrivate("ft_st2_A", numbers({2}));
  EXPECT_DOUBLE_EQ(*zus::evaluateTableFunction("A", 1.5), 13);
  EXPECT_DOUBLE_EQ(rt::evalText("_OBLICZ_FT('A', 1.5)").num(), 13);
}

TEST_F(TableFunction, NoValueComesWithItsMessageAndZeroByName) {
  rt::PrivateFrame frame(rt::context().memvars);
  stepTables();
  rt::Memvars& v = rt::context().memvars;
  v.declarePrivate("ft_il_p0", rt::Value::integer(0));
  // Tables shorter than their count of intervals.
  v.declarePrivate("ft_il_p5", rt::Value::integer(4));
  v.declarePrivate("ft_pocz_5", numbers({0, 1}));
  v.declarePrivate("ft_st1_5", numbers({1}));
  v.declarePrivate("ft_st2_5", numbers({0}));
  struct Case {
    const char* code;
    double argument;
    const char* message;
  };
  for (Case c : {Case{"FUN7", 40.01, "Argument funkcji tablicowej poza zakresem !"},
                 Case{"FUN7", -0.5, "Argument funkcji tablicowej poza zakresem !"},
                 Case{"F000", 1, "Pusta tablica funkcji tablicowej !"},
                 Case{"F009", 1, "Nierozpoznana funkcja !"},
                 Case{"", 1, "Nierozpoznana funkcja !"},
                 Case{"F005", 0.5, "Nierozpoznana funkcja !"}}) {
    messages.clear();
    EXPECT_FALSE(zus::evaluateTableFunction(c.code, c.argument).has_value()) << c.code;
    ASSERT_EQ(messages.size(), 1u) << c.code;
    EXPECT_EQ(messages[0], c.message) << c.code;
    messages.clear();
    rt::Value byName = rt::functions().call("_OBLICZ_FT", {rt::Value::text(c.code), rt::Value::number(c.argument, 2)});
    EXPECT_TRUE(byName.isNum() && byName.num() == 0) << c.code;
  }
}

TEST_F(TableFunction, AttachedEvaluatedAndDetached) {
  start([&] {
    // "Tak", the chooser's only function.
    entry("WSKAZ_FUN", {}, {'T', K_ENTER});
    EXPECT_EQ(storedCode(), "F001");
    // The register's way: the payroll library sets up the tables, the attached code evaluates.
    rt::functions().call("INIT_FUN_TABL");
    rt::Value inside = rt::functions().call("_OBLICZ_FT", {rt::Value::text(storedCode()), rt::Value::integer(6)});
    EXPECT_GT(inside.num(), 0);
    messages.clear();
    rt::Value outside = rt::functions().call("_OBLICZ_FT", {rt::Value::text(storedCode()), rt::Value::integer(-1)});
    EXPECT_EQ(outside.num(), 0);
    EXPECT_TRUE(said("Argument funkcji tablicowej poza zakresem !"));
    // Detaching asks with the function's name and stores an empty code.
    entry("ODLACZ_FUN", {}, {'T'});
    EXPECT_EQ(storedCode(), "");
    messages.clear();
    entry("ODLACZ_FUN", {}, {});
    EXPECT_TRUE(said("Nie wskazano funkcji tablicowej - odl`a`czenie nie nasta`pi !"));
  });
}

TEST_F(TableFunction, NothingChosenLeavesTheAttachmentAlone) {
  start([&] {
    entry("WSKAZ_FUN", {}, {'T', K_ENTER});
    entry("WSKAZ_FUN", {}, {'T', K_ESC});
    EXPECT_EQ(storedCode(), "F001");
    entry("WSKAZ_FUN", {}, {'N'});
    EXPECT_EQ(storedCode(), "F001");
  });
}

}  // namespace
}  // namespace settings_test
