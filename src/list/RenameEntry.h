#pragma once

#include "platform/FileIdentity.h"

#include <QByteArray>
#include <QString>

// One file of the audio-file list. An entry has no identity of its own: it is known by its
// place in the EntryTable.
struct RenameEntry {
    QString directory;    // full folder path with a trailing separator
    QString originalName; // current name with extension, no path
    QString newName;      // name the file is to get, with extension, no path
    QString title;
    QString singer;
    // Off Windows, the file system's exact bytes of the directory (with its trailing separator)
    // and of the original name when they are not UTF-8, so that such a file can be found
    // again; empty when the text gives them back (and always on Windows).
    QByteArray nativeDirectory{};
    QByteArray nativeName{};
    // The file as it was when it was added; invalid when unknown, and then not checked.
    FileIdentity identity{};

    QString path() const { return directory + originalName; }
};
