#pragma once

#include "platform/FilePath.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

// Files for tests that work in temporary folders.
namespace TestFiles {

inline bool write(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

#ifdef Q_OS_UNIX
// A file at path given as the system's exact bytes, which need not be text of any encoding.
inline bool writeExactPath(const QByteArray &path, const QByteArray &content) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return false;
    const bool written =
        ::write(fd, content.constData(), size_t(content.size())) == ssize_t(content.size());
    return ::close(fd) == 0 && written;
}
#endif

inline QByteArray read(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// path, written with "/", with the separators of the paths the program makes: "\" on Windows.
inline QString native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

// Names given as text, as path values.
inline QList<FilePath> paths(const QStringList &texts) {
    return QList<FilePath>(texts.cbegin(), texts.cend());
}

// Whether the system code page, in which the program reads tags and profile files by default,
// is GBK, as tests that give it GBK bytes need: always off Windows, where the program takes it
// so; on Windows only where the ANSI code page is 936.
inline bool systemCodePageIsGbk() {
#ifdef Q_OS_WIN
    return QString::fromLocal8Bit("\xB8\xE8") == QStringLiteral("歌");
#else
    return true;
#endif
}

// Permissions do not stop the superuser, so tests that rely on them skip.
inline bool runsAsRoot() {
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

// Runs test function (with its data tag, "function:tag") of this test program again, as the
// unprivileged user nobody, and returns its exit code: permission checks bite only there.
inline int runUnprivileged(const QString &function) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QStringLiteral("setpriv"),
                  {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                   QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                   function});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

// Whether the tests run under Wine, not Windows: the few rows where Wine is known to differ from
// the Windows documentation are skipped there alone, saying why.
inline bool runsUnderWine() {
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

// Whether Wine lacks the code page, which Windows has: Wine 8 has no GB18030 (54936), whose
// IsValidCodePage says false there.
inline bool wineLacksCodePage(unsigned codePage) {
#ifdef Q_OS_WIN
    return runsUnderWine() && !IsValidCodePage(codePage);
#else
    Q_UNUSED(codePage);
    return false;
#endif
}

} // namespace TestFiles

// Skips the rest of a test under Wine, with why: a case Windows itself runs.
#define SKIP_UNDER_WINE(why)                                                                       \
    do {                                                                                           \
        if (TestFiles::runsUnderWine())                                                            \
            SKIP_TEST("Wine: " why);                                                               \
    } while (false)

// A test that needs permissions to bite: run as root (as CI does), it runs itself again as an
// unprivileged user and passes or fails with that run; never skipped.
#define RUN_UNPRIVILEGED()                                                                         \
    do {                                                                                           \
        if (TestFiles::runsAsRoot()) {                                                             \
            QString function = QString::fromLatin1(QTest::currentTestFunction());                  \
            if (QTest::currentDataTag())                                                           \
                function += QLatin1Char(':') + QString::fromLatin1(QTest::currentDataTag());       \
            QCOMPARE(TestFiles::runUnprivileged(function), 0);                                     \
            return;                                                                                \
        }                                                                                          \
    } while (false)

// QSKIP with its message alone trips -Wpedantic on this Qt.
#define SKIP_TEST(message)                                                                         \
    do {                                                                                           \
        QTest::qSkip(message, __FILE__, __LINE__);                                                 \
        return;                                                                                    \
    } while (false)
