// Compiling and evaluating the code blocks of a script, errors tagged with their script line.
#include "patch/script_block.h"

#include "runtime/core/expr.h"

namespace patch {

void forScriptLine(int line, const std::function<void()>& work) {
  try {
    work();
  } catch (const ScriptFailure&) {
    throw;  // already tagged by the innermost line
  } catch (const rt::Error& e) {
    throw ScriptFailure(line, e);
  } catch (const std::exception& e) {
    throw ScriptFailure(line, rt::Error(rt::ErrorKind::Other, e.what()));
  }
}

ScriptBlock compileScriptBlock(std::string_view text, int line) {
  ScriptBlock b{rt::Value(), line};
  forScriptLine(line, [&] { b.block = rt::Value::block(rt::compileBlock(text)); });
  return b;
}

ScriptBlock builtinBlock(std::string_view text) {
  return ScriptBlock{rt::Value::block(rt::compileBlock(text)), 0};
}

rt::Value evalScriptBlock(const ScriptBlock& b) {
  rt::Value v;
  forScriptLine(b.line, [&] { v = rt::evalBlock(b.block); });
  return v;
}

rt::Value evalBlockList(const std::vector<ScriptBlock>& list) {
  rt::Value last = rt::Value::logical(true);
  for (const ScriptBlock& b : list) last = evalScriptBlock(b);
  return last;
}

bool truthOf(const rt::Value& v) { return v.isLogical() && v.logical(); }

}  // namespace patch
