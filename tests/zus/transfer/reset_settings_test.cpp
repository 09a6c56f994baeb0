// The RESET settings: defaults, repair of saved values, and the parameter window that edits and
// saves them.
#include <fstream>
#include <sstream>

#include "tests/zus/transfer/reset_fixture.h"

#include "tests/support/scoped_functions.h"

namespace reset_test {
namespace {

using namespace rt::term;

std::string fileBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ResetSettings : public ResetCompany {
 protected:
  fs::path file() const { return dir / zus::resetSettingsFile(); }
  bool runParam(std::vector<int> keys) {
    h.keys(keys);
    bool r = call("RS_PARAM").logicalOr(false);
    EXPECT_EQ(h.keysLeft(), 0u);
    return r;
  }
};

TEST_F(ResetSettings, DefaultsWithoutAFileAndRepairOfWrongTypes) {
  fs::remove(file());
  EXPECT_EQ(savedSetting("rs_kat_wzr").str(), "");
  EXPECT_EQ(savedSetting("rs_rodz_pr").str(), "");
  EXPECT_EQ(savedSetting("rs_naz_gr").num(), 1);
  EXPECT_EQ(savedSetting("rs_nr_ind").num(), 0);
  EXPECT_FALSE(fs::exists(file()));

  // A file with an order number kept as text, a list as a number and no group-name form.
  rt::Memvars& v = rt::context().memvars;
  v.declarePublic("rs_kat_wzr", text("C:\\RESET\\"));
  v.declarePublic("rs_rodz_nb", num(5));
  v.declarePublic("rs_nr_ind", text("3"));
  zus::saveResetSettings();
  for (const char* n : {"rs_kat_wzr", "rs_rodz_nb", "rs_nr_ind"}) v.release(n);
  EXPECT_EQ(savedSetting("rs_kat_wzr").str(), "C:\\RESET\\");
  EXPECT_EQ(savedSetting("rs_rodz_nb").str(), "");
  EXPECT_EQ(savedSetting("rs_naz_gr").num(), 1);
  EXPECT_EQ(savedSetting("rs_nr_ind").num(), 0);
  EXPECT_EQ(v.typeOf("rs_nr_ind"), "U");  // released after each entry
}

TEST_F(ResetSettings, DamagedFileIsReportedAndLeavesTheDefaults) {
  std::ofstream(file(), std::ios::binary | std::ios::trunc) << "not a memory file";
  EXPECT_EQ(savedSetting("rs_naz_gr").num(), 1);
  EXPECT_EQ(savedSetting("rs_rodz_nb").str(), "");
  EXPECT_TRUE(said("rs_param"));
}

TEST_F(ResetSettings, WindowEditsAndSavesTheFourSettings) {
  std::vector<int> keys;
  for (char c : std::string("WZR")) keys.push_back(c);
  keys.push_back(K_ENTER);
  for (char c : std::string("  EXP\\")) keys.push_back(c);
  keys.insert(keys.end(), {K_ENTER, ' ', K_ENTER, '4', K_CTRL_W});
  EXPECT_TRUE(runParam(keys));
  EXPECT_EQ(savedSetting("rs_kat_wzr").str(), "WZR\\");
  EXPECT_EQ(savedSetting("rs_kat_exp").str(), "EXP\\");  // leading blanks dropped, "\" kept once
  EXPECT_EQ(savedSetting("rs_naz_gr").num(), 2);
  EXPECT_EQ(savedSetting("rs_nr_ind").num(), 4);
  // The mapping lists pass through untouched.
  EXPECT_EQ(savedSetting("rs_rodz_nb").str(), "Z01,,,,31////Z10,,,,33");
  EXPECT_EQ(savedSetting("rs_rodz_pr").str(), "Z01,,,,6 ");
}

TEST_F(ResetSettings, FirstRunAndAnOutOfRangeGroupForm) {
  fs::remove(file());
  EXPECT_TRUE(runParam({K_CTRL_W}));
  EXPECT_TRUE(fs::exists(file()));
  EXPECT_EQ(savedSetting("rs_kat_wzr").str(), "");  // an empty directory gets no "\"
  EXPECT_EQ(savedSetting("rs_kat_exp").str(), "");
  EXPECT_EQ(savedSetting("rs_rodz_nb").str(), "");
  EXPECT_EQ(savedSetting("rs_naz_gr").num(), 1);

  saveSettings("WZR\\", "", "", "", 3, 7);
  h.keys({K_CTRL_W});
  EXPECT_TRUE(call("RS_PARAM").logicalOr(false));
  EXPECT_EQ(savedSetting("rs_naz_gr").num(), 1);
  EXPECT_EQ(savedSetting("rs_nr_ind").num(), 7);
  EXPECT_EQ(savedSetting("rs_kat_wzr").str(), "WZR\\");
}

TEST_F(ResetSettings, EscLeavesTheFileAsItWas) {
  const std::string before = fileBytes(file());
  EXPECT_FALSE(runParam({'W', 'Z', 'R', K_ENTER, K_ESC}));
  EXPECT_EQ(fileBytes(file()), before);
  EXPECT_EQ(rt::context().memvars.typeOf("rs_kat_wzr"), "U");
}

TEST_F(ResetSettings, WindowShowsTheLabelsAndValues) {
  saveSettings("WZR\\", "EXP\\", "", "", 2, 4);
  h.keys({K_ESC});
  std::string screen;
  test_support::ScopedFunctions stand_statline("STATLINE", [&](rt::Args& a) {
    if (screen.empty()) screen = h.text();
    return rt::Value(a[0]);
  });
  call("RS_PARAM");
  EXPECT_NE(screen.find("Katalog z wzorcami baz dla programu Reset: WZR\\"), std::string::npos) << screen;
  EXPECT_NE(screen.find("Katalog z bazami dla programu Reset: EXP\\"), std::string::npos);
  EXPECT_NE(screen.find("Numer indeksu dla bazy MAIN.dbf:  4"), std::string::npos);
  EXPECT_NE(screen.find("Parametry eksportu do RESET"), std::string::npos);
}

}  // namespace
}  // namespace reset_test
