#include "tags/TagReader.h"

#include "platform/RegularFile.h"
#include "tags/Id3v1Tag.h"
#include "tags/Id3v2Tag.h"
#include "tags/RealMediaTag.h"

#include <QFile>

namespace {

constexpr TagFormat kFormats[] = {
    {u"MP3", TagFormat::Where::Tail, kId3v1BlockSize, ReadId3v1Tag, true},
    {u"RM", TagFormat::Where::Head, kRealMediaHeaderSize, ReadRealMediaTag},
};

// The most of an ID3v2 tag that is read. Tags holding large pictures can be bigger; their
// text frames nearly always come first, and whatever lies beyond is never looked at.
constexpr qint64 kMaxId3v2Bytes = 16 * 1024 * 1024;

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

// The file's ID3v2 tag, from its start.
std::optional<TagText> readId3v2(QFile &file, int codePage) {
    if (!file.seek(0))
        return std::nullopt;
    const std::optional<QByteArray> header = readHead(file, kId3v2HeaderSize);
    const qint64 size = header ? id3v2TagSize(*header) : 0;
    if (size == 0)
        return std::nullopt;
    const std::optional<QByteArray> rest =
        readHead(file, qMin(size, kMaxId3v2Bytes) - kId3v2HeaderSize);
    if (!rest)
        return std::nullopt;
    return ReadId3v2Tag(*header + *rest, codePage);
}

std::optional<TagText> readTags(const TagFormat &format, const QString &path,
                                const TagOptions &options, const QByteArray &nativePath,
                                bool *unreadable, FileIdentity *opened) {
    if (unreadable)
        *unreadable = true;
    QFile file(path);
    if (!openRegularFileForReading(file, nativePath, opened) || file.isSequential())
        return std::nullopt;
    const std::optional<QByteArray> bytes = format.where == TagFormat::Where::Head
                                                ? readHead(file, format.size)
                                                : readTail(file, format.size);
    if (unreadable)
        *unreadable = file.error() != QFileDevice::NoError;
    std::optional<TagText> tags = bytes ? format.parse(*bytes, options.codePage) : std::nullopt;
    if (!options.readId3v2 || !format.mayStartWithId3v2)
        return tags;
    const std::optional<TagText> id3v2 = readId3v2(file, options.codePage);
    if (!id3v2)
        return tags;
    TagText merged = tags.value_or(TagText());
    if (!id3v2->title.isEmpty())
        merged.title = id3v2->title;
    if (!id3v2->singer.isEmpty())
        merged.singer = id3v2->singer;
    return merged;
}
