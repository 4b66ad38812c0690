#pragma once

#include "platform/FilePath.h"
#include "rename/RenamePlan.h"
#include "rename/RenameReport.h"

#include <QStringList>

// What the all-files page holds when the run starts.
struct SequenceInput {
    FilePath directory;    // Dir1's path
    QList<FilePath> files; // File1's entries, in list order
    QString prefix;        // Text1(0)
    QString startNumber;   // Text1(1)
    QString extension;     // Text1(2)
    QString journalPath;   // rename.undo; empty: no record for undoing the run
    // The program's folder: no file there may take one of the program's own names.
    QString programDirectory;
    // Folders page 2 never numbers: the one that holds the program (with the folders a
    // portable copy keeps its libraries' plugins and translations in) and the one in use for
    // its files.
    QStringList protectedFolders{};
};

// Why the run may not even be asked about, before anything: the folder is one of the
// protected folders. Empty when it may.
QString sequenceRefusal(const SequenceInput &input);

// The running number as it appears in a new name: its digits with zeros in front up to width.
// Digits longer than the width, as a negative number's can be, stay as they are.
QString sequenceNumberText(int number, int width);

// What a sequential rename did: refused before renaming anything, or ran with its report.
struct SequenceRun {
    QString refusal; // why nothing was tried; empty when the run went ahead
    RenameReport report;
    int renamed = 0; // files that have their new names now

    bool ran() const { return refusal.isEmpty(); }
    // "已改名 N 个文件，有 M 个文件未能改名：" and the failures; empty when all went well.
    QString failureMessage() const;
};

// The run RenameFilesInSequence makes of input; no steps, and refusal says why, when nothing
// is to be tried.
RenamePlan sequencePlan(const SequenceInput &input, QString *refusal);
// Why nothing is tried when input's list holds no file that may take a number.
inline const QString kNoFiles = QStringLiteral("没有文件");

// Renames the listed files to prefix + zero-padded running number + suffix. Hidden files (off
// Windows, names beginning with ".") are never renamed and take no number. Nothing is tried
// for an empty list or a start number whose numbers would leave -32768..32767. A rename that
// fails does not stop the run; the report collects the failures.
SequenceRun RenameFilesInSequence(const SequenceInput &input, const RenameProgress &progress = {});
