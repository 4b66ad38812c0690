#pragma once

#include "platform/FileStamp.h"
#include "platform/RenameNoReplace.h"

#include <QFile>
#include <QList>
#include <QString>

#include <functional>

// rename.undo: every rename of the last run that renamed a file, so that the run can be
// undone, after a restart too. Each rename is written before it is tried and marked once it
// succeeded, so a run cut short by a crash still leaves a true record. Paths are kept as the
// file system's exact bytes, percent-encoded, one step a line:
//   tunemark-undo 1
//   try <old path> <new path>
//   done <file number> <size> <modification time>
class RenameJournal {
public:
    // Records into a file beside path until the first rename succeeds, then into path itself,
    // replacing the record of the run before: a run that renames nothing keeps that one.
    // An empty path records nothing.
    explicit RenameJournal(const QString &path);
    ~RenameJournal();
    RenameJournal(const RenameJournal &) = delete;
    RenameJournal &operator=(const RenameJournal &) = delete;

    // Runs rename, the rename of the file at source to newName in its folder, and records it.
    // A file that keeps its name, and a new name no file can have, are not recorded: nothing
    // is tried.
    RenameNoReplace::Result record(const FilePath &source, const QString &newName,
                                   const std::function<RenameNoReplace::Result()> &rename);
    // False once anything could not be written.
    bool ok() const { return m_ok; }

private:
    bool writeLine(const QByteArray &line);
    void recordTry(const FilePath &oldPath, const FilePath &newPath);
    void recordDone(const FilePath &newPath);

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
};

// The renames of the run recorded at path, in the order they were made; none when there is no
// record. A line cut short, or a try without its mark, counts as not renamed.
QList<JournalStep> readRenameJournal(const QString &path);

// The question before an undo: how many files, and in which folder or how many folders.
QString undoQuestion(const QList<JournalStep> &steps);

// What an undo did.
struct UndoReport {
    int undone = 0;
    QStringList failures; // "old name → new name：reason", one per file that stayed

    // "已撤销 N 个文件的改名", and the files that could not be undone.
    QString message() const;
};

// Renames every file of the run recorded at path back to its old name, the last renamed
// first, never replacing a file, and only while the file is still the one the run renamed.
// Empties the record.
UndoReport UndoLastRename(const QString &path);
