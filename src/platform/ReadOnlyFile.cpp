#include "platform/ReadOnlyFile.h"

#ifdef Q_OS_WIN
#include "platform/RegularFile.h"
#else
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

ReadOnlyFile::ReadOnlyFile(const QString &path, const QByteArray &nativePath)
    : m_file(path) {
    if (!openRegularFileForReading(m_file, nativePath, &m_identity))
        return;
    if (m_file.isSequential()) {
        m_file.close();
        m_identity = {};
        return;
    }
    m_size = m_file.size();
}

ReadOnlyFile::~ReadOnlyFile() = default;

std::optional<QByteArray> ReadOnlyFile::read(qint64 offset, qint64 count) {
    if (!isOpen() || !m_file.seek(offset))
        return std::nullopt;
    QByteArray bytes = m_file.read(count);
    if (m_file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

#else

ReadOnlyFile::ReadOnlyFile(const QString &path, const QByteArray &nativePath) {
    const QByteArray name = nativePath.isEmpty() ? QFile::encodeName(path) : nativePath;
    // Non-blocking, so that a pipe cannot hold the open; then only a regular file is kept.
    m_fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    struct stat st;
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_size = st.st_size;
    m_identity = {quint64(st.st_dev), quint64(st.st_ino), true};
}

ReadOnlyFile::~ReadOnlyFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<QByteArray> ReadOnlyFile::read(qint64 offset, qint64 count) {
    if (m_fd < 0 || offset < 0 || count < 0)
        return std::nullopt;
    // No more than the file held when opened: a size in a damaged header costs no memory.
    count = qMin(count, qMax<qint64>(0, m_size - offset));
    QByteArray bytes(count, Qt::Uninitialized);
    qint64 got = 0;
    while (got < count) {
        const ssize_t n = ::pread(m_fd, bytes.data() + got, size_t(count - got), offset + got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break; // the end of the file
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

#endif
