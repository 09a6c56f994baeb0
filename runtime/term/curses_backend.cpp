// ncursesw back end: drawing runs of cells, the cursor, keys with time-outs, and restoring the
// terminal on every way out.
#include "runtime/term/curses_backend.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <map>
#include <unistd.h>
#include <vector>

#include "runtime/core/cp852.h"
#include "runtime/core/error.h"
#include "runtime/term/glyphs.h"
#include "runtime/term/keys.h"
#include "runtime/term/leave_request.h"
#include "runtime/term/screen.h"
#include "runtime/term/terminal.h"

// Last: ncurses defines macros (scroll, refresh, clear, ...) that would clash with our names.
#define NCURSES_WIDECHAR 1
#include <ncurses.h>

namespace rt::term {

namespace {

// "80 kolumn", "24 wiersze", "1 wiersz": the noun's form after a number, as Polish counts.
std::string counted(int n, const char* one, const char* few, const char* many) {
  const int tens = n % 100, units = n % 10;
  const char* noun = n == 1 ? one : (units >= 2 && units <= 4 && (tens < 12 || tens > 14)) ? few : many;
  return std::to_string(n) + " " + noun;
}

}  // namespace

std::string terminalTooSmallMessage(int cols, int rows) {
  return utf8ToCp852("Okno terminala ma " + counted(cols, "kolumnę", "kolumny", "kolumn") + " i " +
                     counted(rows, "wiersz", "wiersze", "wierszy") + "; program wymaga co najmniej " +
                     counted(kScreenCols, "kolumny", "kolumn", "kolumn") + " i " +
                     counted(kScreenRows, "wiersza", "wierszy", "wierszy") + ".");
}

std::optional<int> mapCursesKey(int code) {
  switch (code) {
    case KEY_UP: return K_UP;
    case KEY_DOWN: return K_DOWN;
    case KEY_LEFT: return K_LEFT;
    case KEY_RIGHT: return K_RIGHT;
    case KEY_HOME: return K_HOME;
    case KEY_END: return K_END;
    case KEY_PPAGE: return K_PGUP;
    case KEY_NPAGE: return K_PGDN;
    case KEY_IC: return K_INS;
    case KEY_DC: return K_DEL;
    case KEY_BACKSPACE: return K_BS;
    case KEY_ENTER: return K_ENTER;
    case KEY_BTAB: return K_SH_TAB;
    case KEY_SLEFT: return K_LEFT;
    case KEY_SRIGHT: return K_RIGHT;
    case KEY_SHOME: return K_HOME;
    case KEY_SEND: return K_END;
    case KEY_SDC: return K_DEL;
    case KEY_SIC: return K_INS;
    case KEY_A1: return K_HOME;
    case KEY_A3: return K_PGUP;
    case KEY_C1: return K_END;
    case KEY_C3: return K_PGDN;
    default: break;
  }
  if (code >= KEY_F(1) && code <= KEY_F(60)) {
    // Terminals number the modified function keys on: 13-24 Shift, 25-36 Ctrl, 37-48
    // Ctrl+Shift (taken as Ctrl), 49-60 Alt.
    int n = code - KEY_F(0);
    int group = (n - 1) / 12, key = (n - 1) % 12 + 1;
    static constexpr int kModifierOfGroup[5] = {0, 1, 2, 2, 3};
    return functionKey(key, kModifierOfGroup[group]);
  }
  return std::nullopt;
}

std::optional<int> decodeEscapeSequence(std::string_view seq) {
  if (seq.size() < 2 || (seq[0] != '[' && seq[0] != 'O')) return std::nullopt;
  const char final = seq.back();
  // Parameters: numbers separated by ';'.
  std::vector<int> params;
  int n = -1;
  for (char c : seq.substr(1, seq.size() - 2)) {
    if (c >= '0' && c <= '9') {
      n = (n < 0 ? 0 : n * 10) + (c - '0');
    } else if (c == ';') {
      params.push_back(n < 0 ? 1 : n);
      n = -1;
    } else {
      return std::nullopt;
    }
  }
  if (n >= 0) params.push_back(n);
  // xterm's modifier parameter: 1 + (1 Shift, 2 Alt, 4 Ctrl).
  int mod = params.size() >= 2 ? params[1] - 1 : 0;
  const bool ctrl = mod & 4, alt = mod & 2, shift = mod & 1;
  const int fnModifier = ctrl ? 2 : alt ? 3 : shift ? 1 : 0;
  auto pick = [&](int plain, int withCtrl, int withAlt) { return ctrl ? withCtrl : alt ? withAlt : plain; };
  switch (final) {
    case 'A': return pick(K_UP, K_CTRL_UP, K_ALT_UP);
    case 'B': return pick(K_DOWN, K_CTRL_DOWN, K_ALT_DOWN);
    case 'C': return pick(K_RIGHT, K_CTRL_RIGHT, K_ALT_RIGHT);
    case 'D': return pick(K_LEFT, K_CTRL_LEFT, K_ALT_LEFT);
    case 'H': return pick(K_HOME, K_CTRL_HOME, K_ALT_HOME);
    case 'F': return pick(K_END, K_CTRL_END, K_ALT_END);
    case 'Z': return K_SH_TAB;
    case 'P': return functionKey(1, fnModifier);
    case 'Q': return functionKey(2, fnModifier);
    case 'R': return functionKey(3, fnModifier);
    case 'S': return functionKey(4, fnModifier);
    case '~': break;
    default: return std::nullopt;
  }
  if (params.empty()) return std::nullopt;
  switch (params[0]) {
    case 1: case 7: return pick(K_HOME, K_CTRL_HOME, K_ALT_HOME);
    case 4: case 8: return pick(K_END, K_CTRL_END, K_ALT_END);
    case 2: return pick(K_INS, K_CTRL_INS, K_INS);
    case 3: return pick(K_DEL, K_CTRL_DEL, K_DEL);
    case 5: return pick(K_PGUP, K_CTRL_PGUP, K_ALT_PGUP);
    case 6: return pick(K_PGDN, K_CTRL_PGDN, K_ALT_PGDN);
    default: break;
  }
  // F1..F12 as the VT220 numbers them: 11-15, 17-21, 23, 24.
  static constexpr int kFunctionNumbers[] = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24};
  for (int i = 0; i < 12; ++i)
    if (params[0] == kFunctionNumbers[i]) return functionKey(i + 1, fnModifier);
  return std::nullopt;
}

