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

}  // namespace rt
