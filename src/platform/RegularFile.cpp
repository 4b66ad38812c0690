#include "platform/RegularFile.h"

#ifdef Q_OS_WIN
#include <QFileInfo>
#else
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
    const int fd =
        ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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
