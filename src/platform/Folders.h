#pragma once

#include "platform/FilePath.h"

#include <QDir>
#include <QList>
#include <QString>

// Drives and folders as the all-files page shows them. On Windows a drive is a letter and a
// colon; elsewhere there is one drive, the root "/".
namespace Folders {

// The drive that holds path: "C:" (upper case) on Windows, "/" elsewhere.
QString driveOf(const QString &path);

// Whether text can name a drive here: "e:", "E:\\" on Windows; off Windows only "/" or a path
// below it, since a drive letter names nothing there.
bool namesDrive(const QString &text);

// path cleaned, with native separators. A bare "C:" means that drive's root.
QString normalized(const QString &path);

// Whether the program can list the folder's entries.
bool isReadable(const FilePath &path);

// The subfolders (folders true) or the files (folders false) of the folder path, as the file
// box and directory box list them: hidden entries left out, names that are not UTF-8 included,
// in the file system's order: the boxes match and sort them as they show them (FileBoxNames).
QList<FilePath> listNames(const FilePath &path, bool folders);

// Whether name is a hidden file's by its name alone: off Windows one beginning with "."; on
// Windows hiding is an attribute, and no name is.
bool isHiddenName(QStringView name);

// The folder the all-files page starts in when its drive is chosen: on Windows the drive's
// current directory, the working directory; off Windows the user's music folder, else the
// home folder, never the working directory, whose files (a desktop starts programs in the
// home folder) one press of Rename would all rename.
QString startFolder();

} // namespace Folders
