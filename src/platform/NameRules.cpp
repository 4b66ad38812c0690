#include "platform/Paths.h"
#include "platform/RenameNoReplace.h"

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

// The rules a name is checked against, and what the system's error codes mean: plain
// functions, so that Windows' rules are tested on every system.
namespace RenameNoReplace {
namespace {

bool isReserved(QChar c) {
    return QStringView(u"<>:\"|?*").contains(c);
}

bool isSeparatorFor(QChar c, NameRules rules) {
    return c == u'/' || (rules == NameRules::Windows && c == u'\\');
}

} // namespace

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

} // namespace RenameNoReplace
