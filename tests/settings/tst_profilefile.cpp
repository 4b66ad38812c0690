#include "settings/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

// A literal with its NUL bytes.
template <qsizetype N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

bool writeFile(const QString &path, const QByteArray &content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool runsAsRoot() {
#ifdef Q_OS_UNIX
    return geteuid() == 0;
#else
    return false;
#endif
}

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT
private slots:
    void readValue_data();
    void readValue();
    void readSection_data();
    void readSection();
    void withValue_data();
    void withValue();
    void writeCreatesFile();
    void unreadableFileIsNeverReplaced();
    void writeProtectedFileIsLeftAlone();
    void failedWriteLeavesNoTrace();
    void hugeLine();
};

void TestProfileFile::readValue_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("defaultValue");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray a120(120, 'a');
    QTest::newRow("crlf") << QByteArray("[setup]\r\nm3u=1\r\nformat=%2\r\n") << "format"_ba
                          << "d"_ba << 100 << "%2"_ba;
    QTest::newRow("lf") << QByteArray("[setup]\nm3u=1\nformat=%2\n") << "format"_ba
                        << "d"_ba << 100 << "%2"_ba;
    QTest::newRow("lone cr") << QByteArray("[setup]\rm3u=1\rformat=%2") << "format"_ba
                             << "d"_ba << 100 << "%2"_ba;
    QTest::newRow("any case") << QByteArray("[SeTuP]\r\nFORMAT=x\r\n") << "format"_ba
                              << "d"_ba << 100 << "x"_ba;
    QTest::newRow("blanks") << QByteArray("  [ setup ]  \r\n \t format  = a  b \t\r\n")
                            << "format"_ba
                            << "d"_ba << 100 << "a  b"_ba;
    QTest::newRow("empty value is not absent")
        << QByteArray("[setup]\r\nformat=\r\n") << "format"_ba
        << "%1-%2"_ba << 100 << ""_ba;
    QTest::newRow("absent key") << QByteArray("[setup]\r\nm3u=1\r\n") << "format"_ba
                                << "%1-%2"_ba << 100 << "%1-%2"_ba;
    QTest::newRow("other section")
        << QByteArray("[other]\r\nformat=x\r\n[setup]\r\n") << "format"_ba
        << "d"_ba << 100 << "d"_ba;
    QTest::newRow("before any section") << QByteArray("format=x\r\n[setup]\r\n") << "format"_ba
                                        << "d"_ba << 100 << "d"_ba;
    QTest::newRow("comment") << QByteArray("[setup]\r\n;format=x\r\n") << "format"_ba
                             << "d"_ba << 100 << "d"_ba;
    QTest::newRow("header without bracket") << QByteArray("[setup\r\nformat=x\r\n") << "format"_ba
                                            << "d"_ba << 100 << "x"_ba;
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF[setup]\r\nformat=x") << "format"_ba
                         << "d"_ba << 100 << "x"_ba;
    QTest::newRow("first key wins, sections merge")
        << QByteArray("[setup]\na=1\n[x]\nb=2\n[setup]\nb=3\nb=4\n") << "b"_ba
        << "d"_ba << 100 << "3"_ba;
    QTest::newRow("equals in value") << QByteArray("[setup]\nformat=a=b\n") << "format"_ba
                                     << "d"_ba << 100 << "a=b"_ba;
    QTest::newRow("nul ends the line") << bytes("[setup]\nformat=ab\0cd\n") << "format"_ba
                                       << "d"_ba << 100 << "ab"_ba;
    QTest::newRow("cut to 99") << "[setup]\nformat=" + a120 << "format"_ba
                               << "d"_ba << 100 << a120.left(99);
    QTest::newRow("first character only") << QByteArray("[setup]\nm3u=10\n") << "m3u"_ba
                                          << "0"_ba << 2 << "1"_ba;
    QTest::newRow("default cut too") << QByteArray() << "format"_ba
                                     << "%1-%2"_ba << 2 << "%"_ba;
    QTest::newRow("no room") << QByteArray("[setup]\nm3u=1\n") << "m3u"_ba
                             << "0"_ba << 1 << ""_ba;
    QTest::newRow("gbk whole") << QByteArray("[setup]\nformat=\xB8\xE8\xCA\xD6\n") << "format"_ba
                               << "d"_ba << 100 << "\xB8\xE8\xCA\xD6"_ba;
    // A two-byte character across the limit is left out whole, never halved.
    QTest::newRow("gbk fits at limit") << "[setup]\nformat=" + QByteArray(97, 'a') + "\xC4\xE3!"
                                       << "format"_ba
                                       << "d"_ba << 100 << QByteArray(97, 'a') + "\xC4\xE3";
    QTest::newRow("gbk across limit") << "[setup]\nformat=" + QByteArray(98, 'a') + "\xC4\xE3"
                                      << "format"_ba
                                      << "d"_ba << 100 << QByteArray(98, 'a');
    QTest::newRow("gbk first character") << QByteArray("[setup]\nm3u=\xC4\xE3\n") << "m3u"_ba
                                         << "0"_ba << 2 << ""_ba;
    QTest::newRow("binary") << bytes("\0\xFF\x01[\0]\n=\n\r\r[") << "m3u"_ba
                            << "0"_ba << 2 << "0"_ba;
}

