#pragma once

#include "platform/FileIdentity.h"

#include <QFile>

#include <functional>

// Opens file (named by its fileName()) for reading when it is a regular file. Anything else,
// a directory, a device, a pipe, fails without waiting: opening a pipe for reading in the
// ordinary way blocks until some other process writes to it.
bool openRegularFileForReading(QFile &file);

enum class OutputOpening {
    Opened,
    Failed,   // cannot be created or written, or is no regular file (a pipe, device, folder)
    Forbidden // it is a file that forbidden named; left as it was
};

// Opens file (named by its fileName()) for writing, replacing its content, or creates it. Only
// a regular file is used; a link is followed only to one. Nothing waits: a pipe without a
// reader fails at once instead of holding the program. An existing file for which forbidden
// (when given) returns true is left untouched: it is checked before anything is cut.
OutputOpening
openRegularFileForWriting(QFile &file, QIODevice::OpenMode extra = {},
                          const std::function<bool(const FileIdentity &)> &forbidden = {});

// Opens file, a regular file that exists, for appending, unbuffered; anything else fails
// without waiting.
bool openRegularFileForAppending(QFile &file);
