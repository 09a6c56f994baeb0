// The link configuration as program state: link arrays, stored link variables and derived codes.
//
// During a run the link lives in the private arrays of `MAIN`: `zas_slow` (1), `zas_zus`,
// `zas_place`, `zas_dni` (33 each) and `zas_dan` (40), and in seventeen derived item codes copied
// out of them. Between runs it lives in the link file "zas.zus" in the company directory as one
// memory variable per element: `zsx_slow1`, `zsx_zus`n, `zsx_pl`n, `zsx_dni`n (n = 1..33),
// `zsx_dan`n (n = 1..40), plus `zsx_n_rsa`, which the program carries through untouched.
#pragma once

#include <string>

#include "runtime/core/value.h"

namespace zus {

inline constexpr const char* kLinkFileName = "zas.zus";

// The name of a stored link variable: the stem and the slot number without blanks ("zsx_zus7").
std::string linkVarName(const char* stem, int slot);

// Declares, as privates of the current frame and without value: the stored link variables (slot
// by slot, then the data slots, then `zsx_slow1` and `zsx_n_rsa`), the link arrays and the
// derived codes, in the order the start-up declares them.
void declareLinkState();

// `LOAD_ARRAY`: stored link variables -> link arrays. A benefit slot whose `zsx_zus`n is missing
// or NIL gets "" in all three of its arrays; a data slot whose `zsx_dan`n is not text gets "".
void LOAD_ARRAY();

// `LOAD_VAR`: link arrays -> stored link variables (`rozm1`/`rozm2` slots, read from the
// caller's privates of those names, 33 and 40 when missing).
void LOAD_VAR();

// Copies the seventeen derived item codes out of the link arrays, in their fixed order.
void copyDerivedCodes();

// Element n (from 1) of the link array named, creating or growing the array as needed so that a
// write never fails.
rt::Value& linkElement(const char* array, int n);

// Sets every element of the link arrays to "" (an editor starting while no link exists).
void clearLinkArrays();

// Writes the link file: declares the stored link variables as privates of a frame of its own,
// fills them with `LOAD_VAR`, saves every "zsx_*" variable (with `zsx_n_rsa`) to
// `_path_spec` + "zas.zus", sets the link flag and copies the derived codes.
void saveLinkFile();

// Registers LOAD_ARRAY and LOAD_VAR for calls by name.
void registerLinkFunctions();

}  // namespace zus
