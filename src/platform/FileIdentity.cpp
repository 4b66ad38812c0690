#include "platform/FileIdentity.h"

#ifdef Q_OS_WIN
#include "platform/Paths.h"

#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

#ifdef Q_OS_WIN

FileIdentity identity(const QString &path, bool followLinks) {
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    // No access asked for: only the attributes are read, and nobody is kept from the file.
    const HANDLE handle = CreateFileW(Paths::winApiPath(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!ok)
        return {};
    return {info.dwVolumeSerialNumber,
            quint64(info.nFileIndexHigh) << 32 | quint64(info.nFileIndexLow), true};
}

#else

FileIdentity identity(const QByteArray &path, bool followLinks) {
    struct stat st;
    const int result = followLinks ? ::stat(path.constData(), &st) : ::lstat(path.constData(), &st);
    if (result != 0)
        return {};
    return {quint64(st.st_dev), quint64(st.st_ino), true};
}

#endif

} // namespace

FileIdentity FileIdentity::of(const FilePath &path) {
#ifdef Q_OS_WIN
    return identity(path.text(), true);
#else
    return identity(path.exactBytes(), true);
#endif
}

FileIdentity FileIdentity::ofEntry(const FilePath &path) {
#ifdef Q_OS_WIN
    return identity(path.text(), false);
#else
    return identity(path.exactBytes(), false);
#endif
}
