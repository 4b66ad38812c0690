#include "support/TagBytes.h"
#include "tags/Id3v2Frames.h"
#include "tags/Id3v2Tag.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using TagBytes::id3v2FlaggedFrame;
using TagBytes::id3v2Frame;
using TagBytes::id3v2Tag;
using TagBytes::id3v2TagWithFlags;

namespace {

// zlib data of bytes, as a compressed frame holds it (qCompress puts the size in front).
QByteArray zlib(const QByteArray &bytes) {
    return qCompress(bytes).mid(4);
}

QByteArray be32(quint32 n) {
    return TagBytes::be16(n >> 16) + TagBytes::be16(n & 0xFFFF);
}

} // namespace

class TestId3v2Frames : public QObject {
    Q_OBJECT
private slots:
    void realWorldTags_data();
    void realWorldTags();
    void readsOnlyTheFramesItNeeds();
};

// Tags as taggers in the wild write them, each expecting the right text or nothing (the ID3v1
// block then gives the name), never text made of other bytes.
void TestId3v2Frames::realWorldTags_data() {
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QString>("title"); // "-": no tag read at all
    QTest::addColumn<QString>("singer");

    const QByteArray title = "\0Track Title"_ba;
    const QByteArray singer3 = id3v2Frame(3, "TPE1", 0, "Ann");
    const QByteArray singer4 = id3v2Frame(4, "TPE1", 0, "Ann");
    const QString none = u"-"_s;

    QTest::newRow("2.3 grouping identity")
        << id3v2Tag(3, id3v2FlaggedFrame(3, "TIT2", 0x0020, "\x07"_ba + title) + singer3)
        << u"Track Title"_s << u"Ann"_s;
    QTest::newRow("2.4 grouping identity")
        << id3v2Tag(4, id3v2FlaggedFrame(4, "TIT2", 0x0040, "\x07"_ba + title) + singer4)
        << u"Track Title"_s << u"Ann"_s;
    QTest::newRow("2.4 footer keeps the last frame")
        << id3v2TagWithFlags(4, 0x10, id3v2Frame(4, "TIT2", 0, "Song") + singer4) << u"Song"_s
        << u"Ann"_s;
    QTest::newRow("2.3 extended header")
        << id3v2TagWithFlags(3, 0x40,
                             be32(6) + QByteArray(6, '\0') + id3v2Frame(3, "TIT2", 0, "Song"))
        << u"Song"_s << QString();
    QTest::newRow("2.3 extended header counting itself")
        << id3v2TagWithFlags(3, 0x40,
                             be32(10) + QByteArray(6, '\0') + id3v2Frame(3, "TIT2", 0, "Song"))
        << u"Song"_s << QString();
    QTest::newRow("2.4 extended header")
        << id3v2TagWithFlags(4, 0x40,
                             TagBytes::syncSafe(6) + "\x01\0"_ba + id3v2Frame(4, "TIT2", 0, "Song"))
        << u"Song"_s << QString();
    QTest::newRow("sort frames of version 2.2 ids first")
        << id3v2Tag(3, id3v2FlaggedFrame(3, "TST ", 0, "\0Sort"_ba) +
                           id3v2FlaggedFrame(3, "TSP ", 0, "\0Sort"_ba) +
                           id3v2Frame(3, "TIT2", 0, "Song") + singer3)
        << u"Song"_s << u"Ann"_s;
    QTest::newRow("first frame of size 0")
        << id3v2Tag(3, id3v2FlaggedFrame(3, "TXXX", 0, {}) + id3v2Frame(3, "TIT2", 0, "Song"))
        << u"Song"_s << QString();
    QTest::newRow("TENC with a data-length indicator and one byte")
        << id3v2Tag(4, id3v2FlaggedFrame(4, "TENC", 0x0001, "\0"_ba) +
                           id3v2Frame(4, "TIT2", 0, "Song"))
        << u"Song"_s << QString();
    QTest::newRow("UTF-16 without a byte-order mark")
        << id3v2Tag(3, id3v2Frame(3, "TIT2", 1, "S\0o\0n\0g\0"_ba)) << u"Song"_s << QString();
    QTest::newRow("UTF-16 big-endian mark")
        << id3v2Tag(3, id3v2Frame(3, "TIT2", 1, "\xFE\xFF\0S\0o\0n\0g"_ba)) << u"Song"_s
        << QString();
    QTest::newRow("2.3 unsynchronised as a whole")
        << id3v2TagWithFlags(
               3, char(0x80),
               TagBytes::unsynchronised(id3v2Frame(3, "TIT2", 1, "\xFF\xFE\xFF\0"_ba) + singer3))
        << u"ÿ"_s << u"Ann"_s;
    const QByteArray stored = TagBytes::unsynchronised("\0eng\0\xFF\xE0\xFF\xE0"_ba);
    QTest::newRow("2.3 unsynchronised, a size counting stored bytes")
        << id3v2TagWithFlags(3, char(0x80),
                             "COMM"_ba + be32(quint32(stored.size())) + "\0\0"_ba + stored +
                                 id3v2Frame(3, "TIT2", 0, "Song"))
        << u"Song"_s << QString();
    QTest::newRow("2.4 frame unsynchronised, with its length")
        << id3v2Tag(4, id3v2FlaggedFrame(4, "TIT2", 0x0003,
                                         TagBytes::syncSafe(5) +
                                             TagBytes::unsynchronised("\x01\xFF\xFE\xFF\0"_ba)) +
                           singer4)
        << u"ÿ"_s << u"Ann"_s;
    QTest::newRow("2.3 compressed")
        << id3v2Tag(3, id3v2FlaggedFrame(3, "TIT2", 0x0080, be32(5) + zlib("\0Song"_ba)) + singer3)
        << u"Song"_s << u"Ann"_s;
    QTest::newRow("2.4 compressed")
        << id3v2Tag(
               4, id3v2FlaggedFrame(4, "TIT2", 0x0009, TagBytes::syncSafe(5) + zlib("\0Song"_ba)) +
                      singer4)
        << u"Song"_s << u"Ann"_s;
    QTest::newRow("compressed, not zlib")
        << id3v2Tag(3, id3v2FlaggedFrame(3, "TIT2", 0x0080, be32(5) + "\0Song"_ba) + singer3)
        << QString() << u"Ann"_s;
    QTest::newRow("encrypted is passed over")
        << id3v2Tag(3, id3v2FlaggedFrame(3, "TIT2", 0x0040, "\x80\0Song"_ba) + singer3) << QString()
        << u"Ann"_s;
    QTest::newRow("malformed id passed over")
        << id3v2Tag(3, id3v2FlaggedFrame(3, "ab!c", 0, "\0x"_ba) + id3v2Frame(3, "TIT2", 0, "Song"))
        << u"Song"_s << QString();
    const QByteArray comment = "\0eng\0"_ba + QByteArray(251, 'c'); // 256 bytes
    QTest::newRow("2.4 size written as a plain number")
        << id3v2Tag(4, id3v2FlaggedFrame(4, "COMM", 0, comment, true) +
                           id3v2Frame(4, "TIT2", 0, "Song"))
        << u"Song"_s << QString();
    QTest::newRow("2.4 syncsafe size that is no plain one")
        << id3v2Tag(4, id3v2FlaggedFrame(4, "COMM", 0, comment) + id3v2Frame(4, "TIT2", 0, "Song"))
        << u"Song"_s << QString();
    QTest::newRow("padding ends the frames")
        << id3v2Tag(3, id3v2Frame(3, "TIT2", 0, "Song") + QByteArray(20, '\0') + singer3)
        << u"Song"_s << QString();
    QTest::newRow("frame past the tag's end")
        << id3v2Tag(3,
                    id3v2Frame(3, "TIT2", 0, "Song") +
                        id3v2FlaggedFrame(3, "TPE1", 0, "\0Ann"_ba + QByteArray(96, 'x')).left(14))
        << u"Song"_s << QString();
    QTest::newRow("cut short inside a frame")
        << id3v2Tag(3, id3v2Frame(3, "TIT2", 0, "Song") + singer3).chopped(2) << u"Song"_s
        << QString();
    QTest::newRow("2.2 compressed: ignored")
        << "ID3\x02\0\x40"_ba + TagBytes::syncSafe(11) + id3v2Frame(2, "TT2", 0, "Song") << none
        << QString();
    QTest::newRow("2.3 year, not 2.4's")
        << id3v2Tag(3, id3v2Frame(3, "TDRC", 0, "1999") + id3v2Frame(3, "TYER", 0, "2001") +
                           id3v2Frame(3, "TIT2", 0, "Song"))
        << u"Song"_s << QString();
    QTest::newRow("no frame of ours")
        << id3v2Tag(3, id3v2Frame(3, "TXXX", 0, "x")) << none << QString();
}

