// The form reader (see read_modal.h). Keys map to small handlers that change the field's buffer
// or return how the field is left; the loop alone draws and moves between fields.
#include "runtime/ui/read_modal.h"

#include <cstdio>
#include <unordered_map>

#include "runtime/core/context.h"
#include "runtime/core/names.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"

namespace rt::ui {

namespace {

using namespace rt::term;

// How the user leaves the field being edited (None: stays in it).
enum class Leave { None, Up, Down, Enter, Top, Bottom, Write, Escape };

// A one-line message of the reader on the top line, taken away at the next key.
class ScoreMessage {
 public:
  void show(const std::string& text) {
    clear();
    width_ = int(text.size());
    saved_ = screen().save(kScoreRow, col_, kScoreRow, col_ + width_ - 1);
    screen().put(kScoreRow, col_, text, screen().colors().standard());
    shown_ = true;
  }
  void clear() {
    if (!shown_) return;
    screen().restore(kScoreRow, col_, kScoreRow, col_ + width_ - 1, saved_);
    shown_ = false;
  }

 private:
  bool shown_ = false;
  int col_ = kScoreCol, width_ = 0;
  std::string saved_;
};

ScoreMessage& scoreMessage() {
  static ScoreMessage m;
  return m;
}

// The state that READVAR, UPDATED, READKILL and RANGECHECK see: the innermost running read.
struct ReadState {
  GetPtr active;
  bool kill = false;
  bool updated = false;
};

ReadState& state() {
  static ReadState s;
  return s;
}

// Puts the outer read's state back when a (nested) read ends.
class ReadStateGuard {
 public:
  ReadStateGuard() : saved_(state()) { state() = ReadState{}; }
  ~ReadStateGuard() {
    bool updated = state().updated;
    state() = saved_;
    state().updated = updated;  // UPDATED() answers for the read that just ended
    state().kill = saved_.kill;
  }
  ReadStateGuard(const ReadStateGuard&) = delete;
  ReadStateGuard& operator=(const ReadStateGuard&) = delete;

 private:
  ReadState saved_;
};

class ListSource : public GetSource {
 public:
  explicit ListSource(GetList& list) : list_(list) {}
  size_t size() const override { return list_.size(); }
  GetPtr at(size_t i) const override { return list_[i]; }

