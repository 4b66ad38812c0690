#include "list/EntryList.h"
#include "list/FileAdder.h"
#include "list/TagReadPool.h"
#include "platform/Paths.h"
#include "support/FakeDialogs.h"
#include "support/TagBytes.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

struct Fixture {
    QTemporaryDir dir;
    EntryList list;
    const EntryTable &table = list.table();
    FakeDialogs dialogs;
    FileAdder adder{list, dialogs};
    AddProgress progress;

    QString root() const { return QDir::toNativeSeparators(dir.path()); }
    // Whichever of the folders A and B the scan enters first removes the other. The walk must
    // then wait for each progress call, not list the other folder ahead of it.
    void removeOtherOnEntering() {
        ReadOptions options;
        options.readsInFlight = 1;
        adder.setOptions(options);
        progress = [this](int, const QString &folder) {
            const QString name = QDir(folder).dirName();
            if (name == u"A"_s || name == u"B"_s)
                QDir(dir.filePath(name == u"A"_s ? u"B"_s : u"A"_s)).removeRecursively();
            return true;
        };
        adder.setProgress(progress);
    }
    // The paths a user picks, below the temporary folder, each made as a file unless it is no
    // file's path (a bare name, a folder).
    QStringList picked(const QStringList &paths) {
        QStringList out;
        for (const QString &path : paths) {
            if (!path.startsWith(u'/')) {
                out << path;
                continue;
            }
            if (!path.endsWith(u'/'))
                file(path.mid(1));
            out << QDir::toNativeSeparators(dir.path() + path);
        }
        return out;
    }
    // Writes a file in which both readers find a tag.
    void file(const QString &rel) {
        QDir().mkpath(QFileInfo(dir.filePath(rel)).path());
        QVERIFY(TestFiles::write(dir.filePath(rel), TagBytes::bothTags()));
    }
    // Every entry as "directory|name", the temporary folder written "~".
    QStringList rows() const {
        QStringList out;
        for (int i = 0; i < table.size(); ++i)
            out << QDir::fromNativeSeparators(
                       QString(table.at(i).directory.text()).replace(root(), u"~"_s)) +
                       u'|' + table.at(i).originalName.text();
        return out;
    }
};

} // namespace

class TestFileAdder : public QObject {
    Q_OBJECT
private slots:
    void refusal_data();
    void refusal();
    void dialogPaths_data();
    void dialogPaths();
    void cancelChangesNothing();
    void scanTakesAudioFilesDepthFirst();
    void scanFollowsFolderLinksOnce();
    void scanSkipsFoldersItCannotEnter();
    void unreadableEntriesAreReported();
    void unreadablePickedFilesAreReported();
    void progressCanStopScan();
    void pathsGivenAsBytes();
    void readsAheadChangeNothing_data();
    void readsAheadChangeNothing();
    void readSpeedsTellTheDiskFromTheCache_data();
    void linksAreKnownAsLinks();
    void readSpeedsTellTheDiskFromTheCache();
};

void TestFileAdder::refusal_data() {
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("counter");
    QTest::newRow("shown list") << 3 << u"a.mp3|notes.txt"_s << QStringList() << u"0/0"_s;
    QTest::newRow("shown list, then more")
        << 3 << u"x.mp3|notes.txt|y.mp3"_s << QStringList{u"~/m/|y.mp3"_s} << u"1/ 1"_s;
    // Only the end of the whole path counts: "alarm" is RealMedia.
    QTest::newRow("empty list") << 0 << u"alarm|notes.txt|b.mp3"_s
                                << QStringList{u"~/m/|alarm"_s, u"~/m/|b.mp3"_s} << u"1/ 2"_s;
}

void TestFileAdder::refusal() {
    QFETCH(int, shown);
    QFETCH(QString, picked);
    QFETCH(QStringList, rows);
    QFETCH(QString, counter);
    Fixture f;
    for (int i = 0; i < shown; ++i)
        f.list.table().append({u"/old/"_s, u"o.mp3"_s, u"n.mp3"_s, {}, {}});
    f.list.RefreshEntryList();
    QStringList paths;
    for (const QString &name : picked.split(u'|'))
        paths << u"/m/"_s + name;
    f.dialogs.fileAnswers << f.picked(paths);
    f.adder.AddFilesFromDialog();

    QCOMPARE(f.dialogs.messages, QStringList{u"知你是这种人，pk!!!"_s});
    QCOMPARE(f.rows(), rows);
    QCOMPARE(f.list.lineCount(), rows.size());
    QCOMPARE(f.list.counterText(), counter);
}

