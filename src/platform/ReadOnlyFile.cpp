#include "platform/ReadOnlyFile.h"

#ifdef Q_OS_WIN
#include "platform/Paths.h"

#include <windows.h>
#else
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN

ReadOnlyFile::ReadOnlyFile(const FilePath &path) {
    // Shared in every way, as a player shares it: nobody is kept from renaming or deleting
    // the file while its tag is read.
    const HANDLE handle = CreateFileW(Paths::winApiPath(path.text()).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    // A file on a disk only, no device or pipe; a folder cannot be opened this way at all.
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        return;
    }
    m_handle = handle;
    m_size = qint64(quint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    m_identity = {info.dwVolumeSerialNumber,
                  quint64(info.nFileIndexHigh) << 32 | quint64(info.nFileIndexLow), true};
}

ReadOnlyFile::~ReadOnlyFile() {
    if (m_handle)
        CloseHandle(m_handle);
}

qint64 ReadOnlyFile::readAt(char *to, qint64 count, qint64 offset) {
    OVERLAPPED at{};
    at.Offset = DWORD(quint64(offset));
    at.OffsetHigh = DWORD(quint64(offset) >> 32);
    DWORD got = 0;
    if (!ReadFile(m_handle, to, DWORD(qMin<qint64>(count, 1 << 30)), &got, &at))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return got;
}

#else

ReadOnlyFile::ReadOnlyFile(const FilePath &path) {
    const QByteArray name = path.exactBytes();
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

qint64 ReadOnlyFile::readAt(char *to, qint64 count, qint64 offset) {
    for (;;) {
        const ssize_t n = ::pread(m_fd, to, size_t(count), offset);
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

#endif

std::optional<QByteArray> ReadOnlyFile::read(qint64 offset, qint64 count) {
    if (!isOpen() || offset < 0 || count < 0)
        return std::nullopt;
    // No more than the file held when opened: a size in a damaged header costs no memory.
    count = qMin(count, qMax<qint64>(0, m_size - offset));
    QByteArray bytes(count, Qt::Uninitialized);
    qint64 got = 0;
    while (got < count) {
        const qint64 n = readAt(bytes.data() + got, count - got, offset + got);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break; // the end of the file
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}
