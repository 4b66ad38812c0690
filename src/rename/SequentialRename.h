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

// The running number as it appears in a new name: its digits with zeros in front up to width.
// Digits longer than the width, as a negative number's can be, stay as they are.
QString SequenceNumberText(int number, int width);

// Renames the listed files to prefix + zero-padded running number + suffix. Returns true when
// the run went ahead, so the caller re-reads the file list; false when nothing was tried (an
// empty list, or a start number whose numbers would leave -32768..32767: the user is told).
// A rename that fails does not stop the run; the failures are reported together at its end.
bool RenameFilesInSequence(const SequenceInput &input, UserDialogs &dialogs,
                           const RenameProgress &progress = {});
