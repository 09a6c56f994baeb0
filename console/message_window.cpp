// The message window "Uwaga !" and the screen environment of the dialogs.
#include "console/message_window.h"

#include <algorithm>

#include "console/window.h"
#include "runtime/term/terminal.h"

namespace con {

namespace {

std::string openAndFill(const std::vector<std::string>& lines, bool wait) {
  auto& scr = rt::term::screen();
  size_t width = 0;
  for (const auto& l : lines) width = std::max(width, l.size());
  int n = int(lines.size()), w = int(width);
  int x = (80 - w - 4) / 2;
  int y = (25 - n - 2) / 2;
  if (y + n > 21) y = 21 - n;
  std::string handle = ROZWIN({kTitleBar, y - 1, x, y + n + 1, x + w + 3, kMessageTitle,
                               std::nullopt, false});
  rt::term::Attr attr = scr.colors().standard();
  for (int i = 0; i < n; ++i)
    scr.put(y + i + 1, x + 2 + (w - int(lines[size_t(i)].size())) / 2, lines[size_t(i)], attr);
  if (wait) {
    rt::term::keyboard().inkey(0);
    ZWIN(handle);
  }
  return handle;
}

}  // namespace

std::string shortenLine(std::string_view text) {
  if (text.size() <= kMaxLineWidth) return std::string(text);
  return std::string(text.substr(0, 70)) + " ...";
}

std::string shortenPath(std::string_view path, size_t width) {
  if (path.size() <= width) return std::string(path);
  return "..." + std::string(path.substr(path.size() - (width - 3)));
}

EnvironmentScope::EnvironmentScope(std::optional<int> set) {
  auto& scr = rt::term::screen();
  env_.colours = set ? K_SET_ZESTAW(ColourState{*set, std::nullopt}) : K_SET_ZESTAW();
  env_.row = scr.row();
  env_.col = scr.col();
  env_.shape = scr.cursorShape();
  scr.setCursorShape(rt::term::CursorShape::None);
}

void SRODOWISKO(const ScreenEnvironment& env) {
  auto& scr = rt::term::screen();
  K_SET_ZESTAW(env.colours);
  scr.setCursor(env.row, env.col);
  scr.setCursorShape(env.shape);
}

std::string showMessage(const std::vector<std::string>& given, int set, bool wait) {
  EnvironmentScope keep(set);
  K_NORM();
  std::vector<std::string> lines;
  for (const auto& l : given) lines.push_back(shortenLine(l));
  // More lines than the screen holds: the first ones and a line that says the rest is cut.
  if (lines.size() > kMaxMessageLines) {
    lines.resize(kMaxMessageLines);
    lines.back() = "...";
  }
  return openAndFill(lines, wait);
}

std::string showMessage(std::string_view given, int set, bool wait) {
  EnvironmentScope keep(set);
  K_NORM();
  auto& scr = rt::term::screen();
  std::string text = shortenLine(given);
  int len = int(text.size());
  int x = (80 - len - 4) / 2;
  std::string handle =
      ROZWIN({-kTitleBar, 10, x, 13, x + len + 3, kMessageTitle, std::nullopt, false});
  scr.put(12, x + 2, text, scr.colors().standard());
  if (wait) {
    rt::term::keyboard().inkey(0);
    ZWIN(handle);
  }
  return handle;
}

}  // namespace con
