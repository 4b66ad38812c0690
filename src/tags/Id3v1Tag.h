#pragma once

#include "platform/LegacyText.h"
#include "tags/TagText.h"

#include <QByteArrayView>

#include <optional>

// The size of an ID3v1 block, which fills the last bytes of an MP3 file.
inline constexpr qsizetype kId3v1BlockSize = 128;

// The title and singer of an ID3v1 block (the last 128 bytes of an MP3 file), or nothing
// when block is not a tag block (no "TAG" marker, or fewer than 128 bytes). Given more than
// 128 bytes, block is taken as a whole file and only its last 128 bytes are looked at. The
// fields are decoded in codePage, each field on its own when that is kAutoUtf8.
std::optional<TagText> ReadId3v1Tag(QByteArrayView block,
                                    int codePage = LegacyText::kSystemCodePage);
