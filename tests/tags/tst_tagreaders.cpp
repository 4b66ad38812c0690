#include "list/EntryTable.h"
#include "support/TestFiles.h"
#include "tags/Id3v1Tag.h"
#include "tags/RealMediaTag.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray field(QByteArray bytes) {
    bytes.resize(30, '\0');
    return bytes;
}

QByteArray id3v1(const QByteArray &title, const QByteArray &singer = {}) {
    QByteArray block = "TAG" + field(title) + field(singer) + field("Album") + "2001";
    block.resize(128, '\0');
    return block;
}

QByteArray be16(qsizetype n) {
    const char bytes[2] = {char(n >> 8 & 0xFF), char(n & 0xFF)};
    return QByteArray(bytes, 2);
}

// An ordinary header: file head, "CONT" with title, author, copyright and comment, a media
// chunk, then "DATA" when withData.
QByteArray rmHeader(const QByteArray &title, const QByteArray &author,
                    const QByteArray &copyright = "Corp", bool withData = true,
                    const QByteArray &size = QByteArray(4, '\x30')) {
    QByteArray h = QByteArray(".RMF\0\0\0\x12\0\0", 10) + "CONT" + size + QByteArray(2, '\0');
    for (const QByteArray &text : {title, author, copyright, QByteArray("note")})
        h += be16(text.size()) + text;
    h += "MDPR" + QByteArray(40, '\0');
    if (withData)
        h += "DATA" + QByteArray(18, '\0');
    return h;
}

QString pad(const QString &text, qsizetype length) {
    return text + QString(length - text.size(), u' ');
}

// Row 3 of a table whose earlier rows are taken, pointing at name in dir, with old tag text.
EntryTable tableFor(const QTemporaryDir &dir, const QString &name) {
    EntryTable table;
    table.setNextEntryRow(3);
    table.row(3) = {dir.path() + u'/', name, {}, u"old title"_s, u"old singer"_s};
    return table;
}

} // namespace

class TestTagReaders : public QObject {
    Q_OBJECT
private slots:
    void id3v1Fields_data();
    void id3v1Fields();
    void realMedia_data();
    void realMedia();
    void readFile_data();
    void readFile();
    void unreadablePaths();
    void beyondFourGiB();
};

void TestTagReaders::id3v1Fields_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("singer");

    QTest::newRow("nul padding") << id3v1("Song", "Alice") << u"Song"_s << u"Alice"_s;
    QTest::newRow("spaces before nuls stay") << id3v1("Song   ") << u"Song   "_s << u""_s;
    QTest::newRow("all spaces") << id3v1(QByteArray(30, ' ')) << u""_s << u""_s;
    QTest::newRow("nul shields a space")
        << id3v1(QByteArray("\0  So\0ng", 8).leftJustified(30)) << u"  Song"_s << u""_s;
    QTest::newRow("only U+0020 trimmed")
        << id3v1(QByteArray(" \t\xA1\xA1Song\xA1\xA1").leftJustified(30)) << u"\t\u3000Song\u3000"_s
        << u""_s;
    QTest::newRow("gbk") << id3v1("\xC4\xE3\xBA\xC3", "\xB8\xE8\xCA\xD6") << u"你好"_s << u"歌手"_s;
    QTest::newRow("full field") << id3v1("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "a/b:*?")
                                << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"_s << u"a/b:*?"_s;
    QTest::newRow("longer input: its end")
        << QByteArray(300, '\xFF') + id3v1({}, "End") << u""_s << u"End"_s;
    QTest::newRow("lower-case marker")
        << QByteArray("tag" + id3v1("Song").mid(3)) << QString() << QString();
    QTest::newRow("127 bytes") << id3v1("Song").left(127) << QString() << QString();
}

void TestTagReaders::id3v1Fields() {
    QFETCH(QByteArray, block);
    QFETCH(QString, title);
    QFETCH(QString, singer);
    const std::optional<TagText> tag = parseId3v1Block(block);
    QCOMPARE(tag.has_value(), !title.isNull());
    QCOMPARE(tag.value_or(TagText()).title, title);
    QCOMPARE(tag.value_or(TagText()).singer, singer);
}

