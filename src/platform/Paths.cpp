#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace Paths {

QChar separator() {
    return QDir::separator();
}

bool isSeparator(QChar c) {
#ifdef Q_OS_WIN
    return c == u'/' || c == u'\\';
#else
    return c == u'/';
#endif
}

bool endsWithSeparator(const QString &path) {
    return !path.isEmpty() && isSeparator(path.back());
}

qsizetype nameStart(QStringView path) {
    for (qsizetype i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1]))
            return i;
    }
    return 0;
}

Qt::CaseSensitivity pathCase() {
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
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

QByteArray toExactBytes(const QString &path) {
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

QString fromExactBytes(const QByteArray &bytes) {
#ifdef Q_OS_WIN
    return QString::fromUtf8(bytes);
#else
    return QFile::decodeName(bytes);
#endif
}

} // namespace Paths
