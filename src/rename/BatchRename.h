#pragma once

#include "rename/RenameReport.h"

#include <QString>

#include <functional>
#include <optional>

class EntryList;

// Called after each file of a long rename with the number of files done and their total.
using RenameProgress = std::function<void(int done, int total)>;

struct BatchRenameOptions {
    bool writePlaylist = false; // rename.m3u
    bool writeLog = false;      // rename.log
    QString journalPath;        // rename.undo; empty: no record for undoing the run
};

// Renames every listed file to its new name inside its own directory and writes rename.log
// and rename.m3u into outputDirectory when their options are on. Returns what happened; an
// empty list returns nothing and touches no file. The caller shows the report and empties
// the list.
//
// A file that cannot be renamed (the name is taken, the file is gone, the new name would leave
// the directory) keeps its name and the run goes on; the report names the failures, and says
// so when the log or the playlist could not be written. The playlist lists every file where
// it lies afterwards. Each rename tried is recorded for undoing the run (RenameJournal); the
// report says so when the record could not be written.
std::optional<RenameReport> RenameListedFiles(const EntryList &list, const QString &outputDirectory,
                                              const BatchRenameOptions &options,
                                              const RenameProgress &progress = {});
