#include "list/EntryList.h"
#include "platform/LegacyText.h"
#include "tags/NameTemplate.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestNameTemplate : public QObject {
    Q_OBJECT
private slots:
    void expand_data();
    void expand();
    void fields_data();
    void fields();
    void safeNames_data();
    void safeNames();
    void doubtfulTextOfEveryFieldUsed();
    void reformatFollowsNewTemplate();
    void reformatKeepsEveryField();
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

// %3 to %7, each as the template shows it; every other pair still vanishes.
void TestNameTemplate::fields_data() {
    QTest::addColumn<QString>("nameTemplate");
    QTest::addColumn<QStringList>("fields"); // album, track, year, disc, album artist
    QTest::addColumn<QString>("newName");
    const QString none;
    QTest::newRow("album after title")
        << u"%1%3"_s << QStringList{u"Album"_s} << u"LoveAlbum.mp3"_s;
    QTest::newRow("album artist") << u"%7 - %1"_s << QStringList{none, none, none, none, u"Band"_s}
                                  << u"Band - Love.mp3"_s;
    for (const auto &[track, shown] : {std::pair(u"3"_s, u"03"_s),
                                       {u"003"_s, u"03"_s},
                                       {u"3/12"_s, u"03"_s},
                                       {u" 7 "_s, u"07"_s},
                                       {u"123"_s, u"123"_s},
                                       {u"0"_s, u"00"_s},
                                       {u"A1"_s, u"A1"_s},
                                       {u"/12"_s, u"/12"_s}})
        QTest::newRow(qPrintable(u"track "_s + track))
            << u"%4 %1"_s << QStringList{none, track} << shown + u" Love.mp3"_s;
    for (const auto &[date, shown] : {std::pair(u"2019-04-01"_s, u"2019"_s),
                                      {u"May 1999"_s, u"1999"_s},
                                      {u"99"_s, u"99"_s},
                                      {u"12345"_s, u"1234"_s},
                                      {u"unknown"_s, u"unknown"_s}})
        QTest::newRow(qPrintable(u"year "_s + date))
            << u"%5"_s << QStringList{none, none, date} << shown + u".mp3"_s;
    QTest::newRow("disc of two") << u"%6-%4"_s << QStringList{none, u"5"_s, none, u"1/2"_s}
                                 << u"1-05.mp3"_s;
    QTest::newRow("only empty fields") << u"x%3%4"_s << QStringList{} << u"track01.mp3"_s;
    QTest::newRow("eight, nine, zero vanish")
        << u"%8%9%0%1"_s << QStringList{u"a"_s, u"1"_s, u"2000"_s, u"1"_s, u"b"_s} << u"Love.mp3"_s;
}

void TestNameTemplate::fields() {
    QFETCH(QString, nameTemplate);
    QFETCH(QStringList, fields);
    TagText tags{u"Love"_s, {}};
    for (int i = 0; i < fields.size(); ++i)
        tags.*kTagFields[i + 2] = fields[i];
    QTEST(ExpandNameTemplate(nameTemplate, tags, u"track01.mp3"_s), "newName");
}

// The option's rule, on the title through "%1" (and "%1 %2" where a singer is given).
void TestNameTemplate::safeNames_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("newName");
    QTest::newRow("each unsafe character")
        << u"a\\b/c:d*e?f\"g<h>i|j"_s << u"a＼b／c：d＊e？f＂g＜h＞i｜j.mp3"_s;
    QTest::newRow("controls, separators and direction marks dropped")
        << u"a\tb\nc\u007Fd\u0085e\u2028f\u2029g\u202Eh\u2066i\u200Fj"_s << u"abcdefghij.mp3"_s;
    QTest::newRow("reversed extension shows as it is") << u"x\u202Egpj.3pm"_s << u"xgpj.3pm.mp3"_s;
    QTest::newRow("ends trimmed") << u"  Song . . "_s << u"Song.mp3"_s;
    QTest::newRow("dots inside kept") << u"Vol. 2"_s << u"Vol. 2.mp3"_s;
    QTest::newRow("device name") << u"CON"_s << u"CON_.mp3"_s;
    QTest::newRow("device name, any case") << u"com1"_s << u"com1_.mp3"_s;
    QTest::newRow("device name before a dot") << u"Aux.live"_s << u"Aux_.live.mp3"_s;
    QTest::newRow("longer than a device name") << u"CONSOLE"_s << u"CONSOLE.mp3"_s;
    QTest::newRow("nothing left") << u" ..\u202E"_s << u"track01.mp3"_s;
    QTest::newRow("too long: cut before the extension")
        << QString(300, u'a') << QString(251, u'a') + u".mp3"_s;
