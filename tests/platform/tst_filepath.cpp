#include "platform/FileIdentity.h"
#include "platform/FilePath.h"
#include "platform/Paths.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(FilePath)

class TestFilePath : public QObject {
    Q_OBJECT
private slots:
    void fromExactBytes_data();
    void fromExactBytes();
    void partsKeepTheirBytes();
    void outputFormKeepsEachEntryOneLine_data();
    void outputFormKeepsEachEntryOneLine();
    void identityFollowsTheBytes();
};

// Bytes that are UTF-8 are taken as text; any others (GBK names, overlong and surrogate forms,
// which a UTF-8 decoder would turn into other bytes) are read as the legacy code page reads
// them and keep their own bytes beside that text. A null text below stands for that reading.
void TestFilePath::fromExactBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ownBytes");
    QTest::newRow("ascii") << QByteArray("/m/a.mp3") << u"/m/a.mp3"_s << false;
    QTest::newRow("utf-8") << QByteArray("/m/\xE6\xAD\x8C.mp3") << u"/m/歌.mp3"_s << false;
#ifdef Q_OS_UNIX
    QTest::newRow("gbk") << QByteArray("/m/\xB8\xE8/\xC4\xE3.mp3") << u"/m/歌/你.mp3"_s << true;
    QTest::newRow("overlong three bytes") << QByteArray("/m/\xE0\x80\xAF.mp3") << QString() << true;
    QTest::newRow("overlong four bytes")
        << QByteArray("/m/\xF0\x80\x80\xAF.mp3") << QString() << true;
    QTest::newRow("surrogate") << QByteArray("/m/\xED\xA0\x80") << QString() << true;
#endif
}

void TestFilePath::fromExactBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, ownBytes);
    const FilePath path = FilePath::fromExactBytes(bytes);
    QCOMPARE(path.text(), text.isNull() ? Paths::pathText(bytes) : text);
    QCOMPARE(path.hasOwnBytes(), ownBytes);
    QCOMPARE(path.exactBytes(), bytes);
    QCOMPARE(FilePath::fromExactBytes(path.exactBytes()), path);
}

void TestFilePath::partsKeepTheirBytes() {
#ifndef Q_OS_UNIX
    SKIP_TEST("names are UTF-16 on Windows");
#else
    const FilePath path = FilePath::fromExactBytes("/m/\xB8\xE8/\xC4\xE3.mp3");
    QCOMPARE(path.folder().exactBytes(), QByteArray("/m/\xB8\xE8/"));
    QCOMPARE(path.folder().text(), u"/m/歌/"_s);
    QCOMPARE(path.name().exactBytes(), QByteArray("\xC4\xE3.mp3"));
    QCOMPARE(path.folder().join(path.name()), path);
    // A name given as text joins a folder of bytes as its UTF-8.
    const FilePath renamed = path.folder().join(u"好.mp3"_s);
    QCOMPARE(renamed.exactBytes(), QByteArray("/m/\xB8\xE8/\xE5\xA5\xBD.mp3"));
    QCOMPARE(renamed.text(), u"/m/歌/好.mp3"_s);
    // Parts that are UTF-8 after all carry no bytes of their own.
    QVERIFY(!FilePath::fromExactBytes("/m/\xB8\xE8/a.mp3").name().hasOwnBytes());
#endif
}

// rename.log and rename.m3u give each path one line: a control character, in text or in a
// name's own bytes, is written as "?".
void TestFilePath::outputFormKeepsEachEntryOneLine_data() {
    QTest::addColumn<FilePath>("path");
    QTest::addColumn<QByteArray>("output");
    QTest::newRow("text") << FilePath(u"/m/a\nb.mp3"_s) << QByteArray("/m/a?b.mp3");
#ifdef Q_OS_UNIX
    QTest::newRow("own bytes") << FilePath::fromExactBytes("/m/\xC4\xE3\n\r.mp3")
                               << QByteArray("/m/\xC4\xE3??.mp3");
#endif
}

void TestFilePath::outputFormKeepsEachEntryOneLine() {
    QFETCH(FilePath, path);
    QTEST(path.outputForm(), "output");
}

void TestFilePath::identityFollowsTheBytes() {
#ifndef Q_OS_UNIX
    SKIP_TEST("names are UTF-16 on Windows");
#else
    QTemporaryDir tmp;
    const QByteArray bytes = QFile::encodeName(tmp.path()) + "/\xC4\xE3.mp3";
    const int fd = ::open(bytes.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    QVERIFY(fd >= 0);
    ::close(fd);
    const FilePath path = FilePath::fromExactBytes(bytes);
    QVERIFY(FileIdentity::ofEntry(path).valid);
    // The text alone names another file, one that does not exist.
    QVERIFY(!FileIdentity::ofEntry(FilePath(path.text())).valid);
    QCOMPARE(::unlink(bytes.constData()), 0);
#endif
}

QTEST_GUILESS_MAIN(TestFilePath)
#include "tst_filepath.moc"