void TestFileAdder::dialogPaths_data() {
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("one file") << QStringList{u"/m/a.mp3"_s} << QStringList{u"~/m/|a.mp3"_s};
    QTest::newRow("one file at the top") << QStringList{u"/a.mp3"_s} << QStringList{u"~/|a.mp3"_s};
    QTest::newRow("three files") << QStringList{u"/m/a.mp3"_s, u"/m/b.rm"_s, u"/m/c.mp3"_s}
                                 << QStringList{u"~/m/|a.mp3"_s, u"~/m/|b.rm"_s, u"~/m/|c.mp3"_s};
    QTest::newRow("several at the top")
        << QStringList{u"/x.mp3"_s, u"/y.rm"_s} << QStringList{u"~/|x.mp3"_s, u"~/|y.rm"_s};
    // An entry needs a folder and a name.
    QTest::newRow("bare name") << QStringList{u"a.mp3"_s} << QStringList();
    QTest::newRow("folder only") << QStringList{u"/m/"_s} << QStringList();
}

void TestFileAdder::dialogPaths() {
    QFETCH(QStringList, paths);
    QFETCH(QStringList, rows);
    Fixture f;
    QSignalSpy rebuilt(&f.list, &EntryList::focusRequested);
    f.dialogs.fileAnswers << f.picked(paths);
    f.adder.AddFilesFromDialog();

    QCOMPARE(f.rows(), rows);
    QCOMPARE(rebuilt.size(), 1);
    const FakeDialogs::FileRequest &req = f.dialogs.fileRequests.at(0);
    QCOMPARE(QStringList({req.title, req.filter, req.initialName, req.initialDirectory}),
             QStringList({u"打开"_s,
                          u"ALL(*.mp3;*.rm)\0*.mp3;*.rm\0mp3 (*.mp3)\0*.mp3\0rm (*.rm)\0*.rm"_s,
                          QString(), u"d:\\temp\\rm"_s}));
    QCOMPARE(req.flags, 524800u);
}

void TestFileAdder::cancelChangesNothing() {
    Fixture f;
    f.list.table().append({u"/old/"_s, u"o.mp3"_s, u"n.mp3"_s, {}, {}});
    f.list.RefreshEntryList();
    QSignalSpy counter(&f.list, &EntryList::counterTextChanged);
    QSignalSpy rebuilt(&f.list, &EntryList::focusRequested);
    f.dialogs.fileAnswers << QStringList();
    f.dialogs.folderAnswers << QString();
    f.adder.AddFilesFromDialog();
    f.adder.AddDirectory();

    QCOMPARE(f.rows(), QStringList{u"/old/|o.mp3"_s});
    QCOMPARE(counter.size() + rebuilt.size(), 0);
}

void TestFileAdder::scanTakesAudioFilesDepthFirst() {
    Fixture f;
    for (const char *name : {"a.mp3", "b.RM", "c.txt", ".hidden.mp3", "x.Mp3", "x.mp3.bak", "alarm",
                             "clip.arm", "歌.rm", "Old/d.mp3", "A/1.mp3", "A/A1/2.rm",
                             "A/A1/AA/3.mp3", "B/4.mp3", "B/B1/5.mp3", "empty/none.txt"})
        f.file(QString::fromUtf8(name));
    // A root comes back with its separator, and only a root; any path with one works alike.
    f.dialogs.folderAnswers << f.root() + QDir::separator();
    f.adder.setOptions({u"%1-%2"_s, {false, LegacyText::kGbk}}); // GBK, whatever the system's
    f.adder.AddDirectory();

    QCOMPARE(f.dialogs.folderTitles, QStringList{u"Tunemark"_s});
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(f.list.counterText(), u"1/ 11"_s);
    QCOMPARE(f.table.at(0).directory.text(), f.root() + QDir::separator());
    // Each file is named from its own tag through the template.
    const RenameEntry &first = f.table.at(0);
    const QString tagged = first.originalName.text().endsWith(u"rm"_s, Qt::CaseInsensitive)
                               ? u"Blue-Ann"_s
                               : u"你好-歌手"_s;
    QCOMPARE(first.newName, tagged + Paths::lastSuffix(first.originalName.text()));
    // The folder's own files first, then each subfolder's tree, each in the file box's order.
    QCOMPARE(f.rows(),
             (QStringList{u"~/|.hidden.mp3"_s, u"~/|a.mp3"_s, u"~/|b.RM"_s, u"~/|x.Mp3"_s,
                          u"~/|歌.rm"_s, u"~/A/|1.mp3"_s, u"~/A/A1/|2.rm"_s, u"~/A/A1/AA/|3.mp3"_s,
                          u"~/B/|4.mp3"_s, u"~/B/B1/|5.mp3"_s, u"~/Old/|d.mp3"_s}));
}

