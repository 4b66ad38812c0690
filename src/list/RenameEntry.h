#pragma once

#include "platform/FileIdentity.h"
#include "platform/FilePath.h"
#include "tags/NameTemplate.h"

#include <QString>

#include <initializer_list>

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
    // The tag's other fields, which the list does not show, in one string (packFields): a
    // list of a million files keeps one string for them per file, none where all are empty.
    QString otherFields{};
    // Whether the new name, or the title or singer, holds text the tag encoding may have
    // garbled (usesDoubtfulText).
    bool doubtful = false;
    // Whether the template's fields brought no text, so that the file keeps its name.
    bool untagged = false;
    // Whether identity is also the file the path leads to (the entry is no link), as when it
    // was added: what the program writes is then checked against it without looking again.
    bool identityIsTarget = false;

    FilePath path() const { return directory.join(originalName); }
    // Whether the new name, the title or the singer holds text the tag encoding may have
    // garbled: the list shows such a line in yellow.
    bool looksGarbled() const {
        return doubtful || looksMisdecoded(title) || looksMisdecoded(singer);
    }
    TagText tags() const {
        TagText tags{title, singer};
        unpackFields(otherFields,
                     {&tags.album, &tags.track, &tags.year, &tags.disc, &tags.albumArtist});
        return tags;
    }
    // Takes the fields of tags and forms the new name from nameTemplate.
    void name(const TagText &tags, const QString &nameTemplate, bool safeNames) {
        title = tags.title;
        singer = tags.singer;
        otherFields =
            packFields({&tags.album, &tags.track, &tags.year, &tags.disc, &tags.albumArtist});
        newName = ExpandNameTemplate(nameTemplate, tags, originalName.text(), safeNames);
        doubtful = usesDoubtfulText(nameTemplate, tags);
        untagged = !templateBringsText(nameTemplate, tags);
    }

    // Each field as its length in two units, then its text; nothing when all are empty.
    static QString packFields(std::initializer_list<const QString *> fields) {
        qsizetype total = 0;
        for (const QString *field : fields)
            total += field->size();
        if (total == 0)
            return {};
        QString packed;
        packed.reserve(total + 2 * qsizetype(fields.size()));
        for (const QString *field : fields) {
            const auto size = quint32(field->size());
            packed += QChar(char16_t(size >> 16));
            packed += QChar(char16_t(size & 0xFFFF));
            packed += *field;
        }
        return packed;
    }
    static void unpackFields(const QString &packed, std::initializer_list<QString *> fields) {
        qsizetype at = 0;
        for (QString *field : fields) {
            if (at + 2 > packed.size()) {
                field->clear();
                continue;
            }
            const qsizetype size =
                qsizetype(packed.at(at).unicode()) << 16 | packed.at(at + 1).unicode();
            *field = packed.mid(at + 2, size);
            at += 2 + size;
        }
    }
};
