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

// The part of a file name from its last "." to its end, the dot included and the letter case
// kept; empty for a name without a dot.
QString lastSuffix(const QString &name);

// The directory of the running executable, with a trailing separator.
QString programDirectory();

} // namespace Paths
