#pragma once

#include "platform/FileIdentity.h"
#include "platform/LegacyText.h"
#include "tags/TagText.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// The tag formats the program reads, and the one rule that picks a file's format. A new
// format is one parser and one line in the table behind these functions.
struct TagFormat {
    enum class Where { Head, Tail };

    QStringView ending; // how a name of this format ends, any letter case
    Where where;        // the end of the file the tag is read from
    qsizetype size;     // how many bytes are read there
    std::optional<TagText> (*parse)(QByteArrayView bytes, int codePage);
    bool mayStartWithId3v2 = false; // an ID3v2 tag at the file's start can stand in for it
};

// How tags are read, as the settings say.
struct TagOptions {
    // An ID3v2 tag's title and singer, where present and not empty, win field by field.
    bool readId3v2 = false;
    // The encoding of legacy text in tags: a code page or LegacyText::kAutoUtf8.
    int codePage = LegacyText::kSystemCodePage;
};

// The format of the file at path, chosen by how the whole path ends: "alarm" is RealMedia,
// "song.mp3.bak" none at all. nullptr when no format fits.
const TagFormat *formatByNameEnding(QStringView path);

// The folder scan's own test: whether the whole extension after the last dot (the whole name
// when it has no dot) is one of the formats' endings.
bool hasScannedExtension(QStringView name);

// The tags of the file at path in format. Nothing when the file holds no such tag, or is not
// a readable regular file: a directory, pipe or device bearing an audio name is never waited
// on. Each read makes one read of the bytes it needs and never goes outside the file.
//
// unreadable, when given, tells a file that could not be read (no permission, gone, not a
// regular file) from one that holds no tag. opened, when given, receives the identity of the
// file that was opened (invalid when none was).
//
// Safe to call on several threads at once: each call works on objects of its own.
std::optional<TagText> readTags(const TagFormat &format, const FilePath &path,
                                const TagOptions &options = {}, bool *unreadable = nullptr,
                                FileIdentity *opened = nullptr);
