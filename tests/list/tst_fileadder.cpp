#include "list/EntryList.h"
#include "list/FileAdder.h"
#include "platform/LegacyText.h"
#include "support/FakeDialogs.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kRefusal = u"知你是这种人，pk!!!"_s;
const QChar kNul;

// Both readers find something in this file: a RealMedia header in front (Blue / Ann) and an
// ID3v1 block at the end (你好 / 歌手), so the title tells which reader ran.
QByteArray taggedBytes() {
    QByteArray b = ".RMF"_ba + QByteArray(14, '\0') + "CONT"_ba + QByteArray(6, '\0');
    for (const QByteArray &field : {"Blue"_ba, "Ann"_ba, "ABCD"_ba, QByteArray()})
        b += '\0' + QByteArray(1, static_cast<char>(field.size())) + field;
    b += "DATA"_ba;
    b.resize(1100, '\0');
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG"_ba).replace(3, 4, LegacyText::encode(u"你好"));
    tag.replace(33, 4, LegacyText::encode(u"歌手"));
    return b + tag;
}

struct Fixture {
    QTemporaryDir dir;
    EntryTable table;
    EntryList list{table};
    FakeDialogs dialogs;
    FileAdder adder{list, dialogs, [] { return u"%1-%2"_s; }};

    QString root() const { return QDir::toNativeSeparators(dir.path()); }
    void file(const QString &rel, const QByteArray &bytes = taggedBytes()) {
        const QString path = dir.filePath(rel);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void preset(int n) {
        for (int i = 1; i <= n; ++i)
            table.append({u"/old/"_s, u"o%1.mp3"_s.arg(i), u"n.mp3"_s, {}, {}});
        list.RefreshEntryList();
    }
    // Every row as directory relative to the temporary folder + "|" + name; checks for gaps.
    QStringList rows() const {
        QStringList out;
        for (int r = 1; r < table.NextEntryRow(); ++r) {
            QString d = table.row(r).directory;
            if (d.startsWith(root()))
                d = u"~"_s + d.mid(root().size());
            out << QDir::fromNativeSeparators(d) + u'|' + table.row(r).originalName;
        }
        [&] { QCOMPARE(table.entryCount(), int(out.size())); }();
        return out;
    }
};

QString packed(QStringList items) {
    return QDir::toNativeSeparators(items.join(kNul)) + kNul + kNul;
}

} // namespace

class TestFileAdder : public QObject {
    Q_OBJECT
private slots:
    void typeTestOnWholePath_data();
    void typeTestOnWholePath();
    void refusal_data();
    void refusal();
    void unpacking_data();
    void unpacking();
    void cancelChangesNothing();
    void scanTakesAudioFilesDepthFirst_data();
    void scanTakesAudioFilesDepthFirst();
    void scanNeverFollowsFolderLinks();
    void scanSkipsFoldersItCannotEnter();
    void progressCanStopScan();
};

void TestFileAdder::typeTestOnWholePath_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("newName"); // empty: refused
    QTest::newRow("mp3") << u"song.mp3"_s << u"你好-歌手.mp3"_s;
    QTest::newRow("mixed case") << u"SONG.Mp3"_s << u"你好-歌手.Mp3"_s;
    QTest::newRow("mp3 without dot") << u"songmp3"_s << u"你好-歌手"_s;
    QTest::newRow("rm") << u"clip.rm"_s << u"Blue-Ann.rm"_s;
    QTest::newRow("alarm") << u"alarm"_s << u"Blue-Ann"_s;
    QTest::newRow("ends in mp3, not rm") << u"x.rm.mp3"_s << u"你好-歌手.mp3"_s;
    QTest::newRow("text") << u"notes.txt"_s << QString();
    QTest::newRow("backup") << u"x.mp3.bak"_s << QString();
}

