#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// One entry of a folder as the folder scan needs it.
struct FolderEntry {
    enum class Kind {
        File,       // a regular file, or a link to one
        Folder,     // a folder, or a link to one
        Other,      // a pipe, device or socket, or a link that leads nowhere
        Unreadable, // the entry could not be looked at (no permission, path too long, gone)
    };

    QString name;          // as text (see Paths::nameText)
    QByteArray nativeName; // off Windows, the file system's exact bytes; empty on Windows
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

// Lists the folder path (with or without a trailing separator). Off Windows nativePath, when
// not empty, is the path's exact bytes, for folders whose names are not UTF-8.
FolderListing listFolder(const QString &path, const QByteArray &nativePath = {});
