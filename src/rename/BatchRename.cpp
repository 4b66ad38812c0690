#include "rename/BatchRename.h"

#include "dialogs/UserDialogs.h"
#include "list/EntryList.h"
#include "platform/LegacyText.h"
#include "platform/RenameNoReplace.h"
#include "rename/RenameReport.h"

#include <QFile>

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

// One line of rename.log or rename.m3u. Characters the legacy code page cannot represent
// become "?" (LegacyText::encode), control characters too, so every line stays one line.
QByteArray outputLine(const QString &text) {
    return LegacyText::line(PrintableText(text));
}

// Opens path for writing, replacing an earlier file, unless a listed file lies there: that
// file is the user's and must not be emptied.
bool openOutput(QFile &file, const EntryTable &table, int rows, QIODevice::OpenMode extra = {}) {
    for (int r = 1; r <= rows; ++r) {
        if (table.row(r).path().compare(file.fileName(), kPathCase) == 0)
            return false;
    }
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate | extra);
}

// The rows the walk visits: as many as the list shows, ending early at an empty directory.
int rowsToRename(const EntryList &list) {
    const int lines = list.lineCount();
    int rows = 0;
    while (rows < lines && !list.table().row(rows + 1).directory.isEmpty())
        ++rows;
    return rows;
}

} // namespace

void RenameListedFiles(EntryList &list, UserDialogs &dialogs, const QString &programDirectory,
                       const BatchRenameOptions &options, const RenameProgress &progress) {
    if (list.lineCount() == 0)
        return; // no file created or truncated, no message

    const EntryTable &table = list.table();
    const int rows = rowsToRename(list);
    const bool history = options.historyState != 0;
    const bool playlist = options.playlistState != 0;
    RenameReport report;

    // Both files are created before the first rename: no listed file can then be renamed to
    // either name and be emptied afterwards.
    QFile log(programDirectory + QStringLiteral("rename.log"));
    // Unbuffered: each line goes to the operating system before its rename is tried, so the
    // log shows the intent even when the program dies in the middle of the batch.
    bool logWritable = history && openOutput(log, table, rows, QIODevice::Unbuffered);
    QFile m3u(programDirectory + QStringLiteral("rename.m3u"));
    bool m3uWritable = playlist && openOutput(m3u, table, rows);
    QByteArray m3uBytes;
    if (m3uWritable)
        m3uBytes = outputLine(QStringLiteral("#EXTM3U"));

    for (int r = 1; r <= rows; ++r) {
        const RenameEntry &entry = table.row(r);
        const QString source = entry.path();
        const QString target = entry.newPath();
        if (logWritable) {
            const QByteArray line = outputLine(source + QStringLiteral("-->") + target);
            logWritable = log.write(line) == line.size();
        }

        const RenameNoReplace::Result result =
            RenameNoReplace::renameInDirectory(entry.directory, entry.originalName, entry.newName);
        if (!result.ok())
            report.addFailure(entry.originalName, entry.newName, result);

        if (m3uWritable) {
            // Where the file lies now.
            m3uBytes += outputLine(QStringLiteral("#EXTINF:,") + entry.title);
            m3uBytes += outputLine(result.ok() ? target : source);
        }
        if (progress)
            progress(r, rows);
    }

    if (history) {
        log.close();
        if (!logWritable || log.error() != QFileDevice::NoError)
            report.addNote(QStringLiteral("无法写入改名记录：") + log.fileName());
    }
    if (playlist) {
        m3uWritable = m3uWritable && m3u.write(m3uBytes) == m3uBytes.size() && m3u.flush();
        m3u.close();
        if (!m3uWritable || m3u.error() != QFileDevice::NoError)
            report.addNote(QStringLiteral("无法写入播放列表：") + m3u.fileName());
    }

    dialogs.showMessage(report.message(), UserDialogs::kAppTitle);
    list.ClearEntries();
}
