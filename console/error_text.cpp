// Building and showing the user's text of a runtime error.
#include "console/error_text.h"

#include <cstring>

#include "console/message_window.h"
#include "console/warning.h"

namespace con {

std::vector<std::string> errorLines(const rt::Error& e) {
  std::vector<std::string> lines;
  std::string head = e.description().empty() ? std::string(e.what()) : e.description();
  if (!e.operation().empty()) head += ": " + e.operation();
  lines.push_back(shortenLine(head));
  if (!e.file().empty()) lines.push_back(shortenLine("Plik: " + e.file()));
  if (e.osCode() != 0)
    lines.push_back(shortenLine("Kod bl`e`du systemu: " + std::to_string(e.osCode()) + " (" +
                                std::strerror(e.osCode()) + ")"));
  return lines;
}

void reportError(const rt::Error& e) { showWarning(errorLines(e)); }

}  // namespace con
