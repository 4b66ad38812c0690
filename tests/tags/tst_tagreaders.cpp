#include "list/EntryTable.h"
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

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestTagReaders : public QObject {
    Q_OBJECT
private slots:
    void id3v1Fields_data();
    void id3v1Fields();
    void id3v1NoBlock_data();
    void id3v1NoBlock();
    void id3v1File_data();
    void id3v1File();
    void id3v1UnreadablePaths();
    void id3v1BeyondFourGiB();
    void realMedia_data();
    void realMedia();
    void realMediaAppends();
    void realMediaFile_data();
    void realMediaFile();
};

void TestTagReaders::id3v1Fields_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("singer");

    QTest::newRow("nul padding") << id3v1("Song", "Alice") << u"Song"_s << u"Alice"_s;
    QTest::newRow("spaces before nuls stay") << id3v1("Song   ") << u"Song   "_s << u""_s;
    QTest::newRow("all spaces") << id3v1(QByteArray(30, ' ')) << u""_s << u""_s;
    QTest::newRow("leading spaces") << id3v1("  Song") << u"Song"_s << u""_s;
    QTest::newRow("nul shields a space")
        << id3v1(QByteArray("\0 Song", 6) + QByteArray(24, ' ')) << u" Song"_s << u""_s;
    QTest::newRow("nul inside") << id3v1(QByteArray("So\0ng", 5)) << u"Song"_s << u""_s;
    QTest::newRow("tabs stay") << id3v1("\tSong\t") << u"\tSong\t"_s << u""_s;
    QTest::newRow("ideographic space stays")
        << id3v1(QByteArray("\xA1\xA1Song\xA1\xA1").leftJustified(30, ' ')) << u"\u3000Song\u3000"_s
        << u""_s;
    QTest::newRow("gbk") << id3v1("\xC4\xE3\xBA\xC3", "\xB8\xE8\xCA\xD6") << u"你好"_s << u"歌手"_s;
    QTest::newRow("full field") << id3v1("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "x")
                                << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"_s << u"x"_s;
    // Each field is decoded alone: a pair cut by the field end does not borrow the next byte.
    QTest::newRow("pair cut at field end") << id3v1(QByteArray(29, 'A') + '\xC4', "\xE3")
                                           << QString(29, u'A') + u'\uFFFD' << u"\uFFFD"_s;
    QTest::newRow("name characters pass")
        << id3v1("a/b\\c:*?\"<>|") << u"a/b\\c:*?\"<>|"_s << u""_s;
    QTest::newRow("singer only") << id3v1({}, "Alice") << u""_s << u"Alice"_s;
    QTest::newRow("longer input: its end")
        << QByteArray(300, '\xFF') + id3v1("End") << u"End"_s << u""_s;
}

void TestTagReaders::id3v1Fields() {
    QFETCH(QByteArray, block);
    QFETCH(QString, title);
    QFETCH(QString, singer);
    const std::optional<TagText> tag = parseId3v1Block(block);
    QVERIFY(tag);
    QCOMPARE(tag->title, title);
    QCOMPARE(tag->singer, singer);
}

void TestTagReaders::id3v1NoBlock_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::newRow("lower-case marker") << QByteArray("tag" + id3v1("Song").mid(3));
    QTest::newRow("127 bytes") << id3v1("Song").left(127);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("marker not at the end") << id3v1("Song") + QByteArray(1, 'x');
}

void TestTagReaders::id3v1NoBlock() {
    QFETCH(QByteArray, block);
    QVERIFY(!parseId3v1Block(block));
}

void TestTagReaders::id3v1File_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("singer");

    QTest::newRow("exactly 128 bytes") << id3v1("Song", "Alice") << u"Song"_s << u"Alice"_s;
    QTest::newRow("after audio") << QByteArray(5000, '\xFB') + id3v1("Song") << u"Song"_s << u""_s;
    QTest::newRow("empty fields replace") << id3v1({}) << u""_s << u""_s;
    QTest::newRow("127 bytes") << id3v1("Song").left(127) << u"old title"_s << u"old singer"_s;
    QTest::newRow("empty file") << QByteArray() << u"old title"_s << u"old singer"_s;
    QTest::newRow("tag near the start only")
        << id3v1("Song") + QByteArray(500, '\0') << u"old title"_s << u"old singer"_s;
}

void TestTagReaders::id3v1File() {
    QFETCH(QByteArray, contents);
    QFETCH(QString, title);
    QFETCH(QString, singer);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(u"a.mp3"_s), contents));
    EntryTable table = tableFor(dir, u"a.mp3"_s);
    ReadId3v1Tag(table);
    QCOMPARE(table.row(3).title, title);
    QCOMPARE(table.row(3).singer, singer);
    QVERIFY(table.row(2).isEmpty());
}

