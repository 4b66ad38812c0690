#include "rename/RenameOutputs.h"

#include "list/EntryTable.h"
#include "platform/LegacyText.h"
#include "platform/Paths.h"
#include "rename/RenameReport.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

QByteArray outputText(const QString &text) {
    return LegacyText::encodeOutput(printableText(text));
}

QByteArray outputPath(const QString &path) {
    return LegacyText::encodeOutputPath(printableText(path));
}

// Opens file for writing, replacing an earlier file, unless one of the listed files lies
// there: that file is the user's and must not be emptied.
bool openOutput(QFile &file, const EntryTable &listed, int rows, QIODevice::OpenMode extra = {}) {
    const QString path = file.fileName();
    const Qt::CaseSensitivity cs = Paths::pathCase();
    for (int i = 0; i < rows; ++i) {
        // directory + original name == path, without building the sum for every entry
        const RenameEntry &e = listed.at(i);
        if (path.size() == e.directory.size() + e.originalName.size() &&
            QStringView(path).left(e.directory.size()).compare(e.directory, cs) == 0 &&
            QStringView(path).mid(e.directory.size()).compare(e.originalName, cs) == 0)
            return false;
    }
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate | extra);
}

} // namespace

QByteArray OutputPaths::path(const QString &directory, const QString &name) {
    if (directory != m_directory) {
        m_directory = directory;
        m_encodedDirectory = outputPath(directory);
    }
    return m_encodedDirectory + outputPath(name);
}

RenameLog::RenameLog(const QString &path, const EntryTable &listed, int rows)
    : m_file(path)
    , m_writable(openOutput(m_file, listed, rows, QIODevice::Unbuffered)) {}

void RenameLog::addLine(const QByteArray &source, const QByteArray &target) {
    if (!m_writable)
        return;
    const QByteArray line = source + "-->" + target + kLineEnd;
    m_writable = m_file.write(line) == line.size();
}

bool RenameLog::finish() {
    m_file.close();
    return m_writable && m_file.error() == QFileDevice::NoError;
}

M3uPlaylist::M3uPlaylist(const QString &path, const EntryTable &listed, int rows)
    : m_file(path)
    , m_writable(openOutput(m_file, listed, rows)) {
    if (m_writable)
        m_bytes = QByteArray("#EXTM3U") + kLineEnd;
}

void M3uPlaylist::addEntry(const QString &title, const QByteArray &filePath) {
    if (!m_writable)
        return;
    m_bytes += "#EXTINF:,";
    m_bytes += outputText(title);
    m_bytes += kLineEnd;
    m_bytes += filePath;
    m_bytes += kLineEnd;
}

bool M3uPlaylist::finish() {
    m_writable = m_writable && m_file.write(m_bytes) == m_bytes.size() && m_file.flush();
    m_file.close();
    return m_writable && m_file.error() == QFileDevice::NoError;
}
