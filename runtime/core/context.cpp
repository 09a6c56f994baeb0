// The process's runtime context and the default TYPE() of a field.
#include "runtime/core/context.h"

#include "runtime/core/error.h"

namespace rt {

std::string FieldResolver::fieldType(std::string_view alias, std::string_view field) {
  try {
    Value v;
    if (alias.empty()) {
      if (!readField(field, v)) return "U";
    } else {
      v = readAliasField(alias, field);
    }
    return v.isNil() ? "U" : std::string(1, v.typeLetter());
  } catch (const Error&) {
    return "U";
  }
}

Context& context() {
  static Context ctx;
  return ctx;
}

FieldResolver* installFieldResolver(FieldResolver* resolver) {
  FieldResolver* previous = context().fields;
  context().fields = resolver;
  return previous;
}

}  // namespace rt
