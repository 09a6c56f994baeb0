// GETENV, SET, VERSION, OS, ERRORLEVEL, ERRORBLOCK.
#include "runtime/core/std_system.h"

#include <cstdlib>

#include "runtime/core/context.h"
#include "runtime/core/std_args.h"
#include "runtime/core/std_register.h"

namespace rt {
namespace {

using namespace stdargs;

int& exitCode() {
  static int code = 0;
  return code;
}

Value& installedErrorBlock() {
  static Value block;
  return block;
}

}  // namespace

int errorLevel() { return exitCode(); }
void setErrorLevel(int code) { exitCode() = code; }

Value errorBlock() { return installedErrorBlock(); }

Value setErrorBlock(Value block) {
  Value previous = installedErrorBlock();
  installedErrorBlock() = std::move(block);
  return previous;
}

namespace detail {

void registerSystemFunctions(Functions& f) {
  auto getenvFn = [](Args& a) {
    const std::string& name = needStr(a, 0, "GETENV");
    const char* v = std::getenv(name.c_str());
    if (v) return Value::text(v);
    return Value::text(a[1].isChar() ? a[1].str() : std::string());
  };
  f.add("GETENV", getenvFn);
  f.add("GETE", getenvFn);
  f.add("SET", [](Args& a) {
    int n = int(needInt(a, 0, "SET"));
    Settings& s = context().settings;
    if (a.count() < 2) return s.get(n);
    return s.set(n, a[1]);
  });
  f.add("VERSION", [](Args&) { return Value::text("ZEF xBase runtime 1.0"); });
  f.add("OS", [](Args&) { return Value::text("Linux"); });
  f.add("ERRORLEVEL", [](Args& a) {
    int previous = errorLevel();
    if (a[0].isNum()) setErrorLevel(int(needInt(a, 0, "ERRORLEVEL")));
    return integer(previous);
  });
  f.add("ERRORBLOCK", [](Args& a) {
    if (a[0].isNil()) return errorBlock();
    if (!a[0].isBlock()) argumentError("ERRORBLOCK");
    return setErrorBlock(a[0]);
  });
}

}  // namespace detail
}  // namespace rt
