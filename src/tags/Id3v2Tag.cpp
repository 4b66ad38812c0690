#include "tags/Id3v2Tag.h"

#include "platform/LegacyText.h"
#include "tags/Id3v2Frames.h"

#include <id3v2tag.h>
#include <textidentificationframe.h>

#include <string>

namespace {

constexpr qsizetype kFooterSize = 10;
constexpr unsigned char kFooterFlag = 0x10;

// The first value of the frame, or empty text.
QString firstValue(const TagLib::ID3v2::Tag &tag, const char *frameId, int codePage) {
    const TagLib::ID3v2::FrameListMap &map = tag.frameListMap();
    const auto found = map.find(frameId); // operator[] would add the key to the shared map
    if (found == map.end() || found->second.isEmpty())
        return {};
    const auto *frame =
        dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame *>(found->second.front());
    if (!frame)
        return {};
    const TagLib::StringList values = frame->fieldList();
    if (values.isEmpty())
        return {};
    const TagLib::String &value = values.front();
    if (frame->textEncoding() == TagLib::String::Latin1) {
        // Back to the frame's own bytes, which are legacy text far more often than Latin-1.
        const std::string bytes = value.to8Bit(false);
        const QByteArrayView raw(bytes.data(), qsizetype(bytes.size()));
        return LegacyText::decode(raw, LegacyText::codePageFor(raw, codePage));
    }
    return QString::fromStdString(value.to8Bit(true));
}

} // namespace

TagText id3v2Fields(const TagLib::ID3v2::Tag &tag, int codePage) {
    TagText tags{firstValue(tag, "TIT2", codePage), firstValue(tag, "TPE1", codePage)};
    tags.album = firstValue(tag, "TALB", codePage);
    tags.track = firstValue(tag, "TRCK", codePage);
    // The recording time of version 2.4; the year of 2.3 and of 2.2 where no upgrade made it one.
    for (const char *year : {"TDRC", "TYER", "TYE"}) {
        tags.year = firstValue(tag, year, codePage);
        if (!tags.year.isEmpty())
            break;
    }
    tags.disc = firstValue(tag, "TPOS", codePage);
    tags.albumArtist = firstValue(tag, "TPE2", codePage);
    return tags;
}

qint64 id3v2TagSize(QByteArrayView header) {
    if (header.size() < kId3v2HeaderSize || !header.startsWith(QByteArrayView("ID3")))
        return 0;
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(header[i]); };
    // Major versions 2 to 4; the size is four 7-bit bytes.
    if (at(3) < 2 || at(3) > 4 || at(4) == 0xFF)
        return 0;
    qint64 size = 0;
    for (qsizetype i = 6; i < 10; ++i) {
        if (at(i) & 0x80)
            return 0;
        size = size << 7 | at(i);
    }
    return kId3v2HeaderSize + size + (at(5) & kFooterFlag ? kFooterSize : 0);
}

std::optional<TagText> ReadId3v2Tag(QByteArrayView tag, int codePage) {
    return Id3v2Frames::read(
        [tag](qint64 offset, qint64 size) {
            return offset >= tag.size() ? QByteArray()
                                        : tag.sliced(offset)
                                              .first(qMin<qint64>(size, tag.size() - offset))
                                              .toByteArray();
        },
        codePage);
}
