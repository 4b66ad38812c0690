#include "platform/Paths.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestPaths : public QObject {
    Q_OBJECT
private slots:
    void longPathForm_data();
    void longPathForm();
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

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
