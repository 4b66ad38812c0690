#include "filebox/FileBoxNames.h"
#include "platform/ChineseCollator.h"

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

// A long list is sorted another way than a short one: it must still be the collator's order,
// ties broken alike.
void TestFileBoxNames::orderOfManyIsTheCollatorsOrder() {
    const QString alphabet = u" -_.aAbBzZ09阿张李éÉ"_s;
    QRandomGenerator random(7);
    QStringList names;
    for (int i = 0; i < 500; ++i) {
        QString name;
        for (int length = random.bounded(1, 7); length > 0; --length)
            name += alphabet.at(random.bounded(int(alphabet.size())));
        names << name;
    }
    QStringList expected = names;
    const ChineseCollator collator;
    std::stable_sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    FileBoxNames::sort(names);
    QCOMPARE(names, expected);
}

QTEST_GUILESS_MAIN(TestFileBoxNames)
#include "tst_fileboxnames.moc"
