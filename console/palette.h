// Palettes and colour sets: every screen colour of the programs comes from the current palette.
//
// A palette holds eight colour sets, chosen by their role number 32 to 39; each set is 12 colour
// names read as six foreground/background pairs (standard, enhanced, unselected, bold, window,
// title). Screens never name colours: they ask for a set (and a pair of it) to be applied as the
// console's colour setting, or only for its colour string for one output.
//
// Invariants: there is no palette until the first K_ZMIEN_PALETE; before it, and for a set number
// outside 32..39, the colour operations change nothing and build empty strings. The current set is
// changed only by K_SET_ZESTAW (and reset to 32 by a palette change).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace con {

// Colour sets by role.
enum class ColourSet : int {
  Tlo = 32,       // screen background; the set in force after a palette change
  Opis = 33,      // descriptions
  Status = 34,    // status line
  Przeglad = 35,  // browse tables
  Menu = 36,      // menus and choice dialogs
  Ostrzeg = 37,   // warnings
  Inform = 38,    // information and forms; the message window's default
  Progres = 39,   // progress windows and the file copy
};
inline constexpr int kFirstSet = 32;
inline constexpr int kLastSet = 39;
inline constexpr int kWarningSet = 37;
inline constexpr int kInformSet = 38;
inline constexpr int kMenuSet = 36;
inline constexpr int kProgressSet = 39;

inline bool isSetNumber(double n) { return n >= kFirstSet && n <= kLastSet && n == int(n); }

// Element numbers of a set's pairs (the foreground; the background is the next element).
enum PairElement : int {
  kStandardPair = 1,
  kEnhancedPair = 3,
  kUnselectedPair = 5,
  kBoldPair = 7,
  kWindowPair = 9,
  kTitlePair = 11,
};

using ColourSetNames = std::array<std::string, 12>;

struct Palette {
  std::string name;
  std::array<ColourSetNames, 8> sets;  // sets 32..39
  int shadowFlag = 0;                  // 1: windows opened with a shadow get one drawn
  int frameCode = 1;                   // 0 asks for the new-look frames, 1 classic
};

// The two generators: a fresh palette named "BIALOCZARNA"/"KOLOR" + suffix.
Palette BIALOCZARNA(std::string_view suffix, int shadow, int frame);
Palette KOLOR(std::string_view suffix, int shadow, int frame);

// The module state: the current palette and set, for the whole run of the program.
struct PaletteState {
  std::optional<Palette> palette;
  int currentSet = kFirstSet;
};
PaletteState& paletteState();
// Back to the start of a run: no palette, set 32 (for tests and program restarts).
void resetPaletteState();

// A set's colour names; nullptr when there is no palette or the number is no set.
const ColourSetNames* colourSet(int setNumber);
// Element 1..12 of a set; "" when there is none.
std::string colourName(int setNumber, int element);

// Colour strings of a set; "" when there is no such set.
std::string standardString(int setNumber);   // e1/e2,e3/e4,,,e5/e6
std::string pairString(int setNumber, int element);  // e[el]/e[el+1]

// The console's colour setting: apply a colour string (an empty one changes nothing) and get the
// one in force before.
std::string applyColourString(std::string_view colourString);
std::string currentColourString();

// --- operations ---------------------------------------------------------------------------------
void K_ZMIEN_PALETE(std::optional<std::string> name = std::nullopt);
std::string K_DAJ_PALETE();

// The pair K_SET_ZESTAW returns and takes back: {set number, colour string}.
struct ColourState {
  int set = 0;
  std::optional<std::string> colours;  // none: the set's standard string
};
ColourState K_SET_ZESTAW(std::optional<ColourState> to = std::nullopt);

// `co` is the runtime value's reading: nullopt when it was not a number.
std::string K_SET_KOLOR(std::optional<double> co, std::optional<double> set,
                        std::optional<double> para, std::optional<double> single);
std::string K_NORM(std::optional<double> co = std::nullopt, std::optional<double> set = std::nullopt);
std::string K_NORM_(std::optional<double> co = std::nullopt, std::optional<double> set = std::nullopt);
std::string K_SPEC_MEN(std::optional<double> co = std::nullopt,
                       std::optional<double> set = std::nullopt);
std::string K_BOLD(std::optional<double> co = std::nullopt, std::optional<double> set = std::nullopt);
std::string K_INV(std::optional<double> co = std::nullopt, std::optional<double> set = std::nullopt,
                  std::optional<double> para = std::nullopt);

void K_CIEN(int top, int left, int bottom, int right, std::optional<bool> wanted = std::nullopt);
bool K_DAJ_RAMKI(std::optional<double> frameCode = std::nullopt);
bool K_DAJ_CIEN();
void K_CLEAR(std::optional<double> type = std::nullopt, std::optional<double> set = std::nullopt);

// Saves the colour state on construction and gives it back on destruction; with a set number it
// also selects that set for the scope.
class ColourScope {
 public:
  ColourScope() : saved_(K_SET_ZESTAW()) {}
  explicit ColourScope(int set) : saved_(K_SET_ZESTAW(ColourState{set, std::nullopt})) {}
  ~ColourScope() { K_SET_ZESTAW(saved_); }
  ColourScope(const ColourScope&) = delete;
  ColourScope& operator=(const ColourScope&) = delete;
  const ColourState& saved() const { return saved_; }

 private:
  ColourState saved_;
};

}  // namespace con
