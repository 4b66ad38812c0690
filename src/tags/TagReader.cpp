#include "tags/TagReader.h"

#include "platform/ReadOnlyFile.h"
#include "tags/Id3v1Tag.h"
#include "tags/Id3v2Tag.h"
#include "tags/RealMediaTag.h"

namespace {

constexpr TagFormat kFormats[] = {
    {u"MP3", TagFormat::Where::Tail, kId3v1BlockSize, ReadId3v1Tag, true},
    {u"RM", TagFormat::Where::Head, kRealMediaHeaderSize, ReadRealMediaTag},
};

// The most of an ID3v2 tag that is read. Tags holding large pictures can be bigger; their
// text frames nearly always come first, and whatever lies beyond is never looked at.
constexpr qint64 kMaxId3v2Bytes = 16 * 1024 * 1024;
constexpr qint64 kFirstId3v2Read = 4096;

} // namespace

const TagFormat *formatByNameEnding(QStringView path) {
    for (const TagFormat &format : kFormats) {
        if (path.endsWith(format.ending, Qt::CaseInsensitive))
            return &format;
    }
    return nullptr;
}

bool hasScannedExtension(QStringView name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const QStringView extension = dot < 0 ? name : name.mid(dot + 1);
    for (const TagFormat &format : kFormats) {
        if (extension.compare(format.ending, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The file's ID3v2 tag, from its start. The first read takes a page, which holds most tags
// without pictures whole: one read instead of two.
std::optional<TagText> readId3v2(ReadOnlyFile &file, int codePage) {
    std::optional<QByteArray> tag = file.read(0, kFirstId3v2Read);
    const qint64 size = tag ? qMin(id3v2TagSize(*tag), kMaxId3v2Bytes) : 0;
    if (size == 0)
        return std::nullopt;
    if (size > tag->size()) {
        const std::optional<QByteArray> rest = file.read(tag->size(), size - tag->size());
        if (!rest)
            return std::nullopt;
        *tag += *rest;
    }
    return ReadId3v2Tag(QByteArrayView(*tag).first(qMin(size, tag->size())), codePage);
}

std::optional<TagText> readTags(const TagFormat &format, const FilePath &path,
                                const TagOptions &options, bool *unreadable, FileIdentity *opened) {
    if (unreadable)
        *unreadable = true;
    ReadOnlyFile file(path);
    if (opened)
        *opened = file.identity();
    if (!file.isOpen())
        return std::nullopt;
    std::optional<QByteArray> bytes;
    bool failed = false;
    if (format.where == TagFormat::Where::Head) {
        bytes = file.read(0, format.size);
        failed = !bytes;
    } else if (file.size() >= format.size) {
        bytes = file.read(file.size() - format.size, format.size);
        failed = !bytes;
        if (bytes && bytes->size() != format.size)
            bytes.reset(); // cut short since it was opened
    }
    if (unreadable)
        *unreadable = failed;
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
