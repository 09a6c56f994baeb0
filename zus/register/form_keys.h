// The four function keys of the benefit edit form, bound for the time the form is open, and the
// register record the form edits (the keys that read or write the record return to it).
#pragma once

#include <cstdint>
#include <optional>

#include "runtime/term/keyboard.h"

namespace zus {

inline constexpr int kKeyF5 = -4;
inline constexpr int kKeyF7 = -6;
inline constexpr int kKeyCtrlF2 = -21;
inline constexpr int kKeyCtrlF3 = -22;

// Binds F5, F7, Ctrl+F3 and Ctrl+F2 to blocks calling `DAJ_F5`, `DAJ_F7`, `DAJ_CT_F3` and
// `DAJ_CT_F2`; release() (or the destructor) gives each key back the action it had before.
class FormKeys {
 public:
  FormKeys();
  ~FormKeys() { release(); }
  FormKeys(const FormKeys&) = delete;
  FormKeys& operator=(const FormKeys&) = delete;
  void release();

 private:
  std::optional<rt::term::HotKey> previous_[4];
  bool bound_ = true;
};

// The block text a key of the form is bound to: "{|pn,pl,vn,obj| <routine>(pn,pl,vn,obj)}".
rt::Value formKeyBlock(const char* routine);

// The register record being edited (0 for a new record or outside the form), set by the form
// for its lifetime.
uint32_t editedRecord();
class EditedRecord {
 public:
  explicit EditedRecord(uint32_t recno);
  ~EditedRecord();
  EditedRecord(const EditedRecord&) = delete;
  EditedRecord& operator=(const EditedRecord&) = delete;

 private:
  uint32_t previous_;
};

}  // namespace zus
