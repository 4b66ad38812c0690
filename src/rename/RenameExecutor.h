#pragma once

#include "rename/RenamePlan.h"
#include "rename/RenameReport.h"

// What a run did.
struct RenameRun {
    RenameReport report;
    int renamed = 0; // steps whose files have their new names now (a kept name included)
};

// Carries out plan: the one loop that renames files, for both pages. Each step is judged again
// (RenameVerdict) and then renamed without replacing any file, and only while its source is the
// file listed; a step that fails does not stop the run. Each rename tried is recorded for undo
// (RenameJournal); rename.log shows each step before it is tried, and rename.m3u lists every
// file where it lies afterwards. Neither output is written into a file of the run. The report
// names the failures and what could not be written; outcome, when given, hears of each step as
// soon as it was tried.
RenameRun executePlan(const RenamePlan &plan, const RenameProgress &progress = {},
                      const StepOutcome &outcome = {});