namespace {

// The PC colour numbers (bit 0 blue, 1 green, 2 red) in curses' numbering.
constexpr short kCursesColor[8] = {COLOR_BLACK, COLOR_BLUE,    COLOR_GREEN, COLOR_CYAN,
                                   COLOR_RED,   COLOR_MAGENTA, COLOR_YELLOW, COLOR_WHITE};

// Extended key names of terminfo with the runtime codes they stand for: modifier 5 is Ctrl,
// 3 is Alt (xterm's numbering).
struct NamedKey {
  const char* name;
  int code;
};
constexpr NamedKey kNamedKeys[] = {
    {"kUP5", K_CTRL_UP},     {"kDN5", K_CTRL_DOWN},   {"kLFT5", K_CTRL_LEFT},
    {"kRIT5", K_CTRL_RIGHT}, {"kHOM5", K_CTRL_HOME},  {"kEND5", K_CTRL_END},
    {"kPRV5", K_CTRL_PGUP},  {"kNXT5", K_CTRL_PGDN},  {"kIC5", K_CTRL_INS},
    {"kDC5", K_CTRL_DEL},    {"kUP3", K_ALT_UP},      {"kDN3", K_ALT_DOWN},
    {"kLFT3", K_ALT_LEFT},   {"kRIT3", K_ALT_RIGHT},  {"kHOM3", K_ALT_HOME},
    {"kEND3", K_ALT_END},    {"kPRV3", K_ALT_PGUP},   {"kNXT3", K_ALT_PGDN},
};

bool gActive = false;
constexpr int kLeaveCheckMs = 200;

void restoreTerminal() {
  if (gActive) {
    gActive = false;
    endwin();
  }
}

extern "C" void onTerminatingSignal(int sig) {
  restoreTerminal();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

bool utf8Locale() {
  const char* cs = nl_langinfo(CODESET);
  return cs && (std::strcmp(cs, "UTF-8") == 0 || std::strcmp(cs, "utf8") == 0);
}

}  // namespace

class CursesBackend : public Backend {
 public:
  CursesBackend() {
    std::setlocale(LC_ALL, "");
    // The screen shows Polish letters and box characters: without a UTF-8 locale in the
    // environment, take the C one with UTF-8 characters.
    if (!utf8Locale()) std::setlocale(LC_CTYPE, "C.UTF-8");
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))
      throw Error(ErrorKind::Other, "The program needs a terminal: its input or output is not one.")
          .because(ErrorCause::NoTerminal);
    if (!newterm(nullptr, stdout, stdin))
      throw Error(ErrorKind::Other, "The terminal type in TERM is unknown; cannot start the screen.")
          .because(ErrorCause::UnknownTerminal);
    gActive = true;
    if (COLS < kScreenCols || LINES < kScreenRows) {
      std::string msg = terminalTooSmallMessage(COLS, LINES);
      restoreTerminal();
      throw userError(ErrorKind::Other, msg);
    }
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    meta(stdscr, TRUE);
    set_escdelay(40);
    leaveok(stdscr, FALSE);
    scrollok(stdscr, FALSE);
    initColors();
    for (const NamedKey& k : kNamedKeys) {
      const char* seq = tigetstr(k.name);
      if (seq && seq != (char*)-1) {
        int code = key_defined(seq);
        if (code > 0) extended_[code] = k.code;
      }
    }
    std::atexit(restoreTerminal);
    // A hang-up or a polite kill ends the run through the key reader (tables committed and
    // closed); the other signals end it at once with the terminal given back.
    for (int sig : {SIGQUIT, SIGINT, SIGABRT}) std::signal(sig, onTerminatingSignal);
    catchLeaveSignals();
    erase();
    refresh();
  }

  ~CursesBackend() override {
    for (int sig : {SIGQUIT, SIGINT, SIGABRT}) std::signal(sig, SIG_DFL);
    restoreLeaveSignals();
    restoreTerminal();
  }

  void writeRun(int row, int col, const Cell* cells, int count) override {
    if (tooSmall_) return;
    std::vector<cchar_t> run(size_t(count) + 1);
    for (int i = 0; i < count; ++i) {
      wchar_t wc[2] = {wchar_t(glyphOf(cells[i].ch)), 0};
      attr_t attrs;
      short pair;
      cursesAttr(cells[i].attr, attrs, pair);
      setcchar(&run[size_t(i)], wc, attrs, pair, nullptr);
    }
    wchar_t end[1] = {0};
    setcchar(&run[size_t(count)], end, 0, 0, nullptr);
    mvadd_wchnstr(row, col, run.data(), count);
  }

  void showCursor(int row, int col, CursorShape shape) override {
    if (tooSmall_) return;
    curs_set(shape == CursorShape::None ? 0
             : (shape == CursorShape::Full || shape == CursorShape::Insert) ? 2
                                                                           : 1);
    move(row, col);
  }

  void flush() override {
    if (!tooSmall_) refresh();
  }

  std::optional<int> readKey(double timeoutSeconds) override {
    const bool limited = timeoutSeconds >= 0;
    const double deadline = now() + (limited ? timeoutSeconds : 0);
    for (;;) {
      // The wait is cut in short slices, so a leave request is seen even when the terminal's
      // read goes on after the signal.
      if (leaveRequested()) return std::nullopt;
      int ms = kLeaveCheckMs;
      if (limited) {
        double left = deadline - now();
        ms = left <= 0 ? 0 : std::min(kLeaveCheckMs, int(left * 1000 + 0.5));
      }
      timeout(ms);
      wint_t ch;
      int rc = get_wch(&ch);
      if (rc == ERR) {
        if (limited && now() >= deadline) return std::nullopt;
        continue;
      }
      if (rc == KEY_CODE_YES) {
        if (ch == KEY_RESIZE) {
          onResize();
          continue;
        }
        // While only the message about the size is visible, keys would act on a hidden screen.
        if (tooSmall_) continue;
        if (auto it = extended_.find(int(ch)); it != extended_.end()) return it->second;
        if (auto k = mapCursesKey(int(ch))) return *k;
        continue;  // a key we have no code for
      }
      if (tooSmall_) continue;
      if (auto k = mapCharacter(ch)) return *k;
    }
  }

  double now() override {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
  }

  void setColorMode(bool isColor) override { colorMode_ = isColor; }

  void beep() override { ::beep(); }

  bool hasColors() const { return hasColors_; }

 private:
  void initColors() {
    hasColors_ = has_colors();
    if (!hasColors_) return;
    start_color();
    // Pair 0 is white on black whatever the terminal's own default colours are.
    assume_default_colors(COLOR_WHITE, COLOR_BLACK);
    colors16_ = COLORS >= 16 && COLOR_PAIRS >= 256;
    int n = colors16_ ? 16 : 8;
    for (int b = 0; b < n; ++b)
      for (int f = 0; f < n; ++f)
        if (short pair = pairOf(f, b, n)) init_pair(pair, cursesColor(f), cursesColor(b));
  }

  // Every fore/back combination has its own pair; white on black is pair 0, so n x n
  // combinations fit in n x n pairs.
  static short pairOf(int f, int b, int n) {
    int index = b * n + f;
    if (f == 7 && b == 0) return 0;
    return short(index < 7 ? index + 1 : index);
  }

  short cursesColor(int pc) const { return short(kCursesColor[pc & 7] + ((pc & 8) ? 8 : 0)); }

  void cursesAttr(Attr a, attr_t& attrs, short& pair) const {
    int f = foreOf(a), b = backOf(a);
    attrs = A_NORMAL;
    pair = 0;
    if (!colorMode_ || !hasColors_) {
      // Monochrome: what a monochrome adapter made of the attribute.
      if ((b & 7) == 7 && (f & 7) != 7) attrs |= A_REVERSE;
      if (f & 8) attrs |= A_BOLD;
      if ((f & 7) == 1) attrs |= A_UNDERLINE;
      if ((f & 7) == 0 && (b & 7) == 0) attrs |= A_INVIS;
      return;
    }
    if (colors16_) {
      pair = pairOf(f, b, 16);
      return;
    }
    // Eight colours: a bright foreground is bold; a bright background cannot be shown.
    if (f & 8) attrs |= A_BOLD;
    pair = pairOf(f & 7, b & 7, 8);
  }

  std::optional<int> mapCharacter(wint_t ch) {
    if (ch == 27) {
      // Esc followed at once by another key is that key with Alt.
      timeout(0);
      wint_t next;
      int rc = get_wch(&next);
      if (rc == OK && (next == '[' || next == 'O')) {
        // A sequence the terminal description does not list: read it to its final character.
        std::string seq(1, char(next));
        wint_t c;
        while (seq.size() < 16 && get_wch(&c) == OK && c < 128) {
          seq += char(c);
          if (seq.size() >= 2 && c >= 0x40 && c <= 0x7E) break;
        }
        if (auto k = decodeEscapeSequence(seq)) return *k;
        if (seq.size() == 1) return next == 'O' ? std::optional<int>(K_ALT_O) : std::nullopt;
        return std::nullopt;  // an unknown sequence is not an Esc
      }
      if (rc == OK) {
        if (int alt = altLetterKey(char(next)); next < 128 && alt) return alt;
        if (next >= '1' && next <= '9') return K_ALT_1 + int(next - '1');
        if (next == '0') return K_ALT_0;
        if (next == 27) return K_ALT_ESC;
        if (next == 13) return K_ALT_ENTER;
        unget_wch(next);
      } else if (rc == KEY_CODE_YES) {
        unget_wch(next);  // not the way keys come back, but harmless: ncurses re-queues codes too
      }
      return K_ESC;
    }
    if (ch == 127) return K_BS;
    if (ch < 128) return int(ch);
    int b = byteOfGlyph(char32_t(ch));
    if (b < 0) return std::nullopt;
    return b;
  }

  void onResize() {
    bool small = COLS < kScreenCols || LINES < kScreenRows;
    if (small) {
      tooSmall_ = true;
      erase();
      std::string msg = cp852ToUtf8(terminalTooSmallMessage(COLS, LINES));
      mvaddnstr(0, 0, msg.c_str(), int(msg.size()));
      refresh();
      return;
    }
    tooSmall_ = false;
    erase();
    redrawAll();
  }

  bool hasColors_ = false;
  bool colors16_ = false;
  bool colorMode_ = true;
  bool tooSmall_ = false;
  std::map<int, int> extended_;
};

TerminalSession::TerminalSession() : backend_(std::make_unique<CursesBackend>()) {
  previous_ = installBackend(backend_.get());
  // ISCOLOR tells what the terminal can show; a program may still choose monochrome.
  screen().setIsColor(backend_->hasColors());
}

TerminalSession::~TerminalSession() {
  installBackend(previous_);
  backend_.reset();
}

}  // namespace rt::term