void TestFileAdder::typeTestOnWholePath() {
    QFETCH(QString, name);
    QFETCH(QString, newName);
    Fixture f;
    f.file(name);
    f.dialogs.fileAnswers << packed({f.root() + u'/' + name});
    f.adder.AddFilesFromDialog();

    QCOMPARE(f.dialogs.messages, newName.isEmpty() ? QStringList{kRefusal} : QStringList());
    QCOMPARE(f.rows(), newName.isEmpty() ? QStringList() : QStringList{u"~/|"_s + name});
    QCOMPARE(f.table.row(1).newName, newName);
}

void TestFileAdder::refusal_data() {
    QTest::addColumn<int>("shown");
    QTest::addColumn<QStringList>("picked");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<int>("refused");
    QTest::newRow("shown list, refused last")
        << 3 << QStringList{u"a.mp3"_s, u"notes.txt"_s} << QStringList() << u"0/0"_s << 1;
    QTest::newRow("shown list, then more")
        << 3 << QStringList{u"x.mp3"_s, u"notes.txt"_s, u"y.mp3"_s} << QStringList{u"/m/|y.mp3"_s}
        << u"1/ 1"_s << 1;
    QTest::newRow("empty list") << 0 << QStringList{u"a.mp3"_s, u"notes.txt"_s, u"b.mp3"_s}
                                << QStringList{u"/m/|a.mp3"_s, u"/m/|b.mp3"_s} << u"1/ 2"_s << 1;
    QTest::newRow("empty list, two refused") << 0 << QStringList{u"c.txt"_s, u"a.mp3"_s, u"d"_s}
                                             << QStringList{u"/m/|a.mp3"_s} << u"1/ 1"_s << 2;
}

void TestFileAdder::refusal() {
    QFETCH(int, shown);
    QFETCH(QStringList, picked);
    QFETCH(QStringList, rows);
    QFETCH(QString, counter);
    QFETCH(int, refused);
    Fixture f;
    f.preset(shown);
    f.dialogs.fileAnswers << (QStringList{u"/m"_s} + picked).join(kNul) + kNul + kNul;
    f.adder.AddFilesFromDialog();

    QCOMPARE(f.dialogs.messages.size(), refused);
    QCOMPARE(f.dialogs.titles, QStringList(qsizetype(refused), u"Tunemark"_s));
    QCOMPARE(f.rows(), rows);
    QVERIFY(f.table.row(f.table.NextEntryRow()).isEmpty());
    QCOMPARE(f.list.lineCount(), rows.size());
    QCOMPARE(f.list.counterText(), counter);
}

void TestFileAdder::unpacking_data() {
    QTest::addColumn<QString>("result");
    QTest::addColumn<QStringList>("rows");
    const QStringList none;
    QTest::newRow("one file") << packed({u"/m/a.mp3"_s}) << QStringList{u"/m/|a.mp3"_s};
    QTest::newRow("one file in root") << packed({u"/a.mp3"_s}) << QStringList{u"/|a.mp3"_s};
    QTest::newRow("three files") << packed({u"/m"_s, u"a.mp3"_s, u"b.rm"_s, u"c.mp3"_s})
                                 << QStringList{u"/m/|a.mp3"_s, u"/m/|b.rm"_s, u"/m/|c.mp3"_s};
    QTest::newRow("several in root")
        << packed({u"/"_s, u"x.mp3"_s, u"y.rm"_s}) << QStringList{u"/|x.mp3"_s, u"/|y.rm"_s};
    QTest::newRow("one segment") << u"/m/a.mp3"_s << none;
    QTest::newRow("two segments") << u"/m/a.mp3"_s + kNul << none;
    QTest::newRow("bare name") << packed({u"a.mp3"_s}) << none;
    QTest::newRow("no directory") << packed({QString(), u"a.mp3"_s, u"b.mp3"_s}) << none;
}

