#pragma once

#include "platform/FileIdentity.h"
#include "platform/FilePath.h"
#include "tags/NameTemplate.h"

#include <QString>

// One file of the audio-file list. An entry has no identity of its own: it is known by its
// place in the EntryTable.
struct RenameEntry {
    FilePath directory;    // full folder path with a trailing separator
    FilePath originalName; // current name with extension, no path
    QString newName;       // name the file is to get, with extension, no path
    QString title;
    QString singer;
    // The file as it was when it was added; invalid when unknown, and then not checked.
    FileIdentity identity{};
    // The tag's other fields, which the list does not show.
    QString album{};
    QString track{};
    QString year{};
    QString disc{};
    QString albumArtist{};
    // Whether the new name, or the title or singer, holds text the tag encoding may have
    // garbled (usesDoubtfulText).
    bool doubtful = false;
    // Whether the template's fields brought no text, so that the file keeps its name.
    bool untagged = false;

    FilePath path() const { return directory.join(originalName); }
    // Whether the new name, the title or the singer holds text the tag encoding may have
    // garbled: the list shows such a line in yellow.
    bool looksGarbled() const {
        return doubtful || looksMisdecoded(title) || looksMisdecoded(singer);
    }
    TagText tags() const { return {title, singer, album, track, year, disc, albumArtist}; }
    // Takes the fields of tags and forms the new name from nameTemplate.
    void name(const TagText &tags, const QString &nameTemplate, bool safeNames) {
        title = tags.title;
        singer = tags.singer;
        album = tags.album;
        track = tags.track;
        year = tags.year;
        disc = tags.disc;
        albumArtist = tags.albumArtist;
        newName = ExpandNameTemplate(nameTemplate, tags, originalName.text(), safeNames);
        doubtful = usesDoubtfulText(nameTemplate, tags);
        untagged = !templateBringsText(nameTemplate, tags);
    }
};
