// Colours: attributes of screen cells and the runtime's colour strings.
//
// An attribute is one byte as the PC text screen had it: foreground in bits 0-3 (bit 3 = bright),
// background in bits 4-7. Blinking is off, so bit 7 is a bright background; a "*" in a colour
// string selects it.
//
// A colour string lists up to five pairs, "fore/back" each, separated by commas: standard,
// enhanced, border, background, unselected ("W+/B,N/W,,,W/N"). Colour letters: N black, B blue,
// G green, BG cyan, R red, RB magenta, GR brown (GR+ yellow), W white; "+" brightens the
// foreground, "*" the background. "U" is underline (blue on a colour screen), "I" inverse (N/W),
// "X" blank (N/N). Digits ("15/1") are accepted too. An empty pair keeps the slot as it was.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rt::term {

using Attr = uint8_t;

constexpr Attr makeAttr(int fore, int back) { return Attr((fore & 0x0F) | ((back & 0x0F) << 4)); }
constexpr int foreOf(Attr a) { return a & 0x0F; }
constexpr int backOf(Attr a) { return (a >> 4) & 0x0F; }

// The five slots of a colour string.
enum class ColorSlot { Standard = 0, Enhanced = 1, Border = 2, Background = 3, Unselected = 4 };
inline constexpr int kColorSlots = 5;

struct Colors {
  std::array<Attr, kColorSlots> slot{makeAttr(7, 0), makeAttr(0, 7), makeAttr(0, 0),
                                     makeAttr(0, 0), makeAttr(0, 7)};

  Attr standard() const { return slot[0]; }
  Attr enhanced() const { return slot[1]; }
  Attr border() const { return slot[2]; }
  Attr background() const { return slot[3]; }
  Attr unselected() const { return slot[4]; }
  Attr operator[](ColorSlot s) const { return slot[int(s)]; }
  bool operator==(const Colors&) const = default;
};

// The runtime's initial colours: "W/N,N/W,N/N,N/N,N/W".
inline constexpr const char* kDefaultColorString = "W/N,N/W,N/N,N/N,N/W";

// Parses one pair ("W+/B", "n/w*", "15/1", "I"); returns false for an empty or unreadable pair.
bool parseColorPair(std::string_view pair, Attr& out);

// Applies a colour string over `base`: pairs given replace their slot, empty pairs keep it.
Colors applyColorString(std::string_view colorString, Colors base);

// The attribute a one-off colour argument (DEVOUT, DISPOUT, @ SAY ... COLOR) stands for: its
// first pair, or `fallback` when that pair is empty or unreadable.
Attr firstPairAttr(std::string_view colorString, Attr fallback);

// Normalised text of one attribute ("W+/B", "N/W*", "GR+/N") and of a whole set (five pairs).
std::string attrToColorPair(Attr a);
std::string colorsToString(const Colors& c);

}  // namespace rt::term
