#include "filebox/FileBoxNames.h"
#include "platform/ChineseCollator.h"
#include "support/TestFiles.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

class TestFileBoxNames : public QObject {
    Q_OBJECT
private slots:
    void matching_data();
    void matching();
    void order_data();
    void order();
    void orderOfManyIsTheCollatorsOrder_data();
    void orderOfManyIsTheCollatorsOrder();
};

void TestFileBoxNames::matching_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("matched");
    QTest::newRow("all") << u"*.*"_s
                         << QStringList{u"a.mp3"_s,     u"B.MP3"_s,   u"c.rm"_s, u"readme"_s,
                                        u"x.mp3.bak"_s, u"[1].mp3"_s, u"end."_s};
    QTest::newRow("one type, any case")
        << u"*.mp3"_s << QStringList{u"a.mp3"_s, u"B.MP3"_s, u"[1].mp3"_s};
    QTest::newRow("no extension") << u"*."_s << QStringList{u"readme"_s};
    QTest::newRow("as Combo1 gives it") << u"*.rm; *.;"_s << QStringList{u"c.rm"_s, u"readme"_s};
    QTest::newRow("brackets are plain") << u"[1]*"_s << QStringList{u"[1].mp3"_s};
    QTest::newRow("stars") << u"*p*3"_s << QStringList{u"a.mp3"_s, u"B.MP3"_s, u"[1].mp3"_s};
}

void TestFileBoxNames::matching() {
    QFETCH(QString, pattern);
    QFETCH(QStringList, matched);
    const QStringList names{u"a.mp3"_s,     u"B.MP3"_s,   u"c.rm"_s, u"readme"_s,
                            u"x.mp3.bak"_s, u"[1].mp3"_s, u"end."_s};
    QCOMPARE(FileBoxNames::matching(names, pattern), matched);
}

void TestFileBoxNames::order_data() {
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("symbols, digits, latin, chinese")
        << QStringList{u"_b"_s, u"1a"_s, u"a c"_s, u"a-c"_s, u"ab"_s, u"B"_s, u"阿"_s, u"张"_s};
    QTest::newRow("latin before chinese inside a name")
        << QStringList{u"ab.txt"_s, u"abc.txt"_s, u"ab张.txt"_s};
    // The blank and the symbols in one order on every system, before digits and letters.
    QStringList symbols;
    for (const QChar c : u" _-,;:!?.'\"()[]{}@*/\\&#%`^+<=>|~$0a"_s)
        symbols << u"a"_s + c + u"c"_s;
    QTest::newRow("symbols in one order everywhere") << symbols;
    QTest::newRow("case ignored, then a fixed order")
        << QStringList{u"A.mp3"_s, u"a.mp3"_s, u"b.mp3"_s, u"C.mp3"_s};
    // A ligature that stands for many letters: its key outgrows a first guess.
    const QString longName = QString(400, QChar(0xFDFA));
    QTest::newRow("long names") << QStringList{longName + u"a"_s, longName + u"B"_s,
                                               longName + u"阿"_s};
}

void TestFileBoxNames::order() {
    QFETCH(QStringList, sorted);
    QStringList names = sorted;
    std::reverse(names.begin(), names.end());
    FileBoxNames::sort(names);
    QCOMPARE(names, sorted);
}

// Long lists are sorted by ICU's keys, lists of ASCII names by a table of the collator's own:
// either is ICU's order, names equal but for letter case in a fixed order.
void TestFileBoxNames::orderOfManyIsTheCollatorsOrder_data() {
    QTest::addColumn<QString>("alphabet");
    QString ascii;
    for (char16_t c = 0x20; c < 0x7F; ++c)
        ascii += QChar(c);
    QTest::newRow("printable ASCII") << ascii;
    QTest::newRow("mixed") << u" -_.aAbBzZ09阿张李éÉ\t"_s;
}

void TestFileBoxNames::orderOfManyIsTheCollatorsOrder() {
    QFETCH(QString, alphabet);
    const ChineseCollator collator;
    if (!collator.hasSortKeys())
        SKIP_TEST("the system's own order, without ICU");
    QRandomGenerator random(7);
    QStringList names;
    for (int i = 0; i < 2000; ++i) {
        QString name;
        for (int length = random.bounded(1, 7); length > 0; --length)
            name += alphabet.at(random.bounded(int(alphabet.size())));
        names << name;
    }
    const auto keyOf = [&](const QString &name) {
        std::string key;
        collator.appendSortKey(name, key);
        return key;
    };
    QStringList expected = names;
    std::sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) {
        const int order = keyOf(a).compare(keyOf(b));
        return order != 0 ? order < 0 : a < b;
    });
    FileBoxNames::sort(names);
    QCOMPARE(names, expected);
}

QTEST_GUILESS_MAIN(TestFileBoxNames)
#include "tst_fileboxnames.moc"
