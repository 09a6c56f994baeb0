// The kind predicates over the program's link array `zas_zus`, and their registration by name.
#include "runtime/core/context.h"
#include "zus/shell/kind_predicates.h"

namespace zus {

bool kindIs(KindFamily family, std::string_view kind) {
  const rt::Value* zasZus = rt::context().memvars.tryGet("zas_zus");
  if (!zasZus || !zasZus->isArray()) return false;
  return kindIs(family, kind, zasZus->arr());
}

void registerKindPredicates() {
  for (const KindPredicate& p : kindPredicates()) {
    KindFamily family = p.family;
    // A kind that is not text matches no slot.
    rt::functions().add(p.name, [family](rt::Args& a) {
      return rt::Value::logical(a[0].isChar() && kindIs(family, a[0].str()));
    });
  }
}

}  // namespace zus