void TestTagReaders::realMedia_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("singer");

    QTest::newRow("ordinary") << rmHeader("Blue Night", "Alice") << u"Blue Night"_s << u"Alice"_s;
    QTest::newRow("six dropped, others kept")
        << rmHeader("What? <a>|b')", "A\\/\":*?B") << u"What <a>|b')"_s << u"AB"_s;
    QTest::newRow("leading apostrophe") << rmHeader("'Tis", "x") << u"Tis"_s << u"x"_s;
    QTest::newRow("title length 0") << rmHeader({}, "Alice") << u""_s << u"\u0005Alice"_s;
    QTest::newRow("author length 0") << rmHeader("T", {}) << u"T"_s << u"\u0004Corp"_s;
    QTest::newRow("length 39") << rmHeader(QByteArray(39, 'a'), "x") << QString(39, u'a') << u"x"_s;
    QTest::newRow("length 40") << rmHeader(QByteArray(40, 'b'), "x") << u"("_s + QString(40, u'b')
                               << u"x"_s;
    QTest::newRow("length 41") << rmHeader(QByteArray(41, 'c'), "x") << QString(41, u'c') << u"x"_s;
    QTest::newRow("length 50") << rmHeader(QByteArray(50, 'd'), "x") << u"2"_s + QString(50, u'd')
                               << u"x"_s;
    QTest::newRow("gbk") << rmHeader("\xC4\xE3\xBA\xC3 Night", "\xB8\xE8\xCA\xD6")
                         << u"你好 Night"_s << u"歌手"_s;
    // A pair in the chunk size moves the 12th character onto the first title byte.
    QTest::newRow("gbk pair shifts positions")
        << rmHeader(QByteArray(40, 'b'), "x", "Corp", true, QByteArray("\0\0\x81\x40", 4))
        << QString(40, u'b') << u"x"_s;
    QTest::newRow("cont twice") << rmHeader("Old", "One").left(60) + rmHeader("New", "Two")
                                << u"New"_s << u"Two"_s;
    QTest::newRow("no data") << rmHeader("T", "S", "Corp", false) << u""_s << u""_s;
    QTest::newRow("data without cont") << QByteArray("xxxx\0\0DATA", 10) << u""_s << u""_s;
    // The last "DATA" ends the stretch inside the title; the scan runs on through the padding.
    QTest::newRow("data inside title")
        << rmHeader("Live DATA Mix", "S", "Corp", false) << pad(u"Live "_s, 1024) << u""_s;
    QTest::newRow("no nul: ends with the padding")
        << "CONT" + QByteArray(200, 'A') + "DATA" << pad(QString(193, u'A'), 1024) << u""_s;
}

void TestTagReaders::realMedia() {
    QFETCH(QByteArray, block);
    QFETCH(QString, title);
    QFETCH(QString, singer);
    QString gotTitle;
    QString gotSinger;
    parseRealMediaHeader(block, gotTitle, gotSinger);
    QCOMPARE(gotTitle, title);
    QCOMPARE(gotSinger, singer);
}

void TestTagReaders::readFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("singer");

    const QString mp3 = u"a.mp3"_s;
    QTest::newRow("exactly 128 bytes") << mp3 << id3v1("Song", "Alice") << u"Song"_s << u"Alice"_s;
    QTest::newRow("empty fields replace")
        << mp3 << QByteArray(500, '\xFB') + id3v1({}) << u""_s << u""_s;
    QTest::newRow("127 bytes") << mp3 << id3v1("Song").left(127) << u"old title"_s
                               << u"old singer"_s;
    QTest::newRow("tag near the start only")
        << mp3 << id3v1("Song") + QByteArray(500, '\0') << u"old title"_s << u"old singer"_s;

    // The RealMedia reader appends to what the row holds.
    const QString rm = u"a.rm"_s;
    const QByteArray head = rmHeader("T", "S", "Corp", false);
    const QByteArray gap(1020 - head.size(), '\0');
    QTest::newRow("short rm file")
        << rm << rmHeader("T", "S") << u"old titleT"_s << u"old singerS"_s;
    QTest::newRow("data in the last bytes read")
        << rm << head + gap + "DATA" << u"old titleT"_s << u"old singerS"_s;
    QTest::newRow("data past the bytes read")
        << rm << head + gap + "xDATA" << u"old title"_s << u"old singer"_s;
}

void TestTagReaders::readFile() {
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(QString, title);
    QFETCH(QString, singer);
    QTemporaryDir dir;
    QVERIFY(TestFiles::write(dir.filePath(name), contents));
    EntryTable table = tableFor(dir, name);
    name.endsWith(u".mp3"_s) ? ReadId3v1Tag(table) : ReadRealMediaTag(table);
    QCOMPARE(table.row(3).title, title);
    QCOMPARE(table.row(3).singer, singer);
    QVERIFY(table.row(2).isEmpty());
}

void TestTagReaders::unreadablePaths() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder.mp3"_s));
    QStringList names{u"missing.mp3"_s, u"folder.mp3"_s};
#ifdef Q_OS_UNIX
    // Opening a pipe for reading would wait for a writer.
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"pipe.mp3"_s)).constData(), 0600), 0);
    names << u"pipe.mp3"_s;
#endif
    for (const QString &name : names) {
        EntryTable table = tableFor(dir, name);
        ReadId3v1Tag(table);
        ReadRealMediaTag(table);
        QCOMPARE(table.row(3).title, u"old title"_s);
        QCOMPARE(table.row(3).singer, u"old singer"_s);
    }
}

void TestTagReaders::beyondFourGiB() {
#ifndef Q_OS_UNIX
    SKIP_TEST("needs a file system with sparse files");
#else
    QTemporaryDir dir;
    QFile file(dir.filePath(u"big.mp3"_s));
    const qint64 size = (qint64(1) << 32) + 64; // the block straddles the 4 GiB mark
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
        SKIP_TEST("cannot make a large sparse file here");
    QVERIFY(file.seek(size - 128));
    QCOMPARE(file.write(id3v1("Far", "Away")), 128);
    file.close();
    EntryTable table = tableFor(dir, u"big.mp3"_s);
    ReadId3v1Tag(table);
    QCOMPARE(table.row(3).title, u"Far"_s);
    QCOMPARE(table.row(3).singer, u"Away"_s);
#endif
}

QTEST_GUILESS_MAIN(TestTagReaders)
#include "tst_tagreaders.moc"
