#pragma once

#include <QDir>
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
bool isReadable(const QString &path);

// The entries a file box lists: ordinary files; hidden ones too where only a leading dot makes
// a file hidden, since such files are ordinary there.
QDir::Filters fileBoxFilters();

} // namespace Folders
