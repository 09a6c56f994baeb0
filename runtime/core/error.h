// rt::Error: a runtime error, with what the user must read.
//
// Runtime errors are C++ exceptions. The description is the runtime's kind of text ("Argument
// error", "Zero divisor", "Variable does not exist", "Data width error"); the operation names the
// function or operator; the file names what was being read or written; osCode is errno when the
// system refused something; canRetry tells a caller whether offering "retry" makes sense.
#pragma once

#include <stdexcept>
#include <string>

namespace rt {

enum class ErrorKind {
  Argument,       // wrong type or value of an argument
  ZeroDivisor,
  NoVariable,     // "Variable does not exist"
  NoFunction,     // "Undefined function"
  NoAlias,        // "Alias does not exist"
  NoField,        // "Variable does not exist" for a field name
  Syntax,         // expression text that does not compile
  Bound,          // "Bound error": array subscript
  DataWidth,      // number too wide for its field
  Open,           // file cannot be opened
  Create,
  Read,
  Write,
  Corrupt,        // damaged file
  Lock,           // lock refused
  NetErr,         // shared/exclusive open refused
  Other,
};

// Why an operation failed, where neither the kind nor the system's error code tells it. The
// user's text is built from these fields, never from the English description.
enum class ErrorCause {
  None,
  Truncated,         // the file is shorter than its header says
  InterruptedWrite,  // a writer stopped between a table and its index: the indexes must be rebuilt
  DamagedJournal,    // the journal of an interrupted PACK cannot be read: nothing is renamed
  ReadOnly,          // the file is open for reading only
  Full,              // an index or memo file reached its largest size
  ExclusiveNeeded,   // the operation needs the table opened exclusively
  LockNeeded,        // the write needs a record or file lock
  AliasInUse,
  NoTerminal,        // the program's input or output is not a terminal
  UnknownTerminal,   // TERM names no known terminal
  UserText,          // the description is the user's text, in Polish, in the stored form
};

class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, std::string description, std::string operation = {},
        std::string file = {}, int osCode = 0, bool canRetry = false);

  ErrorKind kind() const { return kind_; }
  const std::string& description() const { return description_; }
  const std::string& operation() const { return operation_; }
  const std::string& file() const { return file_; }
  int osCode() const { return osCode_; }
  bool canRetry() const { return canRetry_; }
  ErrorCause cause() const { return cause_; }

  // Sets the cause: `throw Error(...).because(ErrorCause::Full)`.
  Error& because(ErrorCause cause) {
    cause_ = cause;
    return *this;
  }

 private:
  ErrorKind kind_;
  std::string description_, operation_, file_;
  int osCode_;
  bool canRetry_;
  ErrorCause cause_ = ErrorCause::None;
};

// An error whose description is the user's text, in Polish (code page 852 or the stored form of
// Polish letters, as the message windows take them).
inline Error userError(ErrorKind kind, std::string text, std::string operation = {},
                       std::string file = {}, int osCode = 0) {
  return Error(kind, std::move(text), std::move(operation), std::move(file), osCode)
      .because(ErrorCause::UserText);
}

// The runtime's numeric code of an error of the core ("BASE/1081" for an argument error of '+'),
// for the error display; 0 when the error has no such code.
int baseCode(const Error& e);

}  // namespace rt
