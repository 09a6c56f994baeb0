// The fixed slots of the link configuration and their labels.
//
// The program works with 33 benefit kinds, 33 day counts and 40 payroll values, each at a fixed
// slot number: the same number always means the same benefit, day count or value. The link binds
// each slot to the company's own codes: a key of the benefit dictionary (`zas_zus`) and a payroll
// item for the amount (`zas_place`) per benefit slot, a payroll item per days slot (`zas_dni`) and
// per data slot (`zas_dan`), plus the code of the benefit dictionary itself (`zas_slow`).
#pragma once

#include <array>

namespace zus {

inline constexpr int kBenefitSlots = 33;  // `rozm1`
inline constexpr int kDataSlots = 40;     // `rozm2`

// Labels as stored (backtick coding), index 0 = slot 1.
const std::array<const char*, kBenefitSlots>& benefitSlotLabels();
const std::array<const char*, kBenefitSlots>& daysSlotLabels();
const std::array<const char*, kDataSlots>& dataSlotLabels();

// A derived item code: a copy of one element of `zas_dan` or `zas_dni` under a name of its own.
struct DerivedCode {
  const char* name;
  bool fromDays;  // true: `zas_dni`, false: `zas_dan`
  int slot;       // 1-based
};

// The seventeen derived codes in the order they are copied.
inline constexpr int kDerivedCodes = 17;
const std::array<DerivedCode, kDerivedCodes>& derivedCodes();

// The order in which the derived codes are declared at start-up.
const std::array<const char*, kDerivedCodes>& derivedCodeDeclarationOrder();

}  // namespace zus
