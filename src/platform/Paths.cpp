#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>

namespace Paths {

QChar separator() {
    return QDir::separator();
}

bool endsWithSeparator(const QString &path) {
    if (path.endsWith(u'/'))
        return true;
#ifdef Q_OS_WIN
    return path.endsWith(u'\\');
#else
    return false;
#endif
}

QString withTrailingSeparator(const QString &path) {
    return endsWithSeparator(path) ? path : path + separator();
}

QString toNative(const QString &path) {
    return QDir::toNativeSeparators(path);
}

QString lastSuffix(const QString &name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

QString programDirectory() {
    return withTrailingSeparator(toNative(QCoreApplication::applicationDirPath()));
}

} // namespace Paths
