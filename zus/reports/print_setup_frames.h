// The frames of the card and settlement prints: box characters, the card table's column widths
// and its frame and title lines.
//
// Widths count stored characters: a Polish letter stored as letter + backtick counts as two. The
// card table has 15 columns with one-character separators and edges, 111 + 6 x `zusx_szer`
// characters wide. The box characters are code page 852 single-line glyphs when graphic boxes
// are wanted (`p_graf`), ASCII otherwise.
#pragma once

#include <array>
#include <string>

namespace zus::cards {

struct BoxChars {
  std::string pocz0;  // left and right edge of a text row
  std::string pocz1;  // left tee
  std::string kon1;   // right tee
  std::string poz1;   // horizontal line
  std::string lg;     // tee down
  std::string ld;     // tee up
  std::string l1;     // cross
  std::string rlg;    // top-left corner
  std::string rpg;    // top-right corner
  std::string rld;    // bottom-left corner
  std::string rpd;    // bottom-right corner
  std::string pion;   // column separator: one character for the cards, three for the settlement
};

BoxChars boxChars(bool graphic, bool settlement);

inline constexpr int kCardColumns = 15;
using CardWidths = std::array<int, kCardColumns>;

// `zusx_szer` below 10 counts as 10.
CardWidths cardWidths(int amountWidth);

struct CardLines {
  std::string top;        // `linia_pocz`
  std::string title1;     // `linia1_nagl`
  std::string title2;     // `linia2_nagl`
  std::string separator;  // `linia_rozdz`
  std::string bottom;     // `linia_ostat`
};

// The card table's lines; the cell over columns 13 and 14 of title line 1 is wrapped in the
// underline codes given.
CardLines cardLines(const BoxChars& box, const CardWidths& widths, const std::string& underlineOn,
                    const std::string& underlineOff);

// Sets the run's variables `zn_pocz0` ... `zn_rpd`, `zn_pion`, `kol1` ... `kol15` and, for the
// cards, `linia_pocz` ... `linia_ostat`, from `p_graf`, `zusx_szer`, `dev_u_on`, `dev_u_off`.
void setFrameVariables(bool cards);

}  // namespace zus::cards
