// Warning windows and error texts of the installer.
#include "patch/messages.h"

#include "console/error_text.h"
#include "console/message_window.h"
#include "console/palette.h"
#include "runtime/core/cp852.h"

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

std::string pathLine(const std::string& shown) { return con::shortenPath(shownPath(shown)); }

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

namespace {

// A Polish letter of code page 852 as its plain letter ("ę" as "e"); '?' for any other sign.
char plainLetter(unsigned char c) {
  static const std::pair<char32_t, char> kLetters[] = {
      {U'ą', 'a'}, {U'ć', 'c'}, {U'ę', 'e'}, {U'ł', 'l'}, {U'ń', 'n'}, {U'ó', 'o'}, {U'ś', 's'}, {U'ź', 'z'},
      {U'ż', 'z'}, {U'Ą', 'A'}, {U'Ć', 'C'}, {U'Ę', 'E'}, {U'Ł', 'L'}, {U'Ń', 'N'}, {U'Ó', 'O'}, {U'Ś', 'S'},
      {U'Ź', 'Z'}, {U'Ż', 'Z'}};
  const char32_t u = rt::cp852ToUnicode(c);
  for (const auto& [letter, plain] : kLetters)
    if (u == letter) return plain;
  return '?';
}

}  // namespace

std::string plainAscii(const std::string& marked) {
  // The installer's texts are plain ASCII: the Polish letters' marks are dropped ("x`" is z with
  // a dot, so it becomes a plain z), and so are those of a text written in code page 852.
  std::string text;
  for (size_t i = 0; i < marked.size(); ++i) {
    const bool lettered = i + 1 < marked.size() && marked[i + 1] == '`';
    if (marked[i] == '`') continue;
    if (static_cast<unsigned char>(marked[i]) >= 128) text += plainLetter(static_cast<unsigned char>(marked[i]));
    else text += lettered && (marked[i] == 'x' || marked[i] == 'X') ? char(marked[i] + 2) : marked[i];
  }
  return text;
}

std::string errorText(const rt::Error& e) {
  // The summary names the system's cause ("brak miejsca na dysku"): what the user can act on.
  std::string text = plainAscii(con::errorSummary(e));
  if (!e.operation().empty()) text += ": " + e.operation();
  if (!e.file().empty()) text += " (" + shownPath(e.file()) + ")";
  return text;
}

ScriptFailure climbingName(int line, const std::string& name) {
  return ScriptFailure(line, rt::userError(rt::ErrorKind::Argument,
                                           "Nazwa pliku wychodzi poza swoj katalog", {}, name));
}

void warnScriptFailure(const ScriptFailure& f) {
  warn({scriptLineText(f.line()), errorText(f.cause())});
}

}  // namespace patch
