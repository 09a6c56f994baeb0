// The library's own failure reports: a message window titled "Uwaga !" in the warning colour set
// that waits for a key. Everything the library tells the user about its own failures passes
// through showWarning, so tests (and programs without a screen) can take the lines instead.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace con {

using WarningSink = std::function<void(const std::vector<std::string>& lines)>;

// Shows the lines (one line: a single text) the way the library reports its failures.
void showWarning(const std::vector<std::string>& lines);

// Replaces where warnings go; an empty sink restores the message window. Returns the previous.
WarningSink setWarningSink(WarningSink sink);

// Collects warnings for as long as it lives, then puts the previous sink back.
class WarningCapture {
 public:
  WarningCapture();
  ~WarningCapture();
  WarningCapture(const WarningCapture&) = delete;
  WarningCapture& operator=(const WarningCapture&) = delete;
  const std::vector<std::vector<std::string>>& messages() const { return messages_; }

 private:
  std::vector<std::vector<std::string>> messages_;
  WarningSink previous_;
};

}  // namespace con
