// The RESET export's settings: six public variables `rs_*` that live from `RS_INI` to
// `RS_DESTROY` within one RESET menu entry, and between entries in the memory file "rs_param" of
// the current directory (written whole, with every `rs_*` variable).
//
//   rs_kat_wzr  C  ""  template directory ("\" at its end unless empty)
//   rs_kat_exp  C  ""  export directory (likewise)
//   rs_rodz_nb  C  ""  kind -> RESET absence code list
//   rs_rodz_pr  C  ""  kind -> RESET percentage code list
//   rs_naz_gr   N  1   group name: 1 the dictionary's `nazwa`, 2 its `mnemo`
//   rs_nr_ind   N  0   MAIN order the export scopes on group keys
#pragma once

#include <string>

namespace zus {

// "rs_param" with the memory-file extension, in the current directory.
std::string resetSettingsFile();

// Creates the six settings with their defaults, then takes the saved values; a saved value of
// the wrong type falls back to the default. A damaged file is reported and leaves the defaults.
void RS_INI();
// Releases the six settings (unsaved changes are lost with them).
void RS_DESTROY();
// Writes every `rs_*` variable to "rs_param".
void saveResetSettings();

// The settings for the length of one entry: `RS_INI` now, `RS_DESTROY` on every way out.
class ResetSettingsScope {
 public:
  ResetSettingsScope() { RS_INI(); }
  ~ResetSettingsScope() { RS_DESTROY(); }
  ResetSettingsScope(const ResetSettingsScope&) = delete;
  ResetSettingsScope& operator=(const ResetSettingsScope&) = delete;
};

// The menu entry "Parametry eksportu do RESET": edits the two directories, the group-name form
// and the MAIN order; true when left with a key other than Esc (the settings were then saved).
bool RS_PARAM();

}  // namespace zus
