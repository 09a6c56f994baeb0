// Building and showing the user's text of a runtime error.
#include "console/error_text.h"

#include <cerrno>
#include <string_view>

#include "console/message_window.h"
#include "console/warning.h"
#include "runtime/core/cp852.h"
#include "runtime/core/names.h"

namespace con {

std::string errorHeading(rt::ErrorKind kind) {
  using K = rt::ErrorKind;
  switch (kind) {
    case K::Open: return "Nie mox`na otworzyc` pliku";
    case K::Create: return "Nie mox`na utworzyc` pliku";
    case K::Read: return "Bl`a`d odczytu";
    case K::Write: return "Bl`a`d zapisu";
    case K::Corrupt: return "Uszkodzony plik";
    case K::Lock: return "Plik lub rekord ux`ywany na innym stanowisku";
    case K::NetErr: return "Plik ux`ywany na innym stanowisku";
    case K::DataWidth: return "Liczba nie mies`ci sie` w polu";
    case K::Syntax: return "Bl`a`d skl`adni wyrax`enia";
    case K::NoVariable: return "Nie ma takiej zmiennej";
    case K::NoFunction: return "Nieznana funkcja";
    case K::NoAlias: return "Baza nie jest otwarta";
    case K::NoField: return "Nie ma takiego pola";
    case K::Bound: return "Indeks poza zakresem tablicy";
    case K::Argument: return "Bl`e`dny argument";
    case K::ZeroDivisor: return "Dzielenie przez zero";
    case K::Other: break;
  }
  return "Bl`a`d programu";
}

std::string systemErrorText(int code) {
  switch (code) {
    case ENOENT: return "nie ma takiego pliku lub katalogu";
    case EACCES:
    case EPERM: return "brak uprawnien` do pliku";
    case ENOSPC: return "brak miejsca na dysku";
    case EROFS: return "dysk tylko do odczytu";
    case EIO: return "bl`a`d wejs`cia-wyjs`cia dysku";
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
      return "zaso`b chwilowo niedoste`pny";
    case EEXIST: return "plik jux` istnieje";
    case EISDIR: return "to jest katalog";
    case ENOTDIR: return "to nie jest katalog";
    case EMFILE: return "za dux`o otwartych pliko`w";
    case EDQUOT: return "przekroczony przydzial` miejsca na dysku";
    case EBUSY: return "zaso`b zaje`ty";
    case EBADF: return "plik otwarty tylko do odczytu";
    default: break;
  }
  return "bl`a`d systemu nr " + std::to_string(code);
}

namespace {

// A damaged compound index: the error names the index or happened in the index code.
bool aboutIndex(const rt::Error& e) {
  const std::string_view file = e.file();
  const bool indexFile = file.size() >= 4 && rt::sameName(file.substr(file.size() - 4), ".cdx");
  return e.operation() == "index" || e.operation() == "key" || indexFile;
}

std::string causeText(rt::ErrorCause cause) {
  using C = rt::ErrorCause;
  switch (cause) {
    case C::Truncated: return "plik jest obcie`ty";
    case C::InterruptedWrite: return "przerwany wczes`niej zapis";
    case C::DamagedJournal: return "uszkodzony dziennik przerwanego pakowania bazy";
    case C::ReadOnly: return "plik otwarty tylko do odczytu";
    case C::Full: return "plik osia`gna`l` najwie`kszy rozmiar";
    case C::ExclusiveNeeded: return "potrzebne wyl`a`czne otwarcie bazy";
    case C::LockNeeded: return "potrzebna blokada rekordu";
    case C::AliasInUse: return "alias jux` jest ux`ywany";
    case C::NoTerminal: return "program wymaga terminala (wejs`cie lub wyjs`cie nie jest terminalem)";
    case C::UnknownTerminal: return "nieznany typ terminala w zmiennej TERM";
    case C::None:
    case C::UserText: break;
  }
  return {};
}

// What the user can do about it, when there is something.
std::vector<std::string> remedy(const rt::Error& e) {
  if (e.cause() == rt::ErrorCause::DamagedJournal)
    return {"Przywro`c` baze` i notatki z kopii lub, gdy sa` cal`e, usun` dziennik;",
            "potem nalex`y odbudowac` indeksy (DBREINDEX)."};
  if (e.cause() == rt::ErrorCause::InterruptedWrite || (e.kind() == rt::ErrorKind::Corrupt && aboutIndex(e)))
    return {"Nalex`y odbudowac` indeksy (DBREINDEX)."};
  return {};
}

// The runtime's operations in Polish; names of functions, fields and variables stand as they are.
std::string operationText(const std::string& op) {
  struct Word {
    const char* op;
    const char* text;
  };
  static const Word kWords[] = {
      {"open", "otwarcie pliku"},        {"create", "utworzenie pliku"},
      {"read", "odczyt"},                {"write", "zapis"},
      {"append", "dopisanie rekordu"},   {"index", "indeks"},
      {"index read", "odczyt indeksu"},  {"key", "klucz indeksu"},
      {"memo", "plik notatek"},          {"print", "wydruk"},
      {"rename", "zmiana nazwy pliku"},  {"stat", "sprawdzenie pliku"},
      {"sync", "zapis na dysk"},         {"truncate", "skro`cenie pliku"},
      {"arithmetic", "obliczenie"},      {"block", "blok kodu"},
      {"expression", "wyrax`enie"},      {"backup", "kopia zapasowa"},
      {"lock", "blokada"},               {"array access", "odczyt elementu tablicy"},
      {"array assign", "zapis elementu tablicy"},
  };
  for (const Word& w : kWords)
    if (op == w.op) return w.text;
  return op;
}

bool userText(const rt::Error& e) { return e.cause() == rt::ErrorCause::UserText; }

std::string headline(const rt::Error& e) { return userText(e) ? e.description() : errorHeading(e.kind()); }

}  // namespace

rt::Error errorOf(const std::filesystem::filesystem_error& e) {
  return rt::Error(rt::ErrorKind::Other, {}, {}, rt::utf8ToCp852(e.path1().string()), e.code().value());
}

std::string errorReason(const rt::Error& e) {
  std::string text = causeText(e.cause());
  if (!text.empty()) return text;
  if (e.osCode() != 0) return systemErrorText(e.osCode());
  if (userText(e)) return {};
  if (e.kind() == rt::ErrorKind::Corrupt && aboutIndex(e)) return "uszkodzony indeks";
  if (e.kind() == rt::ErrorKind::Corrupt && (e.operation() == "RESTORE" || e.operation() == "SAVE"))
    return "uszkodzony plik zmiennych";
  if (e.kind() == rt::ErrorKind::Argument && !e.file().empty()) return "zl`y typ danych";
  return {};
}

std::string errorSummary(const rt::Error& e) {
  std::string text = headline(e);
  if (std::string why = errorReason(e); !why.empty()) text += "; " + why;
  return text;
}

std::vector<std::string> errorLines(const rt::Error& e) {
  std::vector<std::string> lines;
  std::string head = headline(e);
  // The layer that wrote its own text said what it was doing.
  if (!e.operation().empty() && !userText(e)) head += " (" + operationText(e.operation()) + ")";
  lines.push_back(head);
  if (!e.file().empty()) lines.push_back("Plik: " + shortenPath(e.file(), kMaxLineWidth - 6));
  if (std::string why = errorReason(e); !why.empty()) {
    if (e.osCode() != 0 && e.cause() == rt::ErrorCause::None)
      why += " (kod " + std::to_string(e.osCode()) + ")";
    lines.push_back("Przyczyna: " + why);
  }
  for (std::string& what : remedy(e)) lines.push_back(std::move(what));
  return lines;
}

void reportError(const rt::Error& e) { showWarning(errorLines(e)); }

}  // namespace con
