// Headless back end: the screen as the user would see it, scripted keys and a virtual clock.
#include "runtime/term/headless.h"

#include "runtime/term/glyphs.h"
#include "runtime/term/terminal.h"

namespace rt::term {

Headless::Headless() {
  screen().reset();
  keyboard().reset();
  previous_ = installBackend(this);
}

Headless::~Headless() {
  installBackend(previous_);
  keyboard().reset();
}

void Headless::keys(std::initializer_list<int> codes) {
  for (int k : codes) {
    script_.push_back({k, pendingDelay_});
    pendingDelay_ = 0;
  }
}

void Headless::keys(const std::vector<int>& codes) {
  for (int k : codes) {
    script_.push_back({k, pendingDelay_});
    pendingDelay_ = 0;
  }
}

void Headless::type(std::string_view text) {
  for (char c : text) {
    script_.push_back({(unsigned char)c, pendingDelay_});
    pendingDelay_ = 0;
  }
}

void Headless::typeUtf8(std::string_view text) { type(utf8ToGlyphs(text)); }

void Headless::pause(double seconds) { pendingDelay_ += seconds; }

size_t Headless::keysLeft() const { return script_.size(); }

std::optional<int> Headless::readKey(double timeoutSeconds) {
  if (script_.empty()) {
    if (timeoutSeconds < 0) throw KeysExhausted();
    clock_ += timeoutSeconds;
    return std::nullopt;
  }
  Scripted& next = script_.front();
  if (timeoutSeconds >= 0 && next.delay > timeoutSeconds) {
    // The key comes later than the caller waits: time passes, nothing arrives.
    next.delay -= timeoutSeconds;
    clock_ += timeoutSeconds;
    return std::nullopt;
  }
  clock_ += next.delay;
  int k = next.key;
  script_.pop_front();
  return k;
}

void Headless::writeRun(int row, int col, const Cell* cells, int count) {
  for (int i = 0; i < count; ++i) {
    if (row < 0 || row >= kScreenRows || col + i < 0 || col + i >= kScreenCols) continue;
    shown_[row][col + i] = cells[i];
  }
  cellsDrawn_ += count;
}

void Headless::showCursor(int row, int col, CursorShape shape) {
  curRow_ = row;
  curCol_ = col;
  shape_ = shape;
}

std::vector<std::string> Headless::lines() const {
  std::vector<std::string> out;
  for (int r = 0; r < kScreenRows; ++r) out.push_back(line(r));
  return out;
}

std::string Headless::line(int row) const {
  std::string s;
  if (row < 0 || row >= kScreenRows) return s;
  for (int c = 0; c < kScreenCols; ++c) s += char(shown_[row][c].ch);
  return s;
}

std::string Headless::textAt(int row, int col, int width) const {
  std::string s;
  for (int c = col; c < col + width && c < kScreenCols; ++c)
    if (row >= 0 && row < kScreenRows && c >= 0) s += char(shown_[row][c].ch);
  return s;
}

namespace {
std::string rtrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}
}  // namespace

std::string Headless::text() const {
  std::string s;
  for (int r = 0; r < kScreenRows; ++r) {
    if (r) s += '\n';
    s += rtrim(line(r));
  }
  return s;
}

}  // namespace rt::term

namespace rt::term {

std::string Headless::lineUtf8(int row) const {
  std::string s = line(row);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return glyphsToUtf8(s);
}

std::string Headless::textUtf8() const {
  std::string s;
  for (int r = 0; r < kScreenRows; ++r) {
    if (r) s += '\n';
    s += lineUtf8(r);
  }
  return s;
}

}  // namespace rt::term