void TestFileAdder::scanFollowsFolderLinksOnce() {
#ifndef Q_OS_UNIX
    QSKIP("needs symbolic links and named pipes");
#else
    Fixture f;
    f.file(u"top/song.mp3"_s);
    f.file(u"outside/real.mp3"_s);
    f.file(u"music/a.mp3"_s);
    const QString top = f.dir.filePath(u"top"_s);
    QVERIFY(QDir().mkpath(top + u"/sub"_s));
    QVERIFY(QFile::link(top, top + u"/sub/loop"_s));   // back up: no loop, top was entered
    QVERIFY(QFile::link(top, top + u"/sub/up.mp3"_s)); // a folder link with an audio name
    QVERIFY(QFile::link(f.dir.filePath(u"music"_s), top + u"/linked"_s));    // a music folder
    QVERIFY(QFile::link(f.dir.filePath(u"music"_s), top + u"/sub/again"_s)); // entered once
    QVERIFY(QFile::link(f.dir.filePath(u"outside/real.mp3"_s), top + u"/linked.mp3"_s));
    QVERIFY(QFile::link(f.dir.filePath(u"gone"_s), top + u"/gone.mp3"_s)); // leads nowhere
    QCOMPARE(mkfifo(QFile::encodeName(top + u"/pipe.mp3"_s).constData(), 0600), 0);
    f.dialogs.folderAnswers << top;
    f.adder.AddDirectory();

    QStringList rows = f.rows();
    rows.sort();
    QCOMPARE(rows.size(), 3);
    QVERIFY(rows.contains(u"~/top/|linked.mp3"_s));
    QVERIFY(rows.contains(u"~/top/|song.mp3"_s));
    QVERIFY(rows.contains(u"~/top/linked/|a.mp3"_s) || rows.contains(u"~/top/sub/again/|a.mp3"_s));
    QCOMPARE(f.table.at(0).title + f.table.at(1).title, u"你好你好"_s); // the link's file is read
    QVERIFY(f.dialogs.messages.isEmpty()); // links to nothing and pipes are no unread files
#endif
}

void TestFileAdder::scanSkipsFoldersItCannotEnter() {
    Fixture f;
    f.file(u"A/a.mp3"_s);
    f.file(u"B/b.mp3"_s);
    f.removeOtherOnEntering();
    int expected = 1;
    int lockedFolders = 0;
#ifdef Q_OS_UNIX
    // Root enters every folder whatever its permissions.
    f.file(u"C/locked/c.mp3"_s);
    const QByteArray locked = QFile::encodeName(f.dir.filePath(u"C/locked"_s));
    if (!TestFiles::runsAsRoot()) {
        QCOMPARE(chmod(locked.constData(), 0), 0);
        ++lockedFolders;
    } else {
        ++expected;
    }
#endif
    ReadPipeline pipeline(f.list, f.dialogs, f.adder.options(), f.progress);
    pipeline.ScanFolder(f.root());
    pipeline.finish();
#ifdef Q_OS_UNIX
    chmod(locked.constData(), 0700);
#endif
    // The add ends by naming what it skipped: the folder removed, and the one it cannot enter.
    QCOMPARE(f.dialogs.messages.size(), 1);
    QVERIFY(f.dialogs.messages[0].startsWith(ReadPipeline::kSkippedMessage.arg(lockedFolders + 1)));
    QCOMPARE(f.rows().size(), expected);
    QVERIFY(f.rows().first() == u"~/A/|a.mp3"_s || f.rows().first() == u"~/B/|b.mp3"_s);
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

    // Stopped at the 32nd file: those stay and are shown.
    QCOMPARE(f.list.lineCount(), 32);
    QCOMPARE(f.table.size(), 32);
    const QString many = QDir::toNativeSeparators(f.dir.filePath(u"many/"_s));
    QCOMPARE(folders, QStringList({f.root() + QDir::separator(), many, many}));
}

