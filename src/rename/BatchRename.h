#pragma once

#include "list/EntryTable.h"
#include "rename/RenamePlan.h"
#include "rename/RenameReport.h"

#include <QString>

#include <optional>

struct BatchRenameOptions {
    bool writePlaylist = false; // rename.m3u
    bool writeLog = false;      // rename.log
    QString journalPath;        // rename.undo; empty: no record for undoing the run
    // Lines whose tag text may be garbled (RenameEntry::looksGarbled) keep their names.
    bool keepGarbledNames = false;
};

// The step that renames entry to its new name, or keeps its name where keepName.
RenameStep stepOf(const RenameEntry &entry, bool keepName = false);

// The plan that renames every entry to its new name inside its own directory; rename.log and
// rename.m3u go into outputDirectory, where no entry may take one of the program's own names.
RenamePlan planListedFiles(const EntryTable &entries, const QString &outputDirectory,
                           const BatchRenameOptions &options);

// Renames every entry to its new name inside its own directory and writes rename.log and
// rename.m3u into outputDirectory when their options are on. Returns what happened; no entries
// return nothing and touch no file. The caller shows the report and empties the list.
//
// A file that cannot be renamed (the name is taken, the file is gone, the new name would leave
// the directory) keeps its name and the run goes on; the report names the failures, and says
// so when the log or the playlist could not be written (see executePlan).
std::optional<RenameReport> RenameListedFiles(const EntryTable &entries,
                                              const QString &outputDirectory,
                                              const BatchRenameOptions &options,
                                              const RenameProgress &progress = {});
