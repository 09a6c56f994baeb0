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

 private:
  ErrorKind kind_;
  std::string description_, operation_, file_;
  int osCode_;
  bool canRetry_;
};

// The runtime's numeric code of an error of the core ("BASE/1081" for an argument error of '+'),
// for the error display; 0 when the error has no such code.
int baseCode(const Error& e);

}  // namespace rt
