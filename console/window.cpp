// Opening and closing windows, frame glyphs and the display-text hook.
#include "console/window.h"

#include <algorithm>
#include <utility>

#include "console/palette.h"
#include "runtime/core/functions.h"
#include "runtime/core/std_strings.h"
#include "runtime/term/terminal.h"

namespace con {

namespace {

using rt::term::Attr;

std::string twoChars(int n) {
  std::string s = std::to_string(n);
  if (s.size() < 2) s.insert(0, 2 - s.size(), ' ');
  return s;
}

// A coordinate field of a handle: digits with leading blanks; -1 when malformed.
int handleField(std::string_view f) {
  size_t i = 0;
  while (i < f.size() && f[i] == ' ') ++i;
  if (i == f.size()) return -1;
  int v = 0;
  for (; i < f.size(); ++i) {
    if (f[i] < '0' || f[i] > '9') return -1;
    v = v * 10 + (f[i] - '0');
  }
  return v;
}

bool isBlank(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

Attr pairAttr(int set, int element) {
  auto& scr = rt::term::screen();
  return rt::term::firstPairAttr(pairString(set, element), scr.colors().standard());
}

// Centred in `width` characters with blanks on both sides; a longer text keeps its beginning.
std::string centred(const std::string& text, int width) {
  if (width <= 0) return {};
  if (int(text.size()) >= width) return text.substr(0, size_t(width));
  int left = (width - int(text.size())) / 2;
  std::string out(size_t(left), ' ');
  out += text;
  out.resize(size_t(width), ' ');
  return out;
}

void pause(double seconds) { rt::term::keyboard().inkey(seconds); }

void animate(const std::string& frame, int type, const WindowSpec& w, bool shadow, Attr body,
             Attr title) {
  auto& scr = rt::term::screen();
  int cx = (w.right - w.left) / 2, cy = (w.bottom - w.top) / 2;
  int steps = std::clamp(std::min(cx, cy), 2, 5);
  int dx = cx / steps, dy = cy / steps;
  // The box operation takes corners and edges clockwise from the top-left, and a fill.
  std::string boxFrame = {frame[0], frame[4], frame[1], frame[7], frame[3], frame[5], frame[2],
                          frame[6], ' '};
  for (int a = 1; a < steps; ++a) {
    int t = w.top + cy - dy * a, l = w.left + cx - dx * a;
    int b = w.top + cy + dy * a, r = w.left + cx + dx * a;
    scr.box(t, l, b, r, boxFrame, body);
    if (type == kTitleBar) scr.put(t, l, std::string(size_t(2 * dx * a + 1), ' '), title);
    if (shadow) K_CIEN(t, l, b, r);
    pause(steps == 2 ? 0.1 : 0.01);
  }
}

}  // namespace

std::string frameString(int type) {
  if (type == kFramed) return "\xDA\xBF\xC0\xD9\xC4\xC4\xB3\xB3";
  return "  L- =||";
}

std::string ROZWIN(const WindowSpec& layout) {
  ColourScope keepColours;  // the caller's colour state comes back on every way out
  WindowSpec w = layout;
  // Kept on the screen: every coordinate within rows 0-24 and columns 0-79.
  w.top = std::clamp(w.top, 0, rt::term::Screen::maxRow());
  w.bottom = std::clamp(w.bottom, w.top, rt::term::Screen::maxRow());
  w.left = std::clamp(w.left, 0, rt::term::Screen::maxCol());
  w.right = std::clamp(w.right, w.left, rt::term::Screen::maxCol());

  std::string title;
  int type = w.type;
  if (w.title && !isBlank(*w.title)) {
    title = *w.title;
    if (type == 1 || type == -1) type *= 2;
  }
  int savedBottom = w.bottom, savedRight = w.right;
  bool shadow = false;
  if (type < 0) {
    savedBottom = w.bottom + 1;
    savedRight = w.right + 2;
    type = -type;
    shadow = true;
  }
  auto& scr = rt::term::screen();
  std::string saved = scr.save(w.top, w.left, savedBottom, savedRight);

  std::string frame = frameString(type);
  int set = w.set.value_or(paletteState().currentSet);
  K_SET_KOLOR(-1, set, double(kWindowPair), std::nullopt);
  Attr body = scr.colors().standard();
  if (colourSet(set)) body = pairAttr(set, kWindowPair);
  Attr titleAttr = colourSet(set) ? pairAttr(set, kTitlePair) : body;

  int width = w.right - w.left + 1;
  {
    rt::term::DispGuard burst;
    if (w.explode) animate(frame, type, w, shadow, body, titleAttr);
    std::string middle = frame.substr(6, 1) + std::string(size_t(std::max(width - 2, 0)), ' ') +
                         frame.substr(7, 1);
    for (int r = w.top + 1; r <= w.bottom - 1; ++r) scr.put(r, w.left, middle, body);
    if (w.bottom > w.top) {
      scr.put(w.bottom, w.left, std::string(size_t(width), frame[5]), body);
      scr.put(w.bottom, w.right, frame.substr(3, 1), body);
      scr.put(w.bottom, w.left, frame.substr(2, 1), body);
    }
    if (!title.empty()) {
      scr.put(w.top, w.left, centred(displayText(std::string(rt::trimBlanks(title))), width), titleAttr);
    } else if (type == kTitleBar) {
      scr.put(w.top, w.left, std::string(size_t(width), ' '), titleAttr);
    } else {
      scr.put(w.top, w.left, std::string(size_t(width), frame[4]), body);
      scr.put(w.top, w.right, frame.substr(1, 1), body);
      scr.put(w.top, w.left, frame.substr(0, 1), body);
    }
    if (shadow) K_CIEN(w.top, w.left, w.bottom, w.right);
  }
  return twoChars(w.top) + twoChars(w.left) + twoChars(savedBottom) + twoChars(savedRight) + saved;
}

std::optional<HandleRect> parseHandle(std::string_view h) {
  if (h.size() < 8) return std::nullopt;
  HandleRect r{handleField(h.substr(0, 2)), handleField(h.substr(2, 2)),
               handleField(h.substr(4, 2)), handleField(h.substr(6, 2))};
  if (r.top < 0 || r.left < 0 || r.bottom < r.top || r.right < r.left) return std::nullopt;
  // The screen of the rectangle is two bytes per cell; anything else is not a handle of ours.
  size_t cells = size_t(r.bottom - r.top + 1) * size_t(r.right - r.left + 1);
  if (h.size() - 8 != 2 * cells) return std::nullopt;
  return r;
}

void ZWIN(std::string_view handle) {
  auto r = parseHandle(handle);
  if (!r) return;
  rt::term::screen().restore(r->top, r->left, r->bottom, r->right, handle.substr(8));
}

std::string KODY_RAMEK(std::string_view code, int variant) {
  (void)variant;  // the fill variants matter only with the new-look font
  if (code.empty()) return std::string(1, '\0');
  return std::string(1, code[0]);
}

std::vector<std::pair<int, int>> K_DAJ_NOWE() { return {}; }

bool NOWY_GEN() {
  rt::term::screen().setBlink(false);
  return true;
}

void STARY_GEN() {
  auto& scr = rt::term::screen();
  scr.setCursorShape(rt::term::CursorShape::None);
  scr.setBlink(false);
}

int CZY_NOWY() { return 0; }

bool newLookOn() { return K_DAJ_RAMKI() && CZY_NOWY() == 1; }

std::string displayText(const std::string& text) {
  const rt::NativeFunction* hook = rt::functions().find("_P");
  if (!hook) return text;
  rt::Args args({rt::Value::text(text)});
  rt::Value v = (*hook)(args);
  return v.isChar() ? v.str() : text;
}

}  // namespace con
