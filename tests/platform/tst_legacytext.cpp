#include "platform/LegacyText.h"

#include <QTest>

class TestLegacyText : public QObject {
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void encode_data();
    void encode();
    void codesTellOneByteFromTwo();
    void everyDecodedCharacterEncodesBack();
};

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
    QCOMPARE(LegacyText::decode(bytes), text);
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
    QCOMPARE(LegacyText::encode(text), bytes);
}

void TestLegacyText::codesTellOneByteFromTwo() {
    const auto d = LegacyText::decodeWithCodes(QByteArray("\x01\xC4\xE3(\0\xFF", 6));
    QCOMPARE(d.text.size(), 5);
    QCOMPARE(d.codes.size(), 5);
    QCOMPARE(d.codes[0], quint16(1));
    QVERIFY(d.codes[1] >= 0x100); // the pair: never 0, never a control code
    QCOMPARE(d.text[1], QChar(u'你'));
    QCOMPARE(d.codes[2], quint16('('));
    QCOMPARE(d.codes[3], quint16(0));
    QCOMPARE(d.text[3], QChar(0));
    QCOMPARE(d.codes[4], quint16(0xFF));
}

void TestLegacyText::everyDecodedCharacterEncodesBack() {
    int pairs = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            const QByteArray bytes(pair, 2);
            const QString text = LegacyText::decode(bytes);
            if (text.size() != 1)
                continue;
            ++pairs;
            const QByteArray back = LegacyText::encode(text);
            // A character may have more than one byte form; it must at least decode the same.
            QCOMPARE(LegacyText::decode(back), text);
        }
    }
    QVERIFY2(pairs > 20000, "the code page should have its two-byte characters");
}

QTEST_GUILESS_MAIN(TestLegacyText)
#include "tst_legacytext.moc"
