// The button dialog, the yes/no question and the list search.
#include "console/dialog.h"

#include <algorithm>

#include "console/message_window.h"
#include "console/palette.h"
#include "console/window.h"
#include "runtime/core/cp852.h"
#include "runtime/core/std_strings.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"

namespace con {

namespace {

using namespace rt::term;

std::string padCentred(const std::string& text, int width) {
  if (int(text.size()) >= width) return text;
  int left = (width - int(text.size())) / 2;
  std::string out(size_t(left), ' ');
  out += text;
  out.resize(size_t(width), ' ');
  return out;
}

// Screen row 23, given back when the dialog ends.
class RowKeeper {
 public:
  RowKeeper() : saved_(screen().save(23, 0, 23, 79)) {}
  ~RowKeeper() { screen().restore(23, 0, 23, 79, saved_); }
  RowKeeper(const RowKeeper&) = delete;
  RowKeeper& operator=(const RowKeeper&) = delete;

 private:
  std::string saved_;
};

bool matchesPrefix(const std::string& item, const std::string& key) {
  std::string t(rt::trimBlanks(item).substr(0, key.size()));
  return rt::lower852(t) == key;
}

// Key table of the dialog: the button to highlight next, given the current one.
enum class Outcome { Continue, Choose, Leave };

}  // namespace

std::string cleanCommentLine(const std::string& line) { return shortenLine(displayText(line)); }

int alertWithoutButtons() {
  EnvironmentScope env(kMenuSet);
  showMessage(std::string_view(kOptionsNotArray), kWarningSet, true);
  return 0;
}

int ALERT(const AlertSpec& alert) {
  RowKeeper row23;
  EnvironmentScope env(kMenuSet);
  K_NORM();
  auto& scr = screen();

  std::string question(rt::trimBlanks(displayText(alert.question)));
  if (question.empty()) question = kDefaultChoiceTitle;
  question = shortenLine(question);

  std::vector<std::string> buttons;
  int rowWidth = 0;
  for (size_t i = 0; i < alert.buttons.size(); ++i) {
    std::string b = alert.buttons[i] ? std::string(rt::trimBlanks(displayText(*alert.buttons[i]))) : "???";
    int gap = i + 1 == alert.buttons.size() ? 0 : 2;
    if (rowWidth + 2 + int(b.size()) + gap > int(kMaxLineWidth)) break;
    rowWidth += int(b.size()) + 2 + gap;
    buttons.push_back(std::move(b));
  }
  if (buttons.empty()) {
    showMessage(std::string_view(kNoUsableOption), kWarningSet, true);
    return 0;
  }
  int count = int(buttons.size());
  int current = 1;
  if (alert.highlighted && *alert.highlighted >= 1 && *alert.highlighted <= count)
    current = int(*alert.highlighted);

  std::vector<std::string> comment;
  bool commentIsText = false;
  if (auto* s = std::get_if<std::string>(&alert.comment)) {
    comment.push_back(shortenLine(displayText(*s)));
    commentIsText = true;
  } else if (auto* v = std::get_if<std::vector<std::string>>(&alert.comment)) {
    for (size_t i = 0; i < v->size() && i < kMaxCommentLines; ++i)
      comment.push_back(alert.commentCleaned ? (*v)[i] : cleanCommentLine((*v)[i]));
  }

  int width = rowWidth;
  width = std::max(width, int(question.size()));
  for (const auto& c : comment) width = std::max(width, int(c.size()));
  int left = (80 - width - 4) / 2, right = left + width + 3;
  int top, questionRow, buttonRow, bottom;
  bool anyCommentArray = std::holds_alternative<std::vector<std::string>>(alert.comment) &&
                         !std::get<std::vector<std::string>>(alert.comment).empty();
  if (commentIsText) {
    top = 7, questionRow = 11, buttonRow = 13, bottom = 15;
  } else if (anyCommentArray && !comment.empty()) {
    int k = int(comment.size());
    top = (16 - k) / 2, questionRow = top + k + 3, buttonRow = top + k + 5, bottom = top + k + 7;
  } else if (anyCommentArray) {
    // An array whose lines were all removed keeps the window of an empty list.
    top = 8, questionRow = 10, buttonRow = 12, bottom = 15;
  } else {
    top = 8, questionRow = 10, buttonRow = 12, bottom = 14;
  }
  Window window(WindowSpec{-kTitleBar, top, left, bottom, right, alert.title, kMenuSet, false});
  Attr text = scr.colors().standard();
  for (size_t i = 0; i < comment.size(); ++i)
    scr.put(top + 2 + int(i), left + 2, padCentred(comment[i], width), text);
  scr.put(questionRow, left + 2, padCentred(question, width), text);

  std::vector<int> starts;
  int start = left + 2 + (width - rowWidth) / 2;
  for (const auto& b : buttons) {
    starts.push_back(start);
    start += int(b.size()) + 4;
  }
  if (K_DAJ_CIEN()) {
    Attr shadow = firstPairAttr("N/" + K_SET_KOLOR(0, kMenuSet, 1, 22), text);
    for (size_t i = 0; i < buttons.size(); ++i) {
      int len = int(buttons[i].size());
      scr.put(buttonRow, starts[i] + len + 2, "\xDC", shadow);
      scr.put(buttonRow + 1, starts[i] + 1, std::string(size_t(len + 2), '\xDF'), shadow);
    }
  }
  Attr chosenAttr = firstPairAttr(K_SET_KOLOR(0, kMenuSet, 3, std::nullopt), text);
  Attr otherAttr = firstPairAttr(K_INV(0, kMenuSet, 1), text);

  bool leftWithEsc = false;
  for (;;) {
    {
      DispGuard burst;
      for (size_t i = 0; i < buttons.size(); ++i) {
        bool on = int(i) + 1 == current;
        std::string face = (on ? "\x10" : " ") + buttons[i] + (on ? "\x11" : " ");
        scr.put(buttonRow, starts[i], face, on ? chosenAttr : otherAttr);
      }
    }
    int key = keyboard().inkey(0);
    if (key == K_ENTER) break;
    if (key == K_ESC) {
      leftWithEsc = true;
      break;
    }
    switch (key) {
      case K_HOME: current = 1; break;
      case K_END: current = count; break;
      case K_LEFT: case K_UP: case K_PGUP: case K_CTRL_PGUP: --current; break;
      case K_RIGHT: case K_DOWN: case K_PGDN: case K_CTRL_PGDN: ++current; break;
      default:
        if (key >= 32 && key <= 255) {
          std::string letter(1, char(rt::toLower852((unsigned char)key)));
          current = SZUK_ACHOICE({&buttons, current, letter, nullptr, true, false});
        }
    }
    if (current > count) current = 1;
    if (current < 1) current = count;
  }
  window.close();
  if (leftWithEsc) return alert.escAllowed ? 0 : 1;
  return current;
}

bool DECYZJA(bool yesFirst, const std::string& question, const Comment& comment) {
  AlertSpec alert;
  alert.question = question;
  alert.buttons = {std::string("Tak"), std::string("Nie")};
  alert.highlighted = yesFirst ? 1 : 2;
  alert.comment = comment;
  return ALERT(alert) == 1;
}

int SZUK_ACHOICE(const ChoiceSearch& s) {
  static const std::vector<std::string> kNone;
  const auto& items = s.items ? *s.items : kNone;
  int n = int(items.size());
  auto selectable = [&](int i) {  // 1-based; items beyond the flags count as selectable
    return !s.selectable || size_t(i - 1) >= s.selectable->size() || (*s.selectable)[size_t(i - 1)];
  };
  if (s.key == "UP") {
    for (int i = n; i >= 1; --i)
      if (selectable(i)) return i;
    return s.current;
  }
  if (s.key == "DOWN") {
    for (int i = 1; i <= n; ++i)
      if (selectable(i)) return i;
    return s.current;
  }
  auto matches = [&](int i) { return selectable(i) && matchesPrefix(items[size_t(i - 1)], s.key); };
  if (s.quick) {
    for (int i = 1; i <= n; ++i)
      if (matches(i)) return i;
    return s.current;
  }
  int count = 0;
  if (s.automatic)
    for (int i = 1; i <= n && count < 2; ++i)
      if (matches(i)) ++count;
  int from = std::clamp(s.current, 0, n);
  for (int pass = 0; pass < 2; ++pass) {
    int lo = pass == 0 ? from + 1 : 1, hi = pass == 0 ? n : from;
    for (int i = lo; i <= hi; ++i) {
      if (!matches(i)) continue;
      if (count == 1) keyboard().stuff("\r");
      return i;
    }
  }
  return s.current;
}

}  // namespace con
