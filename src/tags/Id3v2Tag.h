#pragma once

#include "platform/LegacyText.h"
#include "tags/TagText.h"

#include <QByteArrayView>

#include <optional>

// The header that starts an ID3v2 tag at the very start of an MP3 file.
inline constexpr qsizetype kId3v2HeaderSize = 10;

// The size of the ID3v2 tag that header (a file's first 10 bytes) announces, its header and
// footer included; 0 when header starts no ID3v2 tag.
qint64 id3v2TagSize(QByteArrayView header);

namespace TagLib {
namespace ID3v2 {
class Tag;
}
} // namespace TagLib

// The fields of an ID3v2 tag as TagLib read it, where it lies inside another format's file: title
// TIT2, singer TPE1, album TALB, track TRCK, year TDRC (2.4) or TYER (2.3, TYE in 2.2), disc TPOS,
// album artist TPE2; each the frame's first value, empty when the frame is missing or empty. Frames
// marked Latin-1 are decoded as legacy text in codePage.
TagText id3v2Fields(const TagLib::ID3v2::Tag &tag, int codePage);

// The fields of an ID3v2.2, 2.3 or 2.4 tag, given as the bytes from a file's start, read as
// Id3v2Frames::read reads them. Frames marked Latin-1 are decoded as legacy text in codePage,
// since that is what old taggers wrote into them; UTF-16 and UTF-8 frames as they are. Nothing
// when the bytes hold no readable tag. A damaged tag yields what could be read of it, never
// more.
std::optional<TagText> ReadId3v2Tag(QByteArrayView tag, int codePage = LegacyText::kSystemCodePage);
