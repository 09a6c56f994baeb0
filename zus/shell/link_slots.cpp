// Slot labels and the derived item codes of the link configuration.
#include "zus/shell/link_slots.h"

namespace zus {

const std::array<const char*, kBenefitSlots>& benefitSlotLabels() {
  static const std::array<const char*, kBenefitSlots> labels{
      "Zasil`ek chorobowy ZUS",
      "Zasil`ek opiekun`czy",
      "Urlop macierzyn`ki dodatkowy",
      "Urlop macierzyn`ski",
      "S`rednia podst. urlopu wych.",
      "Zasil`ek wyro`wnawczy",
      "S`wiadczenie rehabilit.",
      "Urlop rodzicielski",
      "Urlop ojcowski",
      "Wynagrodzenie za chorobe`",
      "Zasil`ek inny_0",
      "Zasil`ek inny_1",
      "Zasil`ek inny_2",
      "Wynagr. za chorobe` szpital.",
      "Zasil`ek chor. ZUS szpital",
      "Zasil`ek chor. ZUS pr.zwoln.",
      "Zasil`ek chor. ZUS z umowy dod.",
      "Zasil`ek opiekun`. z umowy dod.",
      "Zasil`ek macierz.  z umowy dod.",
      "Zasil`ek chor.ZUS wyp.z umowy dod.",
      "Zasil`ek chor. (ZUS) 1",
      "Zasil`ek chor. (ZUS) 2",
      "Zasil`ek chor. (ZUS) 3",
      "Wynagr.za chorobe` 1",
      "Wynagr.za chorobe` 2",
      "Wynagr.za chorobe` 3",
      "Zasil`ek chor. ZUS wypadek",
      "S`wiad. rehab. wypadek",
      "Zasil`ek inny_3",
      "Zasil`ek inny_4",
      "Zasil`ek inny_5",
      "Wyro`wnanie zasil`ku macierzyn`skiego",
      "Niepl`. z tyt. nienab. praw do zas.",
  };
  return labels;
}

const std::array<const char*, kBenefitSlots>& daysSlotLabels() {
  static const std::array<const char*, kBenefitSlots> labels{
      "Liczba dni chorobowego ZUS",
      "Liczba dni opiekun`czego",
      "Liczba dni dodat.macierzyn`s.",
      "Liczba dni macierzyn`skiego",
      "Liczba dni chor.ZUS zalegl`.",
      "Liczba dni opiek. zalegl`.",
      "Liczba dni macierzyn`. zalegl`.",
      "Liczba dni wyn.za chor.zalegl`.",
      "Liczba dni s`wiadcz.rehabil.",
      "Liczba dni wynagr. za chorobe`",
      "Liczba dni urlopu rodzicielskiego",
      "Liczba dni chor.ZUS wyp.z umowy dod.",
      "Liczba dni (inny_2)",
      "Liczba dni wyn.za chor. szpit.",
      "Liczba dni chor. ZUS szpital",
      "Liczba dni chor. ZUS pr.zwol.",
      "Liczba dni chor. ZUS z umowy dod.",
      "Liczba dni opiekun`cz. z umowy dod.",
      "Liczba dni macierz. z umowy dod.",
      "Liczba dni urlopu ojcowskiego",
      "Liczba dni chorob. (ZUS) 1",
      "Liczba dni chorob. (ZUS) 2",
      "Liczba dni chorob. (ZUS) 3",
      "Liczba dni wynagr.za chor. 1",
      "Liczba dni wynagr.za chor. 2",
      "Liczba dni wynagr.za chor. 3",
      "Liczba dni chorob.ZUS wypadek",
      "Liczba dni s`wiad.rehab. wypadek",
      "Liczba dni (inny_3)",
      "Liczba dni (inny_4)",
      "Liczba dni (inny_5)",
      "Dana nieobsl`ugiwana",
      "Liczba dni niepl`.z tyt.nienab.praw do zas.",
  };
  return labels;
}

const std::array<const char*, kDataSlots>& dataSlotLabels() {
  static const std::array<const char*, kDataSlots> labels{
      "Podstawa zas. chorobowego ZUS",
      "Podstawa wynagr. za chorobe`",
      "Podstawa zas. opiekun`czego",
      "Podstawa macierz., ojcow. i rodziciel.",
      "Podstawa s`w.rehabilitacyjnego",
      "Dni faktycznie przepracowane",
      "Dni robocze do przepracowania",
      "Podstawa pomocnicza chor. ZUS",
      "Podstawa pomocnicza wyn za chor. ",  // the trailing blank is part of the label
      "Podstawa pomocnicza zas.opiekun`cz.",
      "Podstawa pomocnicza zas.macierzyn`s.",
      "Skl`adniki nie dopel`niane",
      "Dni robocze do przepr. indywidualne",
      "Podstawa wynagr.za chor szpital",
      "Podstawa zas. chor. ZUS szpital",
      "Podstawa zas. chor. ZUS zwoln.",
      "Podstawa pomoc. wyn. za chor szpital",
      "Podstawa pomoc. zas.chor.ZUS szpital",
      "Podstawa pomoc. zas.chor.ZUS zwoln.",
      "Podstawa zasil`ko`w z umowy dodatk.",
      "Podstawa zasil`ku chor. (ZUS) 1",
      "Podstawa zasil`ku chor. (ZUS) 2",
      "Podstawa zasil`ku chor. (ZUS) 3",
      "Podstawa wynagr.za chorobe` 1",
      "Podstawa wynagr.za chorobe` 2",
      "Podstawa wynagr.za chorobe` 3",
      "Podstawa pomoc. zasil`ku chor. (ZUS) 1",
      "Podstawa pomoc. zasil`ku chor. (ZUS) 2",
      "Podstawa pomoc. zasil`ku chor. (ZUS) 3",
      "Podstawa pomoc. wynagr.za chorobe` 1",
      "Podstawa pomoc. wynagr.za chorobe` 2",
      "Podstawa pomoc. wynagr.za chorobe` 3",
      "Podstawa zasil`ku chor.ZUS wypadek",
      "Podstawa pomoc.zas.chor.ZUS wypadek",
      "Podstawa s`wiad.rehab. wypadek",
      "Podstawa pomoc.s`wiad.rehab. wypadek",
      "Podstawa s`redniej do urlopu wychow.",
      "Podstawa pomoc. s`r. do urlopu wychow.",
      "Minimalna pl`aca krajowa brutto",
      "S`wiadczenie rodzicielskie",
  };
  return labels;
}

const std::array<DerivedCode, kDerivedCodes>& derivedCodes() {
  static const std::array<DerivedCode, kDerivedCodes> codes{{
      {"pd_chor_z", false, 1},
      {"pd_chor_f", false, 2},
      {"podst_macierz", false, 4},
      {"podst_opiek", false, 3},
      {"dni_pracy", false, 6},
      {"dni_w_mies", false, 7},
      {"pom_chor_z", false, 8},
      {"pom_chor_f", false, 9},
      {"pom_opiek", false, 10},
      {"pom_macierz", false, 11},
      {"pd_sz_zakl", false, 14},
      {"pd_sz_zus", false, 15},
      {"podst_zwol", false, 16},
      {"dni_chor_z", true, 1},
      {"dni_chor_f", true, 10},
      {"dni_opieki", true, 2},
      {"dni_macierz", true, 4},
  }};
  return codes;
}

const std::array<const char*, kDerivedCodes>& derivedCodeDeclarationOrder() {
  static const std::array<const char*, kDerivedCodes> order{
      "pd_chor_z",  "pd_chor_f",  "podst_macierz", "podst_opiek", "pom_chor_z",  "pom_chor_f",
      "pom_macierz", "pom_opiek", "dni_opieki",    "dni_macierz", "dni_pracy",   "dni_chor_z",
      "dni_chor_f", "dni_w_mies", "pd_sz_zus",     "pd_sz_zakl",  "podst_zwol",
  };
  return order;
}

}  // namespace zus
