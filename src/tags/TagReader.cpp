#include "tags/TagReader.h"

#include "platform/ReadOnlyFile.h"
#include "tags/Id3v1Tag.h"
#include "tags/Id3v2Frames.h"
#include "tags/Id3v2Tag.h"
#include "tags/OtherFormats.h"
#include "tags/RealMediaTag.h"

#include <QStringList>

#include <algorithm>

namespace {

using OtherFormats::readAiff;
using OtherFormats::readApe;
using OtherFormats::readAsf;
using OtherFormats::readFlac;
using OtherFormats::readMp4;
using OtherFormats::readMusepack;
using OtherFormats::readOgg;
using OtherFormats::readTrueAudio;
using OtherFormats::readWav;
using OtherFormats::readWavPack;
using Where = TagFormat::Where;

// clang-format off
constexpr TagFormat kFormats[] = {
    {u"MP3", Where::Tail, kId3v1BlockSize, ReadId3v1Tag, true},
    {u"RM", Where::Head, kRealMediaHeaderSize, ReadRealMediaTag},
    {u".flac", Where::Whole, 0, nullptr, false, true, readFlac},
    {u".ogg", Where::Whole, 0, nullptr, false, true, readOgg},
    {u".oga", Where::Whole, 0, nullptr, false, true, readOgg},
    {u".opus", Where::Whole, 0, nullptr, false, true, readOgg},
    {u".spx", Where::Whole, 0, nullptr, false, true, readOgg},
    {u".m4a", Where::Whole, 0, nullptr, false, true, readMp4},
    {u".m4b", Where::Whole, 0, nullptr, false, true, readMp4},
    {u".m4p", Where::Whole, 0, nullptr, false, true, readMp4},
    {u".m4r", Where::Whole, 0, nullptr, false, true, readMp4},
    {u".wma", Where::Whole, 0, nullptr, false, true, readAsf},
    {u".asf", Where::Whole, 0, nullptr, false, true, readAsf},
    {u".ape", Where::Whole, 0, nullptr, false, true, readApe},
    {u".wv", Where::Whole, 0, nullptr, false, true, readWavPack},
    {u".mpc", Where::Whole, 0, nullptr, false, true, readMusepack},
    {u".tta", Where::Whole, 0, nullptr, false, true, readTrueAudio},
    {u".aif", Where::Whole, 0, nullptr, false, true, readAiff},
    {u".aiff", Where::Whole, 0, nullptr, false, true, readAiff},
    {u".aifc", Where::Whole, 0, nullptr, false, true, readAiff},
    {u".wav", Where::Whole, 0, nullptr, false, true, readWav},
    {u".mp2", Where::Tail, kId3v1BlockSize, ReadId3v1Tag, true, true},
};
// clang-format on

} // namespace

const TagFormat *formatByNameEnding(QStringView path, bool allFormats) {
    for (const TagFormat &format : kFormats) {
        if ((allFormats || !format.otherFormat) &&
            path.endsWith(format.ending, Qt::CaseInsensitive))
            return &format;
    }
    return nullptr;
}

bool hasScannedExtension(QStringView name, bool allFormats) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const QStringView extension = dot < 0 ? name : name.mid(dot + 1);
    for (const TagFormat &format : kFormats) {
        const QStringView ending =
            format.ending.startsWith(u'.') ? format.ending.mid(1) : format.ending;
        if ((allFormats || !format.otherFormat) &&
            extension.compare(ending, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString otherFormatPatterns() {
    QStringList patterns;
    for (const TagFormat &format : kFormats) {
        if (format.otherFormat)
            patterns << u'*' + format.ending.toString();
    }
    return patterns.join(u';');
}

// The file's ID3v2 tag, from its start: the bytes of the frames it needs, and no others.
std::optional<TagText> readId3v2(ReadOnlyFile &file, int codePage) {
    return Id3v2Frames::read(
        [&file](qint64 offset, qint64 size) {
            return file.read(offset, size).value_or(QByteArray());
        },
        codePage);
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
    if (format.where == Where::Whole) {
        if (unreadable)
            *unreadable = false;
        return format.readFile(file, options.codePage);
    }
    // An ID3v2 tag that gives every field leaves nothing to the block at the other end.
    std::optional<TagText> id3v2;
    if (options.readId3v2 && format.mayStartWithId3v2) {
        id3v2 = readId3v2(file, options.codePage);
        if (id3v2 &&
            std::all_of(std::begin(kTagFields), std::end(kTagFields),
                        [&](QString TagText::*field) { return !((*id3v2).*field).isEmpty(); })) {
            if (unreadable)
                *unreadable = false;
            return id3v2;
        }
    }
    std::optional<QByteArray> bytes;
    bool failed = false;
    if (format.where == Where::Head) {
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
    if (!id3v2)
        return tags;
    TagText merged = tags.value_or(TagText());
    merged.takeFieldsOf(*id3v2);
    return merged;
}
