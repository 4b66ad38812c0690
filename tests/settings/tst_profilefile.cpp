#include "platform/FileIdentity.h"
#include "settings/ProfileFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

// A literal with its NUL bytes.
template <qsizetype N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

// The value of key in section setup of the file at path, as the program reads it.
QByteArray valueInFile(const QString &path, QByteArrayView key, QByteArrayView defaultValue,
                       qsizetype capacity) {
    return ProfileText::readValue(ProfileFile::load(path).value_or(QByteArray()), "setup", key,
                                  defaultValue, capacity);
}

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT
private slots:
    void readValue_data();
    void readValue();
    void withValue_data();
    void withValue();
    void inUtf8_data();
    void inUtf8();
    void unreadableFileIsNeverReplaced();
    void writeProtectedFileIsLeftAlone();
    void savingFallsBackToWritingInPlace();
    void pipeIsNeverWaitedOn();
    void hugeLine();
};

void TestProfileFile::readValue_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("lone cr") << "[setup]\rm3u=1\rformat=%2"_ba << 100 << "%2"_ba;
    QTest::newRow("any case, blanks")
        << "  [ SeTuP ]  \r\n \t FORMAT  = a  b \t\r\n"_ba << 100 << "a  b"_ba;
    QTest::newRow("elsewhere") << "format=x\r\n[other]\r\nformat=y\r\n[setup]\r\n;format=z\r\n"_ba
                               << 100 << "d"_ba;
    QTest::newRow("header without bracket") << "[setup\r\nformat=x\r\n"_ba << 100 << "x"_ba;
    QTest::newRow("bom") << "\xEF\xBB\xBF[setup]\r\nformat=x"_ba << 100 << "x"_ba;
    QTest::newRow("first key wins, sections merge")
        << "[setup]\nm3u=1\n[x]\nformat=2\n[setup]\nformat=3\nformat=4\n"_ba << 100 << "3"_ba;
    QTest::newRow("nul ends the line") << bytes("[setup]\nformat=ab\0cd\n") << 100 << "ab"_ba;
    // A two-byte character across the limit is left out whole, never halved.
    QTest::newRow("gbk fits at limit") << "[setup]\nformat=" + QByteArray(97, 'a') + "\xC4\xE3!"
                                       << 100 << QByteArray(97, 'a') + "\xC4\xE3";
    QTest::newRow("gbk across limit")
        << "[setup]\nformat=" + QByteArray(98, 'a') + "\xC4\xE3" << 100 << QByteArray(98, 'a');
    QTest::newRow("binary") << bytes("\0\xFF\x01[\0]\n=\n\r\r[") << 2 << "d"_ba;
}

void TestProfileFile::readValue() {
    QFETCH(QByteArray, content);
    QFETCH(int, capacity);
    QFETCH(QByteArray, expected);
    QCOMPARE(ProfileText::readValue(content, "setup", "format", "d", capacity, LegacyText::kGbk),
             expected);
}

void TestProfileFile::withValue_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty value") << "[setup]\r\nformat=\r\n"_ba
                                 << "x"_ba
                                 << "[setup]\r\nformat=x\r\n"_ba;
    QTest::newRow("key spelling and blanks kept")
        << QByteArray("[Setup]\n  Format = old \t\n") << "new"_ba
        << "[Setup]\n  Format = new \t\n"_ba;
    QTest::newRow("key added at the end of its section")
        << QByteArray("[setup]\r\nm3u=0\r\n; end\r\n\r\n[filter]\r\nmp3\r\n") << "x"_ba
        << "[setup]\r\nm3u=0\r\n; end\r\nformat=x\r\n\r\n[filter]\r\nmp3\r\n"_ba;
    QTest::newRow("key added to the first of two")
        << QByteArray("[setup]\na=1\n[setup]\nb=2\n") << "x"_ba
        << "[setup]\na=1\nformat=x\n[setup]\nb=2\n"_ba;
    QTest::newRow("header without bracket") << QByteArray("[setup\n") << "x"_ba
                                            << "[setup\nformat=x\n"_ba;
    QTest::newRow("lf file gets lf") << QByteArray("[filter]\nmp3\n") << "x"_ba
                                     << "[filter]\nmp3\n[setup]\nformat=x\n"_ba;
    QTest::newRow("no final line break, section") << QByteArray("[setup]\r\nm3u=0") << "x"_ba
                                                  << "[setup]\r\nm3u=0\r\nformat=x\r\n"_ba;
    QTest::newRow("no final line break, file") << QByteArray("[filter]\r\nmp3") << "x"_ba
                                               << "[filter]\r\nmp3\r\n[setup]\r\nformat=x\r\n"_ba;
    QTest::newRow("bom kept") << QByteArray("\xEF\xBB\xBF") << "x"_ba
                              << "\xEF\xBB\xBF[setup]\r\nformat=x\r\n"_ba;
    QTest::newRow("line break in value") << QByteArray() << "a\r\n[evil]\r\nformat=b"_ba
                                         << "[setup]\r\nformat=a\r\n"_ba;
    QTest::newRow("bytes after a nul stay")
        << bytes("[setup]\nformat=old\0junk\n") << "new"_ba << bytes("[setup]\nformat=new\0junk\n");
}

