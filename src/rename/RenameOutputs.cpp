#include "rename/RenameOutputs.h"

#include "platform/LegacyText.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"
#include "rename/RenameReport.h"

#include <algorithm>

namespace {

constexpr char kLineEnd[] = "\r\n";
// The playlist is written a part of this size at a time.
constexpr qsizetype kWriteAfter = 64 * 1024;

QByteArray outputText(const QString &text, bool inUtf8) {
    return LegacyText::encodeOutput(Paths::printableText(text), inUtf8);
}

// Opens file as an output; notes in listedFile when it is one of the listed files.
bool openOutput(QFile &file, const ListedFileTest &isListed, bool &listedFile,
                QIODevice::OpenMode extra = {}) {
    const OutputOpening opening = openRegularFileForWriting(file, extra, isListed);
    listedFile = opening == OutputOpening::Forbidden;
    return opening == OutputOpening::Opened;
}

} // namespace

bool outputsNeedUtf8(const QStringList &texts) {
    if (!LegacyText::kUtf8WhenCodePageLacks)
        return false;
    return std::any_of(texts.cbegin(), texts.cend(),
                       [](const QString &text) { return !LegacyText::canEncode(text); });
}

OutputFile::OutputFile(const QString &path, const ListedFileTest &isListed,
                       QIODevice::OpenMode extra)
    : m_file(path)
    , m_writable(openOutput(m_file, isListed, m_listedFile, extra)) {}

bool OutputFile::close() {
    m_file.close();
    return m_writable && m_file.error() == QFileDevice::NoError;
}

RenameLog::RenameLog(const QString &path, const ListedFileTest &isListed, bool inUtf8)
    : OutputFile(path, isListed, QIODevice::Unbuffered) {
    if (m_writable && inUtf8)
        m_writable = m_file.write(LegacyText::kUtf8Bom.data(), LegacyText::kUtf8Bom.size()) ==
                     LegacyText::kUtf8Bom.size();
}

void RenameLog::addLine(const QByteArray &source, const QByteArray &target) {
    if (!m_writable)
        return;
    m_lines += source;
    m_lines += "-->";
    m_lines += target;
    m_lines += kLineEnd;
}

void RenameLog::writeLines() {
    if (m_writable && !m_lines.isEmpty())
        m_writable = m_file.write(m_lines) == m_lines.size();
    m_lines.clear();
}

M3uPlaylist::M3uPlaylist(const QString &path, const ListedFileTest &isListed, bool inUtf8)
    : OutputFile(path, isListed, {})
    , m_inUtf8(inUtf8) {
    if (m_writable)
        m_bytes =
            (inUtf8 ? LegacyText::kUtf8Bom.toByteArray() : QByteArray()) + "#EXTM3U" + kLineEnd;
}

void M3uPlaylist::addEntry(const QString &title, const QByteArray &filePath) {
    if (!m_writable)
        return;
    m_bytes += "#EXTINF:,";
    m_bytes += outputText(title, m_inUtf8);
    m_bytes += kLineEnd;
    m_bytes += filePath;
    m_bytes += kLineEnd;
    // Written as it grows: a run of a million files keeps no playlist of them in memory.
    if (m_bytes.size() >= kWriteAfter) {
        m_writable = m_file.write(m_bytes) == m_bytes.size();
        m_bytes.clear();
    }
}

bool M3uPlaylist::finish() {
    m_writable = m_writable && m_file.write(m_bytes) == m_bytes.size() && m_file.flush();
    return close();
}
