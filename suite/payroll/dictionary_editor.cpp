// The dictionary editor `MODISLOW`: a list of one dictionary's entries and small forms over them.
// Entries are read afresh from the table after every change, so the list always shows what is
// stored. Deleted records are neither listed nor counted as used codes; a code freed by a
// deletion is taken again by recalling its record, so one code never has two records.
#include "suite/payroll/dictionary_editor.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/achoice.h"
#include "runtime/ui/get.h"
#include "runtime/ui/read_modal.h"
#include "suite/forms/display_text.h"
#include "suite/screen/colour_set.h"
#include "suite/screen/window.h"
#include "suite/tables/table_defs.h"
#include "suite/tables/table_ops.h"

namespace suite {
namespace {

constexpr int kNameLen = 40;
constexpr int kValueLen = 8;

rt::Value txt(const std::string& s) { return rt::Value::text(s); }
rt::Value num(double n) { return rt::Value::integer(int64_t(n)); }

std::string trimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string padded(std::string s, size_t len) {
  s.resize(len, ' ');
  return s;
}

void message(const std::string& stored) { call("KOM3", {txt(stored), num(0), num(0), num(3)}); }

// SLOWNIK selected for the editor's lifetime: the set's `sl` (order and record given back) or the
// table opened for it (closed again); the area selected before comes back either way.
class DictionaryArea {
 public:
  DictionaryArea() {
    previous_ = call("SELECT");
    rt::Value area = call("SELECT", {txt("sl")});
    if (area.intOr(0) > 0) {
      call("DBSELECTAREA", {area});
      order_ = call("INDEXORD");
      recno_ = call("RECNO");
    } else {
      opened_ = openTable(*findTable("SLOWNIK"), true);
      if (!opened_) {
        restorePrevious();
        return;
      }
    }
    area_ = call("SELECT");
    call("ORDSETFOCUS", {num(1)});
    ready_ = true;
  }
  ~DictionaryArea() {
    if (!ready_) return;
    try {
      call("DBSELECTAREA", {area_});
      if (opened_) {
        call("DBCLOSEAREA");
      } else {
        call("ORDSETFOCUS", {order_});
        call("DBGOTO", {recno_});
      }
      restorePrevious();
    } catch (const rt::Error&) {
      // Nothing more can be given back from a destructor.
    }
  }
  DictionaryArea(const DictionaryArea&) = delete;
  DictionaryArea& operator=(const DictionaryArea&) = delete;

  bool ready() const { return ready_; }

 private:
  void restorePrevious() {
    if (previous_.intOr(0) > 0) call("DBSELECTAREA", {previous_});
  }
  rt::Value previous_, order_, recno_, area_;
  bool opened_ = false, ready_ = false;
};

// The lock of one record, released on every way out.
class RecordLock {
 public:
  explicit RecordLock(double recno) : recno_(recno) {
    locked_ = call("DBRLOCK", {rt::Value::number(recno, 0)}).logicalOr(false);
  }
  ~RecordLock() {
    if (!locked_) return;
    try {
      call("DBCOMMIT");
      call("DBRUNLOCK", {rt::Value::number(recno_, 0)});
    } catch (const rt::Error&) {
    }
  }
  RecordLock(const RecordLock&) = delete;
  RecordLock& operator=(const RecordLock&) = delete;
  bool locked() const { return locked_; }

 private:
  double recno_;
  bool locked_ = false;
};

constexpr const char* kLockRefused = "Pozycja sl`ownika jest ux`ywana przez innego ux`ytkownika !";

struct Entry {
  double recno = 0;
  std::string code;  // the two characters after the dictionary letter
  std::string skrot, nazwa, wart;
};

std::vector<Entry> readEntries(char letter) {
  std::vector<Entry> entries;
  call("DBSEEK", {txt(std::string(1, letter)), rt::Value::logical(true)});
  while (!call("EOF").logicalOr(true)) {
    std::string kod = field("kod").strOr("");
    if (kod.empty() || kod[0] != letter) break;
    bool header = kod.size() >= 3 && kod.substr(1, 2) == "  ";
    if (!header && !call("DELETED").logicalOr(false))
      entries.push_back({call("RECNO").num(), padded(kod.substr(1), 2), trimRight(field("skrot").strOr("")),
                         trimRight(field("nazwa").strOr("")), trimRight(field("wart").strOr(""))});
    call("DBSKIP");
  }
  return entries;
}

std::string entryText(const Entry& e) {
  return e.code + " " + padded(displayText(e.skrot), size_t(kShortNameLen)) + " " +
         padded(displayText(e.nazwa), size_t(kNameLen)) + " " + padded(e.wart, size_t(kValueLen));
}

// What the user types is display text; it is stored in the stored-text coding, where a Polish
// letter takes two characters. Whole letters are dropped from the end until the text fits the
// field, so no letter loses its backtick.
std::string toStored(const rt::Value& typed, size_t len) {
  std::string display = trimRight(typed.strOr(""));
  std::string s = storedText(display);
  while (s.size() > len && !display.empty()) {
    display.pop_back();
    s = storedText(trimRight(display));
  }
  return s;
}

// Deleted records within reach of seeks and skips for a scope (SET DELETED off), whatever the
// program's setting is.
class DeletedVisible {
 public:
  DeletedVisible() : previous_(call("SET", {num(kSetDeletedId), rt::Value::logical(false)})) {}
  ~DeletedVisible() {
    try {
      call("SET", {num(kSetDeletedId), previous_});
    } catch (const rt::Error&) {
    }
  }
  DeletedVisible(const DeletedVisible&) = delete;
  DeletedVisible& operator=(const DeletedVisible&) = delete;

