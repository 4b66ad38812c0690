#pragma once

#include "platform/FileIdentity.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A regular file opened for reading bytes at given offsets, with no buffering and no more
// system calls than that needs: open, one look at the open file, a read per call. Anything
// that is no regular file (a folder, a device, a pipe) is not opened, and nothing waits.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const FilePath &path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    bool isOpen() const { return m_identity.valid; }
    qint64 size() const { return m_size; }
    // The file opened, as it was when it was opened.
    FileIdentity identity() const { return m_identity; }

    // Up to count bytes from offset, fewer where the file ends; nothing when the read failed.
    std::optional<QByteArray> read(qint64 offset, qint64 count);
    // Up to count bytes at offset into to: how many were read, 0 at the end, -1 on failure.
    qint64 readAt(char *to, qint64 count, qint64 offset);

private:
#ifdef Q_OS_WIN
    void *m_handle = nullptr; // the system's handle
#else
    int m_fd = -1;
#endif
    qint64 m_size = 0;
    FileIdentity m_identity;
};