// Entries that cannot be read are skipped, and one message says so: a
// folder without permission, a file without permission, a folder gone during the scan, and a
// path past the system's length limit at the bottom of a very deep chain. An unreadable file
// is no longer listed untagged. Needs permissions to bite: runs unprivileged under root.
void TestFileAdder::unreadableEntriesAreReported() {
#ifndef Q_OS_UNIX
    QSKIP("needs permissions and paths of the POSIX kind");
#else
    RUN_UNPRIVILEGED();
    Fixture f;
    f.file(u"ok.mp3"_s);
    f.file(u"locked/in.mp3"_s);
    f.file(u"secret.mp3"_s);
    f.file(u"A/a.mp3"_s);
    f.file(u"B/b.mp3"_s);
    f.file(u"notes.txt"_s);
    QCOMPARE(chmod(QFile::encodeName(f.dir.filePath(u"locked"_s)).constData(), 0), 0);
    QCOMPARE(chmod(QFile::encodeName(f.dir.filePath(u"secret.mp3"_s)).constData(), 0), 0);
    QCOMPARE(chmod(QFile::encodeName(f.dir.filePath(u"notes.txt"_s)).constData(), 0), 0);
    // A chain of folders deeper than a path may be long: made and removed relative to each
    // folder, as no path reaches its bottom.
    const int depth = 2100; // "/d" 2100 times: past 4096 bytes
    {
        int fd = open(QFile::encodeName(f.dir.path()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(fd >= 0);
        for (int i = 0; i < depth; ++i) {
            QCOMPARE(mkdirat(fd, "d", 0700), 0);
            const int next = openat(fd, "d", O_RDONLY | O_DIRECTORY);
            close(fd);
            fd = next;
            QVERIFY(fd >= 0);
        }
        close(fd);
    }
    f.removeOtherOnEntering();
    f.dialogs.folderAnswers << f.root();
    f.adder.AddDirectory();
    chmod(QFile::encodeName(f.dir.filePath(u"locked"_s)).constData(), 0700);
    QProcess::execute(u"rm"_s, {u"-rf"_s, f.dir.filePath(u"d"_s)});

    QStringList rows = f.rows();
    rows.sort();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.last(), u"~/|ok.mp3"_s);
    const bool aFirst = rows.first() == u"~/A/|a.mp3"_s;
    QVERIFY(aFirst || rows.first() == u"~/B/|b.mp3"_s);
    QCOMPARE(f.dialogs.messages.size(), 1);
    QStringList lines = f.dialogs.messages.first().split(u'\n');
    QCOMPARE(lines.takeFirst(), u"有 4 个文件或文件夹无法读取，已跳过："_s);
    for (QString &line : lines)
        line = line.replace(f.root(), u"~"_s).left(12);
    lines.sort();
    QCOMPARE(lines, QStringList({aFirst ? u"~/B"_s : u"~/A"_s, u"~/d/d/d/d/d/"_s, u"~/locked"_s,
                                 u"~/secret.mp3"_s}));
#endif
}

void TestFileAdder::unreadablePickedFilesAreReported() {
#ifndef Q_OS_UNIX
    QSKIP("needs permissions of the POSIX kind");
#else
    RUN_UNPRIVILEGED();
    Fixture f;
    const QStringList picked = f.picked({u"/m/a.mp3"_s, u"/m/secret.mp3"_s, u"/m/b.rm"_s});
    QCOMPARE(chmod(QFile::encodeName(f.dir.filePath(u"m/secret.mp3"_s)).constData(), 0), 0);
    f.dialogs.fileAnswers << picked + QStringList{f.root() + u"/m/gone.mp3"_s};
    f.adder.AddFilesFromDialog();
    QCOMPARE(f.rows(), QStringList({u"~/m/|a.mp3"_s, u"~/m/|b.rm"_s}));
    QCOMPARE(f.dialogs.messages,
             QStringList{u"有 2 个文件或文件夹无法读取，已跳过：\n"_s + f.root() +
                         u"/m/secret.mp3\n"_s + f.root() + u"/m/gone.mp3"_s});
#endif
}

void TestFileAdder::readsAheadChangeNothing_data() {
    QTest::addColumn<bool>("scan");
    QTest::addColumn<int>("stopAt"); // files added when the progress call stops the add; 0 never
    QTest::newRow("scan") << true << 0;
    QTest::newRow("scan stopped") << true << 100;
    QTest::newRow("picked files") << false << 0;
    QTest::newRow("picked files stopped") << false << 100;
}

// Reads done many at once and unevenly long (some tags are large) give exactly what reading
// one file after another gives: the rows with their own tags in the same order, the same
// progress calls, the same messages, and, when stopped, the same rows so far. No reading
// thread is left afterwards.
void TestFileAdder::readsAheadChangeNothing() {
    QFETCH(bool, scan);
    QFETCH(int, stopAt);
    QTemporaryDir dir;
    int n = 0;
    for (const char *folder : {"", "A", "A/A1", "A/A1/AA", "A/A2", "B", "C", "C/C1", "D", "E"}) {
        const QString base = dir.filePath(QString::fromUtf8(folder));
        QDir().mkpath(base);
        for (int i = 0; i < 40; ++i, ++n) {
            const QByteArray title = "n" + QByteArray::number(n);
            // Every fifth file carries a large ID3v2 tag: its read takes far longer.
            const QByteArray frames = TagBytes::id3v2Frame(3, "TIT2", 0, title + "v2");
            const QByteArray id3v2 =
                n % 5 ? QByteArray() : TagBytes::id3v2Tag(3, frames.leftJustified(1 << 19, '\0'));
            const QString name = QString::number(i) + (i % 9 == 4 ? u".txt"_s : u".mp3"_s);
            QVERIFY(TestFiles::write(base + u'/' + name, id3v2 + TagBytes::mp3File(title)));
        }
    }
    QStringList picked;
    for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        picked << QDir::toNativeSeparators(it.next());
    picked.insert(picked.size() / 2, QDir::toNativeSeparators(dir.filePath(u"gone.mp3"_s)));

#ifdef Q_OS_LINUX
    const auto taskCount = [] { return QDir(u"/proc/self/task"_s).entryList().size(); };
    const int tasks = taskCount();
#endif
    // Reading one at a time first; then ahead, a few times, as its timing varies.
    QStringList results[4];
    for (int run = 0; run < 4; ++run) {
        const int reads = run == 0 ? 1 : ReadOptions().readsInFlight;
        EntryList list;
        list.table().append({u"/old/"_s, u"o.mp3"_s, u"n.mp3"_s, {}, {}});
        list.RefreshEntryList(); // a picked .txt file empties a list that shows lines
        FakeDialogs dialogs;
        FileAdder adder(list, dialogs);
        adder.setOptions({u"%1"_s, {true}, reads});
        QStringList &out = results[run];
        adder.setProgress([&](int added, const QString &folder) {
            out << u"progress %1 %2"_s.arg(added).arg(folder);
            return stopAt == 0 || added < stopAt;
        });
        if (scan) {
            dialogs.folderAnswers << QDir::toNativeSeparators(dir.path());
            adder.AddDirectory();
        } else {
            dialogs.fileAnswers << picked;
            adder.AddFilesFromDialog();
        }
#ifdef Q_OS_LINUX
        QCOMPARE(taskCount(), tasks);
#endif
        for (int i = 0; i < list.table().size(); ++i)
            out << list.table().at(i).path().text() + u'|' + list.table().at(i).newName;
        out << dialogs.messages;
        QVERIFY(list.table().size() > (stopAt ? stopAt - 1 : 240));
    }
    for (int run = 1; run < 4; ++run)
        QCOMPARE(results[run], results[0]);
}

// Paths given on the command line whose names are not UTF-8 (GBK from Windows archives) are
// added from their bytes: a folder scanned, a file listed, both shown decoded.
void TestFileAdder::pathsGivenAsBytes() {
#ifndef Q_OS_UNIX
    SKIP_TEST("names are UTF-16 on Windows");
#else
    Fixture f;
    const QByteArray root = QFile::encodeName(f.dir.path());
    const QByteArray folder = root + "/\xB8\xE8"; // 歌
    QCOMPARE(mkdir(folder.constData(), 0700), 0);
    for (const QByteArray &path : {folder + "/\xC4\xE3.mp3", root + "/\xBA\xC3.mp3"}) { // 你 好
        const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fd >= 0);
        const QByteArray bytes = TagBytes::mp3File("T", "S");
        QCOMPARE(write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
        close(fd);
    }
    const QList<QByteArray> natives{folder, root + "/\xBA\xC3.mp3"};
    f.adder.addPaths({FilePath::fromExactBytes(natives[0]), FilePath::fromExactBytes(natives[1])});
    QCOMPARE(f.table.size(), 2);
    QCOMPARE(f.table.at(0).directory.text(), f.dir.path() + u"/歌/"_s);
    QCOMPARE(f.table.at(0).originalName.text(), u"你.mp3"_s);
    QCOMPARE(f.table.at(1).originalName.text() + f.table.at(1).newName, u"好.mp3T-S.mp3"_s);
    QCOMPARE(f.table.at(1).originalName.exactBytes(), QByteArray("\xBA\xC3.mp3"));
    QVERIFY(f.dialogs.messages.isEmpty());
    // QTemporaryDir cannot remove names it cannot represent.
    QCOMPARE(::unlink((folder + "/\xC4\xE3.mp3").constData()), 0);
    QCOMPARE(::rmdir(folder.constData()), 0);
    QCOMPARE(::unlink(natives[1].constData()), 0);
#endif
}

// An entry that is no link is known to be the file it leads to, however it was added; a link is
// not, so that what the program writes is checked against the file it leads to.
void TestFileAdder::linksAreKnownAsLinks() {
#ifndef Q_OS_UNIX
    SKIP_TEST("needs symbolic links");
#else
    Fixture f;
    f.file(u"songs/a.mp3"_s);
    f.file(u"elsewhere/b.mp3"_s);
    QVERIFY(QFile::link(f.dir.filePath(u"elsewhere/b.mp3"_s), f.dir.filePath(u"songs/link.mp3"_s)));
    f.adder.addPaths({f.dir.filePath(u"songs"_s), f.dir.filePath(u"songs/a.mp3"_s),
                      f.dir.filePath(u"songs/link.mp3"_s)});
    QCOMPARE(f.rows(), (QStringList{u"~/songs/|a.mp3"_s, u"~/songs/|link.mp3"_s,
                                    u"~/songs/|a.mp3"_s, u"~/songs/|link.mp3"_s}));
    for (const int line : {0, 2})
        QVERIFY(f.table.at(line).identityIsTarget);
    for (const int line : {1, 3})
        QVERIFY(!f.table.at(line).identityIsTarget);
#endif
}

// Reads given as runs of fast ('f') and slow ('s') ones, oldest first: a read preempted now and
// then is no disk, so the threads stay resting; a disk that turns out slow wakes them at once,
// and the cache again puts them back to rest only once nearly all recent reads were fast.
void TestFileAdder::readSpeedsTellTheDiskFromTheCache_data() {
    QTest::addColumn<QString>("reads");
    QTest::addColumn<bool>("fromCache");
    const auto times = [](int count, const QString &reads) { return reads.repeated(count); };
    QTest::newRow("nothing read") << QString() << true;
    QTest::newRow("one slow in thirty-two") << times(40, u"s"_s + QString(31, u'f')) << true;
    QTest::newRow("seven slow at once") << u"fffsssssssfff"_s << true;
    QTest::newRow("a disk") << QString(8, u's') << false;
    QTest::newRow("eight slow spread out") << times(8, u"sfffffff"_s) << false;
    QTest::newRow("a disk, then 62 from the cache")
        << QString(64, u's') + QString(62, u'f') << false;
    QTest::newRow("a disk, then 63 from the cache")
        << QString(64, u's') + QString(63, u'f') << true;
    QTest::newRow("a disk with one fast now and then") << times(30, u"sssf"_s) << false;
}

void TestFileAdder::readSpeedsTellTheDiskFromTheCache() {
    QFETCH(QString, reads);
    QFETCH(bool, fromCache);
    ReadSpeeds speeds;
    for (const QChar read : std::as_const(reads))
        speeds.note(read == u'f');
    QCOMPARE(speeds.fromCache(), fromCache);
}

QTEST_GUILESS_MAIN(TestFileAdder)
#include "tst_fileadder.moc"