 private:
  GetList& list_;
};

// --- key handlers ---------------------------------------------------------------------------------

struct KeyContext {
  Get& get;
  GetBuffer& buf;
  bool& clearPending;
};

using KeyHandler = Leave (*)(KeyContext&);

Leave moved(KeyContext& k) { k.clearPending = false; return Leave::None; }

const std::unordered_map<int, KeyHandler>& keyTable() {
  static const std::unordered_map<int, KeyHandler> table = {
      {K_UP, [](KeyContext&) { return Leave::Up; }},
      {K_SH_TAB, [](KeyContext&) { return Leave::Up; }},
      {K_DOWN, [](KeyContext&) { return Leave::Down; }},
      {K_TAB, [](KeyContext&) { return Leave::Down; }},
      {K_ENTER, [](KeyContext&) { return Leave::Enter; }},
      {K_CTRL_HOME, [](KeyContext&) { return Leave::Top; }},
      {K_CTRL_W, [](KeyContext&) { return Leave::Write; }},
      {K_PGUP, [](KeyContext&) { return Leave::Write; }},
      {K_PGDN, [](KeyContext&) { return Leave::Write; }},
      {K_ESC, [](KeyContext&) { return Leave::Escape; }},
      {K_LEFT, [](KeyContext& k) { k.buf.left(); return moved(k); }},
      {K_RIGHT, [](KeyContext& k) { k.buf.right(); return moved(k); }},
      {K_HOME, [](KeyContext& k) { k.buf.home(); return moved(k); }},
      {K_END, [](KeyContext& k) { k.buf.end(); return moved(k); }},
      {K_CTRL_LEFT, [](KeyContext& k) { k.buf.wordLeft(); return moved(k); }},
      {K_CTRL_RIGHT, [](KeyContext& k) { k.buf.wordRight(); return moved(k); }},
      {K_DEL, [](KeyContext& k) { k.buf.del(); return moved(k); }},
      {K_BS, [](KeyContext& k) { k.buf.backspace(); return moved(k); }},
      {K_CTRL_Y, [](KeyContext& k) { k.buf.deleteToEnd(); return moved(k); }},
      {K_CTRL_T, [](KeyContext& k) { k.buf.deleteWord(); return moved(k); }},
      {K_CTRL_U, [](KeyContext& k) {  // undo: the value the field had on entry
         k.buf.load(k.get.original());
         k.buf.setUnchanged();
         return moved(k);
       }},
      {K_INS, [](KeyContext& k) {
         setReadInsert(!readInsert());
         return moved(k);
       }},
  };
  return table;
}

// Typing one character: the first one clears a number (or a @K field); the point or comma of a
// number jumps to the decimals.
Leave typeChar(KeyContext& k, unsigned char c) {
  if (k.buf.type() == 'N' && (c == '.' || c == ',') && k.buf.mask().find('.') != std::string::npos) {
    k.clearPending = false;
    k.buf.toDecimals();
    return Leave::None;
  }
  // A key the position refuses changes nothing, so the first accepted key still clears the field.
  if (k.clearPending && k.buf.accepts(k.buf.pos(), c)) {
    k.buf.clear();
    k.clearPending = false;
  }
  if (k.buf.type(c, readInsert()) && k.buf.typedOut() && !context().settings.confirm)
    return Leave::Enter;
  return Leave::None;
}

std::string plainText(const Value& v) {
  if (v.isChar()) return v.str();
  if (v.isNum()) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", v.decimals(), v.num());
    return text;
  }
  if (v.isDate()) {
    if (const NativeFunction* dtoc = functions().find("DTOC")) {
      Args a({v});
      return (*dtoc)(a).strOr("");
    }
  }
  if (v.isLogical()) return v.logical() ? ".T." : ".F.";
  return {};
}

bool lessThan(const Value& a, const Value& b) {
  if (a.isNum() && b.isNum()) return a.num() < b.num();
  if (a.isDate() && b.isDate()) return a.date() < b.date();
  if (a.isChar() && b.isChar()) return a.str() < b.str();
  return false;
}

// --- the reader -----------------------------------------------------------------------------------

class Reader {
 public:
  Reader(GetSource& gets, const ReadOptions& options) : gets_(gets), options_(options) {}

  ReadResult run() {
    ReadStateGuard guard;
    ReadResult result;
    showAll();
    long pos = 0;
    Leave direction = Leave::Down;
    long lastFocused = -1;
    bool bumpTop = false, bumpBottom = false;
    while (true) {
      if (state().kill) { result.end = ReadEnd::Killed; break; }
      long n = long(gets_.size());
      if (pos < 0) {
        // Up from the first field that can be entered: leave only with READEXIT, else stay.
        if (readExit() || bumpBottom) { result.end = ReadEnd::LastField; break; }
        bumpTop = true;
        pos = lastFocused < 0 ? 0 : lastFocused;
        direction = Leave::Down;
        continue;
      }
      if (pos >= n) {
        if (n == 0) { result.end = ReadEnd::NoField; break; }
        bool goOn = direction == Leave::Down && !readExit() && !bumpTop && lastFocused >= 0;
        if (!goOn) { result.end = ReadEnd::LastField; break; }
        bumpBottom = true;
        pos = lastFocused;
        direction = Leave::Up;
        continue;
      }
      GetPtr get = gets_.at(size_t(pos));
      state().active = get;
      if (get->when && !get->when()) {
        showAll();
        pos += direction == Leave::Up ? -1 : 1;
        continue;
      }
      showAll();
      bumpTop = bumpBottom = false;
      lastFocused = pos;
      Leave how = edit(*get);
      if (state().kill) { result.end = ReadEnd::Killed; break; }
      if (how == Leave::Escape) { result.end = ReadEnd::Escape; break; }
      if (how == Leave::Write) { result.end = ReadEnd::Write; break; }
      switch (how) {
        case Leave::Up: pos -= 1; direction = Leave::Up; break;
        case Leave::Top: pos = 0; direction = Leave::Down; break;
        case Leave::Bottom: pos = long(gets_.size()) - 1; direction = Leave::Up; break;
        case Leave::Enter: pos += 1; direction = Leave::Enter; break;
        default: pos += 1; direction = Leave::Down; break;
      }
    }
    scoreMessage().clear();
    state().active = nullptr;
    // A read run by a hot key meanwhile answered UPDATED() for itself; this read's answer is its own.
    state().updated = updated_;
    result.updated = updated_;
    return result;
  }

