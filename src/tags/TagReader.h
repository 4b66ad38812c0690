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
class ReadOnlyFile;

struct TagFormat {
    // Where the tag is: a stretch of bytes at the file's start or end, given to parse; or
    // anywhere, found by readFile (the other music formats, through TagLib).
    enum class Where { Head, Tail, Whole };

    // How a name of this format ends, any letter case: "MP3" and "RM" as documented ("alarm"
    // is RealMedia), the other formats with their dot.
    QStringView ending;
    Where where;
    qsizetype size; // how many bytes are read at the head or tail
    std::optional<TagText> (*parse)(QByteArrayView bytes, int codePage) = nullptr;
    bool mayStartWithId3v2 = false; // an ID3v2 tag at the file's start can stand in for it
    bool otherFormat = false;       // taken only with the option for other music formats
    std::optional<TagText> (*readFile)(ReadOnlyFile &file, int codePage) = nullptr;
};

// How tags are read, as the settings say.
struct TagOptions {
    // An ID3v2 tag's fields, where present and not empty, win field by field.
    bool readId3v2 = false;
    // The encoding of legacy text in tags: a code page or LegacyText::kAutoUtf8.
    int codePage = LegacyText::kSystemCodePage;
    // The other music formats (FLAC, Ogg, MP4, …) are taken too.
    bool allFormats = false;
};

// The format of the file at path, chosen by how the whole path ends: "alarm" is RealMedia,
// "song.mp3.bak" none at all. The other music formats only with allFormats. nullptr when no
// format fits.
const TagFormat *formatByNameEnding(QStringView path, bool allFormats = false);

// The folder scan's own test: whether the whole extension after the last dot (the whole name
// when it has no dot) is one of the formats' endings.
bool hasScannedExtension(QStringView name, bool allFormats = false);

// The patterns of the other music formats' endings, "*.flac;*.ogg;…", for the open-file dialog.
QString otherFormatPatterns();

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
