// The library's message window and the screen environment that dialogs save and put back.
//
// KOM shows one text or a column of lines in a window titled "Uwaga !", waits for a key and
// closes, or stays open and hands its handle to the caller. Lines hold at most 74 characters; a
// longer one shows as its first 70 followed by " ...". A column of more than 20 lines is cut to
// fit the screen, its last shown line reading "...".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "console/palette.h"
#include "runtime/term/backend.h"

namespace con {

inline constexpr size_t kMaxLineWidth = 74;
inline constexpr size_t kMaxMessageLines = 20;
inline constexpr const char* kMessageTitle = "Uwaga !";
inline constexpr const char* kUndefinedText = "Chwilowo nie okres`lone.";

// A text of at most 74 characters: a longer one becomes its first 70 and " ...".
std::string shortenLine(std::string_view text);

// A path of at most `width` characters: a longer one loses its beginning ("..." and its end), so
// the file's name stays in sight.
std::string shortenPath(std::string_view path, size_t width = kMaxLineWidth);

// The message window; returns its handle (already closed when it waited for a key).
std::string showMessage(std::string_view text, int set = kInformSet, bool wait = true);
std::string showMessage(const std::vector<std::string>& lines, int set = kInformSet,
                        bool wait = true);

// Colour state, cursor position and cursor shape, as the dialogs keep them.
struct ScreenEnvironment {
  ColourState colours;
  int row = 0, col = 0;
  rt::term::CursorShape shape = rt::term::CursorShape::Normal;
};
void SRODOWISKO(const ScreenEnvironment& env);

// Captures the environment (selecting `set` when given, hiding the cursor) and puts it back when
// the scope ends.
class EnvironmentScope {
 public:
  explicit EnvironmentScope(std::optional<int> set = std::nullopt);
  ~EnvironmentScope() { SRODOWISKO(env_); }
  EnvironmentScope(const EnvironmentScope&) = delete;
  EnvironmentScope& operator=(const EnvironmentScope&) = delete;
  const ScreenEnvironment& saved() const { return env_; }

 private:
  ScreenEnvironment env_;
};

}  // namespace con