void TestTagReaders::id3v1UnreadablePaths() {
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

void TestTagReaders::id3v1BeyondFourGiB() {
#ifndef Q_OS_UNIX
    QTest::qSkip("needs a file system with sparse files", __FILE__, __LINE__);
#else
    QTemporaryDir dir;
    QFile file(dir.filePath(u"big.mp3"_s));
    const qint64 size = (qint64(1) << 32) + 64; // the block straddles the 4 GiB mark
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
        return QTest::qSkip("cannot make a large sparse file here", __FILE__, __LINE__);
    QVERIFY(file.seek(size - 128));
    QCOMPARE(file.write(id3v1("Far", "Away")), 128);
    file.close();
    EntryTable table = tableFor(dir, u"big.mp3"_s);
    ReadId3v1Tag(table);
    QCOMPARE(table.row(3).title, u"Far"_s);
    QCOMPARE(table.row(3).singer, u"Away"_s);
#endif
}

void TestTagReaders::realMedia_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("singer");

    const QByteArray t39(39, 'a'), t40(40, 'b'), t41(41, 'c'), t50(50, 'd');
    QTest::newRow("ordinary") << rmHeader("Blue Night", "Alice") << u"Blue Night"_s << u"Alice"_s;
    QTest::newRow("six dropped") << rmHeader("What? Now", "A\\/\":*?B") << u"What Now"_s << u"AB"_s;
    QTest::newRow("others kept") << rmHeader("<a>|b", "x") << u"<a>|b"_s << u"x"_s;
    QTest::newRow("leading apostrophe") << rmHeader("'Tis", "x") << u"Tis"_s << u"x"_s;
    QTest::newRow("apostrophe later") << rmHeader("Ro')", "x") << u"Ro')"_s << u"x"_s;
    QTest::newRow("title length 0") << rmHeader({}, "Alice") << u""_s
                                    << u"\x05"
                                       "Alice"_s;
    QTest::newRow("author length 0") << rmHeader("T", {}) << u"T"_s
                                     << u"\x04"
                                        "Corp"_s;
    QTest::newRow("length 37") << rmHeader(QByteArray(37, 'e'), "x") << QString(37, u'e') << u"x"_s;
    QTest::newRow("length 38") << rmHeader(QByteArray(38, 'f'), "x") << u"&"_s + QString(38, u'f')
                               << u"x"_s;
    QTest::newRow("length 39") << rmHeader(t39, "x") << QString(39, u'a') << u"x"_s;
    QTest::newRow("length 40") << rmHeader(t40, "x") << u"("_s + QString(40, u'b') << u"x"_s;
    QTest::newRow("length 41") << rmHeader(t41, "x") << QString(41, u'c') << u"x"_s;
    QTest::newRow("length 50") << rmHeader(t50, "x") << u"2"_s + QString(50, u'd') << u"x"_s;
    QTest::newRow("gbk") << rmHeader("\xC4\xE3\xBA\xC3 Night", "\xB8\xE8\xCA\xD6")
                         << u"你好 Night"_s << u"歌手"_s;
    // A pair in the chunk size moves the 12th character onto the first title byte.
    QTest::newRow("gbk pair shifts positions")
        << rmHeader(t40, "x", "Corp", true, QByteArray("\0\0\x81\x40", 4)) << QString(40, u'b')
        << u"x"_s;
    // Length 0x81 and a title starting with "A" read as one two-byte character.
    QTest::newRow("length byte pairs with title")
        << rmHeader("A" + QByteArray(128, 'g'), "x") << u"\u4E04g"_s + QString(127, u'g') << u"x"_s;
    QTest::newRow("cont twice") << rmHeader("Old", "One").left(60) + rmHeader("New", "Two")
                                << u"New"_s << u"Two"_s;
    QTest::newRow("no data") << rmHeader("T", "S", "Corp", false) << u""_s << u""_s;
    QTest::newRow("data before cont")
        << "DATA" + rmHeader("T", "S", "Corp", false) << u""_s << u""_s;
    QTest::newRow("data without cont") << QByteArray("xxxx\0\0DATA", 10) << u""_s << u""_s;
    QTest::newRow("empty") << QByteArray() << u""_s << u""_s;
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

void TestTagReaders::realMediaAppends() {
    QString title = u"["_s;
    QString singer = u"<"_s;
    parseRealMediaHeader(rmHeader("T", "S"), title, singer);
    QCOMPARE(title, u"[T"_s);
    QCOMPARE(singer, u"<S"_s);
}

void TestTagReaders::realMediaFile_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("singer");

    const QByteArray head = rmHeader("T", "S", "Corp", false);
    const QByteArray gap(1020 - head.size(), '\0');
    QTest::newRow("short file") << rmHeader("T", "S") << u"old titleT"_s << u"old singerS"_s;
    QTest::newRow("data in the last bytes read")
        << head + gap + "DATA" << u"old titleT"_s << u"old singerS"_s;
    QTest::newRow("data past the bytes read")
        << head + gap + "xDATA" << u"old title"_s << u"old singer"_s;
}

void TestTagReaders::realMediaFile() {
    QFETCH(QByteArray, contents);
    QFETCH(QString, title);
    QFETCH(QString, singer);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath(u"a.rm"_s), contents));
    EntryTable table = tableFor(dir, u"a.rm"_s);
    ReadRealMediaTag(table);
    QCOMPARE(table.row(3).title, title);
    QCOMPARE(table.row(3).singer, singer);
}

QTEST_GUILESS_MAIN(TestTagReaders)
#include "tst_tagreaders.moc"
