#include "tags/TagReader.h"

#include "platform/RegularFile.h"
#include "tags/Id3v1Tag.h"
#include "tags/RealMediaTag.h"

#include <QFile>

namespace {

constexpr TagFormat kFormats[] = {
    {u"MP3", TagFormat::Where::Tail, kId3v1BlockSize, ReadId3v1Tag},
    {u"RM", TagFormat::Where::Head, kRealMediaHeaderSize, ReadRealMediaTag},
};

// The first count bytes of the file, or all of it when it is shorter.
std::optional<QByteArray> readHead(QFile &file, qint64 count) {
    QByteArray bytes = file.read(count);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// The last count bytes of the file; nothing when it holds fewer.
std::optional<QByteArray> readTail(QFile &file, qint64 count) {
    const qint64 size = file.size();
    if (size < count || !file.seek(size - count))
        return std::nullopt;
    QByteArray bytes = file.read(count);
    if (bytes.size() != count)
        return std::nullopt;
    return bytes;
}

} // namespace

const TagFormat *tagFormatOf(QStringView path) {
    for (const TagFormat &format : kFormats) {
        if (path.endsWith(format.ending, Qt::CaseInsensitive))
            return &format;
    }
    return nullptr;
}

bool hasTagExtension(QStringView name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const QStringView extension = dot < 0 ? name : name.mid(dot + 1);
    for (const TagFormat &format : kFormats) {
        if (extension.compare(format.ending, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

std::optional<TagText> readTags(const TagFormat &format, const QString &path,
                                const QByteArray &nativePath, bool *unreadable) {
    if (unreadable)
        *unreadable = true;
    QFile file(path);
    if (!openRegularFileForReading(file, nativePath) || file.isSequential())
        return std::nullopt;
    const std::optional<QByteArray> bytes = format.where == TagFormat::Where::Head
                                                ? readHead(file, format.size)
                                                : readTail(file, format.size);
    if (unreadable)
        *unreadable = file.error() != QFileDevice::NoError;
    if (!bytes)
        return std::nullopt;
    return format.parse(*bytes);
}