void TestProfileFile::readValue() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, defaultValue);
    QFETCH(int, capacity);
    QFETCH(QByteArray, expected);
    QCOMPARE(ProfileText::readValue(content, "setup", key, defaultValue, capacity), expected);
}

void TestProfileFile::readSection_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("lines") << QByteArray("[filter]\r\nmp3\r\nrm\r\ntxt\r\n[setup]\r\nm3u=0\r\n")
                           << 100 << bytes("mp3\0rm\0txt\0");
    QTest::newRow("blank and comment lines skipped, lines whole")
        << QByteArray("[filter]\n\n; note\n  Add = OK \n\t\nrm") << 100 << bytes("Add = OK\0rm\0");
    QTest::newRow("absent") << QByteArray("[setup]\nm3u=0\n") << 100 << QByteArray();
    QTest::newRow("empty") << QByteArray("[filter]\n[setup]\nm3u=0\n") << 100 << QByteArray();
    QTest::newRow("sections merge")
        << QByteArray("[filter]\na\n[x]\nb\n[FILTER]\nc\n") << 100 << bytes("a\0c\0");
    // 9 lines of 10 bytes with separators plus "12345678" and its separator: 99 bytes.
    const QByteArray nine = QByteArray("123456789\n").repeated(9);
    QByteArray fitted = QByteArray("123456789").append('\0').repeated(9);
    QTest::newRow("99 bytes fit") << "[filter]\n" + nine + "12345678" << 100
                                  << fitted + bytes("12345678\0");
    QTest::newRow("100 bytes are cut to 98")
        << "[filter]\n" + nine + "123456789" << 100 << fitted + "12345678";
    QTest::newRow("tiny") << QByteArray("[filter]\nab\n") << 1 << QByteArray();
}

void TestProfileFile::readSection() {
    QFETCH(QByteArray, content);
    QFETCH(int, capacity);
    QFETCH(QByteArray, expected);
    QCOMPARE(ProfileText::readSection(content, "filter", capacity), expected);
}

