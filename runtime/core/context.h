// The process's runtime: memory variables, SET settings, the function registry and the field
// resolver the table layer installs.
//
// Expression text resolves an unqualified name as a field of the selected work area first, then as
// a memory variable; `alias->field`, `alias->(expr)` and assignments to fields go through the
// resolver. With no resolver installed, names are memory variables only and any alias is unknown.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "runtime/core/functions.h"
#include "runtime/core/memvars.h"
#include "runtime/core/settings.h"
#include "runtime/core/value.h"

namespace rt {

// Names and aliases reach the resolver upper-case and trimmed.
class FieldResolver {
 public:
  virtual ~FieldResolver() = default;

  // A field of the selected work area: true and its value in `out`; false when no table is
  // selected or it has no such field (the name is then taken as a memory variable).
  virtual bool readField(std::string_view name, Value& out) = 0;
  // Assigns a field of the selected work area; false when there is no such field.
  virtual bool writeField(std::string_view name, const Value& v) = 0;

  // alias->field. Throws rt::Error(NoAlias, "Alias does not exist", ALIAS) for an unknown alias
  // and rt::Error(NoField, "Variable does not exist", FIELD) for an unknown field.
  virtual Value readAliasField(std::string_view alias, std::string_view field) = 0;
  virtual void writeAliasField(std::string_view alias, std::string_view field,
                               const Value& v) = 0;

  // alias->(expr): runs `body` with that alias's work area selected and reselects the previous
  // one afterwards, also when body throws. Unknown alias: rt::Error(NoAlias).
  virtual Value withAlias(std::string_view alias, const std::function<Value()>& body) = 0;

  // TYPE() of a field, never raising: the type letter ("C", "N", "D", "L", "M") or "U" when the
  // alias or the field does not exist. An empty alias means the selected work area.
  virtual std::string fieldType(std::string_view alias, std::string_view field);
};

struct Context {
  Memvars memvars;
  Settings settings;
  Functions& functions = rt::functions();
  FieldResolver* fields = nullptr;  // installed by the table layer; not owned
};

// The process's runtime context.
Context& context();

// Installs the field resolver (nullptr removes it) and returns the previous one.
FieldResolver* installFieldResolver(FieldResolver* resolver);

// Installs a resolver for a scope and puts back the previous one on destruction.
class FieldResolverScope {
 public:
  explicit FieldResolverScope(FieldResolver* r) : previous_(installFieldResolver(r)) {}
  ~FieldResolverScope() { installFieldResolver(previous_); }
  FieldResolverScope(const FieldResolverScope&) = delete;
  FieldResolverScope& operator=(const FieldResolverScope&) = delete;

 private:
  FieldResolver* previous_;
};

}  // namespace rt
