// The personnel items the benefit program reads from MAIN_2: which user-defined field holds the
// sickness-insurance start date (`zkdr_du`) and which the identity document number (`zkdr_do`).
//
// `Z_KADRAMI(co)` asks, then browses the eligible items of the personnel module's DANE_KD
// (`WYB_KDR`) with the key handler `KDR_OBSL`; Enter stores the item's field name and saves both
// names to "zus_kdr" in the company directory at once. Every run restores that file first, so a
// choice saved on another workstation is seen.
#pragma once

#include <string>

namespace zus {

inline constexpr const char* kPersonnelItemFile = "zus_kdr";

// `co` 1: the insurance start date item, 2: the identity document item; anything else offers
// nothing.
void Z_KADRAMI(int co);
// `O_TYPIE`: the type letter's name, left-aligned in 10 characters.
std::string O_TYPIE(const std::string& typ);

void registerPersonnelItemRoutines();

}  // namespace zus
