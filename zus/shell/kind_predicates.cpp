// The slot sets of the kind predicates and their exact comparison.
#include "zus/shell/kind_predicates.h"

namespace zus {

const std::array<KindPredicate, 12>& kindPredicates() {
  static const std::array<KindPredicate, 12> list{{
      {KindFamily::CHOROBOWY, "CZY_CHOROBOWY"},
      {KindFamily::CHOR_ALL, "CZY_CHOR_ALL"},
      {KindFamily::CH_ZUS, "CZY_CH_ZUS"},
      {KindFamily::CH_ZK, "CZY_CH_ZK"},
      {KindFamily::OBLI, "CZY_OBLI"},
      {KindFamily::OPIEK, "CZY_OPIEK"},
      {KindFamily::MAC, "CZY_MAC"},
      {KindFamily::UM_DOD, "CZY_UM_DOD"},
      {KindFamily::SZPIT, "CZY_SZPIT"},
      {KindFamily::REHAB, "CZY_REHAB"},
      {KindFamily::STALY, "CZY_STALY"},
      {KindFamily::ZAS_ZUS, "CZY_ZAS_ZUS"},
  }};
  return list;
}

std::vector<int> familySlots(KindFamily family) {
  auto join = [](std::initializer_list<std::vector<int>> parts) {
    std::vector<int> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  switch (family) {
    case KindFamily::CHOROBOWY: return {1, 10, 14, 15, 16, 21, 22, 23, 24, 25, 26, 27, 20};
    case KindFamily::CHOR_ALL: return {1, 10, 14, 15, 16, 17, 20, 21, 22, 23, 24, 25, 26, 27};
    case KindFamily::CH_ZUS: return {1, 15, 16, 17, 21, 22, 23, 27, 20};
    case KindFamily::CH_ZK: return {10, 14, 24, 25, 26};
    case KindFamily::OPIEK: return {2, 18};
    case KindFamily::MAC: return {3, 4, 8, 9, 19};
    case KindFamily::UM_DOD: return {17, 18, 19, 20};
    case KindFamily::SZPIT: return {15};
    case KindFamily::REHAB: return {7, 28};
    case KindFamily::STALY: return {6, 11, 12, 13, 29, 30, 31, 32, 33};
    case KindFamily::OBLI:
      return join({familySlots(KindFamily::CHOR_ALL), familySlots(KindFamily::REHAB), {2},
                   familySlots(KindFamily::MAC), {18, 33}});
    case KindFamily::ZAS_ZUS:
      return join({familySlots(KindFamily::CH_ZUS), familySlots(KindFamily::REHAB),
                   familySlots(KindFamily::MAC), familySlots(KindFamily::OPIEK)});
  }
  return {};
}

bool kindIs(KindFamily family, std::string_view kind, const rt::Array& zasZus) {
  for (int slot : familySlots(family)) {
    if (size_t(slot) > zasZus.size()) continue;
    const rt::Value& link = zasZus[size_t(slot - 1)];
    if (link.isChar() && link.str() == kind) return true;
  }
  return false;
}

}  // namespace zus
