// The calculation run: its context, its steps and the break that abandons it.
//
// `OBL_ZAS` declares the run's variables (`zakr`, `tab`, `indeks`, `r_dt_obl`, `miesp`,
// `_miesp`, `powtorzyc`, `closed_dat`, ...) as privates of its frame, since the basis routines
// it calls by name read them; the counters and choices are also kept typed here. `OBL_FACETA`
// declares the employee's variables (`podstawa`, `podstawka`, `pod_pom`, `tylko_stale`,
// `ten_arch_stat`, `_stawka`, `skr_zas`, `min_pl_br`, `wymiar_et`, `kom_mac`) the same way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zus/calc/run_progress.h"

namespace zus::calcrun {

// Esc at a set-up question: unwinds to `OBL_ZAS`, which returns without a summary. Thrown
// inside the employee loop it ends the loop, and the summary is still shown.
struct RunAbandoned {};

enum class EmployeeRange { All = 1, Groups = 2, One = 3, Selection = 4 };

struct RunCounters {
  int employees = 0;    // razem_prac: employees processed
  int benefits = 0;     // razem_zas: benefits calculated
  int unavailable = 0;  // razem_lock: employees whose record could not be locked
  int critical = 0;     // bylybledy: records whose archive data were missing or whose
                        // work-time fraction cannot be one
};

struct CalcRun {
  EmployeeRange range = EmployeeRange::All;
  int dateKind = 1;      // 1 end date `do`, 2 payout date `dat_wyp`
  bool repeat = false;   // calculate correctly calculated records again
  int32_t month = 0;     // `_miesp`: a date in the month calculated
  RunCounters counters;
  ProgressName progressName;  // the employee named in the progress window
  bool implausibleFractionShown = false;  // the message of a wrong work-time fraction was shown
};

// `INI_OBL`: the set-up questions and the table set; throws RunAbandoned. Sets `setOpen` once
// the table set beginning with MAIN is open.
void setUpRun(CalcRun& run, bool& setOpen);
// `OBL_FACETA`: the employee `main` is on.
void calculateEmployee(CalcRun& run);
// `JAKA_PODSTAWA`: the daily basis of the current `nieobec` record; false, with a critical error
// counted, when the employee's work-time fraction cannot be one and the record is to be left.
bool chooseBasis(CalcRun& run);
// `_ZUSX_ZAS`: whether ZUS-paid benefits are calculated for the employee `main` is on.
bool calculatesZusBenefits();
// `OBL_KON`: the closing summary.
void showSummary(const CalcRun& run);
// The four lines of the summary (stored texts).
std::vector<std::string> summaryLines(const RunCounters& counters);

// `OBL_ZAS`: the whole run.
void OBL_ZAS();

// The run in progress, for the run's steps called by name (`OBL_FACETA`, `JAKA_PODSTAWA`);
// nullptr outside a run.
CalcRun* activeRun();

}  // namespace zus::calcrun
