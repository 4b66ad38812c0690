#include "list/EntryList.h"
#include "rename/RenamePreview.h"
#include "rename/RenameVerdict.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TestRenamePreview : public QObject {
    Q_OBJECT
private slots:
    void marksSayWhatTheRunWouldRefuse();
    void undecodedTagTextShown();
    void marksOfAnOlderListAreDropped();
    void sameNewNamesPairEachWithTheFirst();
};

namespace {

QStringList tooltips(EntryList &list, int column = 1) {
    QStringList tips;
    for (int line = 0; line < list.lineCount(); ++line)
        tips << list.model()->index(line, column).data(Qt::ToolTipRole).toString();
    return tips;
}

} // namespace

// A new name another line also gets in the same folder, one an existing file other than the
// line's own holds, one no file can have and one of the program's own files mark the line; the
// same name in another folder or the file's own name do not.
void TestRenamePreview::marksSayWhatTheRunWouldRefuse() {
    QTemporaryDir tmp;
    const QString dir = tmp.path() + u'/';
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3", "kept.mp3", "taken.mp3", "d.mp3"})
        QVERIFY(TestFiles::write(dir + QString::fromLatin1(name), name));
    EntryList list;
    RenamePreview preview(list, dir);
    list.table().append({dir, u"a.mp3"_s, u"x.mp3"_s, {}, {}});
    list.table().append({dir, u"b.mp3"_s, u"x.mp3"_s, {}, {}});
    list.table().append({u"/elsewhere/"_s, u"b.mp3"_s, u"x.mp3"_s, {}, {}});
    list.table().append({dir, u"c.mp3"_s, u"taken.mp3"_s, {}, {}});
    list.table().append({dir, u"kept.mp3"_s, u"kept.mp3"_s, {}, {}});
    list.table().append({dir, u"d.mp3"_s, u"a\nb.mp3"_s, {}, {}});
    list.table().append({dir, u"d.mp3"_s, u"rename.ini"_s, {}, {}});
    list.RefreshEntryList();
    preview.waitForMarks();
    QCOMPARE(tooltips(list), (QStringList{u"新文件名与第 2 行相同"_s, u"新文件名与第 1 行相同"_s,
                                          QString(), u"已有同名文件：taken.mp3"_s, QString(),
                                          u"文件名含有控制字符"_s, u"这是本程序自己的文件名"_s}));
}

// A title or singer holding U+FFFD marks its line, beside any conflict of its new name.
void TestRenamePreview::undecodedTagTextShown() {
    EntryList list;
    RenamePreview preview(list, {});
    list.table().append({u"/d/"_s, u"a.mp3"_s, u"a.mp3"_s, u"\uFFFDx"_s, {}});
    list.table().append({u"/d/"_s, u"b.mp3"_s, u"b.mp3"_s, u"fine"_s, u"y\uFFFD"_s});
    list.table().append({u"/d/"_s, u"c.mp3"_s, u"b.mp3"_s, u"fine"_s, u"ok"_s});
    list.RefreshEntryList();
    preview.waitForMarks();
    const auto data = [&](int line, int role) { return list.model()->index(line, 2).data(role); };
    const QString hint = u"标签中有无法识别的字节，标签编码可能不对"_s;
    QCOMPARE(data(0, EntryListModel::UndecodedRole).toBool(), true);
    QCOMPARE(data(0, Qt::ToolTipRole).toString(), hint);
    QCOMPARE(data(1, Qt::ToolTipRole).toString(), u"新文件名与第 3 行相同\n"_s + hint);
    QCOMPARE(data(2, EntryListModel::UndecodedRole).toBool(), false);
    QCOMPARE(data(2, Qt::ToolTipRole).toString(), u"新文件名与第 2 行相同"_s);
}

// Answers from the disk about a list that has been rebuilt since never mark the new lines.
void TestRenamePreview::marksOfAnOlderListAreDropped() {
    QTemporaryDir tmp;
    const QString dir = tmp.path() + u'/';
    QStringList taken;
    EntryList list;
    RenamePreview preview(list, {});
    for (int i = 0; i < 2000; ++i) {
        const QString name = u"t%1.mp3"_s.arg(i);
        QVERIFY(TestFiles::write(dir + name, "x"));
        list.table().append({dir, u"s%1.mp3"_s.arg(i), name, {}, {}});
    }
    list.RefreshEntryList();
    // Rebuilt at once with lines that rename to free names.
    for (int i = 0; i < 2000; ++i)
        list.table()[i].newName = u"free%1.mp3"_s.arg(i);
    list.RefreshEntryList();
    preview.waitForMarks();
    QCoreApplication::processEvents();
    QCOMPARE(tooltips(list).join(QString()), QString());
}

// Steps giving one name in one folder: the first points at the second, every later one at the
// first; a name in another folder, or given once, points nowhere. Many steps, few names.
void TestRenamePreview::sameNewNamesPairEachWithTheFirst() {
    QVector<RenameStep> steps;
    for (int i = 0; i < 3000; ++i) {
        const QString folder = i % 7 == 0 ? u"/b/"_s : u"/a/"_s;
        steps.append({FilePath(folder), u"o%1.mp3"_s.arg(i), u"n%1.mp3"_s.arg(i * 37 % 1000)});
    }
    const QVector<int> same = sameNewNames(steps);
    QHash<QString, QList<int>> byName;
    for (int i = 0; i < steps.size(); ++i)
        byName[steps.at(i).folder.text() + steps.at(i).newName].append(i);
    for (const QList<int> &group : std::as_const(byName)) {
        if (group.size() == 1) {
            QCOMPARE(same.at(group.first()), -1);
            continue;
        }
        QCOMPARE(same.at(group.at(0)), group.at(1));
        for (qsizetype k = 1; k < group.size(); ++k)
            QCOMPARE(same.at(group.at(k)), group.at(0));
    }
}

QTEST_GUILESS_MAIN(TestRenamePreview)
#include "tst_renamepreview.moc"