void TestProfileFile::withValue_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("new file") << QByteArray() << "x"_ba
                              << "[setup]\r\nformat=x\r\n"_ba;
    QTest::newRow("only the value changes")
        << QByteArray("; mine\r\n[setup]\r\nm3u=0\r\nformat=old\r\n\r\n[filter]\r\nmp3\r\n")
        << "new"_ba
        << "; mine\r\n[setup]\r\nm3u=0\r\nformat=new\r\n\r\n[filter]\r\nmp3\r\n"_ba;
    QTest::newRow("key spelling and blanks kept")
        << QByteArray("[Setup]\n  Format = old \t\n") << "new"_ba
        << "[Setup]\n  Format = new \t\n"_ba;
    QTest::newRow("empty value") << QByteArray("[setup]\r\nformat=\r\nm3u=1\r\n") << "x"_ba
                                 << "[setup]\r\nformat=x\r\nm3u=1\r\n"_ba;
    QTest::newRow("to empty") << QByteArray("[setup]\r\nformat=%1\r\n") << ""_ba
                              << "[setup]\r\nformat=\r\n"_ba;
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
    QTest::newRow("no final line break, value") << QByteArray("[setup]\r\nformat=old") << "x"_ba
                                                << "[setup]\r\nformat=x"_ba;
    QTest::newRow("bom kept") << QByteArray("\xEF\xBB\xBF") << "x"_ba
                              << "\xEF\xBB\xBF[setup]\r\nformat=x\r\n"_ba;
    QTest::newRow("line break in value") << QByteArray() << "a\r\n[evil]\r\nformat=b"_ba
                                         << "[setup]\r\nformat=a\r\n"_ba;
    QTest::newRow("bytes after a nul stay")
        << bytes("[setup]\nformat=old\0junk\n") << "new"_ba << bytes("[setup]\nformat=new\0junk\n");
    QTest::newRow("gbk") << QByteArray("[setup]\r\nformat=%1\r\n") << "\xB8\xE8\xCA\xD6"_ba
                         << "[setup]\r\nformat=\xB8\xE8\xCA\xD6\r\n"_ba;
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

void TestProfileFile::writeCreatesFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rename.ini"_s);
    QCOMPARE(ProfileFile::readValue(path, "setup", "m3u", "0", 2), "0"_ba);
    QCOMPARE(ProfileFile::readSection(path, "filter", 100), QByteArray());
    QVERIFY(ProfileFile::writeValue(path, "setup", "m3u", "1"));
    QVERIFY(ProfileFile::writeValue(path, "setup", "format", "%1"));
    QCOMPARE(readFile(path), "[setup]\r\nm3u=1\r\nformat=%1\r\n"_ba);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{u"rename.ini"_s});
}

void TestProfileFile::unreadableFileIsNeverReplaced() {
    // A directory in the file's place can be neither read nor replaced.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rename.ini"_s);
    QVERIFY(QDir(dir.path()).mkdir(u"rename.ini"_s));
    QVERIFY(!ProfileFile::load(path).has_value());
    QCOMPARE(ProfileFile::readValue(path, "setup", "m3u", "0", 2), "0"_ba);
    QVERIFY(!ProfileFile::writeValue(path, "setup", "m3u", "1"));
    QVERIFY(QFileInfo(path).isDir());
}

void TestProfileFile::writeProtectedFileIsLeftAlone() {
    if (runsAsRoot()) {
        // QSKIP without further arguments trips -Wpedantic.
        QTest::qSkip("permissions do not bind the superuser", __FILE__, __LINE__);
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rename.ini"_s);
    QVERIFY(writeFile(path, "[setup]\r\nm3u=0\r\n"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    QVERIFY(!ProfileFile::writeValue(path, "setup", "m3u", "1"));
    QCOMPARE(readFile(path), "[setup]\r\nm3u=0\r\n"_ba);
}

void TestProfileFile::failedWriteLeavesNoTrace() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"missing/rename.ini"_s);
    QVERIFY(!ProfileFile::writeValue(path, "setup", "m3u", "1"));
    QVERIFY(!QFileInfo::exists(dir.filePath(u"missing"_s)));
}

void TestProfileFile::hugeLine() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"rename.ini"_s);
    const QByteArray big(10 * 1024 * 1024, 'x');
    const QByteArray content = "[setup]\r\nformat=" + big + "\r\nm3u=1\r\n";
    QVERIFY(writeFile(path, content));
    QCOMPARE(ProfileFile::readValue(path, "setup", "format", "d", 100), big.left(99));
    QCOMPARE(ProfileFile::readValue(path, "setup", "m3u", "0", 2), "1"_ba);
    QVERIFY(ProfileFile::writeValue(path, "setup", "history", "1"));
    QCOMPARE(readFile(path), content + "history=1\r\n");
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
