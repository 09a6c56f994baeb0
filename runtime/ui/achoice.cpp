// The list choice (see achoice.h). Movement keys map to small handlers on the list state; the
// loop draws, calls the user's handler and acts on its answer.
#include "runtime/ui/achoice.h"

#include <algorithm>
#include <unordered_map>

#include "runtime/core/cp852.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"

namespace rt::ui {

namespace {

using namespace rt::term;

enum class Step { Moved, HitTop, HitBottom };

class ChoiceList {
 public:
  ChoiceList(int top, int left, int bottom, int right, const ChoiceItems& items)
      : top_(top), left_(left), right_(right), rows_(std::max(1, bottom - top + 1)), items_(items) {}

  size_t count() const { return items_.count(); }
  bool selectable(size_t i) const { return i < count() && (!items_.selectable || items_.selectable(i)); }
  bool anySelectable() const {
    for (size_t i = 0; i < count(); ++i)
      if (selectable(i)) return true;
    return false;
  }
  int current() const { return cur_; }
  int row() const { return cur_ - first_; }

  void start(int item, int row) {
    int n = int(count());
    cur_ = std::clamp(item, 0, std::max(0, n - 1));
    if (!selectable(size_t(cur_))) {
      int next = nextSelectable(cur_, 1);
      if (next < 0) next = nextSelectable(cur_, -1);
      if (next >= 0) cur_ = next;
    }
    first_ = cur_ - std::clamp(row, 0, rows_ - 1);
    first_ = std::clamp(first_, 0, std::max(0, n - rows_));  // no blank rows below the last item
    follow();
  }

  // The nearest selectable item from `from` (exclusive) in direction `dir`, or -1.
  int nextSelectable(int from, int dir) const {
    for (int i = from + dir; i >= 0 && i < int(count()); i += dir)
      if (selectable(size_t(i))) return i;
    return -1;
  }

  Step moveTo(int target, int dir) {
    int n = int(count());
    target = std::clamp(target, 0, std::max(0, n - 1));
    if (!selectable(size_t(target))) {
      int t = nextSelectable(target, dir);
      if (t < 0) t = nextSelectable(target, -dir);
      if (t < 0) return dir < 0 ? Step::HitTop : Step::HitBottom;
      target = t;
    }
    if (target == cur_) return dir < 0 ? Step::HitTop : Step::HitBottom;
    cur_ = target;
    follow();
    return Step::Moved;
  }

  Step up() {
    int t = nextSelectable(cur_, -1);
    return t < 0 ? Step::HitTop : moveTo(t, -1);
  }
  Step down() {
    int t = nextSelectable(cur_, 1);
    return t < 0 ? Step::HitBottom : moveTo(t, 1);
  }
  Step pageUp() {
    if (nextSelectable(cur_, -1) < 0) return Step::HitTop;
    first_ = std::max(0, first_ - rows_);
    return moveTo(cur_ - rows_, 1);
  }
  Step pageDown() {
    if (nextSelectable(cur_, 1) < 0) return Step::HitBottom;
    first_ = std::min(std::max(0, int(count()) - rows_), first_ + rows_);
    return moveTo(cur_ + rows_, -1);
  }
  Step firstItem() { return moveTo(0, 1); }
  Step lastItem() { return moveTo(int(count()) - 1, -1); }

  // The next selectable item after the current one whose text starts with `c`, wrapping.
  bool findLetter(unsigned char c) {
    int n = int(count());
    unsigned char want = toUpper852(c);
    for (int k = 1; k <= n; ++k) {
      int i = (cur_ + k) % n;
      std::string t = items_.text(size_t(i));
      if (!t.empty() && toUpper852(static_cast<unsigned char>(t[0])) == want && selectable(size_t(i))) {
        cur_ = i;
        follow();
        return true;
      }
    }
    return false;
  }

