#include "tags/Id3v1Tag.h"

#include "platform/LegacyText.h"

namespace {

constexpr qsizetype kFieldSize = 30;
constexpr qsizetype kTitleOffset = 3;
constexpr qsizetype kSingerOffset = 33;
constexpr qsizetype kAlbumOffset = 63;
constexpr qsizetype kYearOffset = 93;
constexpr qsizetype kYearSize = 4;
// ID3v1.1 keeps the track in the comment's last byte, behind a NUL.
constexpr qsizetype kTrackMarkOffset = 125;
constexpr qsizetype kTrackOffset = 126;

// Spaces are trimmed before the NULs go, never after: spaces between the text and a NUL
// padding stay, and so does a space behind a leading NUL. Only U+0020 counts as a space.
// A field full to its last byte may end in half a character; that half goes.
QString fieldText(QByteArrayView bytes, int codePage) {
    QString text = LegacyText::decodeCut(bytes, LegacyText::codePageFor(bytes, codePage, true));
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    // In place: the text is this field's own.
    text.truncate(end);
    text.remove(0, begin);
    text.remove(QChar(u'\0'));
    // Kept by the list for every file: no room for the field's padding.
    text.squeeze();
    return text;
}

} // namespace

std::optional<TagText> ReadId3v1Tag(QByteArrayView block, int codePage) {
    if (block.size() < kId3v1BlockSize)
        return std::nullopt;
    block = block.last(kId3v1BlockSize);
    if (!block.startsWith(QByteArrayView("TAG")))
        return std::nullopt;
    TagText tags{fieldText(block.sliced(kTitleOffset, kFieldSize), codePage),
                 fieldText(block.sliced(kSingerOffset, kFieldSize), codePage)};
    tags.album = fieldText(block.sliced(kAlbumOffset, kFieldSize), codePage);
    tags.year = fieldText(block.sliced(kYearOffset, kYearSize), codePage);
    const auto track = static_cast<unsigned char>(block[kTrackOffset]);
    if (block[kTrackMarkOffset] == 0 && track != 0)
        tags.track = QString::number(track);
    return tags;
}
