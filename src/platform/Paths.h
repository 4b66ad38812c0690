#pragma once

#include <QChar>
#include <QString>

// Paths as the program keeps them: native separators ("\" on Windows, "/" elsewhere), and
// directories with a trailing separator so that a file's path is directory + name.
namespace Paths {

QChar separator();

// Whether text ends in a path separator ("/" anywhere, "\" too on Windows).
bool endsWithSeparator(const QString &path);

// path with the native separator appended unless it already ends in one (a drive root).
QString withTrailingSeparator(const QString &path);

// path with native separators.
QString toNative(const QString &path);

// The directory of the running executable, with a trailing separator.
QString programDirectory();

} // namespace Paths
