// The working copies of the benefit edit form: private variables named after the register
// record's fields with a leading underscore (and a few companions), created when the form starts,
// loaded from the record being edited, and written back to it when the form saves.
//
// Every routine the form calls reaches the copies by name while the form runs; they vanish with
// the form's private frame.
#pragma once

#include <string>

#include "runtime/core/value.h"

namespace zus {

// Declares every working copy with its value for a new record, and the form's companion
// variables (`czy_new`, `_old_dni`, `wier`, `kol`, `getList`, ...), in the current frame.
void declareWorkingCopies(bool isNew);

// Takes the copies from the current record of `nieobec`; `skr_zas` from the benefit dictionary.
void loadWorkingCopies();

// Writes the copies into the current (locked) record of `nieobec`, in the order the fields are
// stored; `isNew` adds the marks of a fresh record and the employee's start of the sick-pay count.
void writeWorkingCopies(bool isNew);

// The fields of a new record (the employee's number and the copies as writeWorkingCopies(true)
// writes them) as {field name, value} pairs, for appending the record with them in one write.
rt::Value newRecordFields();

// The "T"/"F" text of the fill-up flags `_mies_dop`, one character per chosen month.
std::string fillUpFlagsText();

// The employee's `data_zus`, when the employee table has it as a date field.
bool hasSickPayStart();
int32_t sickPayStart();
void setSickPayStart(int32_t day);

}  // namespace zus
