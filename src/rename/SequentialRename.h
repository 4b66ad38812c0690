#pragma once

#include "rename/BatchRename.h"

#include <QStringList>

class UserDialogs;

// What the all-files page holds when the run starts.
struct SequenceInput {
    QString directory;   // Dir1's path
    QStringList files;   // File1's entries, in list order
    QString prefix;      // Text1(0)
    QString startNumber; // Text1(1)
    QString extension;   // Text1(2)
};

// Renames the listed files to prefix + zero-padded running number + suffix. Returns true when
// the run went ahead, so the caller re-reads the file list; false when nothing was tried.
bool RenameFilesInSequence(const SequenceInput &input, UserDialogs &dialogs,
                           const RenameProgress &progress = {});
