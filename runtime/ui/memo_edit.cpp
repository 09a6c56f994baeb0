// The memo editor (see memo_edit.h). The text is paragraphs and a cursor (paragraph, offset);
// each key is a small handler on that model, and the loop lays the rows out and draws them.
#include "runtime/ui/memo_edit.h"

#include <algorithm>
#include <unordered_map>

#include "runtime/core/context.h"
#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"
#include "runtime/ui/read_modal.h"

namespace rt::ui {

std::vector<WrappedRow> wrapParagraph(const std::string& p, int width) {
  std::vector<WrappedRow> rows;
  size_t w = size_t(std::max(1, width));
  size_t s = 0;
  while (s < p.size()) {
    if (p.size() - s <= w) {
      rows.push_back({s, p.size() - s});
      s = p.size();
      break;
    }
    // Break after the last blank that still fits; a word longer than the row is cut.
    size_t b = s + w - 1;
    while (b > s && p[b] != ' ') --b;
    size_t len = (b > s || p[s] == ' ') ? b - s + 1 : w;
    rows.push_back({s, len});
    s += len;
  }
  if (rows.empty() || rows.back().length >= w) rows.push_back({p.size(), 0});
  return rows;
}

namespace {

using namespace rt::term;

std::vector<std::string> splitParagraphs(const std::string& text) {
  std::vector<std::string> paras(1);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') continue;
    if (c == '\n') { paras.emplace_back(); continue; }
    if (c == '\x1A') break;  // end-of-file mark of old memo texts
    paras.back() += c;
  }
  return paras;
}

struct RowRef {
  size_t para;
  WrappedRow row;
  bool lastOfPara;
};

class MemoModel {
 public:
  MemoModel(const std::string& text, int width, int tabSize)
      : paras_(splitParagraphs(text)), width_(width), tabSize_(tabSize) {}

  std::string text() const {
    std::string out;
    for (size_t i = 0; i < paras_.size(); ++i) {
      if (i) out += "\r\n";
      out += paras_[i];
    }
    return out;
  }
  bool modified() const { return modified_; }

  std::vector<RowRef> layout() const {
    std::vector<RowRef> rows;
    for (size_t p = 0; p < paras_.size(); ++p) {
      std::vector<WrappedRow> w = wrapParagraph(paras_[p], width_);
      for (size_t k = 0; k < w.size(); ++k) rows.push_back({p, w[k], k + 1 == w.size()});
    }
    return rows;
  }

  // The visual row and column of the cursor.
  std::pair<int, int> cursor(const std::vector<RowRef>& rows) const {
    for (size_t r = 0; r < rows.size(); ++r) {
      const RowRef& rr = rows[r];
      if (rr.para != para_) continue;
      size_t end = rr.row.start + rr.row.length;
      if (off_ >= rr.row.start && (off_ < end || (rr.lastOfPara && off_ == end)))
        return {int(r), int(off_ - rr.row.start)};
    }
    return {0, 0};
  }

  void place(const RowRef& r, int col) {
    para_ = r.para;
    size_t maxCol = r.lastOfPara ? r.row.length : (r.row.length ? r.row.length - 1 : 0);
    off_ = r.row.start + std::min(size_t(std::max(0, col)), maxCol);
  }

  // --- movement ---
  void left() {
    if (off_ > 0) --off_;
    else if (para_ > 0) { --para_; off_ = paras_[para_].size(); }
  }
  void right() {
    if (off_ < paras_[para_].size()) ++off_;
    else if (para_ + 1 < paras_.size()) { ++para_; off_ = 0; }
  }
  void vertical(int delta) {
    std::vector<RowRef> rows = layout();
    auto [r, c] = cursor(rows);
    if (wantCol_ < 0) wantCol_ = c;
    int target = std::clamp(r + delta, 0, int(rows.size()) - 1);
    place(rows[size_t(target)], wantCol_);
  }
  void rowHome() {
    std::vector<RowRef> rows = layout();
    place(rows[size_t(cursor(rows).first)], 0);
  }
  void rowEnd() {
    std::vector<RowRef> rows = layout();
    place(rows[size_t(cursor(rows).first)], width_);
  }
  void textTop() { para_ = 0; off_ = 0; }
  void textEnd() { para_ = paras_.size() - 1; off_ = paras_[para_].size(); }

