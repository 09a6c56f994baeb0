// DR_KART and DR_NAGL: one employee's benefit card.
#include "zus/reports/card_print.h"

#include <vector>

#include "zus/reports/card_text.h"
#include "zus/reports/load_tekst.h"
#include "zus/reports/print_setup_access.h"
#include "zus/shell/kind_predicates.h"
#include "zus/shell/status_codes.h"

namespace zus {

using namespace cards;

namespace {

constexpr int kHeaderWidth = 129;  // the full header's frame; the table is always wider
constexpr int kTitleLines = 2;        // the page title's lines
constexpr int kFullHeaderLines = 7;   // DR_NAGL
constexpr int kShortHeaderLines = 2;  // the caption's frame and line
constexpr int kTableFrameLines = 5;   // top, two title lines, separator, bottom

// The record's date of the run's date kind: the payout date for kind 2, else the end date.
int32_t recordDate() {
  return varNum("r_dt_wdr", 1) == 2 ? fldDate("nieobec", "dat_wyp") : fldDate("nieobec", "do");
}

// The same day one month after the period's last month: records before it belong to the period.
int32_t periodBound() { return addMonths(varDate("_miesk"), 1); }

bool inPeriod(const std::string& employee, int32_t bound) {
  return !atEof() && fldText("nieobec", "nr_prac") == employee && recordDate() < bound;
}

// Padded with blanks to `width` printed characters (the text in display form; never cut).
std::string padRight(const std::string& text, size_t width) {
  std::string s = display(text);
  if (s.size() < width) s.resize(width, ' ');
  return s;
}

// Tax assessed: a rate below 100 applies to the value rounded to whole units, an amount of 100
// and more (or zero) is the tax itself, a negative entry gives none.
double taxAssessed(double value, double tax) {
  if (tax > 0 && tax < 100) return call("LICZ_ZAOKR", {rt::Value::number(value, 2), rt::Value::integer(1)}).numOr(0) * tax / 100;
  return tax >= 0 ? tax : 0;
}

// Advance deducted: tax less the advance entered, rounded to 0.10 for payouts before 2006 and to
// whole units from then on; never below 0.
double advanceDeducted(double tax, double advance, int32_t payout) {
  double step = payout < dayOf(2006, 1, 1) ? 0.1 : 1;
  double v = call("LICZ_ZAOKR", {rt::Value::number(tax - advance, 2), rt::Value::number(step, 1)}).numOr(0);
  return v < 0 ? 0 : v;
}

std::string kindAndPercent(const std::string& kind) {
  double status = fldNum("nieobec", "status");
  double percent = fldNum("nieobec", "procent");
  std::string block(9, ' ');
  if (!statusConst(status) && percent != 0) {
    bool care = kind == slotKind(2) || kind == slotKind(18);
    block = (care && fldBool("nieobec", "czy_dz") ? "(dz.)" : "     ") + ZAMIEN_PROCENT(percent);
  }
  return _JAKI_ZAS(kind) + " " + block;
}

std::string monthsText() {
  std::string actual = fldText("nieobec", "fakt_mies"), planned = fldText("nieobec", "te_mies");
  if (!trim(actual).empty()) return LOAD_TEKST(actual, 26);
  if (!trim(planned).empty()) return LOAD_TEKST(planned, 26);
  return centr("***", 26);
}

std::string dayCounter(const std::string& kind) {
  double counter = 0;
  if (kindIs(KindFamily::CHOR_ALL, kind)) counter = fldNum("main", "dni_ch");
  else if (kindIs(KindFamily::OPIEK, kind)) counter = fldNum("main", "dni_op");
  return counter != 0 ? str(counter, 3) : "   ";
}

// The daily rate in its column, two narrower than the amount columns: a rate too wide for it
// shows as asterisks rather than losing its leading digits.
std::string dailyRate(double rate) {
  int width = int(varNum("kol6", 8));
  std::string text = FORMAT_(rate, true);
  if (int(trim(text).size()) > width) return amountOverflow(width);
  return rownaj(text, width);
}

std::string cardRow(int number) {
  const std::string edge = varText("zn_pocz0"), sep = varText("zn_pion");
  const std::string boldOn = varText("dev_b_on"), boldOff = varText("dev_b_off");
  std::string kind = fldText("nieobec", "zasilek");
  double days = fldNum("nieobec", "l_dni");
  if (fldBool("nieobec", "czy_alk")) days = days > 3 ? days - 3 : 0;
  double value = fldNum("nieobec", "wartosc");
  double tax = taxAssessed(value, fldNum("nieobec", "podat"));
  double advance = advanceDeducted(tax, fldNum("nieobec", "zalicz"), fldDate("nieobec", "dat_wyp"));
  double average = fldNum("nieobec", "suma");

  std::vector<std::string> cells{
      str(number, 3),
      dtoc(fldDate("nieobec", "dat_wyp")),
      dtoc(fldDate("nieobec", "od")),
      dtoc(fldDate("nieobec", "do")),
      str(days, 3),
      dailyRate(fldNum("nieobec", "podst_zas")),
      boldOn + (statusOk(fldNum("nieobec", "status")) ? FORMAT_(value) : FORMAT_(0, true)) + boldOff,
      FORMAT_(tax),
      FORMAT_(advance),
      FORMAT_(fldNum("nieobec", "netto")),
      kindAndPercent(kind),
      rownaj(fldText("nieobec", "nr_stat"), 4),
      monthsText(),
      average != 0 ? FORMAT_(average) : FORMAT_(0, true),
      dayCounter(kind),
  };
  std::string row = edge;
  for (size_t i = 0; i < cells.size(); ++i) row += (i ? sep : "") + cells[i];
  return row + edge;
}

// The employee's personnel values for the full header; the insurance-start date goes to the
// public `_data_puc`, the chosen personnel field names are trimmed in place.
void readPersonnelValues() {
  rt::Memvars& v = vars();
  v.assign("_data_puc", rt::Value::date(0));
  select("main_2");
  if (!seek(fldText("main", "nr_prac"))) return;
  v.assign("_pesel", rt::Value::text(fldText("main_2", "nr_pesel")));
  v.assign("_data_ur", rt::Value::text(dtoc(fldDate("main_2", "data_ur"))));
  std::string du = trim(varText("zkdr_du")), dd = trim(varText("zkdr_do"));
  if (!du.empty() && hasField("main_2", du)) {
    v.assign("zkdr_du", rt::Value::text(du));
    v.assign("_data_puc", rt::Value::date(fldDate("main_2", du)));
  }
  if (!dd.empty() && hasField("main_2", dd)) {
    v.assign("zkdr_do", rt::Value::text(dd));
    v.assign("_dowod", rt::Value::text(fld("main_2", dd).strOr("")));
  }
}

}  // namespace

void DR_NAGL() {
  const std::string edge = varText("zn_pocz0"), line = varText("zn_poz1");
  const std::string boldOn = varText("dev_b_on"), boldOff = varText("dev_b_off");
  std::string who = trim(fldText("main", "nazwisko")) + " " + trim(fldText("main", "imie")) +
                    "    Nr " + fldText("main", "nr_prac");
  bool pseudo;
  {
    AreaKeeper keep;
    select("main");
    pseudo = call("ORDNUMBER", {rt::Value::text("NR_PSEUDO")}).intOr(0) > 0;
  }
  vars().declarePublic("czy_pseudo");
  vars().assign("czy_pseudo", rt::Value::logical(pseudo));
  if (pseudo) who += "  Nr dod." + fldText("main", "nr_pseudo");
  who = padRight(who, 75);

  int32_t insured = varDate("_data_puc");
  int32_t employed = fldDate("main", "data_zatr");
  std::string insuredText = insured != 0 ? dtoc(insured)
                            : employed > dayOf(1998, 12, 31) ? dtoc(employed)
                                                             : "31.12.1998";
  std::string leftText = fldNum("main", "status") < 1 ? dtoc(fldDate("main", "data_zwol")) : "  .  .    ";

  std::string pesel = varText("_pesel");
  std::string idPart = std::string(65, ' ');
  if (trim(pesel).empty())
    idPart = padRight(std::string(15, ' ') + " Nr dowodu osob.: " + rownajL(varText("_dowod"), 10) +
                          std::string(5, ' '),
                      65);

  std::vector<std::string> lines{
      varText("zn_rlg") + repeat(line, 98) + repeat(line, 29) + varText("zn_rpg"),
      edge + boldOn + " " + "KARTA ZASIL`KOWA" + boldOff + std::string(84, ' ') +
          rownajL("Poprzednie ubezp.chorobowe", 27) + edge,
      edge + " " + boldOn + who + boldOff + "Data ur. " + padRight(varText("_data_ur"), 10) + "     ustal`o dnia" +
          repeat(" .", 8) + edge,
      edge + " PESEL: " + padRight(pesel, 11) + std::string(15, ' ') + idPart + std::string(28, ' ') + edge,
      padRight(edge + " Wym.zatrudniony - obje`ty ubezp.chor.od " + insuredText +
                   "   zwolniony - wyl`a`czony z ubezp. dn.  " + leftText,
               99) +
          std::string(28, ' ') + edge,
      edge + " Uwagi" + repeat(" .", 46) + "  " + std::string(27, ' ') + edge,
      edge + repeat(" .", 49) + std::string(8, ' ') + "data, podpis" + std::string(9, ' ') + edge,
  };
  for (const std::string& l : lines) devLine(l);
  vars().assign("punkt1", rt::Value::integer(kHeaderWidth));
  vars().assign("punkt2", rt::Value::integer(int64_t(lines.back().size())));
}

void DR_KART(const std::string& caption) {
  SoftSeekOn nearest;
  rt::Memvars& v = vars();
  rt::PrivateFrame frame(v);
  for (const char* name : {"_pesel", "_dowod", "_data_ur"}) v.declarePrivate(name, rt::Value::text(""));
  v.declarePrivate("punkt1", rt::Value::integer(0));
  v.declarePrivate("punkt2", rt::Value::integer(0));

  readPersonnelValues();

  std::string employee = fldText("main", "nr_prac");
  bool byPayout = varNum("r_dt_wdr", 1) == 2;
  select("nieobec");
  setOrder(byPayout ? 5 : 1);
  seek(employee + dtos(varDate("_miesp")).substr(0, 6));
  int32_t bound = periodBound();
  if (!inPeriod(employee, bound) || fldText("nieobec", "zasilek") == slotKind(5)) return;

  uint32_t first = recno();
  std::string none = varText("pustykod");
  int rows = 0;
  for (; inPeriod(employee, bound); skip()) {
    std::string kind = fldText("nieobec", "zasilek");
    if (kind != none && !trim(kind).empty()) ++rows;
  }
  // The card goes to a new page when what it prints does not fit on the lines left: its header
  // (seven lines in full, two short), the four lines of the table's frame and titles, its rows and
  // the bottom line. A page not begun yet (no line on it) first takes its two title lines. A page
  // length of 0 is one endless page; a card longer than a whole page starts at the top of one.
  double pageLength = varNum("p_licz_wie", 64);
  double used = varNum("dev_ll") > 0 ? varNum("dev_ll") : kTitleLines;
  int cardLines = rows + (varBool("czy_nagl") ? kFullHeaderLines : kShortHeaderLines) + kTableFrameLines;
  if (pageLength > 0 && cardLines > pageLength - used && varNum("dev_ll") > kTitleLines) call("DEV_EJECT");
  if (varBool("brak_zas") && varNum("dev_ll") > kTitleLines) call("DEV_EJECT");
  v.assign("brak_zas", rt::Value::logical(false));
  goTo(first);

  std::string top = varText("linia_pocz");
  if (varBool("czy_nagl")) {
    DR_NAGL();
    if (top.size() >= size_t(kHeaderWidth)) {
      top.replace(size_t(kHeaderWidth - 1), 1, varText("zn_l1"));
      top.replace(top.size() - 1, 1, varText("zn_rpg"));
      v.assign("linia_pocz", rt::Value::text(top));
    }
  } else {
    int inner = int(top.size()) - 2;
    devLine(varText("zn_rlg") + repeat(varText("zn_poz1"), inner) + varText("zn_rpg"));
    devLine(varText("zn_pocz0") + varText("dev_b_on") + centr(caption, inner) + varText("dev_b_off") +
            varText("zn_pocz0"));
  }
  for (const char* name : {"linia_pocz", "linia1_nagl", "linia2_nagl", "linia_rozdz"}) devLine(varText(name));

  int number = 0;
  for (; inPeriod(employee, bound); skip()) {
    std::string kind = fldText("nieobec", "zasilek");
    if (kind == none || trim(kind).empty()) continue;
    devLine(cardRow(++number));
  }
  devLine(varText("linia_ostat"));
  if (varBool("zusx_wysuw")) call("DEV_EJECT");
}

}  // namespace zus