void TestFileAdder::unpacking() {
    QFETCH(QString, result);
    QFETCH(QStringList, rows);
    Fixture f;
    QSignalSpy rebuilt(&f.list, &EntryList::focusRequested);
    f.dialogs.fileAnswers << result;
    f.adder.AddFilesFromDialog();

    QCOMPARE(f.rows().replaceInStrings(u"\\"_s, u"/"_s), rows);
    QCOMPARE(rebuilt.size(), 1);
    const FakeDialogs::FileRequest &req = f.dialogs.fileRequests.at(0);
    QCOMPARE(req.title, u"打开"_s);
    QCOMPARE(req.filter, u"ALL(*.mp3;*.rm)\0*.mp3;*.rm\0mp3 (*.mp3)\0*.mp3\0rm (*.rm)\0*.rm"_s);
    QCOMPARE(req.initialName, QString());
    QCOMPARE(req.initialDirectory, u"d:\\temp\\rm"_s);
    QCOMPARE(req.flags, 524800u);
}

void TestFileAdder::cancelChangesNothing() {
    Fixture f;
    f.preset(2);
    f.list.setCurrentLine(2);
    f.list.ShowCurrentPosition();
    QSignalSpy counter(&f.list, &EntryList::counterTextChanged);
    QSignalSpy rebuilt(&f.list, &EntryList::focusRequested);
    f.dialogs.fileAnswers << QString();
    f.dialogs.folderAnswers << QString();
    f.adder.AddFilesFromDialog();
    f.adder.AddDirectory();

    QCOMPARE(f.rows(), QStringList({u"/old/|o1.mp3"_s, u"/old/|o2.mp3"_s}));
    QCOMPARE(f.list.currentLine(), 2);
    QCOMPARE(f.list.counterText(), u" 2/ 2"_s);
    QCOMPARE(counter.size() + rebuilt.size(), 0);
}

void TestFileAdder::scanTakesAudioFilesDepthFirst_data() {
    QTest::addColumn<QString>("suffix");
    QTest::newRow("folder") << QString();
    QTest::newRow("chosen with trailing separator") << u"/"_s;
}

void TestFileAdder::scanTakesAudioFilesDepthFirst() {
    QFETCH(QString, suffix);
    Fixture f;
    for (const char *name : {"a.mp3", "b.RM", "c.txt", "Old/d.mp3", ".hidden.mp3", "x.Mp3",
                             "x.mp3.bak", "alarm", "clip.arm", "歌.rm", "A/1.mp3", "A/A1/2.rm",
                             "A/A1/AA/3.mp3", "B/4.mp3", "B/B1/5.mp3", "empty/none.txt"})
        f.file(QString::fromUtf8(name));
    f.dialogs.folderAnswers << f.root() + QDir::toNativeSeparators(suffix);
    f.adder.AddDirectory();

    QCOMPARE(f.dialogs.folderTitles, QStringList{u"Tunemark"_s});
    QVERIFY(f.dialogs.messages.isEmpty());
    const QStringList rows = f.rows();
    QCOMPARE(f.list.counterText(), u"1/ 11"_s);
    // The folder's own files first, in the file system's order.
    QStringList own = QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    own = own.filter(
        QRegularExpression(u"\\.(mp3|rm)$"_s, QRegularExpression::CaseInsensitiveOption));
    QCOMPARE(rows.mid(0, 5), own.replaceInStrings(QRegularExpression(u"^"_s), u"~/|"_s));
    // Then every subfolder's whole tree in turn, its own files before its subfolders'.
    QMap<QString, QStringList> trees{
        {u"Old"_s, {u"~/Old/|d.mp3"_s}},
        {u"A"_s, {u"~/A/|1.mp3"_s, u"~/A/A1/|2.rm"_s, u"~/A/A1/AA/|3.mp3"_s}},
        {u"B"_s, {u"~/B/|4.mp3"_s, u"~/B/B1/|5.mp3"_s}}};
    QStringList expected = rows.mid(0, 5);
    for (const QString &sub :
         QDir(f.dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted))
        expected += trees.value(sub);
    QCOMPARE(rows, expected);
    QCOMPARE(f.table.row(1).directory, f.root() + QDir::separator());
}