  // --- editing ---
  void type(char c, bool insert) {
    std::string& p = paras_[para_];
    if (insert || off_ >= p.size()) p.insert(off_, 1, c);
    else p[off_] = c;
    ++off_;
    modified_ = true;
  }
  void tab(bool insert) {
    int n = tabSize_ - int(off_ % size_t(std::max(1, tabSize_)));
    for (int i = 0; i < n; ++i) type(' ', insert);
  }
  void newParagraph() {
    std::string rest = paras_[para_].substr(off_);
    paras_[para_].erase(off_);
    paras_.insert(paras_.begin() + long(para_) + 1, rest);
    ++para_;
    off_ = 0;
    modified_ = true;
  }
  void backspace() {
    if (off_ > 0) {
      paras_[para_].erase(--off_, 1);
      modified_ = true;
    } else if (para_ > 0) {
      off_ = paras_[para_ - 1].size();
      paras_[para_ - 1] += paras_[para_];
      paras_.erase(paras_.begin() + long(para_));
      --para_;
      modified_ = true;
    }
  }
  void del() {
    if (off_ < paras_[para_].size()) {
      paras_[para_].erase(off_, 1);
      modified_ = true;
    } else if (para_ + 1 < paras_.size()) {
      paras_[para_] += paras_[para_ + 1];
      paras_.erase(paras_.begin() + long(para_) + 1);
      modified_ = true;
    }
  }
  void deleteRow() {
    std::vector<RowRef> rows = layout();
    const RowRef& r = rows[size_t(cursor(rows).first)];
    std::string& p = paras_[para_];
    if (p.empty()) {
      if (paras_.size() > 1) {
        paras_.erase(paras_.begin() + long(para_));
        if (para_ >= paras_.size()) para_ = paras_.size() - 1;
        off_ = 0;
        modified_ = true;
      }
      return;
    }
    p.erase(r.row.start, r.row.length);
    off_ = std::min(r.row.start, p.size());
    modified_ = true;
  }
  void deleteWord() {
    std::string& p = paras_[para_];
    size_t e = off_;
    while (e < p.size() && p[e] != ' ') ++e;
    while (e < p.size() && p[e] == ' ') ++e;
    if (e > off_) {
      p.erase(off_, e - off_);
      modified_ = true;
    }
  }

  void keepColumn() { wantCol_ = -1; }
  std::string rowText(const RowRef& r) const { return paras_[r.para].substr(r.row.start, r.row.length); }

