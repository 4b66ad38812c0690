#include "platform/RegularFile.h"

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool openRegularFileForReading(QFile &file) {
#ifdef Q_OS_WIN
    // Pipes are not reached through ordinary paths here; the check only keeps out folders
    // and devices.
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
#else
    // Non-blocking, so that a pipe cannot hold the open; then only a regular file is kept.
    const QByteArray path = QFile::encodeName(file.fileName());
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#endif
}

OutputOpening
openRegularFileForWriting(QFile &file, QIODevice::OpenMode extra,
                          const std::function<bool(const FileIdentity &)> &forbidden) {
#ifdef Q_OS_WIN
    const QFileInfo info(file.fileName());
    if (info.exists()) {
        if (!info.isFile())
            return OutputOpening::Failed;
        if (forbidden && forbidden(FileIdentity::of(file.fileName())))
            return OutputOpening::Forbidden;
    }
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate | extra) ? OutputOpening::Opened
                                                                         : OutputOpening::Failed;
#else
    const QByteArray path = QFile::encodeName(file.fileName());
    constexpr int kFlags = O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    // Not cut yet: what lies there is looked at first. A pipe without a reader fails here
    // (ENXIO) instead of waiting for one.
    int fd = ::open(path.constData(), kFlags);
    bool created = false;
    if (fd < 0 && errno == ENOENT) {
        // Nothing there, or a link to nothing: O_EXCL creates no file at the end of a link.
        fd = ::open(path.constData(), kFlags | O_CREAT | O_EXCL, 0666);
        created = fd >= 0;
    }
    if (fd < 0)
        return OutputOpening::Failed;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return OutputOpening::Failed;
    }
    if (!created && forbidden && forbidden({quint64(st.st_dev), quint64(st.st_ino), true})) {
        ::close(fd);
        return OutputOpening::Forbidden;
    }
    if (::ftruncate(fd, 0) != 0 || ::fcntl(fd, F_SETFL, 0) != 0 ||
        !file.open(fd, QIODevice::WriteOnly | extra, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return OutputOpening::Failed;
    }
    return OutputOpening::Opened;
#endif
}

bool openRegularFileForAppending(QFile &file) {
#ifdef Q_OS_WIN
    return QFileInfo(file.fileName()).isFile() &&
           file.open(QIODevice::Append | QIODevice::Unbuffered | QIODevice::ExistingOnly);
#else
    const QByteArray path = QFile::encodeName(file.fileName());
    const int fd =
        ::open(path.constData(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::fcntl(fd, F_SETFL, O_APPEND) != 0 ||
        !file.open(fd, QIODevice::Append | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#endif
}
