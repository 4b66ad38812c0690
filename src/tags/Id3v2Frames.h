#pragma once

#include "tags/TagText.h"

#include <QByteArray>

#include <functional>
#include <optional>

// Reading the text frames of an ID3v2.2, 2.3 or 2.4 tag at a file's start by the standard's own
// rules, for the fields a name is made of. Frame headers are walked in order with positioned
// reads; a frame that is not wanted is skipped by its size without being read, and the walk
// stops once every wanted frame was read, at padding, or at the tag's end. Only a version 2.3
// tag unsynchronised as a whole is read whole, since its frame sizes count the bytes as they
// were before unsynchronisation.
//
// Frames that are encrypted, or of an id or size no frame has, are passed over while their sizes
// keep inside the tag; compressed frames are inflated; unsynchronisation and data-length
// indicators are undone; a version 2.4 size written as a plain number by an old tagger is taken
// where that, and not the syncsafe reading, lands on a frame or padding. A tag cut short gives
// what could be read of it, never more.
namespace Id3v2Frames {

// Up to size bytes at offset from the tag's start, fewer where the source ends.
using ReadBytes = std::function<QByteArray(qint64 offset, qint64 size)>;
// Told of each wanted frame's text as decoded: its encoding byte (0 Latin-1, 1 UTF-16 with or
// without a byte-order mark, 2 UTF-16BE, 3 UTF-8) and the frame's text bytes, its terminators
// included.
using FrameText = std::function<void(char encoding, const QByteArray &bytes)>;

// The fields: title TIT2, singer TPE1, album TALB, track TRCK, year TDRC or else TYER, disc TPOS,
// album artist TPE2 (TT2, TP1, TAL, TRK, TYE, TPA, TP2 in version 2.2); each the frame's first
// value. Latin-1 frames are decoded as legacy text in codePage. Nothing when the source holds
// no ID3v2 tag, or one without any of these frames.
std::optional<TagText> read(const ReadBytes &source, int codePage, const FrameText &seen = {});

} // namespace Id3v2Frames
