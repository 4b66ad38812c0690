#include "platform/LegacyText.h"
#include "support/TestFiles.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestLegacyText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void codesTellOneByteFromTwo();
    void otherCodePages_data();
    void otherCodePages();
    void undefinedBytes_data();
    void undefinedBytes();
    void roundTrips_data();
    void roundTrips();
    void profileEncoding_data();
    void profileEncoding();
    void everyDecodedCharacterEncodesBack();
};

void TestLegacyText::initTestCase() {
#ifdef Q_OS_WIN // which of the runs this is
    qInfo("ANSI code page %u", GetACP());
#endif
}

void TestLegacyText::decode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ascii") << QByteArray("Song") << QStringLiteral("Song");
    QTest::newRow("gbk pair") << QByteArray("\xC4\xE3\xBA\xC3") << QStringLiteral("你好");
    QTest::newRow("nul kept") << QByteArray("a\0b", 3)
                              << QString(QStringLiteral("a") + QChar(0) + u'b');
    // A lead byte cut off by the end of the bytes is one invalid byte, not the end of the text.
    QTest::newRow("lead at end") << QByteArray("ab\xC4") << QStringLiteral("ab\uFFFD");
    // A lead byte whose next byte cannot be a trail byte: both are read on their own.
    QTest::newRow("lead before digit") << QByteArray("\xC4"
                                                     "0\xC4\xE3")
                                       << QStringLiteral("\uFFFD0你");
    QTest::newRow("lead before nul")
        << QByteArray("\xC4\0x", 3) << QString(QStringLiteral("\uFFFD") + QChar(0) + u'x');
    QTest::newRow("empty") << QByteArray() << QString();
}

void TestLegacyText::decode() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(LegacyText::decode(bytes, LegacyText::kGbk), text);
}

void TestLegacyText::encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ascii") << QStringLiteral("D:/mp3/a.mp3") << QByteArray("D:/mp3/a.mp3");
    QTest::newRow("chinese") << QStringLiteral("你好-歌手")
                             << QByteArray("\xC4\xE3\xBA\xC3-\xB8\xE8\xCA\xD6");
    // Characters outside the code page become "?" and the rest of the text follows unharmed.
    QTest::newRow("korean") << QStringLiteral("a한b") << QByteArray("a?b");
    QTest::newRow("emoji is one mark") << QStringLiteral("x\U0001F3B5y") << QByteArray("x?y");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u'z' << QByteArray("?z");
}

void TestLegacyText::encode() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(LegacyText::encode(text, LegacyText::kGbk), bytes);
}

void TestLegacyText::codesTellOneByteFromTwo() {
    const auto d =
        LegacyText::decodeWithCodes(QByteArray("\x01\xC4\xE3(\0\xFF", 6), LegacyText::kGbk);
    QCOMPARE(d.text().size(), 5);
    QCOMPARE(d.codes.size(), 5);
    QCOMPARE(d.codes[0], quint16(1));
    QCOMPARE(LegacyText::byteCount(d.codes[1]), 2); // the pair: never 0, never a control code
    QCOMPARE(d.text()[1], QChar(u'你'));
    QCOMPARE(d.codes[2], quint16('('));
    QCOMPARE(d.codes[3], quint16(0));
    QCOMPARE(d.text()[3], QChar(0));
    QCOMPARE(d.codes[4], quint16(0xFF));
}

