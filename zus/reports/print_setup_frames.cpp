// Box characters, card column widths and the card table's lines.
#include "zus/reports/print_setup_frames.h"

#include <algorithm>

#include "zus/reports/print_setup_access.h"

namespace zus::cards {
namespace {

std::string glyph(unsigned char c) { return std::string(1, char(c)); }

// Column titles of the card table; `display` marks the titles shown in display form.
struct ColumnTitle {
  const char* line1;
  const char* line2;
  bool display;
};

constexpr std::array<ColumnTitle, kCardColumns> kTitles{{
    {"LP.", "", false},
    {"Data", "wypl`aty", false},
    {"Od", "", false},
    {"Do", "", false},
    {"Dni", "", false},
    {"Dzienny", "zasil`ek", false},
    {"Zasil`ek", "brutto", false},
    {"Przypis", "podatku", false},
    {"Potra`cona", "zaliczka", false},
    {"Zasil`ek", "netto", false},
    {"Rodzaj i % zasil`ku", "", true},
    {"Kod", "lit", false},
    {"Wynagrodzenie lub przycho`d", "za miesia`ce", true},
    {"", "przecie`tny", false},
    {"Okr", "dni", false},
}};

std::string joinedRuns(const BoxChars& box, const CardWidths& widths, const std::string& joint) {
  std::string line;
  for (int i = 0; i < kCardColumns; ++i) {
    if (i) line += joint;
    line += repeat(box.poz1, widths[size_t(i)]);
  }
  return line;
}

std::string cell(const std::string& title, int width) {
  return title.empty() ? std::string(size_t(width), ' ') : centr(title, width);
}

}  // namespace

BoxChars boxChars(bool graphic, bool settlement) {
  BoxChars b;
  if (graphic) {
    b.pocz0 = glyph(0xB3);
    b.pocz1 = glyph(0xC3);
    b.kon1 = glyph(0xB4);
    b.poz1 = glyph(0xC4);
    b.lg = glyph(0xC2);
    b.ld = glyph(0xC1);
    b.l1 = glyph(0xC5);
    b.rlg = glyph(0xDA);
    b.rpg = glyph(0xBF);
    b.rld = glyph(0xC0);
    b.rpd = glyph(0xD9);
  } else {
    b.pocz0 = b.pocz1 = b.kon1 = "|";
    b.poz1 = b.lg = b.ld = "-";
    b.l1 = "+";
    b.rlg = "/";
    b.rpg = "\\";
    b.rld = "\\";
    b.rpd = "/";
  }
  b.pion = settlement ? " " + b.pocz0 + " " : b.pocz0;
  return b;
}

CardWidths cardWidths(int amountWidth) {
  int s = std::max(10, amountWidth);
  return {3, 10, 10, 10, 3, s - 2, s, s, s, s, 28, 4, 26, s, 3};
}

CardLines cardLines(const BoxChars& box, const CardWidths& widths, const std::string& underlineOn,
                    const std::string& underlineOff) {
  CardLines l;
  l.top = box.pocz1 + joinedRuns(box, widths, box.lg) + box.kon1;
  l.separator = box.pocz1 + joinedRuns(box, widths, box.l1) + box.kon1;
  l.bottom = box.rld + joinedRuns(box, widths, box.ld) + box.rpd;

  l.title1 = box.pocz0;
  l.title2 = box.pocz0;
  for (int i = 0; i < kCardColumns; ++i) {
    const ColumnTitle& t = kTitles[size_t(i)];
    std::string first = t.display ? display(t.line1) : t.line1;
    std::string second = t.display ? display(t.line2) : t.line2;
    int w = widths[size_t(i)];
    if (i) l.title2 += box.pion;
    l.title2 += cell(second, w);
    if (i == 13) continue;  // covered by the cell of column 13
    if (i) l.title1 += box.pion;
    if (i == 12) {
      int spanned = w + widths[13] + int(box.pion.size());
      l.title1 += underlineOn + centr(first, spanned) + underlineOff;
    } else {
      l.title1 += cell(first, w);
    }
  }
  l.title1 += box.pocz0;
  l.title2 += box.pocz0;
  return l;
}

void setFrameVariables(bool cards) {
  rt::Memvars& v = vars();
  BoxChars box = boxChars(varBool("p_graf"), !cards);
  auto text = [&](const char* name, const std::string& s) { v.assign(name, rt::Value::text(s)); };
  text("zn_pocz0", box.pocz0);
  text("zn_pocz1", box.pocz1);
  text("zn_kon1", box.kon1);
  text("zn_poz1", box.poz1);
  text("zn_lg", box.lg);
  text("zn_ld", box.ld);
  text("zn_l1", box.l1);
  text("zn_rlg", box.rlg);
  text("zn_rpg", box.rpg);
  text("zn_rld", box.rld);
  text("zn_rpd", box.rpd);
  text("zn_pion", box.pion);

  CardWidths widths = cardWidths(int(varNum("zusx_szer", 10)));
  for (int i = 0; i < kCardColumns; ++i)
    v.assign("kol" + std::to_string(i + 1), rt::Value::integer(widths[size_t(i)]));

  if (!cards) return;
  CardLines lines = cardLines(box, widths, varText("dev_u_on"), varText("dev_u_off"));
  text("linia_pocz", lines.top);
  text("linia1_nagl", lines.title1);
  text("linia2_nagl", lines.title2);
  text("linia_rozdz", lines.separator);
  text("linia_ostat", lines.bottom);
}

}  // namespace zus::cards
