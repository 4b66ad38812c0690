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
void RenameListedFiles(EntryList &list, UserDialogs &dialogs, const QString &programDirectory,
                       const BatchRenameOptions &options, const RenameProgress &progress = {});