void TestProfileFile::withValue() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);
    const QByteArray written = ProfileText::withValue(content, "setup", "format", value);
    QCOMPARE(written, expected);
    // What was written reads back, and writing it again changes nothing.
    const QByteArray shown =
        value.left(value.indexOf('\r') < 0 ? value.size() : value.indexOf('\r'));
    QCOMPARE(ProfileText::readValue(written, "setup", "format", "d", 1000), shown);
    QCOMPARE(ProfileText::withValue(written, "setup", "format", shown), written);
}

// The whole file moves to UTF-8 when it must hold a character its code page lacks.
void TestProfileFile::inUtf8_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("gbk")
        << "[setup]\r\nformat=\xB8\xE8\r\n[filter]\r\n\xC3\xFB\r\n"_ba << LegacyText::kGbk
        << "\xEF\xBB\xBF[setup]\r\nformat=\xE6\xAD\x8C\r\n[filter]\r\n\xE5\x90\x8D\r\n"_ba;
    QTest::newRow("1252") << "[setup]\r\nformat=Caf\xE9"_ba << LegacyText::kWindows1252
                          << "\xEF\xBB\xBF[setup]\r\nformat=Caf\xC3\xA9"_ba;
    QTest::newRow("utf-8 already")
        << "\xEF\xBB\xBF[setup]\r\nformat=\xE6\xAD\x8C"_ba << LegacyText::kUtf8
        << "\xEF\xBB\xBF[setup]\r\nformat=\xE6\xAD\x8C"_ba;
}

void TestProfileFile::inUtf8() {
    QFETCH(QByteArray, content);
    QFETCH(int, codePage);
    QFETCH(QByteArray, expected);
    const QByteArray converted = ProfileText::inUtf8(content, codePage);
    QCOMPARE(converted, expected);
    QCOMPARE(LegacyText::profileCodePage(converted), LegacyText::kUtf8);
    // A template the old code page lacks is then written whole.
    const QString tune = u"歌🎵한"_s;
    const QByteArray saved = ProfileText::withValue(converted, "setup", "format", tune.toUtf8());
    QCOMPARE(LegacyText::decode(ProfileText::readValue(saved, "setup", "format", "", 1000,
                                                       LegacyText::profileCodePage(saved)),
                                LegacyText::kUtf8),
             tune);
}

void TestProfileFile::unreadableFileIsNeverReplaced() {
    // A directory in the file's place can be neither read nor replaced.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rename.ini"_s);
    QVERIFY(QDir(dir.path()).mkdir(u"rename.ini"_s));
    QVERIFY(!ProfileFile::load(path).has_value());
    QCOMPARE(valueInFile(path, "m3u", "0", 2), "0"_ba);
    QVERIFY(!ProfileFile::writeValues(path, "setup", {{"m3u", "1"}}));
    QVERIFY(QFileInfo(path).isDir());
}

void TestProfileFile::writeProtectedFileIsLeftAlone() {
    RUN_UNPRIVILEGED();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rename.ini"_s);
    QVERIFY(TestFiles::write(path, "[setup]\r\nm3u=0\r\n"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    QVERIFY(!ProfileFile::writeValues(path, "setup", {{"m3u", "1"}}));
    QCOMPARE(TestFiles::read(path), "[setup]\r\nm3u=0\r\n"_ba);
}

void TestProfileFile::hugeLine() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rename.ini"_s);
    const QByteArray big(10 * 1024 * 1024, 'x');
    const QByteArray content = "[setup]\r\nformat=" + big + "\r\nm3u=1\r\n";
    QVERIFY(TestFiles::write(path, content));
    QCOMPARE(valueInFile(path, "format", "d", 100), big.left(99));
    QCOMPARE(valueInFile(path, "m3u", "0", 2), "1"_ba);
    QVERIFY(ProfileFile::writeValues(path, "setup", {{"history", "1"}}));
    QCOMPARE(TestFiles::read(path), content + "history=1\r\n");
}

// When the folder cannot take a temporary file but rename.ini itself can be written, the values
// are written in place; where the folder allows it the file is replaced
// whole, as a new file.
void TestProfileFile::savingFallsBackToWritingInPlace() {
#ifdef Q_OS_WIN
    SKIP_TEST("folder permissions work otherwise on Windows");
#else
    RUN_UNPRIVILEGED();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rename.ini"_s);
    QVERIFY(TestFiles::write(path, "[setup]\r\nm3u=0\r\n"));
    const FileIdentity before = FileIdentity::of(path);
    QVERIFY(ProfileFile::writeValues(path, "setup", {{"m3u", "1"}}));
    QVERIFY(!FileIdentity::of(path).sameAs(before)); // replaced whole

    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const FileIdentity inPlace = FileIdentity::of(path);
    const bool written = ProfileFile::writeValues(path, "setup", {{"m3u", "2"}, {"history", "1"}});
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(written);
    QCOMPARE(TestFiles::read(path), "[setup]\r\nm3u=2\r\nhistory=1\r\n"_ba);
    QVERIFY(FileIdentity::of(path).sameAs(inPlace));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"rename.ini"_s});
#endif
}

// A pipe named rename.ini is neither read nor written, and nothing waits on it.
void TestProfileFile::pipeIsNeverWaitedOn() {
#ifdef Q_OS_WIN
    SKIP_TEST("needs a named pipe in the file system");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rename.ini"_s);
    QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QVERIFY(!ProfileFile::load(path).has_value());
    QVERIFY(!ProfileFile::writeValues(path, "setup", {{"m3u", "1"}}));
    QVERIFY(!QFileInfo(path).isFile());
#endif
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
