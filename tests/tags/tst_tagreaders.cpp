#include "support/TagBytes.h"
#include "support/TestFiles.h"
#include "tags/Id3v1Tag.h"
#include "tags/Id3v2Tag.h"
#include "tags/RealMediaTag.h"
#include "tags/TagReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::Literals::StringLiterals;
using TagBytes::id3v1Block;
using TagBytes::realMediaHeader;

namespace {

// Every table here ends in the title and singer read; a null title means no tag. Legacy text is
// GBK and read as such whatever the system's code page, unless a row names another.
void addTagColumns() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("singer");
}

void compareTag(const std::optional<TagText> &tag) {
    QFETCH(QString, title);
    QFETCH(QString, singer);
    QCOMPARE(tag.has_value(), !title.isNull());
    QCOMPARE(tag.value_or(TagText()).title, title);
    QCOMPARE(tag.value_or(TagText()).singer, singer);
}

// The tag of the file at path, read in the format its path picks.
std::optional<TagText> tagOfFile(const QString &path) {
    const TagFormat *format = formatByNameEnding(path);
    return format ? readTags(*format, path, {false, LegacyText::kGbk}) : std::nullopt;
}

} // namespace

class TestTagReaders : public QObject {
    Q_OBJECT
private slots:
    void id3v1Fields_data();
    void id3v1Fields();
    void realMedia_data();
    void realMedia();
    void encodings_data();
    void encodings();
    void encodedPositions_data();
    void encodedPositions();
    void readFile_data();
    void readFile();
    void id3v2_data();
    void id3v2();
    void fieldsOfEveryVersion_data();
    void fieldsOfEveryVersion();
    void unreadablePaths();
    void beyondFourGiB();
};

