#include "platform/Paths.h"

#include "platform/LegacyText.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringDecoder>

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

qsizetype nameLength(QStringView name) {
#ifdef Q_OS_WIN
    return name.size();
#else
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        if (u < 0x80)
            bytes += 1;
        else if (u < 0x800)
            bytes += 2;
        else if (QChar::isHighSurrogate(u) && i + 1 < name.size() &&
                 QChar::isLowSurrogate(name[i + 1].unicode())) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
#endif
}

bool isUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QString nameText(QByteArrayView nativeName) {
    return isUtf8(nativeName) ? QString::fromUtf8(nativeName) : LegacyText::decode(nativeName);
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
