// The payroll library's services for batch runs and employee choice:
//
//   ZAKRES(@range, @tab, 8, @index, ...)  the employee range: 0 cancelled, 1 all, 2 chosen
//       departments (`tab` names a public array of their keys, `index` the MAIN order and field
//       "SL_SLOW1"), 3 one employee (`tab` holds the number), 4 the library's own selection
//   GEN_PLACE(key, kind, rows, block, closing, NIL, title)  evaluates the block for every
//       employed employee with MAIN on that employee, then the closing block
//   WYB_PRAC(start, ...)  the employee chooser: the chosen number ("" after Esc), MAIN left on
//       that employee
//   WYB_OKRESU(row, col, @first [, @last])  months back from the payroll month; false when
//       cancelled
//   TRACE_OPEN(title, SPACE(37), row) / TRACE_CLOS()  the progress window of a run; the
//       employee's name goes to `tr_y`, `tr_x`
//   SKONCZYLEM(lines, NIL, title)  the closing summary of a run
#pragma once

namespace suite {

void registerBatchRunFunctions();

}  // namespace suite
