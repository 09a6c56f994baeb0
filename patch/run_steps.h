// Named steps of a run's end (the version writes, the journal's removal, the removal of each
// copy). Tests stop or kill the installer at one of them to see what a restart finds there.
#pragma once

#include <functional>
#include <string>

namespace patch {

inline constexpr const char* kStepVersionWritten = "version-written";
inline constexpr const char* kStepJournalRemoving = "journal-removing";
inline constexpr const char* kStepJournalRemoved = "journal-removed";
inline constexpr const char* kStepCopyRemoved = "copy-removed";
inline constexpr const char* kStepJournalRewriting = "journal-rewriting";

// Test seam: called when the run reaches a step. Pass an empty function to remove it.
using StepHook = std::function<void(const std::string& step)>;
void setStepHook(StepHook hook);

void reachStep(const char* step);

}  // namespace patch
