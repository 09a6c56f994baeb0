// ZLICZ_ZAS, DR_ROZL and WEZ_ZAS: the settlement's accumulation and print.
#include "zus/reports/settlement_print.h"

#include <vector>

#include "zus/reports/print_setup_access.h"
#include "zus/shell/kind_predicates.h"
#include "zus/shell/status_codes.h"

namespace zus {

using namespace cards;

namespace {

constexpr int kSlots = 33;
constexpr int kInfoWidth = 63;          // inner width of the information box
constexpr int kNameWidth = 14;          // the kind column of the table
const std::string kCountPicture = "99 999";

// Adds `amount` to element `slot` of the run's array `name`.
void addTo(const char* name, int slot, double amount, int decimals) {
  rt::Value a = var(name);
  if (!a.isArray() || slot < 1 || size_t(slot) > a.arr().size()) return;
  rt::Value& e = a.arr()[size_t(slot - 1)];
  e = rt::Value::number(e.numOr(0) + amount, decimals);
}

double at(const char* name, int slot) { return element(name, size_t(slot)).numOr(0); }

void addCounter(const char* name) { vars().assign(name, rt::Value::integer(int64_t(varNum(name)) + 1)); }

int slotOf(const std::string& kind) {
  for (int i = 1; i <= kSlots; ++i)
    if (slotKind(i) == kind) return i;
  return 0;
}

// The two-line message about a record whose kind is linked to no slot.
void wrongDictionary(const std::string& kind) {
  select("sl");
  // The walk runs with the nearest-key setting on: a code the dictionary lacks stops the seek on
  // the next code, whose short name is not the record's.
  std::string shortName = seek(kind) ? fldText("sl", "skrot") : std::string();
  call("STATLINE", {rt::Value::integer(7)});
  rt::Value lines = rt::Value::newArray(0);
  lines.arr().push_back(rt::Value::text("Pracownik nr " + trim(fldText("nieobec", "nr_prac")) +
                                        " ma przypisany nieprawidl`owy sl`ownik: " + shortName));
  lines.arr().push_back(rt::Value::text(
      "Sprawdz` poprawnos`c` przypisania sl`owniko`w w opcji \"Pol`a`czenie ZUS/PL`ACE\""));
  call("KOM3", {lines, rt::Value::integer(0), rt::Value::integer(0), rt::Value::integer(0)});
  call("STATLINE", {rt::Value::integer(-1)});
  select("nieobec");
}

void addRecord() {
  std::string kind = fldText("nieobec", "zasilek");
  if (kind == varText("pustykod") || trim(kind).empty()) return;
  if (!statusOk(fldNum("nieobec", "status"))) {
    addCounter("il_blad");
    return;
  }
  addCounter("il_obl");
  int slot = slotOf(kind);
  if (slot == 0) {
    wrongDictionary(kind);
    return;
  }
  double days = fldNum("nieobec", "l_dni"), value = fldNum("nieobec", "wartosc");
  if (fldBool("nieobec", "przy_pracy")) {
    addTo("il_prac", slot, days, 0);
    addTo("il_zas", slot, days, 0);
    addTo("wart_prac", slot, value, 2);
  } else {
    addTo("il_zas", slot, kindIs(KindFamily::OBLI, kind) ? days : 1, 0);
  }
  addTo("wart_zas", slot, value, 2);
}

std::string bold(const std::string& s) { return varText("dev_b_on") + s + varText("dev_b_off"); }

std::string counted(double n) { return transform(n, kCountPicture, 0); }

std::string amount(double v) { return transform(v, varText("pict_long", "99 999 999 999.99")); }

// Replaces every occurrence of `from` by `to` (the first `limit` of them when limit >= 0), then
// by `rest` for the others.
std::string replaceGlyph(std::string s, const std::string& from, const std::string& to, int limit,
                         const std::string& rest) {
  std::string out;
  int seen = 0;
  for (size_t i = 0; i < s.size();) {
    if (s.compare(i, from.size(), from) == 0) {
      out += (limit < 0 || seen < limit) ? to : rest;
      ++seen;
      i += from.size();
    } else {
      out += s[i++];
    }
  }
  return out;
}

std::string withEnds(std::string s, const std::string& first, const std::string& last) {
  if (s.size() >= 2) s = first + s.substr(1, s.size() - 2) + last;
  return s;
}

void printInformationBox() {
  const std::string edge = varText("zn_pocz0"), line = varText("zn_poz1");
  const std::string blank = edge + std::string(kInfoWidth, ' ') + edge;
  auto centred = [&](const std::string& s) { return edge + centr(s, kInfoWidth) + edge; };
  devLine(varText("zn_rlg") + repeat(line, kInfoWidth) + varText("zn_rpg"));
  devLine(blank);
  devLine(edge + bold(centr(display("INFORMACJE OGO`LNE"), kInfoWidth)) + edge);
  devLine(blank);
  devLine(centred(display("Liczba pracowniko`w otrzymuja`cych zasil`ki : ") + counted(varNum("zas_il"))));
  devLine(centred(display("Liczba zasil`ko`w obliczonych lub o stal`ej wartos`ci :")));
  devLine(centred("- poprawnych :                   " + counted(varNum("il_obl"))));
  devLine(centred(display("- z bl`e`dami lub nie obliczonych: ") + counted(varNum("il_blad"))));
  devLine(blank);
  devLine(varText("zn_rld") + repeat(line, kInfoWidth) + varText("zn_rpd"));
  devLine(" ");
  devLine(" ");
}

void clearAccumulators() {
  for (const char* name : {"il_zas", "wart_zas", "il_prac", "wart_prac"}) {
    rt::Value a = var(name);
    if (a.isArray())
      for (rt::Value& e : a.arr()) e = rt::Value::integer(0);
  }
  for (const char* name : {"zas_il", "il_obl", "il_blad"}) vars().assign(name, rt::Value::integer(0));
}

}  // namespace

void ZLICZ_ZAS() {
  AreaKeeper keepArea;
  // The walk must find the employee's first record of the period even when none lies in its
  // first month, so the seek stops on the next greater key.
  SoftSeekOn nearest;
  bool byPayout = varNum("r_dt_wdr", 1) == 2;
  std::string employee = fldText("main", "nr_prac");
  select("nieobec");
  int previousOrder = currentOrder();
  struct OrderBack {
    int order;
    ~OrderBack() {
      try {
        select("nieobec");
        setOrder(order);
      } catch (...) {
      }
    }
  } orderBack{previousOrder};
  setOrder(byPayout ? 3 : 1);
  seek(employee + dtos(varDate("_miesp")).substr(0, 6));
  int32_t bound = addMonths(varDate("_miesk"), 1);
  auto date = [&] { return byPayout ? fldDate("nieobec", "dat_wyp") : fldDate("nieobec", "do"); };
  auto inPeriod = [&] { return !atEof() && fldText("nieobec", "nr_prac") == employee && date() < bound; };
  if (inPeriod()) addCounter("zas_il");
  for (; inPeriod(); skip()) addRecord();
}

bool WEZ_ZAS(int slot, std::string& name) {
  std::string kind = slotKind(slot);
  if (kind.empty()) return false;
  select("sl");
  bool found = seek(kind);
  rt::Value nazwa = fld("sl", "nazwa");
  name = rownajL(display(nazwa.strOr("")), int(nazwa.strOr("").size()));
  select("nieobec");
  return found;
}

void DR_ROZL() {
  const std::string edge = varText("zn_pocz0"), sep = varText("zn_pion"), line = varText("zn_poz1");
  const int countWidth = int(kCountPicture.size());
  const int amountWidth = int(varText("pict_long", "99 999 999 999.99").size());
  const bool graphic = varBool("p_graf");

  printInformationBox();

  const std::string separator = varText("zn_pocz1") + repeat(line, 4) + varText("zn_l1") + repeat(line, 16) +
                                varText("zn_l1") + repeat(line, countWidth + 4) + varText("zn_l1") +
                                repeat(line, countWidth + 2) + varText("zn_l1") + repeat(line, amountWidth + 2) +
                                varText("zn_l1") + repeat(line, countWidth + 4) + varText("zn_l1") +
                                repeat(line, amountWidth + 4) + varText("zn_kon1");
  const std::string bottom =
      withEnds(replaceGlyph(separator, varText("zn_l1"), varText("zn_ld"), -1, ""), varText("zn_rld"), varText("zn_rpd"));
  const std::string top =
      withEnds(replaceGlyph(bottom, varText("zn_ld"), varText("zn_lg"), 5, line), varText("zn_rlg"), varText("zn_rpg"));

  auto spaces = [](int n) { return std::string(size_t(n), ' '); };
  const std::string S3 = spaces(3), S14 = spaces(14), S8 = spaces(8), S6 = spaces(6), S17 = spaces(amountWidth),
                    S20 = spaces(amountWidth + 3);
  const int accidentWidth = countWidth + amountWidth + 8;
  const std::string left = edge + S3 + sep + S14 + sep;

  devLine(top);
  devLine(left + S8 + sep + S6 + sep + S17 + sep + centr("Z tytul`u wypadko`w przy pracy", accidentWidth) + edge);
  devLine(left + S8 + sep + S6 + sep + S17 + sep + centr("i choro`b zawodowych", accidentWidth) + edge);
  devLine(left + " Liczba " + sep + "Liczba" + sep + S17 + (graphic ? " " + std::string(1, char(0xC3)) : " |") +
          repeat(line, countWidth + 4) + (graphic ? std::string(1, char(0xC2)) : "-") + repeat(line, amountWidth + 4) +
          varText("zn_kon1"));
  devLine(edge + " Lp" + sep + "Rodzaj zasil`ku" + sep + "zasil`ko`w" + sep + " dni  " + sep +
          centr("Kwota zl`", amountWidth) + sep + " Liczba " + sep + S20 + edge);
  devLine(left + S8 + sep + S6 + sep + S17 + sep + "  dni   " + sep + centr("Kwota zl`", amountWidth + 3) + edge);
  devLine(left + S8 + sep + S6 + sep + S17 + sep + "zasil`ko`w" + sep + S20 + edge);

  double countTotal = 0, daysTotal = 0, amountTotal = 0, accidentDays = 0, accidentAmount = 0;
  int slots = int(var("il_zas").isArray() ? var("il_zas").arr().size() : 0);
  for (int f = 1; f <= slots; ++f) {
    std::string name;
    if (!WEZ_ZAS(f, name)) continue;
    // The kind column is 14 wide whatever the width of the dictionary's name field.
    name = rownajL(name, kNameWidth);
    bool calculable = kindIs(KindFamily::OBLI, slotKind(f));
    std::string row = edge + str(f, 3) + sep + name + sep + " ";
    if (calculable) {
      row += "   x   " + sep + counted(at("il_zas", f));
      daysTotal += at("il_zas", f);
    } else {
      row += counted(at("il_zas", f)) + " " + sep + "   x  ";
      countTotal += at("il_zas", f);
    }
    row += sep + amount(at("wart_zas", f)) + sep;
    amountTotal += at("wart_zas", f);
    if (calculable) {
      row += " " + counted(at("il_prac", f)) + " " + sep + " " + amount(at("wart_prac", f)) + "  " + edge;
      accidentDays += at("il_prac", f);
      accidentAmount += at("wart_prac", f);
    } else {
      row += centr("x", countWidth + 2) + sep + centr("x", amountWidth + 3) + edge;
    }
    devLine(separator);
    devLine(row);
  }

  devLine(separator);
  devLine(edge + S3 + sep + "  Razem       " + sep + " " + bold(counted(countTotal)) + " " + sep +
          bold(counted(daysTotal)) + sep + bold(amount(amountTotal)) + sep +
          bold(" " + counted(accidentDays) + " ") + sep + bold(" " + amount(accidentAmount)) + "  " + edge);
  devLine(bottom);

  clearAccumulators();
}

}  // namespace zus
