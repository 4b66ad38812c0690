#include "list/EntryList.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

RenameEntry entry(const QString &name, const QString &dir = QStringLiteral("/music/")) {
    return {dir, name, QStringLiteral("new-") + name, QStringLiteral("title-") + name,
            QStringLiteral("singer-") + name};
}

QStringList shownNames(EntryList &list) {
    QStringList names;
    for (int i = 0; i < list.lineCount(); ++i)
        names << list.model()->index(i, 0).data().toString();
    return names;
}

void fill(EntryList &list, const QStringList &names) {
    for (const QString &n : names)
        list.table().append(entry(n));
    list.RefreshEntryList();
}

} // namespace

class TestEntryList : public QObject {
    Q_OBJECT
private slots:
    void startsEmpty();
    void counterForms_data();
    void counterForms();
    void viewShowsAllFourFields();
    void viewChangesOnlyOnRebuild();
    void deleteCurrent_data();
    void deleteCurrent();
    void deleteLeavesNoStaleData();
    void deleteOrClearOnEmptyListChangesNothing();
    void deleteWithoutCurrentLineChangesNothing();
    void clearEmptiesEverything();
    void tableGrowsPastAThousand();
    void sameNameInTwoDirectories();
    void refreshAsksForFocus();
};

void TestEntryList::startsEmpty() {
    EntryTable table;
    EntryList list(table);
    QCOMPARE(list.counterText(), QStringLiteral("0/0"));
    QCOMPARE(list.lineCount(), 0);
    QCOMPARE(table.NextEntryRow(), 1);
    list.RefreshEntryList();
    QCOMPARE(list.counterText(), QStringLiteral("0/0"));
}

void TestEntryList::counterForms_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("clicked"); // 0: no click after the rebuild
    QTest::addColumn<QString>("counter");

    QTest::newRow("rebuild 3") << 3 << 0 << QStringLiteral("1/ 3");
    QTest::newRow("rebuild 12") << 12 << 0 << QStringLiteral("1/ 12");
    QTest::newRow("click 2 of 3") << 3 << 2 << QStringLiteral(" 2/ 3");
    QTest::newRow("click 3 of 12") << 12 << 3 << QStringLiteral(" 3/ 12");
    QTest::newRow("click 1 of 1") << 1 << 1 << QStringLiteral(" 1/ 1");
}

void TestEntryList::counterForms() {
    QFETCH(int, lines);
    QFETCH(int, clicked);
    QFETCH(QString, counter);

    EntryTable table;
    EntryList list(table);
    QStringList names;
    for (int i = 1; i <= lines; ++i)
        names << QStringLiteral("%1.mp3").arg(i);
    fill(list, names);
    QCOMPARE(list.currentLine(), 1);
    if (clicked) {
        list.setCurrentLine(clicked);
        list.ShowCurrentPosition();
    }
    QCOMPARE(list.counterText(), counter);
}

void TestEntryList::viewShowsAllFourFields() {
    EntryTable table;
    EntryList list(table);
    fill(list, {QStringLiteral("a.mp3")});
    QAbstractItemModel *m = list.model();
    QCOMPARE(m->columnCount(), 4);
    QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("a.mp3"));
    QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("new-a.mp3"));
    QCOMPARE(m->index(0, 2).data().toString(), QStringLiteral("title-a.mp3"));
    QCOMPARE(m->index(0, 3).data().toString(), QStringLiteral("singer-a.mp3"));
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("原文件名"));
    QCOMPARE(m->headerData(3, Qt::Horizontal).toString(), QStringLiteral("歌手"));
}

void TestEntryList::viewChangesOnlyOnRebuild() {
    EntryTable table;
    EntryList list(table);
    fill(list, {QStringLiteral("a.mp3")});
    table.append(entry(QStringLiteral("b.mp3")));
    QCOMPARE(list.lineCount(), 1);
    QCOMPARE(list.counterText(), QStringLiteral("1/ 1"));
    list.RefreshEntryList();
    QCOMPARE(shownNames(list), QStringList({QStringLiteral("a.mp3"), QStringLiteral("b.mp3")}));
}

void TestEntryList::deleteCurrent_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<QString>("counter");

    QTest::newRow("middle of three")
        << 3 << 2 << QStringList{u"1"_s, u"3"_s} << QStringLiteral(" 1/ 2");
    QTest::newRow("last of three")
        << 3 << 3 << QStringList{u"1"_s, u"2"_s} << QStringLiteral(" 1/ 2");
    QTest::newRow("first of three")
        << 3 << 1 << QStringList{u"2"_s, u"3"_s} << QStringLiteral(" 1/ 2");
    QTest::newRow("only line") << 1 << 1 << QStringList{} << QStringLiteral("0/0");
}

