// Memory variables: PUBLIC and PRIVATE with dynamic scope.
//
// A public lives until released and is visible everywhere unless hidden. A private belongs to the
// routine (call frame) that declared it, is visible to everything that routine calls, hides any
// variable of the same name while it lives, and disappears when its frame ends. Frames are an
// explicit stack: rt::PrivateFrame marks the base on construction and, on destruction (a return
// or an exception unwinding the routine), drops the frame's privates and makes the hidden
// variables visible again with the values they had.
//
// Names are case-insensitive. Assigning to a name that is not visible creates a private in the
// current frame, as the runtime does for a plain assignment. RELEASE gives a variable the value
// NIL (it stays declared, so TYPE() reads "U"), as the classic runtime does.
//
// Pointers returned by ref() stay valid while the variable lives (until its frame ends).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/core/value.h"

namespace rt {

enum class Scope : uint8_t { Public, Private };

// One visible variable, as memory files save them.
struct MemvarInfo {
  std::string name;  // upper case, full length
  Value value;
  Scope scope;
};

class Memvars {
 public:
  Memvars();
  ~Memvars();
  Memvars(const Memvars&) = delete;
  Memvars& operator=(const Memvars&) = delete;

  // PUBLIC name [:= init]. A name not visible yet becomes a public holding .F.; a visible name
  // (public, or a private hiding it) is left as it is. With init, the visible variable is then
  // assigned init, as `PUBLIC x := v` does.
  void declarePublic(std::string_view name, std::optional<Value> init = std::nullopt);
  // PRIVATE name [:= init] (also PARAMETERS): a new variable of the current frame, holding init
  // (NIL when none), hiding any visible one of that name. Declaring again in the same frame
  // keeps the one variable and, with init, assigns it.
  void declarePrivate(std::string_view name, std::optional<Value> init = std::nullopt);

  bool exists(std::string_view name) const { return find(name) != nullptr; }
  bool isPublic(std::string_view name) const;
  // The visible variable's value; throws rt::Error(NoVariable) when there is none.
  const Value& get(std::string_view name) const;
  // nullptr when there is none: for callers that test first.
  const Value* tryGet(std::string_view name) const;
  // Assigns the visible variable, or creates a private of the current frame.
  void assign(std::string_view name, Value v);
  // A reference for passing by reference (@name); creates a NIL private when missing.
  Value* ref(std::string_view name);
  // The visible variable's storage or nullptr.
  Value* find(std::string_view name);
  const Value* find(std::string_view name) const;
  // The same for a name already upper-cased (the expression evaluator's fast path).
  Value* findUpper(const std::string& upperName) const;

  // TYPE of a variable by name, never raising: the type letter, or "U" when the name is unknown,
  // holds NIL, or is a subscript (name[1], name[1,2], name[1][2]) of something missing or not an
  // array or out of bounds.
  std::string typeOf(std::string_view nameOrSubscript) const;

  // RELEASE name: the visible variable becomes NIL. Unknown names are ignored.
  void release(std::string_view name);
  // RELEASE ALL [LIKE mask | EXCEPT mask]: the privates of the current frame whose names match
  // (LIKE) or do not match (EXCEPT) become NIL; an empty mask means all of them.
  void releaseAll(std::string_view mask = {}, bool except = false);
  // Removes every public and every private value (NIL for the privates, which stay declared in
  // their frames; publics are dropped): what a memory-file restore without ADDITIVE starts from.
  void clearAll();

  // The visible variables (each name once: the one that is visible), publics and privates.
  std::vector<MemvarInfo> list() const;

  // Frame bookkeeping for PrivateFrame.
  size_t openFrame();
  void closeFrame(size_t base);
  size_t depth() const { return frames_.size(); }

 private:
  struct Slot {
    std::string name;  // upper case
    Value value;
    Scope scope;
    Slot* hidden = nullptr;  // the variable this one hides (privates only)
    size_t frame = 0;        // frames_.size() at declaration (privates only)
  };

  Slot* findSlot(std::string_view name) const;
  Slot* newPrivate(std::string key, Value v);

  std::unordered_map<std::string, Slot*> visible_;
  std::unordered_map<std::string, std::unique_ptr<Slot>> publics_;
  std::vector<std::unique_ptr<Slot>> privates_;  // stack, innermost last
  std::vector<size_t> frames_;                   // privates_.size() at each frame's start
};

// The private frame of one routine: construct on entry, destroyed on return or unwinding.
class PrivateFrame {
 public:
  explicit PrivateFrame(Memvars& vars) : vars_(vars), base_(vars.openFrame()) {}
  ~PrivateFrame() { vars_.closeFrame(base_); }
  PrivateFrame(const PrivateFrame&) = delete;
  PrivateFrame& operator=(const PrivateFrame&) = delete;

 private:
  Memvars& vars_;
  size_t base_;
};

}  // namespace rt