void TestFileAdder::scanNeverFollowsFolderLinks() {
#ifndef Q_OS_UNIX
    QSKIP("needs symbolic links and named pipes");
#else
    Fixture f;
    f.file(u"top/song.mp3"_s);
    f.file(u"outside/real.mp3"_s);
    const QString top = f.dir.filePath(u"top"_s);
    QVERIFY(QDir().mkpath(top + u"/sub"_s));
    QVERIFY(QFile::link(top, top + u"/sub/loop"_s));   // back up: a loop
    QVERIFY(QFile::link(top, top + u"/sub/up.mp3"_s)); // a folder link with an audio name
    QVERIFY(QFile::link(f.dir.filePath(u"outside/real.mp3"_s), top + u"/linked.mp3"_s));
    QVERIFY(QFile::link(f.dir.filePath(u"gone"_s), top + u"/gone.mp3"_s));
    QCOMPARE(mkfifo(QFile::encodeName(top + u"/pipe.mp3"_s).constData(), 0600), 0);
    f.adder.ScanFolder(u"top"_s, f.root() + QDir::separator());

    QStringList rows = f.rows();
    rows.sort();
    QCOMPARE(rows, QStringList({u"~/top/|linked.mp3"_s, u"~/top/|song.mp3"_s}));
    for (int r = 1; r <= 2; ++r)
        QCOMPARE(f.table.row(r).title, u"你好"_s); // the linked file's tag is read too
#endif
}

void TestFileAdder::scanSkipsFoldersItCannotEnter() {
    Fixture f;
    f.file(u"A/a.mp3"_s);
    f.file(u"B/b.mp3"_s);
    // A folder removed while the scan runs cannot be entered any more: the first of A and B
    // to be entered removes the other.
    f.adder.setProgress([&](int, const QString &folder) {
        const QString name = QFileInfo(folder).fileName();
        if (name == u"A"_s || name == u"B"_s)
            QDir(f.dir.filePath(name == u"A"_s ? u"B"_s : u"A"_s)).removeRecursively();
        return true;
    });
#ifdef Q_OS_UNIX
    // Permissions do not stop root, who enters every folder.
    const bool canLock = geteuid() != 0;
    f.file(u"C/locked/c.mp3"_s);
    const QByteArray locked = QFile::encodeName(f.dir.filePath(u"C/locked"_s));
    if (canLock)
        QCOMPARE(chmod(locked.constData(), 0), 0);
#else
    const bool canLock = false;
#endif
    f.adder.ScanFolder(f.root(), QString());
#ifdef Q_OS_UNIX
    chmod(locked.constData(), 0700);
#endif

    QVERIFY(f.dialogs.messages.isEmpty());
    QStringList rows = f.rows();
    rows.removeAll(u"~/C/locked/|c.mp3"_s);
    QCOMPARE(f.table.NextEntryRow(), canLock ? 2 : 3);
    QCOMPARE(rows.size(), 1);
    QVERIFY(rows.first() == u"~/A/|a.mp3"_s || rows.first() == u"~/B/|b.mp3"_s);
}

void TestFileAdder::progressCanStopScan() {
    Fixture f;
    for (int i = 0; i < 40; ++i)
        f.file(u"many/%1.mp3"_s.arg(i));
    f.file(u"many/sub/late.mp3"_s);
    QStringList folders;
    f.adder.setProgress([&](int added, const QString &folder) {
        folders << folder;
        return added < 32;
    });
    f.dialogs.folderAnswers << f.root();
    f.adder.AddDirectory();

    // Stopped after the 32nd file: those stay and are shown.
    QCOMPARE(f.list.lineCount(), 32);
    QCOMPARE(f.table.NextEntryRow(), 33);
    QCOMPARE(folders.mid(0, 2), QStringList({f.root(), f.dir.filePath(u"many"_s)}));
    QVERIFY(!folders.contains(f.dir.filePath(u"many/sub"_s)));
}

QTEST_GUILESS_MAIN(TestFileAdder)
#include "tst_fileadder.moc"
