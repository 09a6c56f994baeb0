// Building and showing the user's text of a runtime error.
#include "console/error_text.h"

#include <cerrno>
#include <regex>

#include "console/message_window.h"
#include "console/warning.h"

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
    default: break;
  }
  return "bl`a`d systemu nr " + std::to_string(code);
}

namespace {

// The few details of the runtime's English descriptions worth showing; the rest is covered by
// the heading of the error's kind.
struct DetailPattern {
  const char* pattern;  // ECMAScript regex searched in the description
  const char* text;     // Polish text; $1 stands for the first captured group
};

const DetailPattern kDetails[] = {
    {"the index holds record ([0-9]+)", "indeks wskazuje nieistnieja`cy rekord $1"},
    {"index does not match its table", "indeks nie zgadza sie` z baza`"},
    {"earlier write was interrupted", "przerwany wczes`niej zapis"},
    {"journal of an interrupted PACK is damaged", "uszkodzony dziennik przerwanego pakowania bazy"},
    {"when both are whole, delete the journal", "przywro`c` baze` i notatki z kopii lub, gdy sa` cal`e, usun` dziennik"},
    {"rebuild it with DBREINDEX|indexes must be rebuilt", "trzeba odbudowac` indeksy (DBREINDEX)"},
    {"[Tt]runcated|too short", "plik jest obcie`ty"},
    {"open read-only|read only", "plik otwarty tylko do odczytu"},
    {"memo file is full", "plik notatek jest pel`ny"},
    {"Index file is full", "plik indeksu jest pel`ny"},
    {"Damaged memory file", "uszkodzony plik zmiennych"},
    {"Exclusive required", "potrzebne wyl`a`czne otwarcie bazy"},
    {"Lock required", "potrzebna blokada rekordu"},
    {"Data type error", "zl`y typ danych"},
    {"Alias already in use", "alias jux` jest ux`ywany"},
    {"needs a terminal", "program wymaga terminala (wejs`cie lub wyjs`cie nie jest terminalem)"},
    {"terminal type in TERM is unknown", "nieznany typ terminala w zmiennej TERM"},
};

// How the runtime's own English descriptions begin. A description that begins otherwise was
// written in Polish by the layer that threw it (a print file, the installer's checks) and is
// shown as it is.
const char* const kRuntimeDescriptions[] = {
    "Corruption detected", "Open error", "Lock failure", "Write error", "Read error",
    "Create error", "Argument error", "Data type error", "Data width error", "Variable does not",
    "Alias does not", "Alias already", "Workarea not", "Undefined function", "Zero divisor",
    "Bound error", "Syntax error", "Index file", "Index key", "Invalid key", "Internal error",
    "Exclusive required", "Lock required", "String overflow", "Nesting too deep",
    "File is truncated", "Damaged memory file", "The terminal", "The program needs",
};

bool isRuntimeDescription(const std::string& description) {
  if (description.empty()) return true;
  for (const char* start : kRuntimeDescriptions)
    if (description.starts_with(start)) return true;
  return false;
}

}  // namespace

std::vector<std::string> errorDetails(const std::string& description) {
  std::vector<std::string> out;
  for (const DetailPattern& d : kDetails) {
    std::smatch m;
    if (!std::regex_search(description, m, std::regex(d.pattern))) continue;
    std::string text = d.text;
    const size_t at = text.find("$1");
    if (at != std::string::npos) text.replace(at, 2, m.size() > 1 ? m[1].str() : std::string());
    out.push_back(text);
  }
  return out;
}

std::string errorSummary(const rt::Error& e) {
  if (!isRuntimeDescription(e.description())) return e.description();
  std::string text = errorHeading(e.kind());
  for (const std::string& d : errorDetails(e.description())) text += "; " + d;
  return text;
}

std::vector<std::string> errorLines(const rt::Error& e) {
  std::vector<std::string> lines;
  const bool own = isRuntimeDescription(e.description());
  std::string head = own ? errorHeading(e.kind()) : e.description();
  if (!e.operation().empty()) head += ": " + e.operation();
  lines.push_back(shortenLine(head));
  if (own)
    for (const std::string& d : errorDetails(e.description())) lines.push_back(shortenLine(d));
  if (!e.file().empty()) lines.push_back(shortenLine("Plik: " + e.file()));
  if (e.osCode() != 0)
    lines.push_back(shortenLine("Kod bl`e`du systemu: " + std::to_string(e.osCode()) + " (" +
                                systemErrorText(e.osCode()) + ")"));
  return lines;
}

void reportError(const rt::Error& e) { showWarning(errorLines(e)); }

}  // namespace con
