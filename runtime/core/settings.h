// SET settings of the runtime: a typed struct for the code, and access by the runtime's setting
// numbers for SET(n [, value]) called from expression text and scripts.
//
// Logical settings read "ON"/"OFF" texts as well as logicals when set by number. Numbers without a
// typed member here are kept as plain values so a SET call never fails.
#pragma once

#include <map>
#include <string>

#include "runtime/core/value.h"

namespace rt {

// The runtime's setting numbers.
enum class SetId : int {
  Exact = 1,
  Fixed = 2,
  Decimals = 3,
  DateFormat = 4,
  Epoch = 5,
  Path = 6,
  Default = 7,
  Exclusive = 8,
  SoftSeek = 9,
  Unique = 10,
  Deleted = 11,
  Cancel = 12,
  Color = 15,
  Cursor = 16,
  Console = 17,
  Device = 20,
  Printer = 23,
  PrintFile = 24,
  Margin = 25,
  Bell = 26,
  Confirm = 27,
  Escape = 28,
  Insert = 29,
  Exit = 30,
  Intensity = 31,
  Scoreboard = 32,
  Delimiters = 33,
  DelimChars = 34,
  Wrap = 35,
  Message = 36,
  MCenter = 37,
};

struct Settings {
  bool exact = false;        // string '=' compares whole texts (trailing blanks aside)
  bool fixed = false;        // '?' prints every number with `decimals` places
  int decimals = 2;          // decimals of quotients, powers and remainders
  std::string dateFormat = "dd.mm.yyyy";
  int epoch = 1960;          // two-digit years: 60..99 -> 1960..1999, 00..59 -> 2000..2059
  std::string path;          // extra search path for opening files
  std::string defaultDir;    // default directory for new files
  bool exclusive = true;     // tables open exclusive unless told shared
  bool softSeek = false;     // a failed seek stops on the next greater key
  bool unique = false;
  bool deleted = true;       // records marked deleted are hidden everywhere
  bool cancel = true;
  std::string color = "W/N,N/W,N,N,N/W";
  int cursor = 1;            // 0 off, 1 normal
  bool console = true;
  std::string device = "SCREEN";
  bool printer = false;
  std::string printFile;
  int margin = 0;
  bool bell = false;
  bool confirm = false;      // a form field is left only by a confirming key
  bool escape = true;
  bool insert = false;
  bool exitKeys = false;
  bool intensity = true;
  bool scoreboard = true;
  bool delimiters = false;
  std::string delimChars = "::";
  bool wrap = false;
  int message = 0;
  bool mcenter = false;

  // SET(n): the current value of setting n (NIL for an unknown number never set).
  Value get(int n) const;
  // SET(n, v): sets and returns the previous value. A NIL v only reads.
  Value set(int n, const Value& v);

 private:
  std::map<int, Value> others_;  // numbers without a typed member
};

}  // namespace rt