void TestTagReaders::id3v1Fields_data() {
    QTest::addColumn<QByteArray>("block");
    addTagColumns();

    QTest::newRow("nul padding") << id3v1Block("Song", "Alice") << u"Song"_s << u"Alice"_s;
    QTest::newRow("spaces before nuls stay") << id3v1Block("Song   ") << u"Song   "_s << u""_s;
    QTest::newRow("all spaces") << id3v1Block(QByteArray(30, ' ')) << u""_s << u""_s;
    QTest::newRow("nul shields a space")
        << id3v1Block(QByteArray("\0  So\0ng", 8).leftJustified(30)) << u"  Song"_s << u""_s;
    QTest::newRow("only U+0020 trimmed")
        << id3v1Block(QByteArray(" \t\xA1\xA1Song\xA1\xA1").leftJustified(30))
        << u"\t\u3000Song\u3000"_s << u""_s;
    QTest::newRow("gbk") << id3v1Block("\xC4\xE3\xBA\xC3", "\xB8\xE8\xCA\xD6") << u"你好"_s
                         << u"歌手"_s;
    // The field's end cuts a character in half: the half goes; a bad byte elsewhere shows.
    QTest::newRow("character cut by the field's end")
        << id3v1Block(QByteArray(14, '\xC4').replace('\xC4', "\xC4\xE3") + "a\xC4",
                      "\xC4" + QByteArray(29, '0'))
        << QString(14, u'你') + u"a"_s << u"\uFFFD"_s + QString(29, u'0');
    QTest::newRow("full field") << id3v1Block("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "a/b:*?")
                                << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"_s << u"a/b:*?"_s;
    QTest::newRow("longer input: its end")
        << QByteArray(300, '\xFF') + id3v1Block({}, "End") << u""_s << u"End"_s;
    QTest::newRow("lower-case marker")
        << QByteArray("tag" + id3v1Block("Song").mid(3)) << QString() << QString();
    QTest::newRow("127 bytes") << id3v1Block("Song").left(127) << QString() << QString();
}

void TestTagReaders::id3v1Fields() {
    QFETCH(QByteArray, block);
    compareTag(ReadId3v1Tag(block, LegacyText::kGbk));
}

void TestTagReaders::realMedia_data() {
    QTest::addColumn<QByteArray>("block");
    addTagColumns();

    QTest::newRow("ordinary") << realMediaHeader("Blue Night", "Alice") << u"Blue Night"_s
                              << u"Alice"_s;
    QTest::newRow("six dropped, others kept")
        << realMediaHeader("What? <a>|b')", "A\\/\":*?B") << u"What <a>|b')"_s << u"AB"_s;
    QTest::newRow("leading apostrophe") << realMediaHeader("'Tis", "x") << u"Tis"_s << u"x"_s;
    QTest::newRow("title length 0") << realMediaHeader({}, "Alice") << u""_s << u"\u0005Alice"_s;
    QTest::newRow("author length 0") << realMediaHeader("T", {}) << u"T"_s << u"\u0004Corp"_s;
    QTest::newRow("length 39") << realMediaHeader(QByteArray(39, 'a'), "x") << QString(39, u'a')
                               << u"x"_s;
    QTest::newRow("length 40") << realMediaHeader(QByteArray(40, 'b'), "x")
                               << u"("_s + QString(40, u'b') << u"x"_s;
    QTest::newRow("length 41") << realMediaHeader(QByteArray(41, 'c'), "x") << QString(41, u'c')
                               << u"x"_s;
    QTest::newRow("length 50") << realMediaHeader(QByteArray(50, 'd'), "x")
                               << u"2"_s + QString(50, u'd') << u"x"_s;
    QTest::newRow("gbk") << realMediaHeader("\xC4\xE3\xBA\xC3 Night", "\xB8\xE8\xCA\xD6")
                         << u"你好 Night"_s << u"歌手"_s;
    // A pair in the chunk size moves the 12th character onto the first title byte.
    QTest::newRow("gbk pair shifts positions")
        << realMediaHeader(QByteArray(40, 'b'), "x", "Corp", true, QByteArray("\0\0\x81\x40", 4))
        << QString(40, u'b') << u"x"_s;
    QTest::newRow("cont twice") << realMediaHeader("Old", "One").left(60) +
                                       realMediaHeader("New", "Two")
                                << u"New"_s << u"Two"_s;
    QTest::newRow("no data") << realMediaHeader("T", "S", "Corp", false) << QString() << QString();
    QTest::newRow("data without cont") << QByteArray("xxxx\0\0DATA", 10) << QString() << QString();
    // The last "DATA" ends the stretch inside the title; the scan ends with it.
    QTest::newRow("data inside title")
        << realMediaHeader("Live DATA Mix", "S", "Corp", false) << u"Live "_s << u""_s;
    QTest::newRow("no nul: ends with the text")
        << "CONT" + QByteArray(200, 'A') + "DATA" << QString(193, u'A') << u""_s;
    QTest::newRow("one nul: singer ends with the text") << "CONT" + QByteArray(7, 'x') +
                                                               QByteArray("\x05Title\0\x03"
                                                                          "Bob  ",
                                                                          13) +
                                                               "DATA"
                                                        << u"Title"_s << u"Bob  "_s;
}

void TestTagReaders::realMedia() {
    QFETCH(QByteArray, block);
    compareTag(ReadRealMediaTag(block, LegacyText::kGbk));
}

void TestTagReaders::encodedPositions_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("codePage");
    addTagColumns();
    using namespace LegacyText;
    // A Big5 pair in the chunk size moves the 12th character onto the first title byte; in a
    // single-byte code page the same bytes are two characters and the length byte reads "(".
    const QByteArray pairInSize =
        realMediaHeader(QByteArray(40, 'b'), "x", "Corp", true, QByteArray("\0\0\xA4\x40", 4));
    QTest::newRow("big5 pair") << pairInSize << kBig5 << QString(40, u'b') << u"x"_s;
    QTest::newRow("single-byte") << pairInSize << kWindows1251 << u"("_s + QString(40, u'b')
                                 << u"x"_s;
    if (!TestFiles::systemCodePageIsGbk())
        return; // the rows below read GBK bytes as the system's
    // Automatic: the chunk size byte 0xA4 alone is no UTF-8, so the block is the system's.
    QTest::newRow("auto, size not utf-8")
        << realMediaHeader(QByteArray(40, 'b'), "x", "Corp", true, QByteArray("\0\0\x81\x40", 4))
        << kAutoUtf8 << QString(40, u'b') << u"x"_s;
    // ID3v1, automatic: a UTF-8 field cut by its end is still UTF-8 and loses the half.
    QTest::newRow("auto, utf-8 cut by the field")
        << id3v1Block("a" + "\xE6\xAD\x8C"_ba.repeated(10), "\xB8\xE8") << kAutoUtf8
        << u"a"_s + u"歌"_s.repeated(9) << u"歌"_s;
}

