// What the benefit edit form shows and reads for a kind: the kind entry of a new record, and, once
// the kind is known, the entries of that kind (in reading order, appended to the form's `getList`)
// with the displays drawn between them. Which entries a kind gets is decided once, when the form is
// drawn; the day count's entry condition is the reader's, asked whenever it reaches the entry.
#pragma once

#include <functional>
#include <string>

#include "runtime/ui/get.h"

namespace zus {

// Screen places of the form: its window spans rows 6 to 21 and columns 1 to 78.
inline constexpr int kFormTop = 6;
inline constexpr int kFormLeft = 1;
inline constexpr int kFormHeight = 15;

// An entry on a working copy with a label at (row, col) (label through `_P`); the entry stands
// one column after the label, or at `valueCol` when given. It is shown and appended to `getList`.
rt::ui::GetPtr addEntry(int row, int col, const std::string& label, const std::string& variable,
                        const std::string& picture, std::function<bool()> check = {},
                        int valueCol = -1);

// The kind entry of a new record: the abbreviation `skr_zas`, checked by `OK_ZAS`.
rt::ui::GetPtr addKindEntry();

// Draws the entries and displays of the kind in `_zasilek`.
void buildKindEntries();

}  // namespace zus
