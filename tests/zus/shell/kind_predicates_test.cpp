// Kind predicates: each benefit slot against each family, with exact comparison.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "zus/shell/kind_predicates.h"

namespace {

// Slot n linked to "Z" + two digits of n.
rt::Array linkEverySlot() {
  rt::Array zasZus;
  for (int n = 1; n <= 33; ++n) {
    char code[4];
    std::snprintf(code, sizeof code, "Z%02d", n);
    zasZus.push_back(rt::Value::text(code));
  }
  return zasZus;
}

std::string kindOf(int slot) {
  char code[4];
  std::snprintf(code, sizeof code, "Z%02d", slot);
  return code;
}

TEST(KindPredicates, EachSlotBelongsToTheFamiliesOfItsBenefit) {
  using F = zus::KindFamily;
  const std::map<F, std::set<int>> members{
      {F::CHOROBOWY, {1, 10, 14, 15, 16, 20, 21, 22, 23, 24, 25, 26, 27}},
      {F::CHOR_ALL, {1, 10, 14, 15, 16, 17, 20, 21, 22, 23, 24, 25, 26, 27}},
      {F::CH_ZUS, {1, 15, 16, 17, 20, 21, 22, 23, 27}},
      {F::CH_ZK, {10, 14, 24, 25, 26}},
      {F::OPIEK, {2, 18}},
      {F::MAC, {3, 4, 8, 9, 19}},
      {F::UM_DOD, {17, 18, 19, 20}},
      {F::SZPIT, {15}},
      {F::REHAB, {7, 28}},
      {F::STALY, {6, 11, 12, 13, 29, 30, 31, 32, 33}},
      {F::OBLI, {1, 2, 3, 4, 7, 8, 9, 10, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,
                 27, 28, 33}},
      {F::ZAS_ZUS, {1, 2, 3, 4, 7, 8, 9, 15, 16, 17, 18, 19, 20, 21, 22, 23, 27, 28}},
  };
  rt::Array zasZus = linkEverySlot();
  for (const auto& p : zus::kindPredicates()) {
    for (int slot = 1; slot <= 33; ++slot) {
      SCOPED_TRACE(std::string(p.name) + " slot " + std::to_string(slot));
      EXPECT_EQ(zus::kindIs(p.family, kindOf(slot), zasZus), members.at(p.family).count(slot) == 1);
    }
  }
}

TEST(KindPredicates, ComparisonIsExactAndEmptyLinksNeverMatchARecordKind) {
  rt::Array zasZus(33, rt::Value::text(""));
  zasZus[0] = rt::Value::text("Z01");
  zasZus[1] = rt::Value();  // no value yet
  using F = zus::KindFamily;
  EXPECT_TRUE(zus::kindIs(F::CHOROBOWY, "Z01", zasZus));
  EXPECT_FALSE(zus::kindIs(F::CHOROBOWY, "z01", zasZus));
  EXPECT_FALSE(zus::kindIs(F::CHOROBOWY, "Z01 ", zasZus));
  EXPECT_FALSE(zus::kindIs(F::CHOROBOWY, "Z0", zasZus));
  EXPECT_FALSE(zus::kindIs(F::OPIEK, "   ", zasZus));
  EXPECT_FALSE(zus::kindIs(F::OPIEK, "Z02", zasZus));
  // Only the empty text itself equals an empty link.
  EXPECT_TRUE(zus::kindIs(F::MAC, "", zasZus));
}

TEST(KindPredicates, TwoSlotsSharingOneCodeAnswerForBoth) {
  rt::Array zasZus(33, rt::Value::text(""));
  zasZus[16] = rt::Value::text("Z17");  // slot 17: sickness from an additional contract
  zasZus[5] = rt::Value::text("Z17");   // slot 6: compensatory benefit, same dictionary key
  using F = zus::KindFamily;
  EXPECT_TRUE(zus::kindIs(F::STALY, "Z17", zasZus));
  EXPECT_TRUE(zus::kindIs(F::UM_DOD, "Z17", zasZus));
  EXPECT_FALSE(zus::kindIs(F::CHOROBOWY, "Z17", zasZus));
}

TEST(KindPredicates, AShortLinkArrayIsReadOnlyAsFarAsItGoes) {
  rt::Array zasZus{rt::Value::text("Z01")};
  EXPECT_TRUE(zus::kindIs(zus::KindFamily::CH_ZUS, "Z01", zasZus));
  EXPECT_FALSE(zus::kindIs(zus::KindFamily::STALY, "Z01", zasZus));
}

}  // namespace
