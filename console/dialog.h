// The button dialog _ALERT, the yes/no question DECYZJA and the list search SZUK_ACHOICE.
//
// _ALERT shows a question, optional comment lines and a row of buttons in a centred window and
// returns the chosen button's number; keys move the highlight (Home, End, arrows, PgUp/PgDn), a
// letter jumps to the next button that begins with it and chooses it when it is the only one,
// Enter chooses and Esc leaves. The colour state, the cursor and screen row 23 are given back.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace con {

inline constexpr size_t kMaxCommentLines = 14;
inline constexpr const char* kDefaultChoiceTitle = "Wybierz";
inline constexpr const char* kOptionsNotArray = "Bl`a`d przekazania parametru \"_OPTIONS\" !";
inline constexpr const char* kNoUsableOption = "Bl`a`d przekazania parametru \"OPTIONS\" !";

// A comment: none, one line, or several lines (already cleaned: texts only).
using Comment = std::variant<std::monostate, std::string, std::vector<std::string>>;

struct AlertSpec {
  std::string question;                         // "" becomes "Wybierz"
  std::vector<std::optional<std::string>> buttons;  // a button that is no text shows "???"
  std::optional<double> highlighted;            // invalid or none: button 1
  bool escAllowed = true;
  Comment comment;
  std::string title = kDefaultChoiceTitle;
  bool commentCleaned = false;  // the lines already went through `_P` and were shortened
};

// A comment line as the dialog shows it: through `_P`, at most 74 characters.
std::string cleanCommentLine(const std::string& line);

// Returns the chosen button, 0 after Esc (1 when Esc is not allowed), 0 for unusable buttons.
int ALERT(const AlertSpec& alert);
// The error path of a caller that passed no array of buttons.
int alertWithoutButtons();

// The yes/no question: true when "Tak" was chosen.
bool DECYZJA(bool yesFirst, const std::string& question, const Comment& comment = {});

struct ChoiceSearch {
  const std::vector<std::string>* items = nullptr;
  int current = 1;
  std::string key;                            // the search text, "UP" or "DOWN"
  const std::vector<bool>* selectable = nullptr;  // none: every item
  bool automatic = false;  // a unique match is accepted (an Enter goes to the keyboard)
  bool quick = false;      // the first match from the top, nothing accepted
};
int SZUK_ACHOICE(const ChoiceSearch& search);

}  // namespace con
