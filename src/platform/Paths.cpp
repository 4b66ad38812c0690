#include "platform/Paths.h"

#include "platform/LegacyText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>
#endif

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
    return utf8Length(name);
#endif
}

qsizetype utf8Length(QStringView text) {
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80)
            bytes += 1;
        else if (u < 0x800)
            bytes += 2;
        else if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
                 QChar::isLowSurrogate(text[i + 1].unicode())) {
            bytes += 4;
            ++i;
        } else
            bytes += 3;
    }
    return bytes;
}

bool isUtf8(QByteArrayView bytes) {
    return LegacyText::isUtf8(bytes);
}

QString nameText(QByteArrayView nativeName) {
    // Most names are ASCII: Latin-1 is the quickest way to their text.
    if (LegacyText::isAscii(nativeName))
        return QString::fromLatin1(nativeName);
    return isUtf8(nativeName) ? QString::fromUtf8(nativeName) : LegacyText::decode(nativeName);
}

QString pathText(QByteArrayView nativePath) {
    QStringList parts;
    for (const QByteArray &part : nativePath.toByteArray().split('/'))
        parts << nameText(part);
    return parts.join(u'/');
}

QList<QByteArray> exactArguments(int argc, char **argv) {
    QList<QByteArray> arguments;
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
#else
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
#endif
    return arguments;
}

QString withTrailingSeparator(const QString &path) {
    return endsWithSeparator(path) ? path : path + separator();
}

QString toNative(const QString &path) {
    return QDir::toNativeSeparators(path);
}

QString longPathForm(const QString &path) {
    QString text = path;
    text.replace(u'/', u'\\');
    if (text.startsWith(u"\\\\?\\") || text.startsWith(u"\\\\.\\"))
        return text;
    QString prefix;
    QStringView rest;
    qsizetype fixedParts = 0; // parts ".." never takes back: the server and the share
    if (text.startsWith(u"\\\\")) {
        prefix = QStringLiteral("\\\\?\\UNC\\");
        rest = QStringView(text).mid(2);
        fixedParts = 2;
    } else if (text.size() >= 3 && text.at(0).isLetter() && text.at(1) == u':' &&
               text.at(2) == u'\\') {
        prefix = QStringLiteral("\\\\?\\") + text.left(3);
        rest = QStringView(text).mid(3);
    } else {
        return text;
    }
    QList<QStringView> parts;
    for (const QStringView part : rest.split(u'\\')) {
        if (part.isEmpty() || part == u".")
            continue;
        if (part == u"..") {
            if (parts.size() > fixedParts)
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    QString out = prefix;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += u'\\';
        out += parts[i];
    }
    if (rest.endsWith(u'\\') && !parts.isEmpty())
        out += u'\\';
    return out;
}

#ifdef Q_OS_WIN
std::wstring winApiPath(const QString &path) {
    return longPathForm(path).toStdWString();
}
#endif

QString lastSuffix(const QString &name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot);
}

QString programDirectory() {
#ifdef Q_OS_LINUX
    // The executable's folder as the file system's bytes. When they are not UTF-8 (a GBK name
    // from an archive made on Windows), Qt's text for the folder names no folder, and rename.ini
    // and the rest could be neither read nor written: the folder is then held open for the
    // whole run and reached through its descriptor, a path that is plain text.
    static const QString heldOpen = [] {
        char buffer[4096];
        const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
        if (n <= 0 || n >= qsizetype(sizeof buffer))
            return QString();
        const QByteArray exe(buffer, n);
        const QByteArray folder = exe.left(exe.lastIndexOf('/') + 1);
        if (folder.isEmpty() || isUtf8(folder))
            return QString();
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        return fd < 0 ? QString() : QStringLiteral("/proc/self/fd/%1/").arg(fd);
    }();
    if (!heldOpen.isEmpty())
        return heldOpen;
#endif
    return withTrailingSeparator(toNative(QCoreApplication::applicationDirPath()));
}

QByteArray toExactBytes(const QString &path) {
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    // ASCII is the same bytes in every encoding a file system's names use, and taken so in
    // half the time: a run turns each path into bytes several times.
    if (QtPrivate::isAscii(path))
        return path.toLatin1();
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

QString printableText(const QString &text) {
    if (std::none_of(text.cbegin(), text.cend(), Paths::isControlCharacter))
        return text; // the common case: no copy
    QString out = text;
    std::replace_if(out.begin(), out.end(), Paths::isControlCharacter, QChar(u'?'));
    return out;
}

} // namespace Paths
