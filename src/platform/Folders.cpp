#include "platform/Folders.h"

#include "platform/Paths.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace Folders {

QString driveOf(const QString &path) {
#ifdef Q_OS_WIN
    const QString native = Paths::toNative(path);
    if (native.size() >= 2 && native.at(1) == u':')
        return native.left(2).toUpper();
    return native.left(2);
#else
    Q_UNUSED(path);
    return QStringLiteral("/");
#endif
}

bool namesDrive(const QString &text) {
#ifdef Q_OS_WIN
    return text.size() >= 2 && text.at(1) == u':';
#else
    return text.startsWith(u'/');
#endif
}

QString normalized(const QString &path) {
    QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
#ifdef Q_OS_WIN
    if (clean.size() == 2 && clean.at(1) == u':')
        clean += u'/';
#endif
    return Paths::toNative(clean);
}

bool isReadable(const QString &path) {
    const QFileInfo info(normalized(path));
#ifdef Q_OS_WIN
    return info.isDir() && info.isReadable();
#else
    // Listing needs read permission, and entering it to look at the entries needs execute.
    return info.isDir() && info.isReadable() && info.isExecutable();
#endif
}

QDir::Filters fileBoxFilters() {
    return QDir::Files;
}

bool isHiddenName(QStringView name) {
#ifdef Q_OS_WIN
    Q_UNUSED(name);
    return false;
#else
    return name.startsWith(u'.');
#endif
}

QString startFolder() {
#ifdef Q_OS_WIN
    return Paths::toNative(QDir::currentPath());
#else
    for (const QString &music : QStandardPaths::standardLocations(QStandardPaths::MusicLocation)) {
        if (isReadable(music))
            return normalized(music);
    }
    return normalized(QDir::homePath());
#endif
}

} // namespace Folders
