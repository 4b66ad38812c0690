#pragma once

// What the benchmarks' bare loops do with the system, on Linux and on Windows alike: walking a
// tree, reading a file's last 128 bytes, renaming without replacing, dropping the cache and
// the peak memory. Paths are UTF-8.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <string>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>

#include <psapi.h> // after windows.h, which it needs
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace BenchSystem {

#ifdef Q_OS_WIN
inline std::wstring wide(const std::string &path) {
    return QString::fromStdString(path).toStdWString();
}
#endif

// Walks the tree depth first, giving each regular file to visit and, when given, each folder
// to folder; names beginning with "." are passed over.
inline void walk(const std::string &root, const std::function<void(const std::string &)> &visit,
                 const std::function<void(const std::string &)> &folder = {}) {
    std::vector<std::string> pending{root};
    while (!pending.empty()) {
        const std::string base = pending.back();
        pending.pop_back();
        if (folder)
            folder(base);
#ifdef Q_OS_WIN
        WIN32_FIND_DATAW found;
        const HANDLE find =
            FindFirstFileExW(wide(base + "\\*").c_str(), FindExInfoBasic, &found,
                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (found.cFileName[0] == L'.')
                continue;
            std::string path = base + '\\' + QString::fromWCharArray(found.cFileName).toStdString();
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                pending.push_back(std::move(path));
            else
                visit(path);
        } while (FindNextFileW(find, &found));
        FindClose(find);
#else
        DIR *dir = opendir(base.c_str());
        if (!dir)
            continue;
        while (const dirent *d = readdir(dir)) {
            if (d->d_name[0] == '.')
                continue;
            std::string path = base + '/' + d->d_name;
            if (d->d_type == DT_DIR)
                pending.push_back(std::move(path));
            else if (d->d_type == DT_REG)
                visit(path);
        }
        closedir(dir);
#endif
    }
}

// The bare read of one file: open, its size, a read of the last 128 bytes, close. Whether they
// are an ID3v1 block.
inline bool readsTagged(const std::string &path) {
    char block[128];
    bool tagged = false;
#ifdef Q_OS_WIN
    const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    OVERLAPPED at{};
    DWORD got = 0;
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 128) {
        const quint64 offset = quint64(size.QuadPart - 128);
        at.Offset = DWORD(offset & 0xFFFFFFFF);
        at.OffsetHigh = DWORD(offset >> 32);
        tagged = ReadFile(file, block, 128, &got, &at) && got == 128 && block[0] == 'T';
    }
    CloseHandle(file);
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    tagged = ::fstat(fd, &st) == 0 && st.st_size >= 128 &&
             ::pread(fd, block, 128, st.st_size - 128) == 128 && block[0] == 'T';
    ::close(fd);
#endif
    return tagged;
}

// Renames from to to, never replacing a file: renameat2 with RENAME_NOREPLACE, MoveFileExW
// without the replace flag.
inline bool renameNoReplace(const std::string &from, const std::string &to) {
#ifdef Q_OS_WIN
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0);
#else
    return ::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 1) == 0;
#endif
}

// Writes out what earlier work left to write, so that a timed part does not share the disk with
// the writing of the files made or renamed before it.
inline void settle() {
#ifndef Q_OS_WIN
    sync();
#endif
}

// Drops the page cache (Linux, as root); false where that is refused or there is none to drop.
inline bool dropPageCache() {
#ifdef Q_OS_WIN
    return false;
#else
    sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    return drop.open(QIODevice::WriteOnly) && drop.write("3\n") == 2;
#endif
}

// Asks the system to forget the file's cached pages, where it can be asked.
inline void evict(const std::string &path) {
#ifndef Q_OS_WIN
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

// The most memory this process held at once, in KiB.
inline long peakKib() {
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return long(counters.PeakWorkingSetSize / 1024);
#else
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

} // namespace BenchSystem
