// Code blocks of an update script: compiled from the expression text of a script line when the
// line is read, evaluated later. Each block remembers its line: a runtime error while it compiles
// or runs comes out as a ScriptFailure naming that line, which the section handlers catch.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/core/value.h"

namespace patch {

struct ScriptBlock {
  rt::Value block;  // a code block
  int line = 0;     // script line it came from (0: a block of the installer's own)
};

// A runtime error inside the work of one script line.
class ScriptFailure : public std::runtime_error {
 public:
  ScriptFailure(int line, rt::Error cause)
      : std::runtime_error(cause.what()), line_(line), cause_(std::move(cause)) {}
  int line() const { return line_; }
  const rt::Error& cause() const { return cause_; }

 private:
  int line_;
  rt::Error cause_;
};

// Runs `work` for script line `line`, turning any error it raises into a ScriptFailure.
void forScriptLine(int line, const std::function<void()>& work);

// Compiles a block literal ("{|| ...}") or a plain expression into a block.
ScriptBlock compileScriptBlock(std::string_view text, int line);
// A block of the installer's own (defaults), from its source text.
ScriptBlock builtinBlock(std::string_view text);

// Evaluates one block without arguments.
rt::Value evalScriptBlock(const ScriptBlock& b);
// Evaluates every block in order; the value of the last one, true for an empty list.
rt::Value evalBlockList(const std::vector<ScriptBlock>& list);
// A tested value: true only for the logical true, so a test yielding anything else stops.
bool truthOf(const rt::Value& v);

}  // namespace patch