void TestTagReaders::encodedPositions() {
    QFETCH(QByteArray, block);
    QFETCH(int, codePage);
    compareTag(block.startsWith("TAG") ? ReadId3v1Tag(block, codePage)
                                       : ReadRealMediaTag(block, codePage));
}

// Each encoding the user can choose reads its own text, in both formats; the RealMedia scan
// counts its positions in characters of that encoding.
void TestTagReaders::encodings_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("titleBytes");
    QTest::addColumn<QByteArray>("singerBytes");
    addTagColumns();

    const auto row = [](const char *name, int codePage, const QByteArray &title,
                        const QByteArray &singer, const QString &titleText,
                        const QString &singerText) {
        QTest::newRow(name) << codePage << title << singer << titleText << singerText;
    };
    using namespace LegacyText;
    row("gbk", kGbk, "\xC4\xE3\xBA\xC3", "\xB8\xE8\xCA\xD6", u"你好"_s, u"歌手"_s);
    row("gb18030 four-byte", kGb18030, "\x82\x35\x87\x38\x94\x39\xC1\x39\xD2\xBB",
        "\x81\x39\xEE\x39", u"䶵\U0001F3B5一"_s, u"㐀"_s);
    row("big5", kBig5, "\xA9\x50\xAA\x4E\xAD\xDB", "\xBA\x71\xA4\xE2", u"周杰倫"_s, u"歌手"_s);
    row("shift_jis", kShiftJis, "\x93\x8C\x8B\x9E\xB1", "\x89\xCC\x8E\xE8", u"東京ｱ"_s, u"歌手"_s);
    row("euc-kr as 949", kEucKr, "\xBE\xC8\xB3\xE7\x8C\x63", "\xB0\xA1\xBC\xF6", u"안녕똠"_s,
        u"가수"_s);
    row("windows-1251", kWindows1251, "\xCF\xF0\xE8\xE2\xE5\xF2", "\xCF\xE5\xE2\xE5\xF6",
        u"Привет"_s, u"Певец"_s);
    row("windows-1252", kWindows1252, "Caf\xE9 \x80\x89", "Se\xF1or", u"Café €‰"_s, u"Señor"_s);
    row("utf-8", kUtf8, "\xE4\xBD\xA0\xE5\xA5\xBD\xF0\x9F\x8E\xB5", "\xE6\xAD\x8C\xE6\x89\x8B",
        u"你好\U0001F3B5"_s, u"歌手"_s);
    row("auto: utf-8 title", kAutoUtf8, "\xE4\xBD\xA0\xE5\xA5\xBD", "Ann", u"你好"_s, u"Ann"_s);
    if (!TestFiles::systemCodePageIsGbk())
        return; // the rows below read GBK bytes as the system's
    row("auto: gbk title", kAutoUtf8, "\xC4\xE3\xBA\xC3", "\xB8\xE8\xCA\xD6", u"你好"_s, u"歌手"_s);
    row("system default", kSystemCodePage, "\xC4\xE3", "\xE4\xBD\xA0", u"你"_s, u"浣\uFFFD"_s);
}

void TestTagReaders::encodings() {
    QFETCH(int, codePage);
    if (TestFiles::wineLacksCodePage(unsigned(codePage)))
        SKIP_TEST("Wine: no code page 54936 (IsValidCodePage says false), which Windows has");
    QFETCH(QByteArray, titleBytes);
    QFETCH(QByteArray, singerBytes);
    compareTag(ReadId3v1Tag(id3v1Block(titleBytes, singerBytes), codePage));
    compareTag(ReadRealMediaTag(realMediaHeader(titleBytes, singerBytes), codePage));
    // ID3v2 frames marked Latin-1 hold legacy text too.
    compareTag(
        ReadId3v2Tag(TagBytes::id3v2Tag(3, TagBytes::id3v2Frame(3, "TIT2", 0, titleBytes) +
                                               TagBytes::id3v2Frame(3, "TPE1", 0, singerBytes)),
                     codePage));
}

