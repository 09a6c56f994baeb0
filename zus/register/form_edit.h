// `ED_NB`: the benefit edit form of the register browse, for the current register record
// (`czy_new` false) or a new one (true).
//
// Result: NIL when a new record is abandoned before a kind was chosen, false when the form ends
// without saving (Esc and "Nie", a refusal, a record that cannot be appended or locked), true
// after saving. The record lock taken for the save is kept.
#pragma once

#include "runtime/core/value.h"

namespace zus {

rt::Value ED_NB(bool isNew);

// The message shown when the record cannot be locked or appended for the save.
inline constexpr const char* kRecordBusy =
    "Zapis jest ux`ywany na innym stanowisku - zapis nie nasta`pi !";

}  // namespace zus
