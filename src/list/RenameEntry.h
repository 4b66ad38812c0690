#pragma once

#include <QString>

// One file of the audio-file list. An entry has no identity of its own: it is known by its
// place in the EntryTable.
struct RenameEntry {
    QString directory;    // full folder path with a trailing separator
    QString originalName; // current name with extension, no path
    QString newName;      // name the file is to get, with extension, no path
    QString title;
    QString singer;

    QString path() const { return directory + originalName; }
};