void TestTagReaders::readFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");
    addTagColumns();

    // The format goes by how the whole path ends. Both readers find a tag in these bytes:
    // 你好 is the MP3 reader's, Blue the RealMedia reader's.
    const QByteArray both = TagBytes::bothTags();
    QTest::newRow("mp3") << u"song.mp3"_s << both << u"你好"_s << u"歌手"_s;
    QTest::newRow("mixed case") << u"SONG.Mp3"_s << both << u"你好"_s << u"歌手"_s;
    QTest::newRow("mp3 without dot") << u"songmp3"_s << both << u"你好"_s << u"歌手"_s;
    QTest::newRow("rm") << u"clip.rm"_s << both << u"Blue"_s << u"Ann"_s;
    QTest::newRow("alarm") << u"alarm"_s << both << u"Blue"_s << u"Ann"_s;
    QTest::newRow("ends in mp3, not rm") << u"x.rm.mp3"_s << both << u"你好"_s << u"歌手"_s;
    QTest::newRow("text") << u"notes.txt"_s << both << QString() << QString();
    QTest::newRow("backup") << u"x.mp3.bak"_s << both << QString() << QString();

    const QString mp3 = u"a.mp3"_s;
    QTest::newRow("exactly 128 bytes")
        << mp3 << id3v1Block("Song", "Alice") << u"Song"_s << u"Alice"_s;
    QTest::newRow("empty fields") << mp3 << QByteArray(500, '\xFB') + id3v1Block({}) << u""_s
                                  << u""_s;
    QTest::newRow("127 bytes") << mp3 << id3v1Block("Song").left(127) << QString() << QString();
    QTest::newRow("tag near the start only")
        << mp3 << id3v1Block("Song") + QByteArray(500, '\0') << QString() << QString();

    const QString rm = u"a.rm"_s;
    const QByteArray head = realMediaHeader("T", "S", "Corp", false);
    const QByteArray gap(1020 - head.size(), '\0');
    QTest::newRow("short rm file") << rm << realMediaHeader("T", "S") << u"T"_s << u"S"_s;
    QTest::newRow("data in the last bytes read") << rm << head + gap + "DATA" << u"T"_s << u"S"_s;
    QTest::newRow("data past the bytes read")
        << rm << head + gap + "xDATA" << QString() << QString();
}

void TestTagReaders::readFile() {
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QTemporaryDir dir;
    QVERIFY(TestFiles::write(dir.filePath(name), contents));
    compareTag(tagOfFile(dir.filePath(name)));
}

void TestTagReaders::id3v2_data() {
    using TagBytes::id3v2Frame;
    using TagBytes::id3v2Tag;
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("readId3v2");
    addTagColumns();

    const QByteArray v1 = QByteArray(300, '\x55') + id3v1Block("Old", "Older");
    const QByteArray utf16le = "\xFF\xFE" + QByteArray("S\0o\0n\0g\0", 8);
    const QByteArray tit2Gbk = id3v2Frame(3, "TIT2", 0, "\xC4\xE3\xBA\xC3"); // 你好
    const QByteArray tpe1 = id3v2Frame(3, "TPE1", 0, "Ann");
    QTest::newRow("2.3 utf-16 with bom")
        << id3v2Tag(3, id3v2Frame(3, "TIT2", 1, utf16le) + tpe1) + v1 << true << u"Song"_s
        << u"Ann"_s;
    QTest::newRow("2.4 utf-16 without bom")
        << id3v2Tag(4, id3v2Frame(4, "TIT2", 2, QByteArray("\0S\0o\0n\0g", 8))) + v1 << true
        << u"Song"_s << u"Older"_s;
    QTest::newRow("2.4 utf-8, first of two values")
        << id3v2Tag(4, id3v2Frame(4, "TPE1", 3, "歌手\0Other"_ba)) + v1 << true << u"Old"_s
        << u"歌手"_s;
    QTest::newRow("2.3 latin-1 holding gbk")
        << id3v2Tag(3, tit2Gbk + tpe1) + v1 << true << u"你好"_s << u"Ann"_s;
    QTest::newRow("2.2") << id3v2Tag(2, id3v2Frame(2, "TT2", 0, "Short") +
                                            id3v2Frame(2, "TP1", 0, "Band")) +
                                v1
                         << true << u"Short"_s << u"Band"_s;
    QTest::newRow("empty frame falls back")
        << id3v2Tag(3, id3v2Frame(3, "TIT2", 0, "") + tpe1) + v1 << true << u"Old"_s << u"Ann"_s;
    QTest::newRow("no id3v1") << id3v2Tag(3, tit2Gbk) + QByteArray(300, '\x55') << true << u"你好"_s
                              << u""_s;
    QTest::newRow("option off") << id3v2Tag(3, tit2Gbk + tpe1) + v1 << false << u"Old"_s
                                << u"Older"_s;
    // A tag announcing more than the file holds gives what it holds; garbage gives nothing.
    QTest::newRow("cut short") << id3v2Tag(3, tit2Gbk + tpe1, 100000).left(30) << true << u"你好"_s
                               << u""_s;
    QTest::newRow("cut short, id3v1 stays")
        << id3v2Tag(3, tpe1 + tit2Gbk, 100000).left(30) + v1 << true << u"Old"_s << u"Ann"_s;
    QTest::newRow("garbage frames")
        << id3v2Tag(3, QByteArray(64, '\xFF')) + v1 << true << u"Old"_s << u"Older"_s;
}

