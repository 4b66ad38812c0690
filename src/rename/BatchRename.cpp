#include "rename/BatchRename.h"

#include "list/EntryList.h"
#include "platform/RenameNoReplace.h"
#include "rename/RenameJournal.h"
#include "rename/RenameOutputs.h"

RenameNoReplace::Result renameRecorded(RenameJournal &journal, const QString &directory,
                                       const QString &oldName, const QString &newName) {
    // Names refused before any attempt, and a file that keeps its name, leave no record.
    const bool tried =
        oldName != newName && RenameNoReplace::checkName(newName) == RenameNoReplace::Failure::None;
    if (tried)
        journal.recordTry(directory + oldName, directory + newName);
    const RenameNoReplace::Result result =
        RenameNoReplace::renameInDirectory(directory, oldName, newName);
    if (tried && result.ok())
        journal.recordDone(directory + newName);
    return result;
}

std::optional<RenameReport> RenameListedFiles(const EntryList &list, const QString &outputDirectory,
                                              const BatchRenameOptions &options,
                                              const RenameProgress &progress) {
    const EntryTable &table = list.table();
    const int rows = qMin(list.lineCount(), table.size());
    if (rows == 0)
        return std::nullopt;

    RenameReport report;
    std::optional<RenameLog> log;
    if (options.writeLog)
        log.emplace(outputDirectory + QStringLiteral("rename.log"), table, rows);
    std::optional<M3uPlaylist> playlist;
    if (options.writePlaylist)
        playlist.emplace(outputDirectory + QStringLiteral("rename.m3u"), table, rows);

    RenameJournal journal(options.journalPath);
    OutputPaths paths;
    for (int i = 0; i < rows; ++i) {
        const RenameEntry &entry = table.at(i);
        const QByteArray source = paths.path(entry.directory, entry.originalName);
        const QByteArray target = paths.path(entry.directory, entry.newName);
        if (log)
            log->addLine(source, target);

        const RenameNoReplace::Result result =
            renameRecorded(journal, entry.directory, entry.originalName, entry.newName);
        if (!result.ok())
            report.addFailure(entry.originalName, entry.newName, result);
        if (playlist)
            playlist->addEntry(entry.title, result.ok() ? target : source); // where it lies now
        if (progress)
            progress(i + 1, rows);
    }

    if (!journal.ok())
        report.addNote(QStringLiteral("无法写入撤销记录"));
    if (log && !log->finish())
        report.addNote(QStringLiteral("无法写入改名记录：") + log->path());
    if (playlist && !playlist->finish())
        report.addNote(QStringLiteral("无法写入播放列表：") + playlist->path());
    return report;
}
