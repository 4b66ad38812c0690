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
    void deleteOrClearOnEmptyListChangesNothing();
    void deleteWithoutCurrentLineChangesNothing();
    void clearEmptiesEverything();
    void tableGrowsPastAThousand();
    void tableAcrossItsBlocks();
    void sameNameInTwoDirectories();
    void refreshAsksForFocus();
};

void TestEntryList::startsEmpty() {
    EntryList list;
    QCOMPARE(list.counterText(), QStringLiteral("0/0"));
    QCOMPARE(list.lineCount(), 0);
    QVERIFY(list.table().isEmpty());
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

    EntryList list;
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
    EntryList list;
    fill(list, {QStringLiteral("a.mp3")});
    QAbstractItemModel *m = list.model();
    QCOMPARE(m->columnCount(), 4);
    QCOMPARE(m->index(0, EntryListModel::OriginalName).data().toString(), u"a.mp3"_s);
    QCOMPARE(m->index(0, EntryListModel::NewName).data().toString(), u"new-a.mp3"_s);
    QCOMPARE(m->index(0, EntryListModel::Title).data().toString(), u"title-a.mp3"_s);
    QCOMPARE(m->index(0, EntryListModel::Singer).data().toString(), u"singer-a.mp3"_s);
    QCOMPARE(m->headerData(EntryListModel::OriginalName, Qt::Horizontal).toString(), u"原文件名"_s);
    QCOMPARE(m->headerData(EntryListModel::Singer, Qt::Horizontal).toString(), u"歌手"_s);
}

void TestEntryList::viewChangesOnlyOnRebuild() {
    EntryList list;
    fill(list, {QStringLiteral("a.mp3")});
    list.table().append(entry(QStringLiteral("b.mp3")));
    QCOMPARE(list.lineCount(), 1);
    QCOMPARE(list.counterText(), QStringLiteral("1/ 1"));
    list.RefreshEntryList();
    QCOMPARE(shownNames(list), QStringList({QStringLiteral("a.mp3"), QStringLiteral("b.mp3")}));
    // Lines whose entries went before a rebuild show nothing.
    list.table().clear();
    QCOMPARE(shownNames(list), QStringList({QString(), QString()}));
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

    EntryList list;
    QStringList names;
    for (int i = 1; i <= lines; ++i)
        names << QString::number(i);
    fill(list, names);
    list.setCurrentLine(current);
    list.DeleteCurrentEntry();

    QCOMPARE(shownNames(list), remaining);
    QCOMPARE(list.counterText(), counter);
    QCOMPARE(list.table().size(), lines - 1);
    QCOMPARE(list.currentLine(), remaining.isEmpty() ? 0 : 1);
    for (int i = 0; i < remaining.size(); ++i)
        QCOMPARE(list.table().at(i).title, QStringLiteral("title-") + remaining[i]);

    // An entry added afterwards shows nothing of the entries that moved.
    list.table().append({u"/other/"_s, u"untagged.mp3"_s, {}, {}, {}});
    list.RefreshEntryList();
    QCOMPARE(list.model()->index(lines - 1, EntryListModel::Title).data().toString(), QString());
    QCOMPARE(list.model()->index(lines - 1, EntryListModel::Singer).data().toString(), QString());
}

void TestEntryList::deleteOrClearOnEmptyListChangesNothing() {
    EntryList list;
    QSignalSpy counterSpy(&list, &EntryList::counterTextChanged);
    list.DeleteCurrentEntry();
    list.ClearEntries();
    list.ShowCurrentPosition();
    QCOMPARE(counterSpy.count(), 0);
    QCOMPARE(list.counterText(), QStringLiteral("0/0"));
    QVERIFY(list.table().isEmpty());
}

void TestEntryList::deleteWithoutCurrentLineChangesNothing() {
    EntryList list;
    fill(list, {QStringLiteral("a"), QStringLiteral("b")});
    list.setCurrentLine(2);
    list.ShowCurrentPosition();
    // A Ctrl+click takes the selection off the current line and leaves it current.
    list.selectionModel()->select(list.model()->index(1, 0),
                                  QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    QVERIFY(list.selectionModel()->currentIndex().isValid());
    list.DeleteCurrentEntry();
    list.selectionModel()->clear();
    list.DeleteCurrentEntry();
    list.ShowCurrentPosition();
    QCOMPARE(shownNames(list), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    QCOMPARE(list.counterText(), QStringLiteral(" 2/ 2"));
    QCOMPARE(list.table().size(), 2);
}

void TestEntryList::clearEmptiesEverything() {
    EntryList list;
    fill(list, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s});
    list.ClearEntries();
    QCOMPARE(list.lineCount(), 0);
    QCOMPARE(list.counterText(), QStringLiteral("0/0"));
    QVERIFY(list.table().isEmpty());
    list.table().append(entry(QStringLiteral("x")));
    list.RefreshEntryList();
    QCOMPARE(shownNames(list), QStringList{QStringLiteral("x")});
}

void TestEntryList::tableGrowsPastAThousand() {
    EntryList list;
    for (int i = 0; i < 1500; ++i)
        list.table().append(entry(QString::number(i)));
    list.RefreshEntryList();
    QCOMPARE(list.lineCount(), 1500);
    QCOMPARE(list.counterText(), QStringLiteral("1/ 1500"));
    QCOMPARE(list.table().size(), 1500);
    QCOMPARE(list.model()->index(1499, 0).data().toString(), QStringLiteral("1499"));
}

// Entries past the table's first blocks: a line deleted before them moves each up once, and a
// copy taken before a change keeps what it saw.
void TestEntryList::tableAcrossItsBlocks() {
    EntryTable table;
    for (int i = 0; i < 10000; ++i)
        table.append(entry(QString::number(i)));
    const EntryTable before = table;
    table.removeAt(10);
    table[9000].newName = QStringLiteral("changed");
    QCOMPARE(table.size(), 9999);
    QCOMPARE(table.at(10).originalName.text(), QStringLiteral("11"));
    QCOMPARE(table.at(4095).originalName.text(), QStringLiteral("4096"));
    QCOMPARE(table.at(9998).originalName.text(), QStringLiteral("9999"));
    QCOMPARE(before.size(), 10000);
    QCOMPARE(before.at(10).originalName.text(), QStringLiteral("10"));
    QVERIFY(before.at(9000).newName != QStringLiteral("changed"));
    while (table.size() > 4096)
        table.removeAt(table.size() - 1);
    table.append(entry(QStringLiteral("last")));
    QCOMPARE(table.at(4096).originalName.text(), QStringLiteral("last"));
    table.clear();
    QVERIFY(table.isEmpty());
}

void TestEntryList::sameNameInTwoDirectories() {
    EntryList list;
    list.table().append(entry(QStringLiteral("a.mp3"), QStringLiteral("/one/")));
    list.table().append(entry(QStringLiteral("a.mp3"), QStringLiteral("/two/")));
    list.RefreshEntryList();
    QCOMPARE(shownNames(list), QStringList({QStringLiteral("a.mp3"), QStringLiteral("a.mp3")}));
    QCOMPARE(list.table().at(0).path(), QStringLiteral("/one/a.mp3"));
    QCOMPARE(list.table().at(1).path(), QStringLiteral("/two/a.mp3"));
}

void TestEntryList::refreshAsksForFocus() {
    EntryList list;
    QSignalSpy focusSpy(&list, &EntryList::focusRequested);
    list.RefreshEntryList();
    QCOMPARE(focusSpy.count(), 1);
}

QTEST_GUILESS_MAIN(TestEntryList)
#include "tst_entrylist.moc"
