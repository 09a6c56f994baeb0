// Text routines of the benefit card.
#include "zus/reports/card_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "zus/reports/print_setup_access.h"
#include "zus/shell/kind_predicates.h"

namespace zus {

using namespace cards;

namespace {

// The amount picture: grouped by threes or without its blanks.
std::string amountPicture() {
  std::string picture = varText("pict_long", "99 999 999 999.99");
  if (!varBool("zusx_spac")) picture.erase(std::remove(picture.begin(), picture.end(), ' '), picture.end());
  return picture;
}

std::string lastChars(const std::string& s, int width) {
  return s.size() > size_t(width) ? s.substr(s.size() - size_t(width)) : s;
}

}  // namespace

std::string amountOverflow(int width) {
  std::string overflow = amountPicture();
  std::replace(overflow.begin(), overflow.end(), '9', '*');
  return rownaj(lastChars(overflow, width), width);
}

std::string FORMAT_(double amount, bool dash) {
  int width = std::max(1, int(varNum("zusx_szer", 10)));
  std::string picture = amountPicture();

  if (amount == 0 && dash) return centr("-", width);
  std::string whole = trim(transform(amount, picture));
  std::string column = trim(transform(amount, lastChars(picture, width)));
  if (whole.size() > column.size()) return amountOverflow(width);
  return rownaj(column, width);
}

std::string _JAKI_ZAS(const std::string& kind) {
  select("sl");
  bool found = seek(kind);
  std::string out(18, ' ');
  if (found) {
    std::string name = fldText("sl", "nazwa");
    out = rownajL(fldBool("nieobec", "czy_korekt") ? "wyr." + name : name, 18);
  }
  select("nieobec");
  return out;
}

std::string ZAMIEN_PROCENT(double percent) {
  if (kindIs(KindFamily::CHOR_ALL, fldText("nieobec", "zasilek")) &&
      (fldBool("nieobec", "przy_pracy") || fldBool("nieobec", "czy_100")))
    return "100%";
  return str(percent, 3) + "%";
}

std::string _OBNIZ() {
  int32_t start = fldDate("main", "pocz_obniz");
  if (start == 0) return display(" nie ma obnix`enia  ");
  int32_t end = addMonths(start, 12);
  if (end < fldDate("nieobec", "od") || fldBool("nieobec", "czy_100") ||
      fldBool("nieobec", "przy_pracy"))
    return display(" nie ma obnix`enia  ");
  return dtoc(start) + " " + std::string(1, char(0xF6)) + " " + dtoc(end);
}

bool WEZ_STAZ(const std::string& employee, rt::Value& value) {
  select("dane_we");
  if (!seek(employee)) return false;
  std::string item = varText("staz_pracy");
  for (; !atEof() && fldText("dane_we", "nr_prac") == employee; skip()) {
    if (fldText("dane_we", "kod") != item) continue;
    std::string raw = fldText("dane_we", "wartosc");
    raw.resize(4, '\0');
    uint32_t bits = uint32_t(uint8_t(raw[0])) | uint32_t(uint8_t(raw[1])) << 8 |
                    uint32_t(uint8_t(raw[2])) << 16 | uint32_t(uint8_t(raw[3])) << 24;
    int32_t number;
    std::memcpy(&number, &bits, sizeof number);
    value = rt::Value::integer(number);
    return true;
  }
  select("nieobec");
  return true;
}

}  // namespace zus
