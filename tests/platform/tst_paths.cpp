#include "platform/OwnFiles.h"
#include "platform/Paths.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestPaths : public QObject {
    Q_OBJECT
private slots:
    void longPathForm_data();
    void longPathForm();
    void exactBytes_data();
    void exactBytes();
    void ownNames_data();
    void ownNames();
};

void TestPaths::longPathForm_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const QString deep = u"很长的文件夹名\\"_s.repeated(40) + u"歌.mp3"_s;
    QTest::newRow("drive") << uR"(C:\Music\歌.mp3)"_s << uR"(\\?\C:\Music\歌.mp3)"_s;
    QTest::newRow("forward slashes") << u"d:/Music/a.mp3"_s << uR"(\\?\d:\Music\a.mp3)"_s;
    QTest::newRow("root") << uR"(C:\)"_s << uR"(\\?\C:\)"_s;
    QTest::newRow("folder keeps its separator") << uR"(C:\Music\)"_s << uR"(\\?\C:\Music\)"_s;
    QTest::newRow("dots and doubled separators")
        << uR"(C:\Music\.\old\..\\a.mp3)"_s << uR"(\\?\C:\Music\a.mp3)"_s;
    QTest::newRow("no climbing above the drive") << uR"(C:\..\a.mp3)"_s << uR"(\\?\C:\a.mp3)"_s;
    QTest::newRow("network share")
        << uR"(\\server\share\a.mp3)"_s << uR"(\\?\UNC\server\share\a.mp3)"_s;
    QTest::newRow("no climbing above the share")
        << uR"(\\server\share\..\..\a.mp3)"_s << uR"(\\?\UNC\server\share\a.mp3)"_s;
    QTest::newRow("already long") << uR"(\\?\C:\a\..\b)"_s << uR"(\\?\C:\a\..\b)"_s;
    QTest::newRow("device path") << uR"(\\.\COM1)"_s << uR"(\\.\COM1)"_s;
    QTest::newRow("relative") << uR"(Music\a.mp3)"_s << uR"(Music\a.mp3)"_s;
    QTest::newRow("past MAX_PATH") << uR"(C:\)"_s + deep << uR"(\\?\C:\)"_s + deep;
}

void TestPaths::longPathForm() {
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(Paths::longPathForm(path), expected);
}

// A path's bytes are the file system's form of its text, ASCII or not.
void TestPaths::exactBytes_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII") << u"/music/a b-c.mp3"_s << QByteArray("/music/a b-c.mp3");
#ifdef Q_OS_WIN
    QTest::newRow("Latin-1") << u"C:\\é.mp3"_s << QByteArray("C:\\\xC3\xA9.mp3");
#else
    QTest::newRow("Latin-1") << u"/é.mp3"_s << QByteArray("/\xC3\xA9.mp3");
    QTest::newRow("Chinese") << u"/音乐/歌.mp3"_s << QByteArray("/音乐/歌.mp3");
#endif
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestPaths::exactBytes() {
    QFETCH(QString, path);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Paths::toExactBytes(path), bytes);
    QCOMPARE(Paths::fromExactBytes(bytes), path);
}

// The program's own files, and the record of a run in progress, by name alone.
void TestPaths::ownNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("own");
    QTest::addColumn<bool>("ownIgnoringCase");
    QTest::newRow("settings") << u"rename.ini"_s << true << true;
    QTest::newRow("settings, other case") << u"Rename.INI"_s << false << true;
    QTest::newRow("record") << u"rename.undo"_s << true << true;
    QTest::newRow("record in progress") << u"rename.undo.4711.new"_s << true << true;
    QTest::newRow("in progress, other case") << u"RENAME.UNDO.1.NEW"_s << false << true;
    QTest::newRow("no dot after the record's name") << u"rename.undox.new"_s << false << false;
    QTest::newRow("not new") << u"rename.undo.4711"_s << false << false;
    QTest::newRow("a song") << u"rename.mp3"_s << false << false;
}

void TestPaths::ownNames() {
    QFETCH(QString, name);
    QFETCH(bool, own);
    QFETCH(bool, ownIgnoringCase);
    QCOMPARE(OwnFiles::isOwnName(name, Qt::CaseSensitive), own);
    QCOMPARE(OwnFiles::isOwnName(name, Qt::CaseInsensitive), ownIgnoringCase);
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
