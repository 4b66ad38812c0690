#pragma once

#include <QString>

#include <functional>

class EntryList;
class UserDialogs;

// Called after each file of a long rename with the number of files done and their total.
using RenameProgress = std::function<void(int done, int total)>;

// The states of the two option boxes; a box counts as on when its state is not 0.
struct BatchRenameOptions {
    int playlistState = 0; // Check1(0): write rename.m3u
    int historyState = 0;  // Check1(1): write rename.log
};

// Renames every listed file to its new name inside its own directory, writes rename.log and
// rename.m3u into programDirectory when their options are on, reports, and empties the list.
// An empty list does nothing at all.
//
// A file that cannot be renamed (the name is taken, the file is gone, the new name would leave
// the directory) keeps its name and the run goes on; one message at the end names the
// failures, and says so when the log or the playlist could not be written. Each log line
// reaches the operating system before its rename is tried; the playlist lists every file where
// it lies afterwards. Both are written in the legacy code page: a character it cannot
// represent, and any control character, is written as "?".
void RenameListedFiles(EntryList &list, UserDialogs &dialogs, const QString &programDirectory,
                       const BatchRenameOptions &options, const RenameProgress &progress = {});
