#include "rename/RenameOutputs.h"

#include "platform/LegacyText.h"
#include "platform/RegularFile.h"
#include "rename/RenameReport.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

QByteArray outputText(const QString &text) {
    return LegacyText::encodeOutput(printableText(text));
}

QByteArray outputPath(const QString &path) {
    return LegacyText::encodeOutputPath(printableText(path));
}

// Opens file as an output; notes in listedFile when it is one of the listed files.
bool openOutput(QFile &file, const ListedFileTest &isListed, bool &listedFile,
                QIODevice::OpenMode extra = {}) {
    const OutputOpening opening = openRegularFileForWriting(file, extra, isListed);
    listedFile = opening == OutputOpening::Forbidden;
    return opening == OutputOpening::Opened;
}

// Exact bytes, but every control byte shown as "?", so that each entry stays one line.
QByteArray outputBytes(QByteArray bytes) {
    for (char &b : bytes) {
        if (static_cast<unsigned char>(b) < 0x20)
            b = '?';
    }
    return bytes;
}

} // namespace

QByteArray OutputPaths::path(const QString &directory, const QString &name,
                             const QByteArray &nativeDirectory, const QByteArray &nativeName) {
    if (directory != m_directory || nativeDirectory != m_nativeDirectory) {
        m_directory = directory;
        m_nativeDirectory = nativeDirectory;
        m_encodedDirectory =
            nativeDirectory.isEmpty() ? outputPath(directory) : outputBytes(nativeDirectory);
    }
    return m_encodedDirectory + (nativeName.isEmpty() ? outputPath(name) : outputBytes(nativeName));
}

RenameLog::RenameLog(const QString &path, const ListedFileTest &isListed)
    : m_file(path)
    , m_writable(openOutput(m_file, isListed, m_listedFile, QIODevice::Unbuffered)) {}

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

M3uPlaylist::M3uPlaylist(const QString &path, const ListedFileTest &isListed)
    : m_file(path)
    , m_writable(openOutput(m_file, isListed, m_listedFile)) {
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