void TestTagReaders::id3v2() {
    QFETCH(QByteArray, contents);
    QFETCH(bool, readId3v2);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.mp3"_s);
    QVERIFY(TestFiles::write(path, contents));
    compareTag(readTags(*formatByNameEnding(path), path, {readId3v2, LegacyText::kGbk}));
}

// Album, track, year, disc and album artist from ID3v1 (1.1 for the track) and from each
// ID3v2 version, ID3v2 winning field by field.
void TestTagReaders::fieldsOfEveryVersion_data() {
    using TagBytes::id3v2Frame;
    using TagBytes::id3v2Tag;
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("fields"); // title|singer|album|track|year|disc|album artist
    QByteArray v11 = id3v1Block("Old", "Older");
    v11[126] = 7;
    const QByteArray sound(300, '\x55');
    QTest::newRow("1.0") << sound + id3v1Block("Old", "Older") << u"Old|Older|Album||2001||"_s;
    QTest::newRow("1.1 track") << sound + v11 << u"Old|Older|Album|7|2001||"_s;
    const auto frames = [](int v, const QList<QByteArray> &ids) {
        const QByteArrayList values{"T", "S", "Al", "3/9", "1998", "1/2", "AA"};
        QByteArray out;
        for (int i = 0; i < ids.size(); ++i)
            out += id3v2Frame(v, ids[i], 3, values[i]);
        return out;
    };
    const QString all = u"T|S|Al|3/9|1998|1/2|AA"_s;
    QTest::newRow("2.2") << id3v2Tag(2,
                                     frames(2, {"TT2", "TP1", "TAL", "TRK", "TYE", "TPA", "TP2"})) +
                                sound + v11
                         << all;
    QTest::newRow("2.3") << id3v2Tag(3, frames(3, {"TIT2", "TPE1", "TALB", "TRCK", "TYER", "TPOS",
                                                   "TPE2"})) +
                                sound + v11
                         << all;
    QTest::newRow("2.4") << id3v2Tag(4, frames(4, {"TIT2", "TPE1", "TALB", "TRCK", "TDRC", "TPOS",
                                                   "TPE2"})) +
                                sound + v11
                         << all;
    QTest::newRow("2.4 track alone over 1.1")
        << id3v2Tag(4, id3v2Frame(4, "TRCK", 3, "12/12")) + sound + v11
        << u"Old|Older|Album|12/12|2001||"_s;
}

void TestTagReaders::fieldsOfEveryVersion() {
    QFETCH(QByteArray, contents);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.mp3"_s);
    QVERIFY(TestFiles::write(path, contents));
    const std::optional<TagText> tags =
        readTags(*formatByNameEnding(path), path, {true, LegacyText::kGbk});
    QVERIFY(tags);
    QStringList fields;
    for (QString TagText::*field : kTagFields)
        fields << (*tags).*field;
    QTEST(fields.join(u'|'), "fields");
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
        for (const TagFormat *format : {formatByNameEnding(u"a.mp3"), formatByNameEnding(u"a.rm")})
            QVERIFY(!readTags(*format, dir.filePath(name)));
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
    QCOMPARE(file.write(id3v1Block("Far", "Away")), 128);
    file.close();
    const std::optional<TagText> tag = tagOfFile(file.fileName());
    QVERIFY(tag);
    QCOMPARE(tag->title, u"Far"_s);
    QCOMPARE(tag->singer, u"Away"_s);
#endif
}

QTEST_GUILESS_MAIN(TestTagReaders)
#include "tst_tagreaders.moc"
