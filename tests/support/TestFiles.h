#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// Files for tests that work in temporary folders.
namespace TestFiles {

inline bool write(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

inline QByteArray read(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Permissions do not stop the superuser, so tests that rely on them skip.
inline bool runsAsRoot() {
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

} // namespace TestFiles

// QSKIP with its message alone trips -Wpedantic on this Qt.
#define SKIP_TEST(message)                                                                         \
    do {                                                                                           \
        QTest::qSkip(message, __FILE__, __LINE__);                                                 \
        return;                                                                                    \
    } while (false)