 private:
  static constexpr int kSetDeletedId = 11;
  rt::Value previous_;
};

// The record of `letter`+`code` (deleted or not), or nothing.
std::optional<double> findCode(char letter, const std::string& code) {
  DeletedVisible deletedToo;
  if (!call("DBSEEK", {txt(std::string(1, letter) + code)}).logicalOr(false)) return std::nullopt;
  return call("RECNO").num();
}

bool codeInUse(char letter, const std::string& code) {
  std::optional<double> recno = findCode(letter, code);
  if (!recno) return false;
  call("DBGOTO", {rt::Value::number(*recno, 0)});
  return !call("DELETED").logicalOr(false);
}

void storeEntry(const Entry& e) {
  setField("skrot", txt(e.skrot));
  setField("nazwa", txt(e.nazwa));
  setField("wart", txt(e.wart));
}

// The form of one entry; with `newEntry` its code is asked first and checked. True when the user
// wrote the form (Ctrl+W, PgDn, Enter past the last field); `e` then holds the stored-form values.
bool entryForm(Entry& e, char letter, bool newEntry) {
  rt::term::ScreenStateGuard state;
  ColourSetScope colours(kSetBrowse);
  const int top = 9, left = 12;
  std::string handle = openWindow(top, left, top + 6, left + 56,
                                  displayText(newEntry ? "Nowa pozycja sl`ownika" : "Pozycja sl`ownika"));
  struct WindowCloser {
    std::string handle;
    ~WindowCloser() { closeWindow(handle); }
  } closer{handle};

  rt::Value code = txt(padded(e.code, 2));
  rt::Value skrot = txt(padded(displayText(e.skrot), size_t(kShortNameLen)));
  rt::Value nazwa = txt(padded(displayText(e.nazwa), size_t(kNameLen)));
  rt::Value wart = txt(padded(e.wart, size_t(kValueLen)));
  auto put = [](int row, int col, const std::string& stored) {
    rt::term::screen().say(row, col, displayText(stored), rt::term::screen().colors().standard());
  };
  put(top + 1, left + 2, "Kod:");
  put(top + 2, left + 2, "Skro`t:");
  put(top + 3, left + 2, "Nazwa:");
  put(top + 4, left + 2, "Wartos`c`:");
  const int col = left + 13;
  auto onValue = [](int row, int c, const char* name, rt::Value& v, const std::string& picture) {
    return std::make_shared<rt::ui::Get>(row, c, name, [&v] { return v; },
                                         [&v](const rt::Value& x) { v = x; }, picture);
  };
  rt::ui::GetList gets;
  if (newEntry) {
    auto codeGet = onValue(top + 1, col, "kod", code, "@!");
    codeGet->valid = [&] {
      std::string c = code.strOr("");
      if (c.size() != 2 || c.find(' ') != std::string::npos) {
        message("Kod pozycji musi miec` dwa znaki !");
        return false;
      }
      if (codeInUse(letter, c)) {
        message("Taki kod jest jux` w sl`owniku !");
        return false;
      }
      return true;
    };
    gets.push_back(codeGet);
  } else {
    put(top + 1, col, e.code);
  }
  gets.push_back(onValue(top + 2, col, "skrot", skrot, "@!"));
  gets.push_back(onValue(top + 3, col, "nazwa", nazwa, ""));
  gets.push_back(onValue(top + 4, col, "wart", wart, ""));
  for (const rt::ui::GetPtr& g : gets) g->display();

  rt::ui::ReadResult r = rt::ui::readModal(gets);
  if (r.end != rt::ui::ReadEnd::Write && r.end != rt::ui::ReadEnd::LastField) return false;
  e.code = padded(code.strOr(""), 2);
  e.skrot = toStored(skrot, size_t(kShortNameLen));
  e.nazwa = toStored(nazwa, size_t(kNameLen));
  e.wart = trimRight(wart.strOr(""));
  if (e.wart.size() > size_t(kValueLen)) e.wart.resize(size_t(kValueLen));
  return true;
}

void editEntry(Entry e, char letter) {
  if (!entryForm(e, letter, false)) return;
  call("DBGOTO", {rt::Value::number(e.recno, 0)});
  RecordLock lock(e.recno);
  if (!lock.locked()) return message(kLockRefused);
  storeEntry(e);
}

void addEntry(char letter) {
  Entry e;
  if (!entryForm(e, letter, true)) return;
  // Checked again: the form may have been written before its code was accepted.
  if (e.code.find(' ') != std::string::npos || codeInUse(letter, e.code)) {
    return message("Taki kod jest jux` w sl`owniku !");
  }
  if (std::optional<double> freed = findCode(letter, e.code)) {
    call("DBGOTO", {rt::Value::number(*freed, 0)});
    RecordLock lock(*freed);
    if (!lock.locked()) return message(kLockRefused);
    call("DBRECALL");
    storeEntry(e);
    return;
  }
  // Written whole with its append: a kill leaves no blank entry in the dictionary.
  if (!appendRecord({{"kod", txt(std::string(1, letter) + e.code)},
                     {"skrot", txt(e.skrot)},
                     {"nazwa", txt(e.nazwa)},
                     {"wart", txt(e.wart)}}))
    return message(kLockRefused);
  RecordLock lock(call("RECNO").num());  // the appended record is already ours
}

void deleteEntry(const Entry& e) {
  std::string question = "Czy usuna`c` pozycje` \"" + e.skrot + "\" ?";
  if (!call("DECYZJA", {rt::Value::logical(false), txt(question), num(0), num(0)}).logicalOr(false)) return;
  call("DBGOTO", {rt::Value::number(e.recno, 0)});
  RecordLock lock(e.recno);
  if (!lock.locked()) return message(kLockRefused);
  call("DBDELETE");
}

}  // namespace

void editDictionary(char letter) {
  DictionaryArea area;
  if (!area.ready()) return message("Nie mox`na otworzyc` sl`ownika !");
  rt::term::ScreenStateGuard state;
  ColourSetScope colours(kSetBrowse);
  const int top = 4, left = 6, bottom = 20;
  const int width = 2 + 1 + kShortNameLen + 1 + kNameLen + 1 + kValueLen;
  std::string handle = openWindow(top, left, bottom, left + width + 1,
                                  displayText("Sl`ownik - Enter zmiana, Ins dopisanie, Del usunie`cie"));
  struct WindowCloser {
    std::string handle;
    ~WindowCloser() { closeWindow(handle); }
  } closer{handle};

  int current = 1;
  for (;;) {
    std::vector<Entry> entries = readEntries(letter);
    std::vector<std::string> texts;
    for (const Entry& e : entries) texts.push_back(entryText(e));
    if (texts.empty()) texts.push_back(std::string(size_t(width), ' '));  // a line to stand on
    current = std::clamp(current, 1, int(texts.size()));
    int key = 0;
    auto handler = [&](int mode, int, int) {
      if (mode != rt::ui::kAcException) return int(rt::ui::kAcContinue);
      key = rt::term::keyboard().lastKey();
      if (key == rt::term::K_ESC) return int(rt::ui::kAcAbort);
      if (key == rt::term::K_ENTER || key == rt::term::K_INS || key == rt::term::K_DEL)
        return int(rt::ui::kAcSelect);
      return int(rt::ui::kAcContinue);
    };
    int chosen = rt::ui::achoice(top + 1, left + 1, bottom - 1, left + width,
                                 rt::ui::ChoiceItems::of(texts), handler, current);
    if (chosen == 0) break;
    current = chosen;
    const Entry* selected = size_t(chosen) <= entries.size() ? &entries[size_t(chosen - 1)] : nullptr;
    if (key == rt::term::K_INS) addEntry(letter);
    else if (key == rt::term::K_ENTER && selected) editEntry(*selected, letter);
    else if (key == rt::term::K_DEL && selected) deleteEntry(*selected);
  }
  rt::term::keyboard().setLastKey(rt::term::K_ESC);
}

}  // namespace suite
