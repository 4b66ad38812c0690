#include "platform/RenameNoReplace.h"

#include "platform/Paths.h"

#include <QRandomGenerator>

#include <algorithm>

#ifdef Q_OS_WIN
#include <QDir>
#include <windows.h>
#else
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/syscall.h>
#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif
#endif
#endif

namespace RenameNoReplace {
namespace {

#ifdef Q_OS_WIN

constexpr int kExists = ERROR_ALREADY_EXISTS;

const wchar_t *wide(const QString &path) {
    return reinterpret_cast<const wchar_t *>(path.utf16());
}

// 0 on success, otherwise the system's error code.
int rawRename(const QString &from, const QString &to) {
    // Without MOVEFILE_REPLACE_EXISTING the call fails when the target exists; without
    // MOVEFILE_COPY_ALLOWED it never copies. A change of letter case alone is done in place.
    if (MoveFileExW(wide(QDir::toNativeSeparators(from)), wide(QDir::toNativeSeparators(to)), 0))
        return 0;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS ? kExists : static_cast<int>(error);
}

Failure classify(int error) {
    switch (error) {
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return Failure::TargetExists;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return Failure::SourceMissing;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return Failure::AccessDenied;
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return Failure::InvalidName;
    default:
        return Failure::Other;
    }
}

bool exists(const QString &path) {
    return GetFileAttributesW(wide(QDir::toNativeSeparators(path))) != INVALID_FILE_ATTRIBUTES;
}

// MoveFileExW renames a file to another spelling of its own name by itself.
bool sameEntry(const QString &, const QString &) {
    return false;
}

#else

constexpr int kExists = EEXIST;

// Last resort where the file system has neither RENAME_NOREPLACE nor hard links: take the
// name with an exclusively created empty file, then rename over that file, which is ours.
int renameOverPlaceholder(const char *from, const char *to) {
    struct stat source;
    if (::lstat(from, &source) != 0)
        return errno; // a missing source is the failure to tell, whatever the target
    const int fd = ::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return errno;
    ::close(fd);
    if (::rename(from, to) == 0)
        return 0;
    const int error = errno;
    ::unlink(to);
    return error;
}

// A new link fails when the name is taken, so it cannot replace anything.
int renameByLink(const char *from, const char *to) {
    if (::link(from, to) != 0)
        return errno;
    if (::unlink(from) == 0)
        return 0;
    const int error = errno;
    ::unlink(to); // keep the file under its old name only
    return error;
}

int rawRename(const QString &fromText, const QString &toText) {
    const QByteArray fromBytes = QFile::encodeName(fromText);
    const QByteArray toBytes = QFile::encodeName(toText);
    const char *from = fromBytes.constData();
    const char *to = toBytes.constData();
#ifdef Q_OS_LINUX
    if (::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    // EINVAL and ENOSYS: the kernel or this file system does not know the flag.
    if (error != EINVAL && error != ENOSYS)
        return error;
#endif
    const int linkError = renameByLink(from, to);
    // No hard links on this file system.
    if (linkError == EPERM || linkError == EOPNOTSUPP || linkError == EMLINK)
        return renameOverPlaceholder(from, to);
    return linkError;
}

Failure classify(int error) {
    switch (error) {
    case EEXIST:
    case ENOTEMPTY:
        return Failure::TargetExists;
    case ENOENT:
    case ENOTDIR:
        return Failure::SourceMissing;
    case EACCES:
    case EPERM:
    case EROFS:
        return Failure::AccessDenied;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return Failure::InvalidName;
    default:
        return Failure::Other;
    }
}

bool exists(const QString &path) {
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Whether both names lead to one directory entry, as two spellings of a name do on a file
// system that ignores letter case. Two hard links are two entries: the file has more than one
// link then, and the new name really is taken.
bool sameEntry(const QString &from, const QString &to) {
    struct stat a;
    struct stat b;
    if (::lstat(QFile::encodeName(from).constData(), &a) != 0 ||
        ::lstat(QFile::encodeName(to).constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && (S_ISDIR(a.st_mode) || a.st_nlink == 1);
}

#endif

Result failed(int error) {
    return {classify(error), error};
}

bool isReserved(QChar c) {
#ifdef Q_OS_WIN
    return QStringView(u"<>:\"|?*").contains(c);
#else
    Q_UNUSED(c);
    return false;
#endif
}

// The old name is the file's name as it is: whatever characters it holds, only what would
// make it no name inside the directory is refused. The new name is checked in full.
Failure checkOld(const QString &oldName) {
    if (oldName.isEmpty())
        return Failure::EmptyName;
    if (oldName == u"." || oldName == u"..")
        return Failure::DotName;
    if (std::any_of(oldName.cbegin(), oldName.cend(), Paths::isSeparator))
        return Failure::Separator;
    return Failure::None;
}

Failure checkBoth(const QString &oldName, const QString &newName) {
    const Failure oldProblem = checkOld(oldName);
    return oldProblem != Failure::None ? oldProblem : checkName(newName);
}

} // namespace

#ifndef Q_OS_WIN
Result renameWithFallback(Fallback fallback, const QString &directory, const QString &oldName,
                          const QString &newName) {
    if (const Failure problem = checkBoth(oldName, newName); problem != Failure::None)
        return {problem, 0};
    const QByteArray from = QFile::encodeName(directory + oldName);
    const QByteArray to = QFile::encodeName(directory + newName);
    const int error = fallback == Fallback::Link
                          ? renameByLink(from.constData(), to.constData())
                          : renameOverPlaceholder(from.constData(), to.constData());
    return error == 0 ? Result{} : failed(error);
}
#endif

Failure checkName(QStringView name) {
    if (name.isEmpty())
        return Failure::EmptyName;
    if (name == u"." || name == u"..")
        return Failure::DotName;
    // Separators first: they are what would move the file elsewhere.
    for (QChar c : name) {
        if (Paths::isSeparator(c))
            return Failure::Separator;
    }
    for (QChar c : name) {
        if (Paths::isControlCharacter(c))
            return Failure::ControlCharacter;
        if (isReserved(c))
            return Failure::ReservedCharacter;
    }
    if (Paths::nameLength(name) > Paths::kNameLimit)
        return Failure::NameTooLong;
    return Failure::None;
}

Result renameInDirectory(const QString &directory, const QString &oldName, const QString &newName) {
    const QString from = directory + oldName;
    if (oldName == newName && checkOld(oldName) == Failure::None)
        return exists(from) ? Result{} : Result{Failure::SourceMissing, 0};
    if (const Failure problem = checkBoth(oldName, newName); problem != Failure::None)
        return {problem, 0};
    const QString to = directory + newName;

    const int error = rawRename(from, to);
    if (error == 0)
        return {};
    if (error == kExists && sameEntry(from, to))
        return renameThroughTemporaryName(directory, oldName, newName);
    return failed(error);
}

Result renameThroughTemporaryName(const QString &directory, const QString &oldName,
                                  const QString &newName) {
    if (const Failure problem = checkBoth(oldName, newName); problem != Failure::None)
        return {problem, 0};
    const QString from = directory + oldName;
    const QString to = directory + newName;

    // A visible name, so that a file stranded there by a failure is easy to find.
    QString temporary;
    int error = kExists;
    for (int attempt = 0; attempt < 100 && error == kExists; ++attempt) {
        temporary =
            directory + QStringLiteral("~rename-%1.tmp")
                            .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        error = rawRename(from, temporary);
    }
    if (error != 0)
        return failed(error);

    error = rawRename(temporary, to);
    if (error == 0)
        return {};
    // Back under the old name; should even that fail, the file stays under the temporary
    // name, whole.
    rawRename(temporary, from);
    return failed(error);
}

} // namespace RenameNoReplace
