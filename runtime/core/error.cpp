// rt::Error: the runtime error; what() reads "Description: operation" as the default handler shows it.
#include "runtime/core/error.h"

namespace rt {

namespace {
std::string summary(const std::string& description, const std::string& operation,
                    const std::string& file) {
  std::string s = description;
  if (!operation.empty()) s += ": " + operation;
  if (!file.empty()) s += " (" + file + ")";
  return s;
}
}  // namespace

Error::Error(ErrorKind kind, std::string description, std::string operation, std::string file,
             int osCode, bool canRetry)
    : std::runtime_error(summary(description, operation, file)),
      kind_(kind),
      description_(std::move(description)),
      operation_(std::move(operation)),
      file_(std::move(file)),
      osCode_(osCode),
      canRetry_(canRetry) {}

int baseCode(const Error& e) {
  struct Entry {
    const char* operation;
    int code;
  };
  static const Entry kArgument[] = {
      {"==", 1070}, {"=", 1071}, {"!=", 1072}, {"<>", 1072}, {"#", 1072}, {"<", 1073},
      {"<=", 1074}, {">", 1075}, {">=", 1076}, {".NOT.", 1077}, {".AND.", 1078}, {".OR.", 1079},
      {"+", 1081}, {"-", 1082}, {"*", 1083}, {"/", 1084}, {"%", 1085}, {"**", 1088},
      {"^", 1088}, {"$", 1109}, {"array access", 1068}, {"array assign", 1069},
      {"VAL", 1098}, {"STR", 1099}, {"SUBSTR", 1110}};
  switch (e.kind()) {
    case ErrorKind::Argument:
      for (const Entry& entry : kArgument)
        if (e.operation() == entry.operation) return entry.code;
      return 0;
    case ErrorKind::ZeroDivisor: return e.operation() == "/" ? 1340 : 1341;
    case ErrorKind::Bound: return e.operation() == "array assign" ? 1133 : 1132;
    case ErrorKind::NoVariable:
    case ErrorKind::NoField: return 1003;
    case ErrorKind::NoFunction: return 1001;
    case ErrorKind::NoAlias: return 1002;
    case ErrorKind::Syntax: return 1449;
    default: return 0;
  }
}

}  // namespace rt