#ifndef Q_OS_WIN
    QTest::newRow("cut at a whole character") // 83 * 3 + 4 bytes fit in 255
        << QString(100, u'歌') << QString(83, u'歌') + u".mp3"_s;
#endif
    QTest::newRow("a cut that ends in a dot loses it")
        << QString(250, u'a') + u". b"_s.repeated(10) << QString(250, u'a') + u".mp3"_s;
}

void TestNameTemplate::safeNames() {
    QFETCH(QString, title);
    QTEST(ExpandNameTemplate(u"%1"_s, {title, {}}, u"track01.mp3"_s, true), "newName");
    // Off, the documented rule: nothing replaced.
    if (title == u"CON"_s)
        QCOMPARE(ExpandNameTemplate(u"%1"_s, {title, {}}, u"track01.mp3"_s), u"CON.mp3"_s);
}

// The yellow mark covers every field the template uses; title and singer always count.
void TestNameTemplate::doubtfulTextOfEveryFieldUsed() {
    TagText tags{u"fine"_s, u"ok"_s};
    tags.album = u"\uFFFD"_s;
    QVERIFY(!usesDoubtfulText(u"%1-%2"_s, tags));
    QVERIFY(usesDoubtfulText(u"%1-%3"_s, tags));
    QVERIFY(!usesDoubtfulText(u"%%3"_s, tags)); // an unrecognised pair, then a literal 3
    tags.singer = u"\uFFFD"_s;
    QVERIFY(usesDoubtfulText(u"%1"_s, tags));

    // What else a wrong code page leaves: its user-defined area's private-use characters
    // (Shift_JIS read as Big5 looks blank), control characters.
    for (const QByteArray &bytes : {"\x82\xA2\x82\xA4"_ba, "\x81\x40"_ba}) {
        const TagText big5{LegacyText::decode(bytes, LegacyText::kBig5), u"ok"_s};
        QVERIFY2(usesDoubtfulText(u"%1"_s, big5), bytes.toHex().constData());
    }
    QVERIFY(usesDoubtfulText(u"%1"_s, {u"a\u0001"_s, {}}));
    QVERIFY(!usesDoubtfulText(u"%1"_s, {u"歌 ♪ ü"_s, {}}));
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

// Every field the tag gave is kept for a new template, whatever its length.
void TestNameTemplate::reformatKeepsEveryField() {
    EntryList list;
    RenameEntry entry{u"/m/"_s, u"a.mp3"_s, {}, {}, {}};
    const QString longAlbum(70000, u'专');
    entry.name({u"T"_s, u"S"_s, longAlbum, u"7"_s, u"1999"_s, u"2/3"_s, u"AA"_s}, u"%1"_s, false);
    list.table().append(entry);
    list.table().append({u"/m/"_s, u"b.mp3"_s, {}, {}, {}});
    list.ReformatNewNames(u"%7 %6 %5 %4 %2 %1"_s);
    QCOMPARE(list.table().at(0).newName, u"AA 2 1999 07 S T.mp3"_s);
    QCOMPARE(list.table().at(0).tags().album, longAlbum);
    QCOMPARE(list.table().at(1).tags().album, QString());
    QCOMPARE(list.table().at(1).newName, u"b.mp3"_s);
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
