#include "platform/RenameNoReplace.h"

#include "platform/Paths.h"

#include <QRandomGenerator>

#include <algorithm>

#ifdef Q_OS_WIN
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

#endif

Native nativeOf(const FilePath &path) {
#ifdef Q_OS_WIN
    return path.text();
#else
    return path.exactBytes();
#endif
}

Result failed(int error) {
    return {classify(error), error};
}

bool isReserved(QChar c) {
    return QStringView(u"<>:\"|?*").contains(c);
}

bool isSeparatorFor(QChar c, NameRules rules) {
    return c == u'/' || (rules == NameRules::Windows && c == u'\\');
}

// Names Windows keeps for devices, whatever follows the first dot and in any letter case.
// The superscript digits count as digits there too.
bool isDeviceName(QStringView name) {
    QStringView base = name.left(name.indexOf(u'.'));
    while (base.endsWith(u' '))
        base.chop(1);
    for (const char16_t *device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
        if (base.compare(QStringView(device), Qt::CaseInsensitive) == 0)
            return true;
    }
    if (base.size() != 4)
        return false;
    const QStringView stem = base.left(3);
    if (stem.compare(u"COM", Qt::CaseInsensitive) != 0 &&
        stem.compare(u"LPT", Qt::CaseInsensitive) != 0)
        return false;
    const char16_t digit = base[3].unicode();
    return (digit >= u'1' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
           digit == u'\u00B3';
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

// The old name is the file's name as it is: whatever characters it holds, only what would
// make it no name inside the directory is refused. The new name is checked in full.
Failure checkOldName(QStringView oldName) {
    if (oldName.isEmpty())
        return Failure::EmptyName;
    if (oldName == u"." || oldName == u"..")
        return Failure::DotName;
    if (std::any_of(oldName.cbegin(), oldName.cend(), Paths::isSeparator))
        return Failure::Separator;
    return Failure::None;
}

Failure checkName(QStringView name, NameRules rules) {
    if (name.isEmpty())
        return Failure::EmptyName;
    if (name == u"." || name == u"..")
        return Failure::DotName;
    // Separators first: they are what would move the file elsewhere.
    for (QChar c : name) {
        if (isSeparatorFor(c, rules))
            return Failure::Separator;
    }
    for (QChar c : name) {
        if (Paths::isRefusedInNames(c))
            return Failure::ControlCharacter;
        if (rules == NameRules::Windows && isReserved(c))
            return Failure::ReservedCharacter;
    }
    if (rules == NameRules::Windows) {
        if (isDeviceName(name))
            return Failure::DeviceName;
        if (name.endsWith(u'.') || name.endsWith(u' '))
            return Failure::TrailingDotOrSpace;
    }
    const qsizetype length = rules == NameRules::Windows ? name.size() : Paths::utf8Length(name);
    if (length > Paths::kNameLimit)
        return Failure::NameTooLong;
    return Failure::None;
}

// The codes as winerror.h gives them; they never change between Windows versions.
namespace WindowsError {
constexpr quint32 kFileNotFound = 2;
constexpr quint32 kPathNotFound = 3;
constexpr quint32 kAccessDenied = 5;
constexpr quint32 kWriteProtect = 19;
constexpr quint32 kSharingViolation = 32;
constexpr quint32 kLockViolation = 33;
constexpr quint32 kFileExists = 80;
constexpr quint32 kBufferOverflow = 111;
constexpr quint32 kInvalidName = 123;
constexpr quint32 kBadPathname = 161;
constexpr quint32 kAlreadyExists = 183;
constexpr quint32 kFilenameExcedRange = 206;
constexpr quint32 kDirectory = 267;
constexpr quint32 kUserMappedFile = 1224;
} // namespace WindowsError

#ifdef Q_OS_WIN
static_assert(WindowsError::kFileNotFound == ERROR_FILE_NOT_FOUND &&
              WindowsError::kPathNotFound == ERROR_PATH_NOT_FOUND &&
              WindowsError::kAccessDenied == ERROR_ACCESS_DENIED &&
              WindowsError::kWriteProtect == ERROR_WRITE_PROTECT &&
              WindowsError::kSharingViolation == ERROR_SHARING_VIOLATION &&
              WindowsError::kLockViolation == ERROR_LOCK_VIOLATION &&
              WindowsError::kFileExists == ERROR_FILE_EXISTS &&
              WindowsError::kBufferOverflow == ERROR_BUFFER_OVERFLOW &&
              WindowsError::kInvalidName == ERROR_INVALID_NAME &&
              WindowsError::kBadPathname == ERROR_BAD_PATHNAME &&
              WindowsError::kAlreadyExists == ERROR_ALREADY_EXISTS &&
              WindowsError::kFilenameExcedRange == ERROR_FILENAME_EXCED_RANGE &&
              WindowsError::kDirectory == ERROR_DIRECTORY &&
              WindowsError::kUserMappedFile == ERROR_USER_MAPPED_FILE);
#endif

Failure classifyWindowsError(quint32 error) {
    using namespace WindowsError;
    switch (error) {
    case kAlreadyExists:
    case kFileExists:
        return Failure::TargetExists;
    case kFileNotFound:
    case kPathNotFound:
        return Failure::SourceMissing;
    case kAccessDenied:
    case kWriteProtect:
        return Failure::AccessDenied;
    // Open in a player or the preview pane.
    case kSharingViolation:
    case kLockViolation:
    case kUserMappedFile:
        return Failure::InUse;
    case kFilenameExcedRange:
    case kBufferOverflow:
        return Failure::PathTooLong;
    case kInvalidName:
    case kBadPathname:
    case kDirectory:
        return Failure::InvalidName;
    default:
        return Failure::Other;
    }
}

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

Result renameNative(const Native &directory, const Native &oldName, const Native &newName) {
    const Native from = directory + oldName;
    const Native to = directory + newName;
    const int error = rawRename(from, to);
    if (error == 0)
        return {};
    if (error == kExists && sameEntry(from, to))
        return throughTemporaryName(directory, from, to);
    return failed(error);
}

} // namespace

Result renameFile(const FilePath &source, const FilePath &newName, const FileIdentity &expected,
                  NewName kind) {
    const FilePath oldName = source.name();
    if (const Failure problem = checkOldName(oldName.text()); problem != Failure::None)
        return {problem, 0};
    const Native from = nativeOf(source);
    if (expected.valid) {
        // The file itself, not what a link leads to: a link is renamed as the link.
        const FileIdentity now = FileIdentity::ofEntry(source);
        if (!now.valid)
            return {Failure::SourceMissing, 0};
        if (!now.sameAs(expected))
            return {Failure::FileReplaced, 0};
    }
    // A made name equal to the old one as text is the same name, whatever bytes the file
    // system holds it as: a name that is not UTF-8 is not rewritten as UTF-8. A former name
    // given back is compared as the bytes it was.
    const bool same = kind == NewName::Made ? newName.text() == oldName.text()
                                            : nativeOf(newName) == nativeOf(oldName);
    if (same)
        return exists(from) ? Result{} : Result{Failure::SourceMissing, 0};
    const Failure problem =
        kind == NewName::Made ? checkName(newName.text()) : checkOldName(newName.text());
    if (problem != Failure::None)
        return {problem, 0};
    return renameNative(nativeOf(source.folder()), nativeOf(oldName), nativeOf(newName));
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
