#include "platform/FileStamp.h"

#include "platform/Paths.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

FileStamp FileStamp::of(const FilePath &path, FileIdentity *identity) {
    FileStamp stamp;
    if (identity)
        *identity = {};
#ifdef Q_OS_WIN
    const HANDLE handle =
        CreateFileW(Paths::winApiPath(path.text()).c_str(), 0,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return stamp;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(handle, &info)) {
        stamp.file = quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
        stamp.size = qint64(quint64(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
        stamp.modified = qint64(quint64(info.ftLastWriteTime.dwHighDateTime) << 32 |
                                info.ftLastWriteTime.dwLowDateTime);
        stamp.valid = true;
        if (identity)
            *identity = {info.dwVolumeSerialNumber, stamp.file, true};
    }
    CloseHandle(handle);
#else
    struct stat st;
    if (::lstat(path.exactBytes().constData(), &st) != 0)
        return stamp;
    stamp.file = quint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.valid = true;
    if (identity)
        *identity = {quint64(st.st_dev), quint64(st.st_ino), true};
#endif
    return stamp;
}
