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

// Text for rename.log and rename.m3u. Characters the legacy code page cannot represent become
// "?" (LegacyText::encode), control characters too, so that every line stays one line.
QByteArray outputText(const QString &text) {
    return LegacyText::encode(PrintableText(text));
}

// Paths in the legacy code page, each directory encoded once for all its files: rows of one
// folder share it.
class PathEncoder {
public:
    QByteArray path(const QString &directory, const QString &name) {
        if (directory != m_directory) {
            m_directory = directory;
            m_encodedDirectory = outputText(directory);
        }
        return m_encodedDirectory + outputText(name);
    }

private:
    QString m_directory;
    QByteArray m_encodedDirectory;
};

constexpr char kLineEnd[] = "\r\n";

// Opens path for writing, replacing an earlier file, unless a listed file lies there: that
// file is the user's and must not be emptied.
bool openOutput(QFile &file, const EntryTable &table, int rows, QIODevice::OpenMode extra = {}) {
    const QString path = file.fileName();
    for (int r = 1; r <= rows; ++r) {
        // directory + original name == path, without building the sum for every row
        const RenameEntry &e = table.row(r);
        if (path.size() == e.directory.size() + e.originalName.size() &&
            QStringView(path).left(e.directory.size()).compare(e.directory, kPathCase) == 0 &&
            QStringView(path).mid(e.directory.size()).compare(e.originalName, kPathCase) == 0)
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
        m3uBytes = QByteArray("#EXTM3U") + kLineEnd;

    PathEncoder encoder;
    for (int r = 1; r <= rows; ++r) {
        const RenameEntry &entry = table.row(r);
        const QByteArray source = encoder.path(entry.directory, entry.originalName);
        const QByteArray target = encoder.path(entry.directory, entry.newName);
        if (logWritable) {
            const QByteArray line = source + "-->" + target + kLineEnd;
            logWritable = log.write(line) == line.size();
        }

        const RenameNoReplace::Result result =
            RenameNoReplace::renameInDirectory(entry.directory, entry.originalName, entry.newName);
        if (!result.ok())
            report.addFailure(entry.originalName, entry.newName, result);

        if (m3uWritable) {
            // Where the file lies now.
            m3uBytes += "#EXTINF:,";
            m3uBytes += outputText(entry.title);
            m3uBytes += kLineEnd;
            m3uBytes += result.ok() ? target : source;
            m3uBytes += kLineEnd;
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
