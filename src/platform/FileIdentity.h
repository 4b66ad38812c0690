#pragma once

#include "platform/FilePath.h"

#include <QtGlobal>

// Which file a name leads to: device and inode off Windows, the volume's serial number and the
// file index on Windows. Two names of one file (hard links, a link and its target, two spellings
// of one path) have one identity; paths compared as text cannot tell that.
struct FileIdentity {
    quint64 device = 0;
    quint64 file = 0;
    bool valid = false; // false when the file could not be looked at

    // Whether both are known and name the same file.
    bool sameAs(const FileIdentity &other) const {
        return valid && other.valid && device == other.device && file == other.file;
    }

    // The file that path leads to, links followed.
    static FileIdentity of(const FilePath &path);
    // The directory entry path itself: a link at the end of path is not followed.
    static FileIdentity ofEntry(const FilePath &path);
};
