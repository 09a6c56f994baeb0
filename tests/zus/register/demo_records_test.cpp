// The demo company's benefit records as a first-time user meets them: every letter code is one
// the form accepts for the record's right date, and every employee's day counters in MAIN hold
// exactly what his records contribute, so that walking a record through the form or deleting it
// gives consistent numbers.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "runtime/db/dbf_table.h"
#include "tests/zus/company_fixture.h"
#include "tests/zus/register/rules_test_env.h"
#include "zus/register/rules_fields.h"

namespace {

namespace fs = std::filesystem;

class DemoRecords : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    company_test::buildDemoOnce(pristine, "zus_demo_records", [] { company_test::registerLayers(); });
  }
  static inline fs::path pristine;
};

rt::Value fieldOf(rt::db::DbfTable& t, const char* name) {
  int i = t.fieldIndex(name);
  return i < 0 ? rt::Value() : t.get(size_t(i));
}

TEST_F(DemoRecords, LetterCodesAreAcceptedAndCountersHoldWhatTheRecordsContribute) {
  const zus::RuleContext base = rules_test::context();  // kinds "Z01".."Z33" linked to their slots
  auto records = rt::db::DbfTable::open((pristine / "NIEOBEC.dbf").string(), {true, true});
  std::map<std::string, zus::CounterDays> expected;
  int seen = 0;
  for (uint32_t n = 1; n <= records->recCount(); ++n) {
    records->goTo(n);
    if (records->deleted()) continue;
    ++seen;
    zus::RuleContext c = base;
    c.form.nr_stat = fieldOf(*records, "nr_stat").strOr("");
    c.form.data_prawa = fieldOf(*records, "data_prawa").date();
    EXPECT_TRUE(zus::letterCodeRule(c)) << "record " << n << " '" << c.form.nr_stat << "'";
    zus::CountedShare share{fieldOf(*records, "zasilek").strOr(""),
                            !fieldOf(*records, "o_zlicz").logicalOr(false),
                            int(fieldOf(*records, "l_dni").numOr(0)),
                            fieldOf(*records, "czy_dz").logicalOr(false) ? "T" : "N"};
    zus::CounterDays held = zus::counterDaysOf(base.program, share);
    zus::CounterDays& sum = expected[fieldOf(*records, "nr_prac").strOr("")];
    sum.sickness += held.sickness;
    sum.care += held.care;
    sum.family += held.family;
  }
  EXPECT_GT(seen, 0);

  auto employees = rt::db::DbfTable::open((pristine / "MAIN.dbf").string(), {true, true});
  for (uint32_t n = 1; n <= employees->recCount(); ++n) {
    employees->goTo(n);
    const std::string nr = fieldOf(*employees, "nr_prac").strOr("");
    const zus::CounterDays want = expected[nr];
    EXPECT_EQ(fieldOf(*employees, "dni_ch").numOr(-1), want.sickness) << "employee " << nr;
    EXPECT_EQ(fieldOf(*employees, "dni_op").numOr(-1), want.care) << "employee " << nr;
    EXPECT_EQ(fieldOf(*employees, "dni_rdz").numOr(-1), want.family) << "employee " << nr;
  }
}

}  // namespace
