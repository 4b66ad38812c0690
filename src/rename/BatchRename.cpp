#include "rename/BatchRename.h"

#include "list/EntryList.h"
#include "platform/FileIdentity.h"
#include "platform/LegacyText.h"
#include "platform/Paths.h"
#include "platform/RenameNoReplace.h"
#include "rename/ListedFiles.h"
#include "rename/ProgramFiles.h"
#include "rename/RenameJournal.h"
#include "rename/RenameOutputs.h"

namespace {

// The listed file's path as exact bytes: its own bytes where its folder or name is kept so.
QByteArray exactPathOf(const RenameEntry &e) {
    return (e.nativeDirectory.isEmpty() ? Paths::toExactBytes(e.directory) : e.nativeDirectory) +
           (e.nativeName.isEmpty() ? Paths::toExactBytes(e.originalName) : e.nativeName);
}

} // namespace

std::optional<RenameReport> RenameListedFiles(const EntryList &list, const QString &outputDirectory,
                                              const BatchRenameOptions &options,
                                              const RenameProgress &progress) {
    const EntryTable &table = list.table();
    const int rows = qMin(list.lineCount(), table.size());
    if (rows == 0)
        return std::nullopt;

    RenameReport report;
    ListedFiles listed(table, rows);
    const ListedFileTest isListed = [&](const FileIdentity &id) { return listed.contains(id); };
    // Decided before the first line: rename.log shows each line before its rename.
    bool inUtf8 = false;
    if (LegacyText::kUtf8WhenCodePageLacks && (options.writeLog || options.writePlaylist)) {
        QStringList texts;
        for (int i = 0; i < rows; ++i) {
            const RenameEntry &entry = table.at(i);
            texts << entry.directory + entry.originalName << entry.directory + entry.newName;
            if (options.writePlaylist)
                texts << entry.title;
        }
        inUtf8 = outputsNeedUtf8(texts);
    }
    std::optional<RenameLog> log;
    if (options.writeLog)
        log.emplace(outputDirectory + QStringLiteral("rename.log"), isListed, inUtf8);
    std::optional<M3uPlaylist> playlist;
    if (options.writePlaylist)
        playlist.emplace(outputDirectory + QStringLiteral("rename.m3u"), isListed, inUtf8);

    RenameJournal journal(options.journalPath);
    ProgramFiles programFiles(outputDirectory);
    OutputPaths paths(inUtf8);
    for (int i = 0; i < rows; ++i) {
        const RenameEntry &entry = table.at(i);
        // Names that are not UTF-8 go into the log as the file system's exact bytes.
        const QByteArray source = paths.path(entry.directory, entry.originalName,
                                             entry.nativeDirectory, entry.nativeName);
        // A file that keeps its name keeps its bytes too.
        const QByteArray target =
            entry.newName == entry.originalName
                ? source
                : paths.path(entry.directory, entry.newName, entry.nativeDirectory);
        if (log)
            log->addLine(source, target);

        RenameNoReplace::Result result;
        if (entry.newName != entry.originalName &&
            RenameNoReplace::checkName(entry.newName) == RenameNoReplace::Failure::None &&
            programFiles.isOwnFile(entry.directory, entry.newName))
            result = {RenameNoReplace::Failure::OwnFileName, 0};
        else
            result = journal.record(exactPathOf(entry), entry.originalName, entry.newName, [&] {
                return RenameNoReplace::renameListedFile(entry.directory, entry.nativeDirectory,
                                                         entry.originalName, entry.nativeName,
                                                         entry.newName, entry.identity);
            });
        if (!result.ok())
            report.addFailure(entry.originalName, entry.newName, result);
        if (playlist)
            playlist->addEntry(entry.title, result.ok() ? target : source); // where it lies now
        if (progress)
            progress(i + 1, rows);
    }

    if (!journal.ok())
        report.addNote(QStringLiteral("无法写入撤销记录"));
    const auto note = [&](const auto &output, const QString &what) {
        if (output->isListedFile())
            report.addNote(
                QStringLiteral("没有写入%1：%2 是列表中的文件").arg(what, output->path()));
        else
            report.addNote(QStringLiteral("无法写入%1：").arg(what) + output->path());
    };
    if (log && !log->finish())
        note(log, QStringLiteral("改名记录"));
    if (playlist && !playlist->finish())
        note(playlist, QStringLiteral("播放列表"));
    return report;
}
