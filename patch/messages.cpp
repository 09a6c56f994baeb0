// Warning windows and error texts of the installer.
#include "patch/messages.h"

#include "console/error_text.h"
#include "console/message_window.h"
#include "console/palette.h"

namespace patch {

namespace {
MessageObserver g_observer;
size_t g_shown = 0;
std::string g_section;
}

void setCurrentSection(std::string header) { g_section = std::move(header); }

std::string shownPath(std::string path) {
  const char from = !path.empty() && path[0] == '/' ? '\\' : '/';
  const char to = from == '/' ? '\\' : '/';
  for (char& c : path)
    if (c == from) c = to;
  return path;
}

size_t messagesShown() { return g_shown; }

std::string pathLine(const std::string& shown) {
  const std::string path = shownPath(shown);
  if (path.size() <= con::kMaxLineWidth) return path;
  return "..." + path.substr(path.size() - (con::kMaxLineWidth - 3));
}

std::vector<std::string> withPath(const std::string& text, const std::string& shown) {
  const std::string path = shownPath(shown);
  if (text.size() + path.size() <= con::kMaxLineWidth) return {text + path};
  std::string head = text;
  while (!head.empty() && head.back() == ' ') head.pop_back();
  return {head, pathLine(path)};
}

MessageObserver setMessageObserver(MessageObserver observer) {
  MessageObserver previous = std::move(g_observer);
  g_observer = std::move(observer);
  return previous;
}

void warnCopyFailure(int line, const std::string& source, const std::string& dest, int code) {
  std::vector<std::string> lines{scriptLineText(line)};
  for (std::string& l : withPath("Nie udalo sie skopiowac pliku ", source)) lines.push_back(std::move(l));
  for (std::string& l : withPath("do ", dest + " (kod " + std::to_string(code) + ")"))
    lines.push_back(std::move(l));
  warn(lines);
}

void warn(const std::vector<std::string>& lines) {
  ++g_shown;
  if (g_observer) g_observer(lines);
  con::showMessage(lines, con::kWarningSet, true);
}

void inform(const std::vector<std::string>& lines) {
  ++g_shown;
  if (g_observer) g_observer(lines);
  con::showMessage(lines, con::kInformSet, true);
}

std::string scriptLineText(int line) {
  if (line <= 0) return "Blad w skrypcie update.dat";
  return "Blad: " + (g_section.empty() ? std::string() : g_section + ", ") + "linia " +
         std::to_string(line) + " skryptu update.dat";
}

std::string plainAscii(const std::string& marked) {
  // The installer's texts are plain ASCII: the Polish letters' marks are dropped ("x`" is z with
  // a dot, so it becomes a plain z).
  std::string text;
  for (size_t i = 0; i < marked.size(); ++i) {
    const bool lettered = i + 1 < marked.size() && marked[i + 1] == '`';
    if (marked[i] == '`') continue;
    text += lettered && (marked[i] == 'x' || marked[i] == 'X') ? char(marked[i] + 2) : marked[i];
  }
  return text;
}

std::string errorText(const rt::Error& e) {
  std::string text = plainAscii(con::errorSummary(e));
  // The system's cause ("brak miejsca na dysku") is what the user can act on.
  if (e.osCode() != 0) text += " - " + plainAscii(con::systemErrorText(e.osCode()));
  if (!e.operation().empty()) text += ": " + e.operation();
  if (!e.file().empty()) text += " (" + shownPath(e.file()) + ")";
  return text;
}

ScriptFailure climbingName(int line, const std::string& name) {
  return ScriptFailure(line, rt::Error(rt::ErrorKind::Argument,
                                       "Nazwa pliku wychodzi poza swoj katalog", {}, name));
}

void warnScriptFailure(const ScriptFailure& f) {
  warn({scriptLineText(f.line()), errorText(f.cause())});
}

}  // namespace patch
