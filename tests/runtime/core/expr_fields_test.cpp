// Expression text over fields: unqualified names, alias->field, alias->(expr), macros naming
// fields, assignment to fields and TYPE of fields, through a small in-memory resolver.
#include <map>

#include "runtime/core/core_functions.h"
#include "tests/runtime/core/core_test_support.h"

namespace rt {
namespace {

using testing::CoreTest;
using testing::evalShown;

// Work areas as maps of field values; "selected" names the current one.
class MapResolver : public FieldResolver {
 public:
  std::map<std::string, std::map<std::string, Value>> areas;
  std::string selected;

  bool readField(std::string_view name, Value& out) override {
    auto area = areas.find(selected);
    if (area == areas.end()) return false;
    auto f = area->second.find(std::string(name));
    if (f == area->second.end()) return false;
    out = f->second;
    return true;
  }
  bool writeField(std::string_view name, const Value& v) override {
    auto area = areas.find(selected);
    if (area == areas.end() || !area->second.count(std::string(name))) return false;
    area->second[std::string(name)] = v;
    return true;
  }
  std::map<std::string, Value>& area(std::string_view alias) {
    auto it = areas.find(std::string(alias));
    if (it == areas.end()) throw Error(ErrorKind::NoAlias, "Alias does not exist", std::string(alias));
    return it->second;
  }
  Value readAliasField(std::string_view alias, std::string_view field) override {
    auto& a = area(alias);
    auto f = a.find(std::string(field));
    if (f == a.end()) throw Error(ErrorKind::NoField, "Variable does not exist", std::string(field));
    return f->second;
  }
  void writeAliasField(std::string_view alias, std::string_view field, const Value& v) override {
    auto& a = area(alias);
    if (!a.count(std::string(field)))
      throw Error(ErrorKind::NoField, "Variable does not exist", std::string(field));
    a[std::string(field)] = v;
  }
  Value withAlias(std::string_view alias, const std::function<Value()>& body) override {
    area(alias);
    std::string previous = selected;
    selected = std::string(alias);
    struct Restore {
      std::string& sel;
      std::string prev;
      ~Restore() { sel = prev; }
    } restore{selected, previous};
    return body();
  }
};

class ExprFieldsTest : public CoreTest {
 protected:
  ExprFieldsTest() : scope_(&fields_) {
    registerCoreFunctions();
    fields_.areas["NIEOBEC"] = {{"NR_PRAC", Value::text("   12")}, {"KOD", Value::text("A1")},
                                {"WART", Value::number(10.5, 2, 12)}};
    fields_.areas["MAIN_2"] = {{"NR_PRAC", Value::text("   12")}, {"DATA_UR", Value::date(2440000)}};
    fields_.selected = "NIEOBEC";
  }
  MapResolver fields_;
  FieldResolverScope scope_;
};

TEST_F(ExprFieldsTest, NamesAreFieldsFirstThenVariables) {
  vars().declarePrivate("kod", Value::text("variable"));
  vars().declarePrivate("only_var", Value::integer(1));
  EXPECT_EQ(evalShown("kod"), "\"A1\"");
  EXPECT_EQ(evalShown("M->kod"), "\"variable\"");
  EXPECT_EQ(evalShown("MEMVAR->kod"), "\"variable\"");
  EXPECT_EQ(evalShown("FIELD->kod"), "\"A1\"");
  EXPECT_EQ(evalShown("only_var"), "1");
  EXPECT_EQ(evalShown("FIELD->only_var"), "error Variable does not exist");
  EXPECT_EQ(evalShown("nr_prac + kod"), "\"   12A1\"");
}

TEST_F(ExprFieldsTest, AliasedFieldsAndExpressions) {
  vars().declarePrivate("zkdr_du", Value::text("data_ur"));
  vars().declarePrivate("al", Value::text("main_2"));
  EXPECT_EQ(evalShown("main_2->data_ur"), "D2440000");
  EXPECT_EQ(evalShown("Main_2 -> Nr_Prac == nieobec->nr_prac"), ".T.");
  EXPECT_EQ(evalShown("main_2->&zkdr_du"), "D2440000");
  EXPECT_EQ(evalShown("&al->nr_prac"), "\"   12\"");
  EXPECT_EQ(evalShown("main_2->(data_ur)"), "D2440000");
  EXPECT_EQ(evalShown("main_2->(kod)"), "error Variable does not exist");  // not a field there
  EXPECT_EQ(fields_.selected, "NIEOBEC");  // reselected after the error too
  EXPECT_EQ(evalShown("nosuch->x"), "error Alias does not exist");
  EXPECT_EQ(evalShown("main_2->nosuch"), "error Variable does not exist");
}

TEST_F(ExprFieldsTest, AssignmentGoesToFieldsWhenTheyExist) {
  EXPECT_EQ(evalShown("kod := 'B2'"), "\"B2\"");
  EXPECT_EQ(fields_.areas["NIEOBEC"]["KOD"].str(), "B2");
  EXPECT_EQ(evalShown("main_2->nr_prac := '    1'"), "\"    1\"");
  EXPECT_EQ(fields_.areas["MAIN_2"]["NR_PRAC"].str(), "    1");
  EXPECT_EQ(evalShown("wart += 1"), "11.50");
  EXPECT_EQ(evalShown("newvar := 1"), "1");
  EXPECT_TRUE(vars().exists("newvar"));
  EXPECT_EQ(evalShown("main_2->nosuch := 1"), "error Variable does not exist");
}

TEST_F(ExprFieldsTest, AssignToWritesWhatTheTextNames) {
  assignTo(compile("main_2->nr_prac"), Value::text("    7"));
  EXPECT_EQ(fields_.areas["MAIN_2"]["NR_PRAC"].str(), "    7");
  assignTo(compile("kod"), Value::text("C3"));
  EXPECT_EQ(fields_.areas["NIEOBEC"]["KOD"].str(), "C3");
  vars().declarePrivate("arr", Value::newArray(2));
  assignTo(compile("arr[2]"), Value::integer(5));
  EXPECT_EQ(vars().get("arr").arr()[1].num(), 5);
  EXPECT_THROW(assignTo(compile("1+1"), Value()), Error);
}

TEST_F(ExprFieldsTest, TypeOfFieldsAndAliases) {
  EXPECT_EQ(evalShown("TYPE('kod')"), "\"C\"");
  EXPECT_EQ(evalShown("TYPE('main_2->data_ur')"), "\"D\"");
  EXPECT_EQ(evalShown("TYPE('main_2->nosuch')"), "\"U\"");
  EXPECT_EQ(evalShown("TYPE('nosuch->kod')"), "\"U\"");
  EXPECT_EQ(evalShown("TYPE('wart * 2')"), "\"N\"");
}

TEST_F(ExprFieldsTest, CompiledTextFollowsTheSelectedArea) {
  Expr e = compile("nr_prac");
  EXPECT_EQ(testing::show(eval(e)), "\"   12\"");
  fields_.areas["NIEOBEC"]["NR_PRAC"] = Value::text("   99");
  EXPECT_EQ(testing::show(eval(e)), "\"   99\"");
  fields_.selected = "";
  EXPECT_THROW(eval(e), Error);  // no table selected and no such variable
}

}  // namespace
}  // namespace rt
