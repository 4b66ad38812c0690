#pragma once

#include "platform/FilePath.h"

#include <QVector>

// One entry of a folder as the folder scan needs it.
struct FolderEntry {
    enum class Kind {
        File,       // a regular file, or a link to one
        Folder,     // a folder, or a link to one
        Other,      // a pipe, device or socket, or a link that leads nowhere
        Unreadable, // the entry could not be looked at (no permission, path too long, gone)
    };

    FilePath name;
    Kind kind = Kind::Other;
    bool isLink = false;
    bool hidden = false; // a hidden file or folder: off Windows by its leading ".", on Windows
                         // by its attribute
};

// The entries of one folder, "." and ".." left out, in the file system's order, hidden and
// system entries included.
struct FolderListing {
    bool readable = false; // false: the folder could not be opened at all
    QVector<FolderEntry> entries;
};

// Lists the folder at path (with or without a trailing separator).
FolderListing listFolder(const FilePath &path);
