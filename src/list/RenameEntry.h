#pragma once

#include "platform/FileIdentity.h"
#include "platform/FilePath.h"

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

    FilePath path() const { return directory.join(originalName); }
};
