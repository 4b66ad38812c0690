#include "list/EntryList.h"
#include "tags/NameTemplate.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestNameTemplate : public QObject {
    Q_OBJECT
private slots:
    void expand_data();
    void expand();
    void reformatFollowsNewTemplate();
    void reformatEmptyListRebuildsEmpty();
};

void TestNameTemplate::expand_data() {
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<QString>("original");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("singer");
    QTest::addColumn<QString>("newName");

    const QString track = QStringLiteral("track01.mp3");
    QTest::newRow("default") << u"%1-%2"_s << track << u"Love"_s << u"Ann"_s << u"Love-Ann.mp3"_s;
    QTest::newRow("no singer") << u"%1-%2"_s << track << u"Love"_s << u""_s << u"Love-.mp3"_s;
    QTest::newRow("no tags") << u"%1-%2"_s << track << u""_s << u""_s << track;
    QTest::newRow("swapped") << u"%2 - %1"_s << track << u"Love"_s << u"Ann"_s
                             << u"Ann - Love.mp3"_s;
    QTest::newRow("no placeholder") << u"new"_s << track << u"Love"_s << u"Ann"_s << track;
    QTest::newRow("empty template") << u""_s << track << u"Love"_s << u"Ann"_s << track;
    QTest::newRow("unknown pair vanishes")
        << u"%1%3"_s << track << u"Love"_s << u"Ann"_s << u"Love.mp3"_s;
    QTest::newRow("percent percent") << u"%%1"_s << track << u"Love"_s << u"Ann"_s << track;
    QTest::newRow("percent letter") << u"%a%1"_s << track << u"Love"_s << u"Ann"_s << u"Love.mp3"_s;
    QTest::newRow("full-width digit")
        << u"%１%2"_s << track << u"Love"_s << u"Ann"_s << u"Ann.mp3"_s;
    QTest::newRow("trailing percent dropped")
        << u"%1%"_s << track << u"Love"_s << u"Ann"_s << u"Love.mp3"_s;
    QTest::newRow("lone percent") << u"%"_s << track << u"Love"_s << u"Ann"_s << track;
    QTest::newRow("last dot, case kept")
        << u"%1"_s << u"a.b.c.MP3"_s << u"Love"_s << u""_s << u"Love.MP3"_s;
    QTest::newRow("no dot, no extension")
        << u"%1"_s << u"alarm"_s << u"Love"_s << u""_s << u"Love"_s;
    QTest::newRow("question mark kept")
        << u"%1"_s << track << u"What?"_s << u""_s << u"What?.mp3"_s;
    // Placeholders that bring in nothing leave the literal text: the name stays.
    QTest::newRow("result equals literal") << u"x%1"_s << track << u""_s << u""_s << track;
    QTest::newRow("chinese") << u"%2《%1》"_s << u"01.mp3"_s << u"你好"_s << u"歌手"_s
                             << u"歌手《你好》.mp3"_s;
    // No file system takes a name past 255 (UTF-8 bytes off Windows, UTF-16 units on
    // Windows): such a name is cut and marked, and never built in full.
    const QString x251 = QString(251, u'x');
    QTest::newRow("at the limit") << u"%1"_s << track << x251 << u""_s << x251 + u".mp3"_s;
    QTest::newRow("suffix past the limit")
        << u"%1"_s << track << x251 + u'x' << u""_s << x251 + u"x.mp…"_s;
    QTest::newRow("longest template the box takes") << u"%1"_s.repeated(16383) << track << u"Love"_s
                                                    << u""_s << u"Love"_s.repeated(63) + u"Lov…"_s;
#ifndef Q_OS_WIN
    QTest::newRow("three bytes a character") // 85 * 3 + 4 bytes
        << u"%1"_s << track << QString(85, u'歌') << u""_s << QString(85, u'歌') + u".mp3…"_s;
#endif
}

void TestNameTemplate::expand() {
    QFETCH(QString, nameTemplate);
    QFETCH(QString, original);
    QFETCH(QString, title);
    QFETCH(QString, singer);
    QFETCH(QString, newName);

    QCOMPARE(ExpandNameTemplate(nameTemplate, {title, singer}, original), newName);
}

void TestNameTemplate::reformatFollowsNewTemplate() {
    EntryList list;
    EntryTable &table = list.table();
    table.append({u"/m/"_s, u"a.mp3"_s, u""_s, u"A"_s, u"x"_s});
    table.append({u"/m/"_s, u"b.RM"_s, u""_s, u"B"_s, u"y"_s});
    table.append({u"/n/"_s, u"c.mp3"_s, u""_s, u""_s, u""_s});
    list.ReformatNewNames(QStringLiteral("%1-%2"));
    list.ReformatNewNames(QStringLiteral("%2_%1"));
    QCOMPARE(table.at(0).newName, QStringLiteral("x_A.mp3"));
    QCOMPARE(table.at(1).newName, QStringLiteral("y_B.RM"));
    QCOMPARE(table.at(2).newName, QStringLiteral("c.mp3"));
    QCOMPARE(list.lineCount(), 3);
    QCOMPARE(list.model()->index(1, EntryListModel::NewName).data().toString(),
             QStringLiteral("y_B.RM"));
    QCOMPARE(list.counterText(), QStringLiteral("1/ 3"));
}

void TestNameTemplate::reformatEmptyListRebuildsEmpty() {
    EntryList list;
    list.ReformatNewNames(QStringLiteral("%1"));
    QCOMPARE(list.lineCount(), 0);
    QCOMPARE(list.counterText(), QStringLiteral("0/0"));
    QVERIFY(list.table().isEmpty());
}

QTEST_GUILESS_MAIN(TestNameTemplate)
#include "tst_nametemplate.moc"
