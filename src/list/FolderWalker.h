#pragma once

#include "platform/FilePath.h"

#include <QString>

// What a walk of a folder tree meets, told in the order it meets it. Each call that returns
// false stops the walk.
class FolderVisitor {
public:
    virtual ~FolderVisitor() = default;

    // The walk enters folder (with its trailing separator).
    virtual bool enterFolder(const FilePath &folder) = 0;
    // A file the scan takes by its extension (hasScannedExtension), in folder. noLink: the entry
    // is known to be no link.
    virtual bool foundFile(const FilePath &folder, const FilePath &name, bool noLink) = 0;
    // A folder or entry that could not be read, by its path.
    virtual void unreadable(const QString &path) = 0;
    // Another kEntriesPerReport entries of folder were passed over (not files the scan takes).
    virtual bool passedOver(const FilePath &folder) = 0;
};

// How many entries passed over make one passedOver call.
inline constexpr int kEntriesPerReport = 1024;

// Walks the folder tree at root (no trailing separator; empty text for the root of "/" or a
// drive given as "D:"): a folder's own files first, then each subfolder's whole tree in turn,
// each in the order the all-files page's file box lists names (FileBoxNames: symbols and
// digits, Latin, then Chinese in pinyin, letter case ignored), so both pages and every system
// agree. Links to folders are followed, but no folder (by device and
// inode) is entered twice, so a link back up is no loop. Devices, pipes and sockets are passed
// over, never opened. A very deep tree costs no call stack.
// allFormats: the other music formats' files are taken too.
void walkFolderTree(const FilePath &root, FolderVisitor &visitor, bool allFormats = false);
