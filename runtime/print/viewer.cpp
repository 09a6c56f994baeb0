// The print viewer: drawing the visible window of the document and moving it by key.
#include "runtime/print/viewer.h"

#include <algorithm>
#include <map>

#include "runtime/term/keys.h"
#include "runtime/term/terminal.h"

namespace rt::print {

using namespace rt::term;

void PrintedDocument::addLine(std::string_view text) {
  ViewLine l;
  l.runs = splitStyled(text, state_);
  l.page = pages;
  lines.push_back(std::move(l));
}

void PrintedDocument::addPageBreak() {
  ++pages;
  ViewLine l;
  l.pageBreak = true;
  l.page = pages;
  lines.push_back(std::move(l));
}

namespace {

struct Palette {
  Attr text, bold, underline, boldUnderline, rule, bar;
};

Palette palette() {
  if (screen().isColor())
    return {makeAttr(7, 0), makeAttr(15, 0), makeAttr(11, 0), makeAttr(14, 0), makeAttr(8, 0),
            makeAttr(0, 3)};
  // Monochrome: bright is bold and the underline colour is underlined.
  return {makeAttr(7, 0), makeAttr(15, 0), makeAttr(1, 0), makeAttr(9, 0), makeAttr(7, 0),
          makeAttr(0, 7)};
}

int lineWidth(const ViewLine& l) {
  int w = 0;
  for (const StyledRun& r : l.runs) w += int(r.text.size());
  return w;
}

std::string fit(std::string s, int width) {
  s.resize(size_t(width), ' ');
  return s;
}

}  // namespace

int Viewer::maxTop() const { return std::max(0, int(doc_.lines.size()) - kBodyRows); }

int Viewer::maxLeft() const {
  int widest = 0;
  for (const ViewLine& l : doc_.lines) widest = std::max(widest, lineWidth(l));
  return std::max(0, widest - kScreenCols);
}

void Viewer::draw() const {
  Screen& s = screen();
  DispGuard burst;
  const Palette p = palette();
  std::string head = " " + doc_.title;
  s.put(0, 0, fit(head, kScreenCols), p.bar);
  for (int row = 0; row < kBodyRows; ++row) {
    int index = top_ + row;
    int screenRow = kBodyTop + row;
    s.put(screenRow, 0, std::string(kScreenCols, ' '), p.text);
    if (index >= int(doc_.lines.size())) continue;
    const ViewLine& l = doc_.lines[size_t(index)];
    if (l.pageBreak) {
      std::string rule = std::string(3, '\xC4') + " " + std::to_string(l.page) + " ";
      rule += std::string(size_t(kScreenCols) - rule.size(), '\xC4');
      s.put(screenRow, 0, rule, p.rule);
      continue;
    }
    int col = 0;
    for (const StyledRun& r : l.runs) {
      Attr a = r.bold && r.underline ? p.boldUnderline
               : r.bold              ? p.bold
               : r.underline         ? p.underline
                                     : p.text;
      for (char ch : r.text) {
        int x = col - left_;
        if (x >= 0 && x < kScreenCols) s.put(screenRow, x, std::string_view(&ch, 1), a);
        ++col;
      }
    }
  }
  int last = std::min(int(doc_.lines.size()), top_ + kBodyRows);
  int page = doc_.lines.empty() ? 1 : doc_.lines[size_t(std::min(top_, int(doc_.lines.size()) - 1))].page;
  std::string status = " \x18\x19 PgUp PgDn Home End \x1b\x1a   Esc - koniec   str. " +
                       std::to_string(page) + "/" + std::to_string(doc_.pages) + "  wiersze " +
                       std::to_string(doc_.lines.empty() ? 0 : top_ + 1) + "-" +
                       std::to_string(last) + "/" + std::to_string(doc_.lines.size()) +
                       "  kol. " + std::to_string(left_ + 1);
  s.put(24, 0, fit(status, kScreenCols), p.bar);
  s.setCursorShape(CursorShape::None);
}

Viewer::Outcome Viewer::handle(int key) {
  const int page = kBodyRows;
  switch (key) {
    case K_ESC:
    case K_ENTER:
      return Outcome::Leave;
    case K_UP: top_ -= 1; break;
    case K_DOWN: top_ += 1; break;
    case K_PGUP: top_ -= page; break;
    case K_PGDN: top_ += page; break;
    case K_HOME:
    case K_CTRL_PGUP: top_ = 0; break;
    case K_END:
    case K_CTRL_PGDN: top_ = maxTop(); break;
    case K_LEFT: left_ -= 10; break;
    case K_RIGHT: left_ += 10; break;
    case K_CTRL_LEFT: left_ -= 40; break;
    case K_CTRL_RIGHT: left_ += 40; break;
    default: break;
  }
  top_ = std::clamp(top_, 0, maxTop());
  left_ = std::clamp(left_, 0, maxLeft());
  return Outcome::Continue;
}

void Viewer::run() {
  ScreenStateGuard state;
  Screen& s = screen();
  std::string beneath = s.save(0, 0, Screen::maxRow(), Screen::maxCol());
  struct Restore {
    std::string& saved;
    ~Restore() { screen().restore(0, 0, Screen::maxRow(), Screen::maxCol(), saved); }
  } restore{beneath};
  for (;;) {
    draw();
    int key = keyboard().waitKey({"PRINT VIEWER", 0, ""});
    if (handle(key) == Outcome::Leave) break;
  }
}

}  // namespace rt::print
