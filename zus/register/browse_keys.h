// The register browse's key handler (`DBE_NB`, called by the browse as "dbe_nb") and the small
// windows it opens itself: the start date of the sick-pay count (F8), the help screen (`POMOC`)
// and the remarks editor (`DAJ_UWAGI`). The edit form, the counter editor and the basis window
// are reached by name.
#pragma once

namespace zus {

// Browse modes handed to the handler, and its answers.
inline constexpr int kBrowseIdle = 0;
inline constexpr int kBrowseKey = 4;
inline constexpr int kLeaveBrowse = 0;
inline constexpr int kGoOn = 1;
inline constexpr int kRedraw = 2;

int DBE_NB(int tryb);

// F8: the start date of the sick-pay count, read in a window and written to the locked employee
// record.
void editStartDate();

int POMOC();
void DAJ_UWAGI();

}  // namespace zus
