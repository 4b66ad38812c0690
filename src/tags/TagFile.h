#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Raw reads for the tag readers. Each makes one read of the bytes it returns and never goes
// outside the file. Only regular files are opened: a directory, a pipe or a device that bears
// an audio name would otherwise fail late or block the caller.

// The first count bytes of the file at path, or all of it when it is shorter; nothing when
// the path is not a readable regular file.
std::optional<QByteArray> readFileHead(const QString &path, qint64 count);

// The last count bytes of the file at path; nothing when the file holds fewer than count
// bytes or is not a readable regular file.
std::optional<QByteArray> readFileTail(const QString &path, qint64 count);
