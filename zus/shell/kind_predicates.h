// Benefit kind predicates: which family a benefit kind code belongs to.
//
// A kind is a key of the benefit dictionary. Each predicate compares it, for exact equality (same
// length, same bytes), with the dictionary keys linked to a fixed set of benefit slots in `zas_zus`.
// An unlinked slot holds "" (or no value before a link is loaded) and never equals a three-character
// kind read from a record. No predicate changes any state.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "runtime/core/value.h"

namespace zus {

enum class KindFamily {
  CHOROBOWY,  // sickness kinds counting towards the employer's sick-pay days
  CHOR_ALL,   // all sickness kinds
  CH_ZUS,     // sickness benefit paid by the social insurer
  CH_ZK,      // sick pay paid by the employer
  OBLI,       // kinds the program calculates
  OPIEK,      // care benefit
  MAC,        // maternity, parental and paternity kinds
  UM_DOD,     // benefits from an additional contract
  SZPIT,      // sickness benefit in hospital
  REHAB,      // rehabilitation benefit
  STALY,      // kinds entered as a constant value
  ZAS_ZUS,    // kinds paid by the social insurer
};

struct KindPredicate {
  KindFamily family;
  const char* name;  // the routine's name, callable by name
};
const std::array<KindPredicate, 12>& kindPredicates();

// The benefit slots of a family (1-based), in order of comparison; unions expanded.
std::vector<int> familySlots(KindFamily family);

// Whether `kind` equals the link of one of the family's slots in the given `zas_zus` array.
bool kindIs(KindFamily family, std::string_view kind, const rt::Array& zasZus);

// The same against the program's `zas_zus`; false while no link array exists.
bool kindIs(KindFamily family, std::string_view kind);

// Registers the twelve predicates (CZY_CHOROBOWY ... CZY_ZAS_ZUS) for calls by name.
void registerKindPredicates();

}  // namespace zus