  void draw() const {
    DispGuard disp;
    Screen& s = screen();
    const Colors& c = s.colors();
    int width = right_ - left_ + 1;
    for (int r = 0; r < rows_; ++r) {
      int i = first_ + r;
      std::string text;
      Attr attr = c.standard();
      if (i < int(count())) {
        text = items_.text(size_t(i));
        if (i == cur_) attr = c.enhanced();
        else if (!selectable(size_t(i))) attr = c.unselected();
      }
      text.resize(size_t(std::max(0, width)), ' ');
      s.put(top_ + r, left_, text, attr);
    }
    s.setCursor(top_ + row(), left_);
  }

 private:
  void follow() {
    if (cur_ < first_) first_ = cur_;
    if (cur_ >= first_ + rows_) first_ = cur_ - rows_ + 1;
  }

  int top_, left_, right_, rows_;
  const ChoiceItems& items_;
  int cur_ = 0, first_ = 0;
};

using Mover = Step (ChoiceList::*)();

const std::unordered_map<int, Mover>& moveTable() {
  static const std::unordered_map<int, Mover> table = {
      {K_UP, &ChoiceList::up},
      {K_DOWN, &ChoiceList::down},
      {K_PGUP, &ChoiceList::pageUp},
      {K_PGDN, &ChoiceList::pageDown},
      {K_HOME, &ChoiceList::firstItem},
      {K_END, &ChoiceList::lastItem},
      {K_CTRL_PGUP, &ChoiceList::firstItem},
      {K_CTRL_PGDN, &ChoiceList::lastItem},
  };
  return table;
}

int modeOf(Step s) {
  switch (s) {
    case Step::HitTop: return kAcHitTop;
    case Step::HitBottom: return kAcHitBottom;
    default: return kAcIdle;
  }
}

}  // namespace

ChoiceItems ChoiceItems::of(const std::vector<std::string>& texts) {
  ChoiceItems items;
  items.count = [&texts] { return texts.size(); };
  items.text = [&texts](size_t i) { return texts[i]; };
  return items;
}

int achoice(int top, int left, int bottom, int right, const ChoiceItems& items,
            const AChoiceHandler& handler, int initialItem, int initialRow) {
  ChoiceList list(top, left, bottom, right, items);
  list.start(initialItem - 1, initialRow);
  const WaitState where{"ACHOICE", 0, ""};

  if (!list.anySelectable()) {
    list.draw();
    if (!handler) return 0;
    while (true) {
      int answer = handler(kAcNoItem, list.current() + 1, list.row());
      if (answer == kAcAbort || answer == kAcSelect) return 0;
      keyboard().waitKey(where);
      if (list.anySelectable()) break;
    }
  }

  while (true) {
    list.draw();
    int key = keyboard().waitKey(where);
    if (key == K_NONE) continue;  // redraw request
    auto it = moveTable().find(key);
    if (it != moveTable().end()) {
      Step step = (list.*(it->second))();
      if (!handler) continue;
      list.draw();
      int answer = handler(modeOf(step), list.current() + 1, list.row());
      if (answer == kAcAbort) return 0;
      if (answer == kAcSelect) { list.draw(); return list.current() + 1; }
      if (answer == kAcGoto) list.findLetter(static_cast<unsigned char>(keyboard().lastKey()));
      continue;
    }
    if (!handler) {
      if (key == K_ENTER) return list.current() + 1;
      if (key == K_ESC || key == K_LEFT || key == K_RIGHT) return 0;
      if (key >= 32 && key <= 255) list.findLetter(static_cast<unsigned char>(key));
      continue;
    }
    int answer = handler(kAcException, list.current() + 1, list.row());
    if (answer == kAcAbort) return 0;
    if (answer == kAcSelect) { list.draw(); return list.current() + 1; }
    if (answer == kAcGoto && key >= 32 && key <= 255) list.findLetter(static_cast<unsigned char>(key));
  }
}

}  // namespace rt::ui
