#include "platform/RenameNoReplace.h"

#include "platform/Paths.h"

#include <QRandomGenerator>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QFile>
#include <cerrno>
#include <dirent.h>
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

using Native = QString;

// 0 on success, otherwise the system's error code.
int rawRename(const QString &from, const QString &to) {
    // Without MOVEFILE_REPLACE_EXISTING the call fails when the target exists; without
    // MOVEFILE_COPY_ALLOWED it never copies. A change of letter case alone is done in place.
    if (MoveFileExW(Paths::winApiPath(from).c_str(), Paths::winApiPath(to).c_str(), 0))
        return 0;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS ? kExists : static_cast<int>(error);
}

Failure classify(int error) {
    return classifyWindowsError(static_cast<quint32>(error));
}
bool exists(const QString &path) {
    return GetFileAttributesW(Paths::winApiPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// MoveFileExW renames a file to another spelling of its own name by itself.
bool sameEntry(const QString &, const QString &) {
    return false;
}
bool takenOnlyByItself(const QString &, const QString &, const QString &) {
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

using Native = QByteArray; // paths as the file system's bytes

int rawRename(const Native &fromBytes, const Native &toBytes) {
    const char *from = fromBytes.constData();
    const char *to = toBytes.constData();
    int first = 0;
#ifdef Q_OS_LINUX
    if (::syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return 0;
    first = errno;
    // EINVAL and ENOSYS: the kernel or this file system does not know the flag, or, for
    // EINVAL, the file system does not take the new name.
    if (first != EINVAL && first != ENOSYS)
        return first;
#endif
    int error = renameByLink(from, to);
    // No hard links on this file system.
    if (error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS)
        error = renameOverPlaceholder(from, to);
    // A name the file system refuses reaches the fallbacks as another error (exFAT through
    // FUSE says "no such file" when asked to create it): while the file is there, the first
    // answer was the true one.
    struct stat source;
    if (first == EINVAL && error == ENOENT && ::lstat(from, &source) == 0)
        return EINVAL;
    return error;
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

bool exists(const Native &path) {
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// Whether both names lead to one directory entry, as two spellings of a name do on a file
// system that ignores letter case. Two hard links are two entries: the file has more than one
// link then, and the new name really is taken.
bool sameEntry(const Native &from, const Native &to) {
    struct stat a;
    struct stat b;
    if (::lstat(from.constData(), &a) != 0 || ::lstat(to.constData(), &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && (S_ISDIR(a.st_mode) || a.st_nlink == 1);
}

// Whether directory lists name itself, byte for byte.
bool listsExactly(const Native &directory, const Native &name) {
    DIR *dir = ::opendir(directory.isEmpty() ? "." : directory.constData());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent *d = ::readdir(dir)) {
        if (name == d->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Whether newName is taken only by the file's own old name in another spelling: the folder lists
// the old name and not the new one. Some file systems that ignore letter case (exFAT and FAT
// through FUSE) give the two spellings different inode numbers, which sameEntry cannot see.
bool takenOnlyByItself(const Native &directory, const Native &oldName, const Native &newName) {
    return listsExactly(directory, oldName) && !listsExactly(directory, newName);
}

#endif

Native nativeOf(const FilePath &path) {
#ifdef Q_OS_WIN
    return path.text();
#else
    return path.exactBytes();
#endif
}

// Where the last part of a path in the system's form begins, as FilePath::name takes it.
qsizetype nameStartOf(const Native &path) {
#ifdef Q_OS_WIN
    return Paths::nameStart(path);
#else
    return path.lastIndexOf('/') + 1;
#endif
}

Result failed(int error) {
    return {classify(error), error};
}

Failure checkBoth(const QString &oldName, const QString &newName) {
    const Failure oldProblem = checkOldName(oldName);
    return oldProblem != Failure::None ? oldProblem : checkName(newName);
}

} // namespace

#ifndef Q_OS_WIN
Result renameWithFallback(Fallback fallback, const FilePath &source, const FilePath &newName) {
    if (const Failure problem = checkBoth(source.name().text(), newName.text());
        problem != Failure::None)
        return {problem, 0};
    const QByteArray from = source.exactBytes();
    const QByteArray to = source.folder().join(newName).exactBytes();
    const int error = fallback == Fallback::Link
                          ? renameByLink(from.constData(), to.constData())
                          : renameOverPlaceholder(from.constData(), to.constData());
    return error == 0 ? Result{} : failed(error);
}
#endif

namespace {

// Through a temporary name in the same directory, each step refusing to replace.
Result throughTemporaryName(const Native &directory, const Native &from, const Native &to) {
    // A visible name, so that a file stranded there by a failure is easy to find.
    Native temporary;
    int error = kExists;
    for (int attempt = 0; attempt < 100 && error == kExists; ++attempt) {
        temporary = directory +
                    nativeOf(QStringLiteral("~rename-%1.tmp")
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0')));
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

// from is directory + oldName.
Result renameNative(const Native &directory, const Native &from, const Native &oldName,
                    const Native &newName) {
    const Native to = directory + newName;
    const int error = rawRename(from, to);
    if (error == 0)
        return {};
    if (error == kExists && (sameEntry(from, to) || takenOnlyByItself(directory, oldName, newName)))
        return throughTemporaryName(directory, from, to);
    return failed(error);
}

} // namespace

Result renameFile(const FilePath &source, const FilePath &newName, const FileIdentity &expected,
                  NewName kind) {
    const FilePath oldName = source.name();
    if (const Failure problem = checkOldName(oldName.text()); problem != Failure::None)
        return {problem, 0};
    if (expected.valid) {
        // The file itself, not what a link leads to: a link is renamed as the link.
        const FileIdentity now = FileIdentity::ofEntry(source);
        if (!now.valid)
            return {Failure::SourceMissing, 0};
        if (!now.sameAs(expected))
            return {Failure::FileReplaced, 0};
    }
    // The path turned into the system's form once and split there: a run does this for every
    // file.
    const Native sourceNative = nativeOf(source);
    const qsizetype nameAt = nameStartOf(sourceNative);
    const Native folder = sourceNative.left(nameAt);
    const Native oldNative = sourceNative.mid(nameAt);
    const Native newNative = nativeOf(newName);
    // A made name equal to the old one as text is the same name, whatever bytes the file
    // system holds it as: a name that is not UTF-8 is not rewritten as UTF-8. A former name
    // given back is compared as the bytes it was.
    const bool same =
        kind == NewName::Made ? newName.text() == oldName.text() : newNative == oldNative;
    if (same)
        return exists(sourceNative) ? Result{} : Result{Failure::SourceMissing, 0};
    const Failure problem =
        kind == NewName::Made ? checkName(newName.text()) : checkOldName(newName.text());
    if (problem != Failure::None)
        return {problem, 0};
    return renameNative(folder, sourceNative, oldNative, newNative);
}

bool isTakenByAnother(const FilePath &source, const FilePath &newName) {
    if (newName.text().compare(source.name().text(), Paths::pathCase()) == 0)
        return false; // its own name, in any spelling the file system takes as the same
    const Native to = nativeOf(source.folder().join(newName));
    return exists(to) && !sameEntry(nativeOf(source), to);
}

Result renameThroughTemporaryName(const FilePath &source, const FilePath &newName) {
    if (const Failure problem = checkBoth(source.name().text(), newName.text());
        problem != Failure::None)
        return {problem, 0};
    const FilePath folder = source.folder();
    return throughTemporaryName(nativeOf(folder), nativeOf(source), nativeOf(folder.join(newName)));
}

} // namespace RenameNoReplace