void TestId3v2Frames::realWorldTags() {
    QFETCH(QByteArray, tag);
    QFETCH(QString, title);
    const std::optional<TagText> text = ReadId3v2Tag(tag);
    if (title == u"-") {
        QVERIFY(!text);
        return;
    }
    QVERIFY(text);
    QCOMPARE(text->title, title);
    QTEST(text->singer, "singer");
    if (QByteArray(QTest::currentDataTag()) == "2.3 year, not 2.4's")
        QCOMPARE(text->year, u"2001"_s);
}

// A cover picture of 3 MB before the text frames is skipped by its size, not read.
void TestId3v2Frames::readsOnlyTheFramesItNeeds() {
    const QByteArray picture = "\0image/jpeg\0\x03\0"_ba + QByteArray(3 * 1024 * 1024, 'p');
    QByteArray frames = id3v2Frame(4, "APIC", 0, {}).left(4) + TagBytes::syncSafe(picture.size()) +
                        "\0\0"_ba + picture;
    for (const char *id : {"TIT2", "TPE1", "TALB", "TRCK", "TDRC", "TPOS", "TPE2"})
        frames += id3v2Frame(4, id, 0, "x");
    const QByteArray tag = id3v2Tag(4, frames + QByteArray(4096, '\0')) + QByteArray(1000, 'a');
    qint64 read = 0;
    qint64 furthest = 0;
    const std::optional<TagText> text = Id3v2Frames::read(
        [&](qint64 offset, qint64 size) {
            const QByteArray bytes = tag.mid(offset, size);
            read += bytes.size();
            furthest = qMax(furthest, offset + bytes.size());
            return bytes;
        },
        0);
    QVERIFY(text);
    QCOMPARE(text->albumArtist, u"x"_s);
    QVERIFY2(read < 16 * 1024, qPrintable(QString::number(read)));
    QVERIFY(furthest <= tag.size() - 1000); // nothing past the tag
}

QTEST_GUILESS_MAIN(TestId3v2Frames)
#include "tst_id3v2frames.moc"
