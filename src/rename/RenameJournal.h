#pragma once

#include "platform/FileStamp.h"
#include "platform/RenameNoReplace.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QVector>

#include <functional>

// rename.undo: every rename of the last run that renamed a file, so that the run can be
// undone, after a restart too. Each rename is written before it is tried and marked once it
// succeeded, so a run cut short by a crash still leaves a true record. Renames go in blocks: the
// try lines of a block are written before the first of its renames, the done lines after the
// last, each done line matching the try of the same file number. Paths are kept as the
// file system's exact bytes, percent-encoded, one step a line:
//   tunemark-undo 2
//   try <old path> <new path> <file number> <size> <modification time>
//   done <file number> <size> <modification time>
// The stamp of a try is the file's before its rename, so that a try whose done a crash cut off
// can still be told renamed: its old name gone, its new name holding that stamp. An undo
// appends "undone <step>" for each file it takes back, so that an undo cut short resumes where
// it stopped. Records of version 1 (try lines without a stamp) are still read and undone.
class RenameJournal {
public:
    // Records into a file beside path until the first rename succeeds, then into path itself,
    // replacing the record of the run before: a run that renames nothing keeps that one.
    // An empty path records nothing.
    explicit RenameJournal(const QString &path);
    ~RenameJournal();
    RenameJournal(const RenameJournal &) = delete;
    RenameJournal &operator=(const RenameJournal &) = delete;

    // One rename of a block: the file at source, with its stamp before the rename, to newPath.
    struct Try {
        FilePath source;
        FilePath newPath;
        FileStamp stamp;
    };
    // Records a block of renames before any of them is tried, in one write.
    void recordTries(const QVector<Try> &tries);
    // Records, in one write, the renames of the last block that succeeded, by their stamps. The
    // first that succeeds in the run makes this record take the place of the last run's.
    void recordDone(const QVector<FileStamp> &renamed);

    // False once anything could not be written.
    bool ok() const { return m_ok; }

private:
    bool write(const QByteArray &lines);

    QString m_path;
    QFile m_file;
    bool m_ok = true;
    bool m_renamedAny = false;
    bool m_olderRemoved = false; // the run before's record, once this run renamed without one
};

// One rename the journal says succeeded.
struct JournalStep {
    FilePath oldPath;
    FilePath newPath;
    FileStamp stamp; // the file as it was right after the rename
    int index = 0;   // its place among the record's steps, as an undo marks it done
};

// The renames of the run recorded at path, in the order they were made; none when there is no
// record. A line cut short counts as not written; a try without its done counts as renamed
// where its old name is gone and its new name holds the stamp it recorded. The record is read
// as rename.ini is: only a regular file, never waited on, a line at a time, and refused (error
// says why) past kMostJournalSteps steps or at a line no path can make.
QList<JournalStep> readRenameJournal(const QString &path, QString *error = nullptr);
inline constexpr int kMostJournalSteps = 2'000'000;

// Whether the record at path holds a step to undo: read only up to its first step.
bool journalHasSteps(const QString &path);

// The question before an undo: how many files, and in which folder or how many folders.
QString undoQuestion(const QList<JournalStep> &steps);

// What an undo did.
struct UndoReport {
    int undone = 0;
    QStringList failures; // "old name → new name：reason", one per file that stayed
    int kept = 0;         // of those, the ones the record keeps to be undone again
    QString error;        // the record could not be read

    // "已撤销 N 个文件的改名", and the files that could not be undone.
    QString message() const;
};

// What stands in the way of undoing step now, in words; empty when nothing does (the rename
// back may still fail). back: the file has its old name again already.
QString undoObstacle(const JournalStep &step, bool *back);

// Called for each step an undo takes, with why it stayed; an empty reason: undone.
using UndoOutcome = std::function<void(const JournalStep &step, const QString &reason)>;

// Renames every file of steps, the run recorded at path, back to its old name, the last renamed
// first, never replacing a file, and only while the file is still the one the run renamed. A
// file found back already counts as undone. Steps that failed for a reason that may pass (a
// name taken, no permission, a file in use) stay in the record to be undone again; the others
// leave it, and an empty record is removed.
UndoReport UndoLastRename(const QString &path, QList<JournalStep> steps,
                          const UndoOutcome &outcome = {});
// The same for the steps read from path.
UndoReport UndoLastRename(const QString &path);
