// PODST_OBL on the demo company, with the program state the benefit program sets up at start:
// the basis of a sickness benefit from twelve archived months, checked against its own saved
// record.
#include "tests/zus/shell/settings_fixture.h"

#include <cmath>

#include "runtime/core/rounding.h"
#include "runtime/core/std_dates.h"
#include "zus/calc/by_name.h"
#include "zus/calc/saved_basis_record.h"

namespace settings_test {
namespace {

using BasisOnDemo = SettingsCompany;

rt::Value call(const char* name, std::vector<rt::Value> args = {}) {
  return rt::functions().call(name, std::move(args));
}
rt::Value txt(const std::string& s) { return rt::Value::text(s); }

TEST_F(BasisOnDemo, SicknessBenefitFromTheArchive) {
  zus::registerBasisFunctions();
  bool ran = false;
  start([&] {
    ASSERT_TRUE(call("_OPEN_SET", {txt("MAIN | SLOWNIK | ARCHIW | NIEOBEC | MAIN_2"), txt("SSSSS")}).logical());
    // The set is closed on every way out, as the calculation run closes it.
    struct CloseSet {
      ~CloseSet() { call("_CLOSE_SET", {txt("MAIN")}); }
    } closeSet;
    rt::Memvars& v = rt::context().memvars;
    rt::PrivateFrame frame(v);
    int32_t payroll = v.get("lum_data").date();
    int y, m, d;
    rt::splitDate(payroll, y, m, d);
    v.declarePrivate("miesp", rt::Value::integer(0));
    v.declarePrivate("_miesp", rt::Value::date(payroll));
    v.declarePrivate("closed_dat", rt::Value::date(rt::makeDate(y, m, 1) - 1));
    v.declarePrivate("zakr", rt::Value::integer(1));
    v.declarePrivate("podstawa", rt::Value::integer(0));
    v.declarePrivate("min_pl_br", rt::Value::integer(0));
    v.declarePrivate("wymiar_et", rt::Value::integer(1));
    v.declarePrivate("pod_pom", txt(""));
    v.declarePrivate("skr_zas", txt("CHOR_ZUS  "));
    v.declarePrivate("tylko_stale", rt::Value::logical(false));
    v.declarePrivate("ten_arch_stat", rt::Value::integer(0));

    call("DBSELECTAREA", {txt("main")});
    call("DBSETORDER", {rt::Value::integer(1)});
    ASSERT_TRUE(call("DBSEEK", {txt("    3")}).logical());
    call("DBSELECTAREA", {txt("nieobec")});
    call("DBAPPEND");
    call("FIELDPUT", {call("FIELDPOS", {txt("nr_prac")}), txt("    3")});
    call("FIELDPUT", {call("FIELDPOS", {txt("od")}), rt::Value::date(rt::makeDate(y, m, 10))});
    call("FIELDPUT", {call("FIELDPOS", {txt("do")}), rt::Value::date(rt::makeDate(y, m, 14))});
    call("FIELDPUT", {call("FIELDPOS", {txt("zasilek")}), txt(rt::evalText("zas_zus[1]").str())});

    ASSERT_TRUE(call("PODST_OBL", {rt::evalText("pd_chor_z")}).logical());
    std::optional<zus::basis::BasisSet> b =
        zus::basis::parseSavedRecord(rt::evalText("nieobec->zapis_pod").strOr(""));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->count(), 12);
    // The daily basis is the counted months' sum over 30 days each, rounded.
    double sum = 0;
    int counted = 0;
    std::string used;
    for (int k = 0; k < b->count(); ++k)
      if (b->counts[size_t(k)]) {
        sum = rt::roundHalfAway(sum + b->filledUp[size_t(k)].value, 2);
        ++counted;
        char piece[8];
        std::snprintf(piece, sizeof piece, "%2d", int(b->months[size_t(k)]->value));
        used += piece;
      }
    ASSERT_GT(counted, 0);
    EXPECT_DOUBLE_EQ(b->daily.value, rt::roundHalfAway(sum / (30.0 * counted), 2));
    EXPECT_DOUBLE_EQ(rt::evalText("nieobec->druk_podst").num(), b->daily.value);
    EXPECT_DOUBLE_EQ(rt::evalText("nieobec->suma").num(), rt::roundHalfAway(sum / counted, 2));
    EXPECT_EQ(rt::evalText("RTRIM(nieobec->fakt_mies)").str(), used);
    // Month 1 is the month before the start; the working days came from the pseudo-employee.
    EXPECT_EQ(int(b->months[0]->value), m == 1 ? 12 : m - 1);
    EXPECT_GT(b->workingDays[0].value, 15);
    EXPECT_EQ(rt::evalText("ALIAS()").str(), "NIEOBEC");
    ran = true;
  });
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace settings_test
