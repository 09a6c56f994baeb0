// The month editor of the basis months and the form's month routines: OK_MIES (check of the
// answer "Czy wskazac` miesia`ce do podst.?"), JAKIE_MIES (run the editor, give the string or its
// display list), EDIT_MIES (the editor), OPER_MNU (its key routine, reached by name from the list
// choice) and SPOJNOSC_OK (the run check of the marked months).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zus/register/basis_months_codes.h"

namespace zus {

struct BasisMonthEdit {
  std::string codes;        // the month code string
  std::vector<bool> flags;  // its fill-up flags
  int32_t windowEnd = 0;    // `_od_dat`
};

// Runs the editor over rows 6 to 20, columns 19 to 45. `recordWindowEnd` is the `od_dat` of the
// register record the table stands on; `workingDate` is `lum_data`. Esc gives the codes and flags
// back as they came; the window end keeps what was settled.
BasisMonthEdit editBasisMonths(const BasisMonthEdit& given, int32_t recordWindowEnd,
                               int32_t workingDate, int biez);

// The key routine of the running editor for the highlighted month (OPER_MNU); 2 when no editor
// runs.
int basisMonthEditorKey(int month);
// SPOJNOSC_OK of the running editor: the marks form one run; otherwise its message and false.
bool basisMonthEditorRunCheck();

void registerBasisMonthFunctions();

}  // namespace zus
