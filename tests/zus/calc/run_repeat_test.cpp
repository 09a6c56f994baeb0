// A calculation repeated over every employee with the real basis from the archive: on an
// unchanged archive it stores the same amounts and saved basis texts, and a saved basis whose
// text is unchanged is not written again.
#include <chrono>
#include <cstdio>

#include "tests/zus/calc/run_fixture.h"

namespace calcrun_test {
namespace {

const char* kRepeat = "Czy powto`rzyc` obliczenia dla zasil`ko`w obliczonych poprawnie ?";

// A field of every record as text: numbers with their two decimals, texts as they are.
std::vector<std::string> texts(const std::vector<rt::Value>& values) {
  std::vector<std::string> out;
  for (const rt::Value& v : values) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.2f", v.numOr(0));
    out.push_back(v.isNum() ? buf : v.strOr(""));
  }
  return out;
}

TEST_F(RunCompany, RepeatOnAnUnchangedArchiveStoresTheSameAndLeavesTheSavedBases) {
  zus::registerBasisFunctions();  // the real basis instead of the fixture's stand-in
  answers[kRepeat] = 1;
  const std::vector<std::string> stored{"status", "wartosc", "netto", "podst_zas", "suma",
                                        "druk_podst", "fakt_mies", "zapis_pod"};
  std::vector<std::vector<std::string>> first, second;
  fs::path memoFile;
  fs::file_time_type before;
  start([&] {
    register_({{3, {}},
               {7, {{"zasilek", txt(kind(1))}, {"l_dni", num(4)}}},
               {13, {{"od", inMonth(1)}, {"do", inMonth(30)}, {"l_dni", num(30)}, {"podat", num(12)}}}});
    calculate();
    for (const std::string& name : stored) first.push_back(texts(column(name)));
    memoFile = suite::tablePath(*suite::findTable("NIEOBEC")) + ".fpt";
    before = fs::last_write_time(memoFile) - std::chrono::hours(1);
    fs::last_write_time(memoFile, before);
    calculate();
    for (const std::string& name : stored) second.push_back(texts(column(name)));
  });
  ASSERT_EQ(first.size(), stored.size());
  EXPECT_EQ(first[0], (std::vector<std::string>{"4.00", "4.00", "4.00"}));
  for (const std::string& text : first.back()) EXPECT_NE(text, "") << "each record has its saved basis";
  for (size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(second[i], first[i]) << stored[i];
  EXPECT_EQ(fs::last_write_time(memoFile), before) << "no saved basis was written again";
}

}  // namespace
}  // namespace calcrun_test
