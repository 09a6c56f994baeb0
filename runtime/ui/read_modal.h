// The form reader (READMODAL): runs a list of form fields until the user leaves the form.
//
// Fields are visited in list order. A field whose WHEN is false is skipped in the direction of
// travel; leaving a field stores its buffer, then asks its VALID, and a false VALID keeps the
// cursor in the field (Esc alone leaves without storing or checking). The list is read by index at
// every step, so a check may append fields to the running form and the user reaches them.
//
// Ways out, told apart afterwards by LASTKEY: Esc (value of the field left as it was), Ctrl+W,
// PgUp and PgDn (write), Enter or typing out of the last field, and Up/Down beyond the ends when
// READEXIT is on. Hot keys (SETKEY) run with (procedure, line, READVAR) after the field's buffer
// was stored, and the field is reloaded afterwards. A read inside a check or hot key is a read of
// its own: the outer read's state comes back when it ends.
#pragma once

#include <string>

#include "runtime/core/value.h"
#include "runtime/ui/get.h"

namespace rt::ui {

// Where the fields of a running read come from; size() is asked again at every step.
class GetSource {
 public:
  virtual ~GetSource() = default;
  virtual size_t size() const = 0;
  virtual GetPtr at(size_t i) const = 0;
};

// How a read ended.
enum class ReadEnd { Escape, Write, LastField, Killed, NoField };

struct ReadOptions {
  std::string procedure;  // handed to hot keys, with `line`
  int line = 0;
};

struct ReadResult {
  bool updated = false;  // a field's value was stored
  ReadEnd end = ReadEnd::NoField;
};

ReadResult readModal(GetList& gets, const ReadOptions& options = {});
ReadResult readModal(GetSource& gets, const ReadOptions& options = {});

// --- state of the running read (the innermost one) ---------------------------------------------
// UPDATED(): the last read that ended stored a value (while a read runs: that read so far).
bool updated();
// READVAR(): the upper-case name of the field being edited, "" outside a read.
std::string readVar();
// The field being edited, or nullptr.
GetPtr activeGet();
// READKILL(): the running read ends as soon as control comes back to it.
bool readKill();
bool setReadKill(bool kill);  // returns the previous state
// READINSERT(): insert mode of the editors (the INSERT setting); returns the previous state.
bool readInsert();
bool setReadInsert(bool on);
// READEXIT(): Up on the first field and Down on the last leave the read.
bool readExit();
bool setReadExit(bool on);

// RANGECHECK: true when `value` lies within [low, high] (or the field being edited was not
// changed); otherwise shows "Range: low - high" on the top line until the next key (while SET
// SCOREBOARD is on) and refuses.
bool rangeCheck(const Value& value, const Value& low, const Value& high);

// Row and column of the reader's own messages ("Range: ...", "Invalid date").
inline constexpr int kScoreRow = 0;
inline constexpr int kScoreCol = 60;

}  // namespace rt::ui
