#pragma once

#include "platform/LegacyText.h"
#include "tags/TagText.h"

#include <QByteArrayView>

#include <optional>

// The size of the header block of a RealMedia file that the reader looks at.
inline constexpr qsizetype kRealMediaHeaderSize = 1024;

// Scans the header block of a RealMedia file (its first 1024 bytes, or fewer for a short
// file; bytes beyond the first 1024 are ignored) for the title and singer. Nothing when the
// block lacks the stretch from "CONT" to "DATA".
//
// The block is read as legacy text, not walked as chunks: the stretch runs from the last
// "CONT" to the last "DATA", the fields start after the chunk head (one character later when
// the title length reads as a small control code), and NUL ends each field. Positions count
// characters of codePage, so a two-byte character is one. A scan that meets fewer than two NULs
// ends at the end of the padded stretch, keeping what it found. With kAutoUtf8 the choice is
// made once for the block, by the bytes from the last "CONT" to the last "DATA".
std::optional<TagText> ReadRealMediaTag(QByteArrayView block,
                                        int codePage = LegacyText::kSystemCodePage);
