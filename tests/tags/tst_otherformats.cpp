#include "support/AudioFiles.h"
#include "support/TagBytes.h"
#include "support/TestFiles.h"
#include "tags/TagReader.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using AudioFiles::Fields;

class TestOtherFormats : public QObject {
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void takenOnlyWithTheOption_data();
    void takenOnlyWithTheOption();
};

namespace {

const Fields kAll = {{"TITLE", "春天"},         {"ARTIST", "林小雨"},   {"ALBUM", "Songs"},
                     {"TRACKNUMBER", "3/12"},   {"DATE", "2019-04-01"}, {"DISCNUMBER", "1/2"},
                     {"ALBUMARTIST", "Various"}};

// The fields as one line: title|singer|album|track|year|disc|album artist.
QString line(const std::optional<TagText> &tags) {
    if (!tags)
        return u"(none)"_s;
    QStringList fields;
    for (QString TagText::*field : kTagFields)
        fields << (*tags).*field;
    return fields.join(u'|');
}

QByteArray id3v2(const QByteArray &title, char encoding = 3) {
    using TagBytes::id3v2Frame;
    return TagBytes::id3v2Tag(
        4, id3v2Frame(4, "TIT2", encoding, title) + id3v2Frame(4, "TPE1", 3, "Ann") +
               id3v2Frame(4, "TALB", 3, "Songs") + id3v2Frame(4, "TRCK", 3, "7") +
               id3v2Frame(4, "TDRC", 3, "2001") + id3v2Frame(4, "TPOS", 3, "2") +
               id3v2Frame(4, "TPE2", 3, "Band"));
}

} // namespace

// Each format's own tag gives every field it has; legacy text (RIFF INFO, ID3v2 frames marked
// Latin-1) is read in the chosen encoding, here GBK.
void TestOtherFormats::formats_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("fields");
    const QString all = u"春天|林小雨|Songs|3/12|2019-04-01|1/2|Various"_s;
    QTest::newRow("flac") << u"a.flac"_s << AudioFiles::flac(kAll) << all;
    QTest::newRow("flac, 300 kB picture first")
        << u"a.FLAC"_s << AudioFiles::flac(kAll, 300000) << all;
    QTest::newRow("flac behind an ID3v2 tag")
        << u"a.flac"_s << id3v2("x") + AudioFiles::flac(kAll) << all;
    QTest::newRow("ogg vorbis") << u"a.ogg"_s << AudioFiles::oggVorbis(kAll) << all;
    QTest::newRow("oga") << u"a.oga"_s << AudioFiles::oggVorbis(kAll) << all;
    QTest::newRow("opus") << u"a.opus"_s << AudioFiles::oggOpus(kAll) << all;
    QTest::newRow("opus named .ogg") << u"a.ogg"_s << AudioFiles::oggOpus(kAll) << all;
    QTest::newRow("m4a") << u"a.m4a"_s << AudioFiles::mp4(kAll)
                         << u"春天|林小雨|Songs|3/12|2019-04-01|1/2|Various"_s;
    QTest::newRow("m4b") << u"a.m4b"_s << AudioFiles::mp4({{"TITLE", "Book"}}) << u"Book||||||"_s;
    QTest::newRow("wma") << u"a.wma"_s << AudioFiles::asf(kAll) << all;
    QTest::newRow("ape") << u"a.ape"_s << AudioFiles::ape(kAll) << all;
    QTest::newRow("wav, INFO in GBK")
        << u"a.wav"_s
        << AudioFiles::wav({{"TITLE", "\xC4\xE3\xBA\xC3"}, {"ARTIST", "Ann"}, {"DATE", "1999"}})
        << u"你好|Ann|||1999||"_s;
    QTest::newRow("wav, ID3 chunk")
        << u"a.wav"_s << AudioFiles::wav({}, id3v2("Song")) << u"Song|Ann|Songs|7|2001|2|Band"_s;
    QTest::newRow("aiff, ID3 chunk, Latin-1 frame in GBK")
        << u"a.aiff"_s << AudioFiles::aiff(id3v2("\xC4\xE3\xBA\xC3", 0))
        << u"你好|Ann|Songs|7|2001|2|Band"_s;
    QTest::newRow("aif") << u"a.aif"_s << AudioFiles::aiff(id3v2("Song"))
                         << u"Song|Ann|Songs|7|2001|2|Band"_s;
    QTest::newRow("mp2 as mp3") << u"a.mp2"_s << TagBytes::mp3File("Song", "Ann")
                                << u"Song|Ann|Album||2001||"_s;
    QTest::newRow("flac without comment")
        << u"a.flac"_s << QByteArray("fLaC\x80\0\0\x22", 8) + QByteArray(34, '\0') << u"(none)"_s;
    QTest::newRow("not flac at all") << u"a.flac"_s << QByteArray(100, 'x') << u"(none)"_s;
    QTest::newRow("empty ogg") << u"a.ogg"_s << QByteArray() << u"(none)"_s;
    QTest::newRow("cut m4a") << u"a.m4a"_s << AudioFiles::mp4(kAll).left(60) << u"(none)"_s;
}

void TestOtherFormats::formats() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(name);
    QVERIFY(TestFiles::write(path, bytes));
    const TagFormat *format = formatByNameEnding(path, true);
    QVERIFY(format);
    bool unreadable = true;
    QTEST(line(readTags(*format, path, {false, LegacyText::kGbk, true}, &unreadable)), "fields");
    QVERIFY(!unreadable);
}

// Without the option the program takes MP3 and RealMedia alone, by both rules.
void TestOtherFormats::takenOnlyWithTheOption_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("withOption");
    QTest::addColumn<bool>("without");
    for (const char *name : {"a.flac", "a.ogg", "a.oga",  "a.opus", "a.spx", "a.m4a", "a.m4b",
                             "a.m4p",  "a.m4r", "a.wma",  "a.asf",  "a.ape", "a.wv",  "a.mpc",
                             "a.tta",  "a.aif", "a.aiff", "a.aifc", "a.wav", "a.mp2", "A.FLAC"})
        QTest::newRow(name) << QString::fromLatin1(name) << true << false;
    QTest::newRow("mp3") << u"a.mp3"_s << true << true;
    QTest::newRow("rm") << u"a.RM"_s << true << true;
    QTest::newRow("picture") << u"a.jpg"_s << false << false;
    QTest::newRow("flac.bak") << u"a.flac.bak"_s << false << false;
}

void TestOtherFormats::takenOnlyWithTheOption() {
    QFETCH(QString, name);
    QFETCH(bool, withOption);
    QFETCH(bool, without);
    QCOMPARE(formatByNameEnding(name, true) != nullptr, withOption);
    QCOMPARE(formatByNameEnding(name, false) != nullptr, without);
    QCOMPARE(hasScannedExtension(name, true), withOption);
    QCOMPARE(hasScannedExtension(name, false), without);
}

QTEST_GUILESS_MAIN(TestOtherFormats)
#include "tst_otherformats.moc"
