// The RESET kind mappings: lists that translate a benefit kind into a RESET code.
//
// A list is one text: entries joined by "////", an entry being the kind code as the link holds it
// (blanks included), ",,,," and the RESET code as typed in its two-character field. A kind has at
// most one entry; setting it again moves it to the end. Kind codes compare exactly (same length).
// The absence list lives in `rs_rodz_nb`, the percentage list in `rs_rodz_pr`.
#pragma once

#include <string>

namespace zus::reset_map {

// The RESET code of the first entry for the kind, trimmed; "" when none.
std::string lookup(const std::string& list, const std::string& kind);
// 1-based position of the first entry whose kind (byKind) or RESET code equals `code`; 0 if none.
int position(const std::string& list, const std::string& code, bool byKind = true);
// The list without that entry (unchanged when there is none).
std::string removed(const std::string& list, const std::string& code, bool byKind = true);
// The list with the kind's entry replaced by a new one at the end.
std::string added(const std::string& list, const std::string& kind, const std::string& resetCode);

// The two lists by their variable.
inline constexpr const char* kAbsenceList = "rs_rodz_nb";
inline constexpr const char* kPercentList = "rs_rodz_pr";
std::string listOf(const char* var);
void setList(const char* var, const std::string& list);

// `RO_NB_RES` and `RO_PR_RES`.
inline std::string absenceCode(const std::string& kind) { return lookup(listOf(kAbsenceList), kind); }
inline std::string percentCode(const std::string& kind) { return lookup(listOf(kPercentList), kind); }

}  // namespace zus::reset_map

namespace zus {

// The mapping screen "Powia`zanie rodzajo`w nieobecnos`ci ZEFIRON - RESET": each of the 33
// benefit slots of the link gets its RESET absence and percentage code. Ctrl+W or Ctrl+Enter at
// the list saves "rs_param"; Esc at the list drops the visit's changes. False when the dictionary
// could not be opened exclusively.
bool RS_RODZ_NB();

// The routines registered by name (RO_NB_RES ... RO_PR_DOD, RS_RODZ_NB).
void registerResetMappingFunctions();

}  // namespace zus
