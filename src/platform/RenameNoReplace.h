#pragma once

#include "platform/FileIdentity.h"
#include "platform/FilePath.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

// Renaming a file inside its own directory without ever replacing another file.
//
// A check for the target followed by a plain rename leaves a gap in which another file can
// appear and be overwritten, so the refusal to replace is left to the file system: on Linux
// renameat2 with RENAME_NOREPLACE, or a hard link followed by removing the old name where the
// file system does not know that flag; on Windows MoveFileExW without the replace flag.
namespace RenameNoReplace {

enum class Failure {
    None,
    // The new name (or the old one) could lead out of the directory or is no name at all.
    EmptyName,
    DotName,            // "." or ".."
    Separator,          // "/" (and "\" on Windows)
    ControlCharacter,   // controls, line separators, direction marks (Paths::isRefusedInNames)
    ReservedCharacter,  // characters Windows never allows in a name: < > : " | ? *
    DeviceName,         // Windows: CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension
    TrailingDotOrSpace, // Windows drops them, so the file would get another name
    NameTooLong,        // longer than a file system takes for one name (Paths::kNameLimit)
    // The source is no longer the file that was listed.
    FileReplaced,
    // The new name is one the program writes in that folder itself (decided by the caller).
    OwnFileName,
    // Another file of the same run is to get the same new name (decided by the caller).
    SameNewName,
    // The file system refused.
    TargetExists,
    SourceMissing,
    AccessDenied,
    InUse,       // Windows: another program holds the file open (sharing or lock violation)
    PathTooLong, // the whole path is longer than the system takes
    InvalidName, // the file system does not take the name (too long, not allowed there)
    Other,
};

struct Result {
    Failure failure = Failure::None;
    int systemError = 0; // errno or the Windows error code, when the system gave one

    bool ok() const { return failure == Failure::None; }
};

// Whose rules a name is checked against. Both sets are plain functions, so the Windows rules
// are tested on every system.
enum class NameRules { Posix, Windows };
#ifdef Q_OS_WIN
constexpr NameRules kNativeRules = NameRules::Windows;
#else
constexpr NameRules kNativeRules = NameRules::Posix;
#endif

// Whether Windows keeps name for a device: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-9 and
// LPT1-9 (superscript digits too), whatever follows the first dot and in any letter case.
bool isDeviceName(QStringView name);

// Why name cannot be a new file name inside a directory; Failure::None when it can.
Failure checkName(QStringView name, NameRules rules = kNativeRules);

// Why oldName, a file's own name, cannot be renamed inside its directory: only what would make
// it no name there (empty, "." or "..", a separator). Failure::None otherwise.
Failure checkOldName(QStringView oldName);

// What a Windows error code (GetLastError) means for a rename. A plain function of the number,
// so that it is tested on every system.
Failure classifyWindowsError(quint32 error);

// How a new name is checked.
enum class NewName {
    Made,       // a name the program made: every rule of checkName applies
    FormerName, // a file's own former name, given back by an undo: refused only when it could
                // be no name in the folder (empty, "." or "..", a separator)
};

// Renames the file at source to newName inside the same folder. The old name is the file's
// own, whatever its characters, and is refused only when it could be no name in the folder.
// Equal names leave the file as it is (success when it exists): a made name that equals the
// old one as text, or a former name that equals it as bytes. A name that differs only in letter
// case or in a way the file system does not tell apart from the old name renames the file to
// the exact new spelling. When expected is valid, a source that is no longer that file
// (replaced, or reached now through a folder link) is refused with Failure::FileReplaced.
Result renameFile(const FilePath &source, const FilePath &newName,
                  const FileIdentity &expected = {}, NewName kind = NewName::Made);

// Whether newName in source's folder names an existing entry other than source: a rename to
// it would be refused because the name is taken.
bool isTakenByAnother(const FilePath &source, const FilePath &newName);

// The rename used when the file system sees both names as one: through a temporary name in
// the same directory, each step refusing to replace. Exposed for tests, which usually run on
// file systems that tell letter case apart.
Result renameThroughTemporaryName(const FilePath &source, const FilePath &newName);

#ifndef Q_OS_WIN
// The ways tried in turn where the file system does not know RENAME_NOREPLACE: a hard link
// then removing the old name, or, without hard links, an exclusively created empty file under
// the new name that the rename then replaces. Exposed for tests.
enum class Fallback { Link, Placeholder };
Result renameWithFallback(Fallback fallback, const FilePath &source, const FilePath &newName);
#endif

} // namespace RenameNoReplace