// Decoding in the code pages beside the system's, what a cut at the end drops, and how many
// bytes each character took, as the RealMedia scan and the profile-file limits count them.
void TestLegacyText::otherCodePages_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cutText");
    QTest::addColumn<QList<int>>("widths");

    using namespace LegacyText;
    QTest::newRow("utf-8") << kUtf8 << "a\xC3\xA9\xE6\xAD\x8C\xF0\x9F\x8E\xB5"_ba
                           << u"aé歌\U0001F3B5"_s << u"aé歌\U0001F3B5"_s << QList<int>{1, 2, 3, 4};
    QTest::newRow("utf-8 cut") << kUtf8 << "a\xF0\x9F\x8E"_ba << u"a\uFFFD\uFFFD\uFFFD"_s << u"a"_s
                               << QList<int>{1, 1, 1, 1};
    // Overlong forms, surrogates and stray continuation bytes are one bad byte each.
    QTest::newRow("utf-8 invalid")
        << kUtf8 << "\xC0\xAF\xED\xA0\x80\x80z"_ba << u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDz"_s
        << u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDz"_s << QList<int>{1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("gb18030 cut") << kGb18030 << "\xD2\xBB\x81\x39\xEE"_ba << u"一\uFFFD9\uFFFD"_s
                                 << u"一"_s << QList<int>{2, 1, 1, 1};
    QTest::newRow("big5 lead at end")
        << kBig5 << "\xA4\x40\xA4"_ba << u"一\uFFFD"_s << u"一"_s << QList<int>{2, 1};
    QTest::newRow("1251 has no pairs")
        << kWindows1251 << "\xA4\x40"_ba << u"¤@"_s << u"¤@"_s << QList<int>{1, 1};
}

void TestLegacyText::otherCodePages() {
    QFETCH(int, codePage);
    if (TestFiles::wineLacksCodePage(unsigned(codePage)))
        SKIP_TEST("Wine: no code page 54936 (IsValidCodePage says false), which Windows has");
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, widths);
    QTEST(LegacyText::decode(bytes, codePage), "text");
    QTEST(LegacyText::decodeCut(bytes, codePage), "cutText");
    const LegacyText::Decoded d = LegacyText::decodeWithCodes(bytes, codePage);
    QList<int> taken;
    for (const quint16 code : d.codes)
        taken.append(int(LegacyText::byteCount(code)));
    QCOMPARE(taken, widths);
    QCOMPARE(d.text(), LegacyText::decode(bytes, codePage));
}

// Bytes a code page leaves undefined are no character: U+FFFD, so that the line shows yellow
// and no invisible character reaches a name. A user-defined area decodes as Windows maps it, to
// private use.
void TestLegacyText::undefinedBytes_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    using namespace LegacyText;
    QTest::newRow("gbk 0xFF") << kGbk << "a\xFF"_ba << u"a\uFFFD"_s;
    QTest::newRow("cp936 0x80 is the euro") << kGbk << "\x80"_ba << u"€"_s;
    QTest::newRow("gbk lead before a blank") << kGbk << "\x81 "_ba << u"\uFFFD "_s;
    QTest::newRow("gb18030 0x80 and 0xFF") << kGb18030 << "\x80\xFF"_ba << u"\uFFFD\uFFFD"_s;
    QTest::newRow("big5 0x80") << kBig5 << "\x80x"_ba << u"\uFFFDx"_s;
    QTest::newRow("big5 0xFF") << kBig5 << "\xFF"_ba << u"\uFFFD"_s;
    QTest::newRow("shift_jis 0xA0") << kShiftJis << "\xA0"_ba << u"\uFFFD"_s;
    QTest::newRow("euc-kr 0xFF") << kEucKr << "\xFF"_ba << u"\uFFFD"_s;
    QTest::newRow("1252 0x81") << kWindows1252 << "\x81\x8D"_ba << u"\uFFFD\uFFFD"_s;
    QTest::newRow("1251 0x98") << kWindows1251 << "\x98"_ba << u"\uFFFD"_s;
    QTest::newRow("big5 user-defined area") << kBig5 << "\x81\x40"_ba << u"\uEEB8"_s;
    // "あい" in Shift_JIS lies in Big5's user-defined area: never a blank title.
    QTest::newRow("shift_jis read as big5")
        << kBig5 << "\x82\xA0\x82\xA2"_ba << u"\uFFFD\uFFFD\uEF95"_s;
}

void TestLegacyText::undefinedBytes() {
    QFETCH(int, codePage);
    if (TestFiles::wineLacksCodePage(unsigned(codePage)))
        SKIP_TEST("Wine: no code page 54936 (IsValidCodePage says false), which Windows has");
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTEST(LegacyText::decode(bytes, codePage), "text");
}