void TestEntryList::deleteCurrent() {
    QFETCH(int, lines);
    QFETCH(int, current);
    QFETCH(QStringList, remaining);
    QFETCH(QString, counter);

    EntryTable table;
    EntryList list(table);
    QStringList names;
    for (int i = 1; i <= lines; ++i)
        names << QString::number(i);
    fill(list, names);
    list.setCurrentLine(current);
    list.DeleteCurrentEntry();

    QCOMPARE(shownNames(list), remaining);
    QCOMPARE(list.counterText(), counter);
    QCOMPARE(table.NextEntryRow(), lines);
    QCOMPARE(list.currentLine(), remaining.isEmpty() ? 0 : 1);
    for (int r = 1; r <= remaining.size(); ++r)
        QCOMPARE(table.row(r).title, QStringLiteral("title-") + remaining[r - 1]);
    QVERIFY(table.row(lines).isEmpty());
}

void TestEntryList::deleteLeavesNoStaleData() {
    EntryTable table;
    EntryList list(table);
    fill(list, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    list.setCurrentLine(2);
    list.DeleteCurrentEntry();

    // The next entry goes to the freed row, which must hold nothing of the moved entries.
    const int r = table.NextEntryRow();
    QCOMPARE(r, 3);
    RenameEntry &fresh = table.row(r);
    QVERIFY(fresh.isEmpty());
    fresh.directory = QStringLiteral("/other/");
    fresh.originalName = QStringLiteral("untagged.mp3");
    table.setNextEntryRow(r + 1);
    list.RefreshEntryList();
    QCOMPARE(list.model()->index(2, 2).data().toString(), QString());
    QCOMPARE(list.model()->index(2, 3).data().toString(), QString());
}

void TestEntryList::deleteOrClearOnEmptyListChangesNothing() {
    EntryTable table;
    EntryList list(table);
    QSignalSpy counterSpy(&list, &EntryList::counterTextChanged);
    list.DeleteCurrentEntry();
    list.ClearEntries();
    list.ShowCurrentPosition();
    QCOMPARE(counterSpy.count(), 0);
    QCOMPARE(list.counterText(), QStringLiteral("0/0"));
    QCOMPARE(table.NextEntryRow(), 1);
}

void TestEntryList::deleteWithoutCurrentLineChangesNothing() {
    EntryTable table;
    EntryList list(table);
    fill(list, {QStringLiteral("a"), QStringLiteral("b")});
    list.setCurrentLine(2);
    list.ShowCurrentPosition();
    list.selectionModel()->clear();
    list.DeleteCurrentEntry();
    list.ShowCurrentPosition();
    QCOMPARE(shownNames(list), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    QCOMPARE(list.counterText(), QStringLiteral(" 2/ 2"));
    QCOMPARE(table.NextEntryRow(), 3);
}

void TestEntryList::clearEmptiesEverything() {
    EntryTable table;
    EntryList list(table);
    fill(list, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
    list.ClearEntries();
    QCOMPARE(list.lineCount(), 0);
    QCOMPARE(list.counterText(), QStringLiteral("0/0"));
    QCOMPARE(table.NextEntryRow(), 1);
    for (int r = 0; r <= 6; ++r)
        QVERIFY(table.row(r).isEmpty());
    table.append(entry(QStringLiteral("x")));
    list.RefreshEntryList();
    QCOMPARE(shownNames(list), QStringList{QStringLiteral("x")});
}

void TestEntryList::tableGrowsPastAThousand() {
    EntryTable table;
    EntryList list(table);
    for (int i = 0; i < 1500; ++i)
        table.append(entry(QString::number(i)));
    list.RefreshEntryList();
    QCOMPARE(list.lineCount(), 1500);
    QCOMPARE(list.counterText(), QStringLiteral("1/ 1500"));
    QCOMPARE(table.NextEntryRow(), 1501);
    QCOMPARE(list.model()->index(1499, 0).data().toString(), QStringLiteral("1499"));
}

void TestEntryList::sameNameInTwoDirectories() {
    EntryTable table;
    EntryList list(table);
    table.append(entry(QStringLiteral("a.mp3"), QStringLiteral("/one/")));
    table.append(entry(QStringLiteral("a.mp3"), QStringLiteral("/two/")));
    list.RefreshEntryList();
    QCOMPARE(shownNames(list), QStringList({QStringLiteral("a.mp3"), QStringLiteral("a.mp3")}));
    QCOMPARE(table.row(1).path(), QStringLiteral("/one/a.mp3"));
    QCOMPARE(table.row(2).path(), QStringLiteral("/two/a.mp3"));
}

void TestEntryList::refreshAsksForFocus() {
    EntryTable table;
    EntryList list(table);
    QSignalSpy focusSpy(&list, &EntryList::focusRequested);
    list.RefreshEntryList();
    QCOMPARE(focusSpy.count(), 1);
}

QTEST_GUILESS_MAIN(TestEntryList)
#include "tst_entrylist.moc"