 private:
  std::vector<std::string> paras_;
  int width_, tabSize_;
  size_t para_ = 0, off_ = 0;
  int wantCol_ = -1;
  bool modified_ = false;
};

enum class Outcome { Continue, Save, Abort };

struct Editor {
  MemoModel& m;
  int pageRows;
  bool editable;
};

using Handler = Outcome (*)(Editor&);

// Keys that move keep the wanted column only while going up and down.
const std::unordered_map<int, Handler>& moveKeys() {
  static const std::unordered_map<int, Handler> table = {
      {K_UP, [](Editor& e) { e.m.vertical(-1); return Outcome::Continue; }},
      {K_DOWN, [](Editor& e) { e.m.vertical(1); return Outcome::Continue; }},
      {K_PGUP, [](Editor& e) { e.m.vertical(-e.pageRows); return Outcome::Continue; }},
      {K_PGDN, [](Editor& e) { e.m.vertical(e.pageRows); return Outcome::Continue; }},
      {K_LEFT, [](Editor& e) { e.m.keepColumn(); e.m.left(); return Outcome::Continue; }},
      {K_RIGHT, [](Editor& e) { e.m.keepColumn(); e.m.right(); return Outcome::Continue; }},
      {K_HOME, [](Editor& e) { e.m.keepColumn(); e.m.rowHome(); return Outcome::Continue; }},
      {K_END, [](Editor& e) { e.m.keepColumn(); e.m.rowEnd(); return Outcome::Continue; }},
      {K_CTRL_PGUP, [](Editor& e) { e.m.keepColumn(); e.m.textTop(); return Outcome::Continue; }},
      {K_CTRL_HOME, [](Editor& e) { e.m.keepColumn(); e.m.textTop(); return Outcome::Continue; }},
      {K_CTRL_PGDN, [](Editor& e) { e.m.keepColumn(); e.m.textEnd(); return Outcome::Continue; }},
      {K_CTRL_W, [](Editor&) { return Outcome::Save; }},
      {K_ESC, [](Editor&) { return Outcome::Abort; }},
  };
  return table;
}

const std::unordered_map<int, Handler>& editKeys() {
  static const std::unordered_map<int, Handler> table = {
      {K_ENTER, [](Editor& e) { e.m.newParagraph(); return Outcome::Continue; }},
      {K_BS, [](Editor& e) { e.m.backspace(); return Outcome::Continue; }},
      {K_DEL, [](Editor& e) { e.m.del(); return Outcome::Continue; }},
      {K_CTRL_Y, [](Editor& e) { e.m.deleteRow(); return Outcome::Continue; }},
      {K_CTRL_T, [](Editor& e) { e.m.deleteWord(); return Outcome::Continue; }},
      {K_TAB, [](Editor& e) { e.m.tab(readInsert()); return Outcome::Continue; }},
      {K_INS, [](Editor&) { setReadInsert(!readInsert()); return Outcome::Continue; }},
  };
  return table;
}

// "Przerwać edycję? (T/N)" (code page 852) on the top line; the line is given back whatever the
// answer.
bool confirmAbort() {
  Screen& s = screen();
  const std::string question = "Przerwa\x86 edycj\xA9? (T/N)";
  // The question fits on the line, ending at its right edge at the latest.
  const int col = std::min(kScoreCol, kScreenCols - int(question.size()));
  std::string saved = s.save(kScoreRow, col, kScoreRow, col + int(question.size()) - 1);
  s.put(kScoreRow, col, question, s.colors().standard());
  int key = keyboard().waitKey(WaitState{"MEMOEDIT", 0, ""});
  s.restore(kScoreRow, col, kScoreRow, col + int(question.size()) - 1, saved);
  return key == 'T' || key == 't';
}

}  // namespace

MemoEditResult memoEdit(const std::string& text, int top, int left, int bottom, int right,
                        const MemoEditOptions& options) {
  int width = options.lineLength > 0 ? options.lineLength : right - left + 1;
  int height = std::max(1, bottom - top + 1);
  MemoModel model(text, width, options.tabSize);
  Editor editor{model, height, options.editable};
  int topRow = 0;
  Screen& s = screen();
  const WaitState where{"MEMOEDIT", 0, ""};
  while (true) {
    std::vector<RowRef> rows = model.layout();
    auto [cr, cc] = model.cursor(rows);
    if (cr < topRow) topRow = cr;
    if (cr >= topRow + height) topRow = cr - height + 1;
    {
      DispGuard disp;
      int shown = right - left + 1;
      for (int r = 0; r < height; ++r) {
        size_t i = size_t(topRow + r);
        std::string line = i < rows.size() ? model.rowText(rows[i]) : std::string();
        line.resize(size_t(std::max(0, shown)), ' ');
        s.put(top + r, left, line, s.colors().standard());
      }
      s.setCursor(top + cr - topRow, left + std::min(cc, shown - 1));
    }
    int key = keyboard().waitKey(where);
    if (key == K_NONE) continue;
    Outcome outcome = Outcome::Continue;
    if (auto it = moveKeys().find(key); it != moveKeys().end()) {
      outcome = it->second(editor);
    } else if (!options.editable) {
      continue;
    } else if (auto ed = editKeys().find(key); ed != editKeys().end()) {
      model.keepColumn();
      outcome = ed->second(editor);
    } else if (key >= 32 && key <= 255) {
      model.keepColumn();
      model.type(char(key), readInsert());
    }
    if (outcome == Outcome::Save) {
      if (!options.editable || !model.modified()) return {text, true};
      return {model.text(), true};
    }
    if (outcome == Outcome::Abort) {
      bool ask = options.editable && model.modified() && options.confirmAbort &&
                 context().settings.scoreboard;
      if (ask && !confirmAbort()) continue;
      return {text, false};
    }
  }
}

}  // namespace rt::ui