// Each code page a Windows system may have as its ANSI code page: text it can write comes back
// exactly, and only a character it lacks turns into "?".
void TestLegacyText::roundTrips_data() {
    using namespace LegacyText;
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("whole");
    QTest::newRow("gbk") << kGbk << u"歌手《》"_s << "\xB8\xE8\xCA\xD6\xA1\xB6\xA1\xB7"_ba << true;
    QTest::newRow("gbk lacks hangul") << kGbk << u"歌한"_s << "\xB8\xE8?"_ba << false;
    QTest::newRow("shift_jis") << kShiftJis << u"歌手の曲"_s
                               << "\x89\xCC\x8E\xE8\x82\xCC\x8B\xC8"_ba << true;
    QTest::newRow("big5") << kBig5 << u"歌手臺灣"_s << "\xBA\x71\xA4\xE2\xBB\x4F\xC6\x57"_ba
                          << true;
    QTest::newRow("949") << kEucKr << u"가수 노래"_s << "\xB0\xA1\xBC\xF6\x20\xB3\xEB\xB7\xA1"_ba
                         << true;
    QTest::newRow("1252") << kWindows1252 << u"Café €"_s << "Caf\xE9 \x80"_ba << true;
    QTest::newRow("1252 lacks chinese") << kWindows1252 << u"a歌"_s << "a?"_ba << false;
    QTest::newRow("1251") << kWindows1251 << u"Песня"_s << "\xCF\xE5\xF1\xED\xFF"_ba << true;
    // The ANSI code page under "UTF-8 for worldwide language support": three and four bytes.
    QTest::newRow("utf-8") << kUtf8 << u"歌手🎵한"_s
                           << "\xE6\xAD\x8C\xE6\x89\x8B\xF0\x9F\x8E\xB5\xED\x95\x9C"_ba << true;
    QTest::newRow("a typed ? is no loss") << kGbk << u"?歌"_s << "?\xB8\xE8"_ba << true;
    QTest::newRow("outside the plane") << kGbk << u"🎵"_s << "?"_ba << false;
}

void TestLegacyText::roundTrips() {
    QFETCH(int, codePage);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, whole);
    QCOMPARE(LegacyText::encode(text, codePage), bytes);
    QCOMPARE(LegacyText::canEncode(text, codePage), whole);
    if (whole)
        QCOMPARE(LegacyText::decode(bytes, codePage), text);
}

void TestLegacyText::profileEncoding_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("codePage");
    // Windows reads every file without the mark in its code page, a new one too.
#ifdef Q_OS_WIN
    const int unmarked = LegacyText::kSystemCodePage;
#else
    const int unmarked = LegacyText::kUtf8;
#endif
    QTest::newRow("mark") << "\xEF\xBB\xBF[a]\r\nx=\xC4\xE3"_ba << LegacyText::kUtf8;
    QTest::newRow("utf-8") << "x=\xE3\x80\x8A"_ba << unmarked;
    QTest::newRow("new") << QByteArray() << unmarked;
    QTest::newRow("gbk") << "x=\xA1\xB6"_ba << LegacyText::kSystemCodePage;
    // Overlong forms are no UTF-8: a decoder that took them would read "/" out of three bytes.
    QTest::newRow("overlong three") << "x=\xE0\x80\xAF"_ba << LegacyText::kSystemCodePage;
    QTest::newRow("overlong four") << "x=\xF0\x80\x80\xAF"_ba << LegacyText::kSystemCodePage;
}

void TestLegacyText::profileEncoding() {
    QFETCH(QByteArray, content);
    QTEST(LegacyText::profileCodePage(content), "codePage");
}

void TestLegacyText::everyDecodedCharacterEncodesBack() {
    int pairs = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            const QByteArray bytes(pair, 2);
            const QString text = LegacyText::decode(bytes, LegacyText::kGbk);
            if (text.size() != 1)
                continue;
            ++pairs;
            const QByteArray back = LegacyText::encode(text, LegacyText::kGbk);
            // A character may have more than one byte form; it must at least decode the same.
            QCOMPARE(LegacyText::decode(back, LegacyText::kGbk), text);
        }
    }
    QVERIFY2(pairs > 20000, "the code page should have its two-byte characters");
}

QTEST_GUILESS_MAIN(TestLegacyText)
#include "tst_legacytext.moc"
