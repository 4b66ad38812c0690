#pragma once

#include "platform/FileIdentity.h"
#include "platform/FilePath.h"

#include <QtGlobal>

// What tells a file apart after it was renamed: its file number, size and modification time.
// The device is left out, since it can change when a disk is mounted again.
struct FileStamp {
    quint64 file = 0;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since the epoch (off Windows), file time on Windows
    bool valid = false;

    bool operator==(const FileStamp &other) const {
        return valid && other.valid && file == other.file && size == other.size &&
               modified == other.modified;
    }
    bool operator!=(const FileStamp &other) const { return !(*this == other); }

    // The entry path names, a link at its end not followed; invalid when there is none.
    // identity, when given, gets the entry's identity (FileIdentity::ofEntry) from the same look.
    static FileStamp of(const FilePath &path, FileIdentity *identity = nullptr);
};
