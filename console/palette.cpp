// Palettes, colour sets and the colour-string operations.
#include "console/palette.h"

#include "console/window.h"
#include "runtime/core/context.h"
#include "runtime/core/std_strings.h"
#include "runtime/term/terminal.h"

namespace con {

namespace {

using Set = ColourSetNames;

// Sets 32..39 of the monochrome palettes.
const std::array<Set, 8> kMonochromeSets = {{
    {"W", "N", "N", "W", "N", "W", "W", "N", "W", "N", "N", "W"},
    {"N", "W", "N", "W", "N", "W", "N", "W", "W", "W", "W", "W"},
    {"W", "N", "W", "N", "W", "N", "+W", "N", "+W", "N", "N", "W*"},
    {"W", "N", "N", "W", "N", "W", "+W", "N", "+W", "N", "N", "W*"},
    {"W", "N", "N", "W", "N", "W", "+W", "N", "+W", "N", "N", "W*"},
    {"W", "N", "N", "W", "N", "W", "+W", "N", "+W", "N", "N", "W*"},
    {"W", "N", "N", "W", "N", "W", "+W", "N", "+W", "N", "N", "W*"},
    {"W", "N", "N", "W", "N", "W", "+W", "N", "+W", "N", "N", "W*"},
}};

// Sets 32..39 of the colour palettes.
const std::array<Set, 8> kColourSets = {{
    {"N", "BG", "BG", "BG", "BG", "BG", "BG+", "BG", "W+", "BG", "N", "W*"},
    {"W+", "N*", "W+", "N*", "W+", "N*", "W+", "N*", "W+", "N*", "W+", "N*"},
    {"W", "B", "W", "B", "W", "B", "W+", "B", "W", "B", "W", "B"},
    {"W", "B", "N", "W", "W", "B", "W+", "B", "W+", "B", "N", "W*"},
    {"N+", "W", "GR+", "B", "W", "N*", "N", "W", "N", "W", "W+", "N"},
    {"W", "R", "W", "R", "W", "R", "W", "R", "W+", "R", "N", "W*"},
    {"N", "B*", "N", "BG*", "N", "W", "W+", "B*", "W+", "B*", "N", "W*"},
    {"N", "RB", "N", "BG*", "N", "W", "W+", "B*", "W+", "RB", "N", "W*"},
}};

struct BuiltIn {
  const char* name;
  bool monochrome;
  const char* suffix;
  int shadow, frame;
};
const BuiltIn kBuiltIns[] = {
    {"BIALOCZARNA0", true, "0", 0, 0}, {"BIALOCZARNA1", true, "1", 0, 1},
    {"KOLOR0", false, "0", 1, 0},      {"KOLOR1", false, "1", 1, 1},
    {"KOLOR2", false, "2", 0, 0},      {"KOLOR3", false, "3", 0, 1},
};

Palette build(const BuiltIn& b) {
  return b.monochrome ? BIALOCZARNA(b.suffix, b.shadow, b.frame)
                      : KOLOR(b.suffix, b.shadow, b.frame);
}

const BuiltIn& builtIn(std::string_view name) {
  for (const auto& b : kBuiltIns)
    if (name == b.name) return b;
  return kBuiltIns[2];  // KOLOR0
}

int setOrCurrent(std::optional<double> set) {
  return set ? int(*set == int(*set) ? *set : -1) : paletteState().currentSet;
}

// Applies when asked to, answering what the operation answers.
std::string applyOrReturn(bool apply, const std::string& colours) {
  if (!apply || colours.empty()) return colours;
  return applyColourString(colours);
}

// `co` of K_NORM and its siblings: not a number means -1; only -1 applies.
bool appliesMinusOne(std::optional<double> co) { return co.value_or(-1) == -1; }

std::string replaceAll(std::string s, char from, char to) {
  for (char& c : s)
    if (c == from) c = to;
  return s;
}

}  // namespace

Palette BIALOCZARNA(std::string_view suffix, int shadow, int frame) {
  return Palette{"BIALOCZARNA" + std::string(suffix), kMonochromeSets, shadow, frame};
}

Palette KOLOR(std::string_view suffix, int shadow, int frame) {
  return Palette{"KOLOR" + std::string(suffix), kColourSets, shadow, frame};
}

PaletteState& paletteState() {
  static PaletteState state;
  return state;
}

void resetPaletteState() { paletteState() = PaletteState{}; }

const ColourSetNames* colourSet(int setNumber) {
  const auto& p = paletteState().palette;
  if (!p || !isSetNumber(setNumber)) return nullptr;
  return &p->sets[size_t(setNumber - kFirstSet)];
}

std::string colourName(int setNumber, int element) {
  const ColourSetNames* s = colourSet(setNumber);
  if (!s || element < 1 || element > 12) return {};
  return (*s)[size_t(element - 1)];
}

std::string standardString(int setNumber) {
  const ColourSetNames* s = colourSet(setNumber);
  if (!s) return {};
  const auto& e = *s;
  return e[0] + "/" + e[1] + "," + e[2] + "/" + e[3] + ",,," + e[4] + "/" + e[5];
}

std::string pairString(int setNumber, int element) {
  if (!colourSet(setNumber) || element < 1 || element > 11) return {};
  return colourName(setNumber, element) + "/" + colourName(setNumber, element + 1);
}

std::string applyColourString(std::string_view colourString) {
  if (colourString.empty()) return currentColourString();
  return rt::term::screen().setColorString(colourString);
}

std::string currentColourString() { return rt::term::screen().colorString(); }

void K_ZMIEN_PALETE(std::optional<std::string> wanted) {
  std::string name(rt::trimBlanks(wanted.value_or("")));
  if (name.empty()) name = "KOLOR0";
  const BuiltIn* chosen;
  if (!rt::term::screen().isColor())
    chosen = &builtIn(name == "BIALOCZARNA1" ? "BIALOCZARNA1" : "BIALOCZARNA0");
  else
    chosen = &builtIn(name);
  auto& state = paletteState();
  state.palette = build(*chosen);

  // A caller that declared `nowa_paleta` learns that the palette changed.
  if (rt::Value* flag = rt::context().memvars.find("nowa_paleta"); flag && flag->isLogical())
    *flag = rt::Value::logical(true);

  state.currentSet = kFirstSet;
  applyColourString(standardString(kFirstSet));

  int originalFrame = state.palette->frameCode;
  if (originalFrame == 0) {
    NOWY_GEN();
    if (CZY_NOWY() == 0) state.palette->frameCode = 1;
  } else {
    K_CLEAR();
    STARY_GEN();
  }
}

std::string K_DAJ_PALETE() {
  const auto& p = paletteState().palette;
  return p ? std::string(rt::trimBlanks(p->name)) : std::string();
}

ColourState K_SET_ZESTAW(std::optional<ColourState> to) {
  auto& state = paletteState();
  ColourState previous{state.currentSet, std::string()};
  int newSet = to ? to->set : 0;
  std::optional<std::string> colours = to ? to->colours : std::nullopt;
  if (newSet != 0) {
    // A set that does not exist (or no palette yet) changes nothing.
    if (!colourSet(newSet)) {
      previous.colours = currentColourString();
      return previous;
    }
    state.currentSet = newSet;
    if (!colours) colours = standardString(newSet);
  }
  previous.colours = colours ? applyColourString(*colours) : currentColourString();
  return previous;
}

std::string K_SET_KOLOR(std::optional<double> co, std::optional<double> set,
                        std::optional<double> para, std::optional<double> single) {
  bool apply = !(co && *co == 0);
  if (!apply && !set && !para && !single) return currentColourString();
  int s = setOrCurrent(set);
  std::string colours;
  if (!para && !single) {
    colours = standardString(s);
  } else {
    int p = para ? int(*para) : 1;
    colours = single ? colourName(s, p + int(*single) - 21) : pairString(s, p);
  }
  return applyOrReturn(apply, colours);
}

std::string K_NORM(std::optional<double> co, std::optional<double> set) {
  return applyOrReturn(appliesMinusOne(co), standardString(setOrCurrent(set)));
}

// The standard string with another pair in its unselected slot.
static std::string withUnselectedPair(int set, int element) {
  if (!colourSet(set)) return {};
  std::string standard = standardString(set);
  return standard.substr(0, standard.rfind(',') + 1) + pairString(set, element);
}

std::string K_NORM_(std::optional<double> co, std::optional<double> set) {
  return applyOrReturn(appliesMinusOne(co), withUnselectedPair(setOrCurrent(set), kStandardPair));
}

std::string K_SPEC_MEN(std::optional<double> co, std::optional<double> set) {
  return applyOrReturn(appliesMinusOne(co), withUnselectedPair(setOrCurrent(set), kBoldPair));
}

std::string K_BOLD(std::optional<double> co, std::optional<double> set) {
  return applyOrReturn(appliesMinusOne(co), pairString(setOrCurrent(set), kBoldPair));
}

std::string K_INV(std::optional<double> co, std::optional<double> set,
                  std::optional<double> para) {
  int s = setOrCurrent(set);
  int p = para ? int(*para) : 1;
  if (!colourSet(s) || p < 1 || p > 11) return {};
  std::string fore = replaceAll(colourName(s, p + 1), '*', '+');
  std::string back = replaceAll(colourName(s, p), '+', '*');
  return applyOrReturn(appliesMinusOne(co), fore + "/" + back);
}

void K_CIEN(int top, int left, int bottom, int right, std::optional<bool> wanted) {
  bool draw = wanted ? *wanted : K_DAJ_CIEN();
  if (!draw) return;
  auto& scr = rt::term::screen();
  rt::term::DispGuard once;
  constexpr rt::term::Attr kShadow = rt::term::makeAttr(7, 0);
  auto shade = [&](int row, int col) {
    // Only cells on the screen take the shadow.
    if (row < 0 || row > rt::term::Screen::maxRow() || col < 0 || col > rt::term::Screen::maxCol())
      return;
    char ch = char(scr.cell(row, col).ch);
    scr.put(row, col, std::string_view(&ch, 1), kShadow);
  };
  if (right < 79)
    for (int r = top + 1; r <= bottom; ++r)
      for (int c = right + 1; c <= std::min(right + 2, 79); ++c) shade(r, c);
  if (bottom < 22)
    for (int c = left + 2; c <= std::min(right + 2, 79); ++c) shade(bottom + 1, c);
}

bool K_DAJ_RAMKI(std::optional<double> frameCode) {
  auto& p = paletteState().palette;
  if (!p) return false;
  if (frameCode && (*frameCode == 0 || *frameCode == 1)) p->frameCode = int(*frameCode);
  return p->frameCode == 0;
}

bool K_DAJ_CIEN() {
  const auto& p = paletteState().palette;
  return p && p->shadowFlag == 1;
}

void K_CLEAR(std::optional<double> type, std::optional<double> set) {
  int tileType = type && *type > 0 ? int(*type) : 0;
  int s = set ? int(*set) : kFirstSet;
  if (!colourSet(s)) return;
  auto& scr = rt::term::screen();
  rt::term::Attr words =
      rt::term::firstPairAttr(pairString(s, kWindowPair), scr.colors().standard());
  applyColourString(pairString(s, kStandardPair));
  rt::term::Attr plain = scr.colors().standard();
  int row = scr.row(), col = scr.col();
  {
    rt::term::DispGuard burst;
    scr.clear();
    if (tileType > 0) {
      auto glyph = [](int variant) { return KODY_RAMEK(" ", variant); };
      scr.put(0, 1, glyph(1) + glyph(2), plain);
      scr.put(1, 1, glyph(3) + glyph(4), plain);
      scr.put(1, 4, "Torv Zefiron", words);
      scr.put(2, 12, glyph(1) + glyph(2), plain);
      scr.put(3, 0, "Zefiron", words);
      scr.put(3, 12, glyph(3) + glyph(4), plain);
      scr.put(3, 15, "Torv", words);
      std::string tile = scr.save(0, 0, 3, 19);
      for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c) scr.restore(4 * r, 20 * c, 4 * r + 3, 20 * c + 19, tile);
    }
    scr.setCursor(row, col);
  }
  K_NORM();
}

}  // namespace con