 private:
  void showAll() {
    DispGuard disp;
    for (size_t i = 0; i < gets_.size(); ++i) gets_.at(i)->display();
  }

  void placeCursor(const Get& get) {
    Screen& s = screen();
    s.setCursor(get.row(), get.cursorCol());
    if (s.cursorShape() != CursorShape::None)
      s.setCursorShape(readInsert() ? CursorShape::Insert : CursorShape::Normal);
  }

  // Stores the field's buffer; a date that does not exist keeps the user in the field.
  bool store(Get& get) {
    bool stored = false;
    if (!get.assign(&stored)) {
      if (context().settings.scoreboard) scoreMessage().show("Niepoprawna data");
      return false;
    }
    if (stored) state().updated = updated_ = true;
    return true;
  }

  // Edits one field until the user leaves it with a valid value (or Esc).
  Leave edit(Get& get) {
    get.setFocus();
    while (true) {
      {
        DispGuard disp;
        get.display();
        placeCursor(get);
      }
      int key = keyboard().inkey(0);
      scoreMessage().clear();
      if (key == K_NONE) {  // a stuffed CHR(0): redraw
        showAll();
        continue;
      }
      if (keyboard().hotKey(key)) {
        runHotKey(get, key);
        if (state().kill) { get.killFocus(); get.display(); return Leave::Escape; }
        continue;
      }
      KeyContext k{get, get.buffer(), get.clearPending};
      Leave how = Leave::None;
      if (auto it = keyTable().find(key); it != keyTable().end()) how = it->second(k);
      else if (key >= 32 && key <= 255) how = typeChar(k, static_cast<unsigned char>(key));
      if (how == Leave::None) continue;
      if (how == Leave::Escape) {
        get.undo();
        get.killFocus();
        get.display();
        return how;
      }
      {
        // The key that filled the field shows before any message of the check.
        DispGuard disp;
        get.display();
      }
      if (!store(get)) continue;
      if (get.valid) {
        bool ok = get.valid();
        get.updateBuffer();
        showAll();
        if (state().kill) { get.killFocus(); get.display(); return Leave::Escape; }
        if (!ok) continue;
      }
      get.killFocus();
      showAll();
      return how;
    }
  }

  void runHotKey(Get& get, int key) {
    store(get);
    WaitState where{options_.procedure, options_.line, upperName(get.name())};
    {
      // The hot key may run a form of its own: the field's screen place is redrawn after it.
      keyboard().fireHotKey(key, where);
    }
    state().active = activeOf(get);
    get.updateBuffer();
    showAll();
  }

  GetPtr activeOf(const Get& get) {
    for (size_t i = 0; i < gets_.size(); ++i)
      if (gets_.at(i).get() == &get) return gets_.at(i);
    return nullptr;
  }

  GetSource& gets_;
  ReadOptions options_;
  bool updated_ = false;
};

}  // namespace

ReadResult readModal(GetList& gets, const ReadOptions& options) {
  ListSource source(gets);
  return readModal(source, options);
}

ReadResult readModal(GetSource& gets, const ReadOptions& options) {
  Reader reader(gets, options);
  return reader.run();
}

bool updated() { return state().updated; }

std::string readVar() { return state().active ? upperName(state().active->name()) : std::string(); }

GetPtr activeGet() { return state().active; }

bool readKill() { return state().kill; }

bool setReadKill(bool kill) {
  bool old = state().kill;
  state().kill = kill;
  return old;
}

bool readInsert() { return context().settings.insert; }

bool setReadInsert(bool on) {
  bool old = context().settings.insert;
  context().settings.insert = on;
  return old;
}

bool readExit() { return context().settings.exitKeys; }

bool setReadExit(bool on) {
  bool old = context().settings.exitKeys;
  context().settings.exitKeys = on;
  return old;
}

bool rangeCheck(const Value& value, const Value& low, const Value& high) {
  if (!lessThan(value, low) && !lessThan(high, value)) return true;
  // A value the user did not touch may stay as it is.
  GetPtr active = state().active;
  if (active && active->hasFocus()) {
    const Value& original = active->original();
    if (original.type() == value.type() && !lessThan(original, value) && !lessThan(value, original))
      return true;
  }
  if (context().settings.scoreboard)
    scoreMessage().show("Zakres: " + plainText(low) + " - " + plainText(high));
  return false;
}

}  // namespace rt::ui
