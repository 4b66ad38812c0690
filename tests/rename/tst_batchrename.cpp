#include "list/EntryList.h"
#include "list/ReadPipeline.h"
#include "rename/BatchRename.h"
#include "rename/RenameJournal.h"
#include "rename/RenameOutputs.h"
#include "rename/SequentialRename.h"
#include "support/FakeDialogs.h"
#include "support/FileTree.h"
#include "support/TagBytes.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kDone = u"自动改名完成"_s;

// Rows as "folder/original|new|title", folder below the music directory. The folders are
// written with native separators, as the program's own paths are.
struct Fixture {
    QTemporaryDir tmp;
    QString music;
    QString program;
    EntryList list;

    Fixture() {
        music = TestFiles::native(tmp.path() + u"/music/"_s);
        program = TestFiles::native(tmp.path() + u"/program/"_s);
        QDir().mkpath(music + u"a"_s);
        QDir().mkpath(music + u"b"_s);
        QDir().mkpath(program);
    }

    // Lists the rows; a file is made for each unless its original name starts with "gone".
    void list_(const QStringList &rows) {
        for (const QString &row : rows) {
            const QStringList f = row.split(u'|');
            const qsizetype slash = f[0].lastIndexOf(u'/');
            const QString dir = TestFiles::native(music + f[0].left(slash + 1));
            const QString name = f[0].mid(slash + 1);
            if (!name.startsWith(u"gone"_s))
                FileTree::write(dir + name, name.toUtf8());
            // The identity recorded as adding a file records it; none for a vanished one.
            RenameEntry entry{dir, name, f[1], f.value(2), {}, FileIdentity::ofEntry(dir + name)};
            entry.identityIsTarget = !QFileInfo(dir + name).isSymLink();
            list.table().append(std::move(entry));
        }
        list.RefreshEntryList();
    }

    // The report's message; null when nothing was done.
    QString run(bool playlist, bool history, const RenameProgress &progress = {}) {
        const std::optional<RenameReport> report =
            RenameListedFiles(list.table(), program, {playlist, history, {}}, progress);
        return report ? report->message() : QString();
    }

    // Expected file bytes from UTF-8 text: "%M" stands for the music directory, "/" for the
    // separator.
    QByteArray bytes(const QByteArray &text) const {
        return FileTree::outputBytes(
            TestFiles::native(QString::fromUtf8(text)).replace(u"%M"_s, music));
    }
};

} // namespace

class TestBatchRename : public QObject {
    Q_OBJECT
private slots:
    void emptyListDoesNothing();
    void logAndPlaylist_data();
    void logAndPlaylist();
    void nextRunReplacesTheLog();
    void outputsInUtf8CarryAMark();
    void failuresLoseNothing();
    void messageListsTheFirstTwenty();
    void longRunKeepsItsOrder();
    void outputsThatCannotBeCreated();
    void listedFileNeverBecomesAnOutput();
    void listedLinkToAnOutputKeepsItsBytes();
    void logLineIsWrittenBeforeItsRename();
    void undo_data();
    void undo();
    void journalKeepsTheLastRunThatRenamed();
    void hostileFileSystem_data();
    void hostileFileSystem();
    void namesThatAreNotUtf8();
    void lineFeedInANameThatIsNotUtf8();
};

void TestBatchRename::emptyListDoesNothing() {
    Fixture fx;
    FileTree::write(fx.program + u"rename.log"_s, "old log");
    FileTree::write(fx.program + u"rename.m3u"_s, "old list");
    QVERIFY(fx.run(true, true).isNull());
    QCOMPARE(
        FileTree::files(fx.program),
        (QMap<QString, QByteArray>{{u"rename.log"_s, "old log"}, {u"rename.m3u"_s, "old list"}}));
}

void TestBatchRename::logAndPlaylist_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("playlist");
    QTest::addColumn<bool>("history");
    QTest::addColumn<QStringList>("namesAfter"); // below the music directory
    QTest::addColumn<QByteArray>("log");         // empty: no rename.log
    QTest::addColumn<QByteArray>("m3u");

    QTest::newRow("both off") << QStringList{u"a/track01.mp3|Song-Singer.mp3|Song"_s} << false
                              << false << QStringList{u"a/Song-Singer.mp3"_s} << QByteArray()
                              << QByteArray();
    QTest::newRow("history, one name unchanged")
        << QStringList{u"a/track01.mp3|Song-Singer.mp3|Song"_s, u"a/b.mp3|b.mp3|B"_s} << false
        << true << QStringList{u"a/Song-Singer.mp3"_s, u"a/b.mp3"_s}
        << QByteArray("%Ma/track01.mp3-->%Ma/Song-Singer.mp3\r\n"
                      "%Ma/b.mp3-->%Ma/b.mp3\r\n")
        << QByteArray();
    // Where names ignore letter case, the file system sees both names as one file.
    QTest::newRow("letter case only") << QStringList{u"a/a.mp3|A.mp3|"_s} << false << false
                                      << QStringList{u"a/A.mp3"_s} << QByteArray() << QByteArray();
    QTest::newRow("playlist, two folders, empty title")
        << QStringList{u"a/1.mp3|歌名-歌手.mp3|歌名"_s, u"b/2.rm|x.rm|"_s, u"a/3.mp3|y.mp3|t"_s}
        << true << false << QStringList{u"a/y.mp3"_s, u"a/歌名-歌手.mp3"_s, u"b/x.rm"_s}
        << QByteArray()
        << QByteArray("#EXTM3U\r\n"
                      "#EXTINF:,\xE6\xAD\x8C\xE5\x90\x8D\r\n"
                      "%Ma/\xE6\xAD\x8C\xE5\x90\x8D-\xE6\xAD\x8C\xE6\x89\x8B.mp3\r\n"
                      "#EXTINF:,\r\n"
                      "%Mb/x.rm\r\n"
                      "#EXTINF:,t\r\n"
                      "%Ma/y.mp3\r\n");
    // Every character is written as it is, outside GBK too; a control character as "?".
    QTest::newRow("any character")
        << QStringList{u"a/한.mp3|Ω😀é.mp3|한😀\t"_s} << true << true << QStringList{u"a/Ω😀é.mp3"_s}
        << QByteArray("%Ma/\xED\x95\x9C.mp3-->%Ma/\xCE\xA9\xF0\x9F\x98\x80\xC3\xA9.mp3\r\n")
        << QByteArray("#EXTM3U\r\n#EXTINF:,\xED\x95\x9C\xF0\x9F\x98\x80?\r\n"
                      "%Ma/\xCE\xA9\xF0\x9F\x98\x80\xC3\xA9.mp3\r\n");
}

void TestBatchRename::logAndPlaylist() {
    if (QByteArray(QTest::currentDataTag()) == "letter case only")
        SKIP_UNDER_WINE("MoveFileExW succeeds but keeps a name whose letter case alone changes; "
                        "NTFS renames it");
    QFETCH(QStringList, rows);
    QFETCH(bool, playlist);
    QFETCH(bool, history);
    QFETCH(QStringList, namesAfter);
    QFETCH(QByteArray, log);
    QFETCH(QByteArray, m3u);

    Fixture fx;
    fx.list_(rows);
    QCOMPARE(fx.run(playlist, history), kDone);
    QCOMPARE(FileTree::files(fx.music).keys(), namesAfter);

    QMap<QString, QByteArray> outputs;
    if (!log.isEmpty())
        outputs.insert(u"rename.log"_s, fx.bytes(log));
    if (!m3u.isEmpty())
        outputs.insert(u"rename.m3u"_s, fx.bytes(m3u));
    QCOMPARE(FileTree::files(fx.program), outputs);
}

// The form Windows falls back on when the code page lacks a character of the run.
void TestBatchRename::outputsInUtf8CarryAMark() {
    QTemporaryDir tmp;
    const QString dir = tmp.path() + u'/';
    const QByteArray target = FilePath(dir + u"歌한.mp3"_s).outputForm(true);
    RenameLog log(dir + u"rename.log"_s, {}, true);
    log.addLine("a", target);
    QVERIFY(log.finish());
    M3uPlaylist playlist(dir + u"rename.m3u"_s, {}, true);
    playlist.addEntry(u"歌한"_s, target);
    QVERIFY(playlist.finish());
    const QByteArray name = (dir + u"歌한.mp3"_s).toUtf8();
    QCOMPARE(FileTree::read(dir + u"rename.log"_s), "\xEF\xBB\xBF"
                                                    "a-->" +
                                                        name + "\r\n");
    QCOMPARE(FileTree::read(dir + u"rename.m3u"_s),
             "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:,\xE6\xAD\x8C\xED\x95\x9C\r\n" + name + "\r\n");
}

void TestBatchRename::nextRunReplacesTheLog() {
    Fixture fx;
    fx.list_({u"a/1.mp3|x.mp3|"_s, u"a/2.mp3|y.mp3|"_s});
    fx.run(false, true);
    fx.list.ClearEntries(); // as the window does after a run
    fx.list_({u"a/3.mp3|z.mp3|"_s});
    fx.run(false, true);
    QCOMPARE(FileTree::read(fx.program + u"rename.log"_s), fx.bytes("%Ma/3.mp3-->%Ma/z.mp3\r\n"));
}

void TestBatchRename::failuresLoseNothing() {
    Fixture fx;
    FileTree::write(fx.music + u"a/taken.mp3"_s, "outside the list");
    fx.list_({
        u"a/1.mp3|taken.mp3|"_s,   // a file outside the list has the name
        u"a/2.mp3|3.mp3|"_s,       // a later row still has it
        u"a/3.mp3|three.mp3|"_s,   //
        u"a/gone.mp3|back.mp3|"_s, // vanished before the run
        u"a/4.mp3|../4.mp3|"_s,    // tag text with a separator
        u"a/5.mp3|.|"_s,           //
        u"a/6.mp3|six\r\n.mp3|"_s, // tag text with a line break
        u"a/7.mp3||"_s,            //
        u"a/8.mp3|eight.mp3|"_s,   //
    });
    const QByteArrayList before = FileTree::sortedContents(fx.tmp.path());
    const QString message = fx.run(true, true);

    QCOMPARE(FileTree::sortedContents(fx.music), before);
    QCOMPARE(FileTree::files(fx.music + u"a/"_s).keys(),
             (QStringList{u"1.mp3"_s, u"2.mp3"_s, u"4.mp3"_s, u"5.mp3"_s, u"6.mp3"_s, u"7.mp3"_s,
                          u"eight.mp3"_s, u"taken.mp3"_s, u"three.mp3"_s}));
    QCOMPARE(message, kDone + u"\n\n有 7 个文件未能改名："
                              "\n1.mp3 → taken.mp3：已有同名文件"
                              "\n2.mp3 → 3.mp3：已有同名文件"
                              "\ngone.mp3 → back.mp3：原文件不存在"
                              "\n4.mp3 → ../4.mp3：文件名含有路径分隔符"
                              "\n5.mp3 → .：文件名不能是“.”或“..”"
                              "\n6.mp3 → six??.mp3：文件名含有控制字符"
                              "\n7.mp3 → ：文件名为空"_s);
    // Every row has its log line; the playlist shows each file where it lies now.
    QCOMPARE(FileTree::read(fx.program + u"rename.log"_s).count("\r\n"), 9);
    QVERIFY(FileTree::read(fx.program + u"rename.log"_s)
                .contains(fx.bytes("%Ma/6.mp3-->%Ma/six??.mp3\r\n")));
    QCOMPARE(FileTree::read(fx.program + u"rename.m3u"_s),
             fx.bytes("#EXTM3U\r\n#EXTINF:,\r\n%Ma/1.mp3\r\n#EXTINF:,\r\n%Ma/2.mp3\r\n"
                      "#EXTINF:,\r\n%Ma/three.mp3\r\n#EXTINF:,\r\n%Ma/gone.mp3\r\n"
                      "#EXTINF:,\r\n%Ma/4.mp3\r\n#EXTINF:,\r\n%Ma/5.mp3\r\n"
                      "#EXTINF:,\r\n%Ma/6.mp3\r\n#EXTINF:,\r\n%Ma/7.mp3\r\n"
                      "#EXTINF:,\r\n%Ma/eight.mp3\r\n"));
}

void TestBatchRename::messageListsTheFirstTwenty() {
    Fixture fx;
    QStringList rows;
    for (int i = 1; i <= 25; ++i)
        rows << u"a/gone%1.mp3|n%1.mp3|"_s.arg(i);
    fx.list_(rows);
    const QStringList lines = fx.run(false, false).split(u'\n');
    QCOMPARE(lines.size(), 24);
    QCOMPARE(lines[2], u"有 25 个文件未能改名："_s);
    QCOMPARE(lines[22], u"gone20.mp3 → n20.mp3：原文件不存在"_s);
    QCOMPARE(lines[23], u"……另有 5 个未列出"_s);
}

// A run of several blocks, each made ready while the one before is renamed: the log, the
// playlist and the failures keep the list's order, and each step meets its own verdict.
void TestBatchRename::longRunKeepsItsOrder() {
    Fixture fx;
    constexpr int kFiles = 700;
    QStringList rows;
    QByteArray log;
    QByteArray playlist = "#EXTM3U\r\n";
    for (int i = 0; i < kFiles; ++i) {
        // Every 100th file is gone, every 300th would take the program's own name.
        const bool gone = i % 100 == 50;
        const QString name = (gone ? u"gone%1.mp3"_s : u"%1.mp3"_s).arg(i);
        const QString newName = i % 300 == 299 ? u"rename.ini"_s : u"n%1.mp3"_s.arg(i);
        rows << name + u'|' + newName + u"|t%1"_s.arg(i);
        const bool renamed = !gone && i % 300 != 299;
        log += "%P" + name.toUtf8() + "-->%P" + newName.toUtf8() + "\r\n";
        playlist += "#EXTINF:,t" + QByteArray::number(i) + "\r\n%P" +
                    (renamed ? newName : name).toUtf8() + "\r\n";
    }
    fx.music = fx.program;
    fx.list_(rows);
    const QString message = fx.run(true, true);
    QVERIFY(message.startsWith(kDone));
    QVERIFY(message.contains(u"有 9 个文件未能改名："_s));
    const auto bytesIn = [&](QByteArray text) {
        return fx.bytes(text.replace("%P", fx.program.toUtf8()));
    };
    QCOMPARE(FileTree::read(fx.program + u"rename.log"_s), bytesIn(log));
    QCOMPARE(FileTree::read(fx.program + u"rename.m3u"_s), bytesIn(playlist));
    QVERIFY(QFile::exists(fx.program + u"n698.mp3"_s));
    QVERIFY(QFile::exists(fx.program + u"599.mp3"_s));
}

void TestBatchRename::outputsThatCannotBeCreated() {
    Fixture fx;
    fx.program = fx.tmp.path() + u"/no such folder/"_s;
    fx.list_({u"a/1.mp3|x.mp3|"_s});
    const QString folder = TestFiles::native(fx.program); // as messages give paths
    QCOMPARE(fx.run(true, true), kDone + u"\n\n无法写入改名记录："_s + folder +
                                     u"rename.log\n无法写入播放列表："_s + folder +
                                     u"rename.m3u"_s);
    QCOMPARE(FileTree::files(fx.music).keys(), QStringList{u"a/x.mp3"_s});
}

// Files that lie in the program directory: one listed under the log's name is not emptied,
// and none can be renamed onto the playlist's name and then be overwritten.
void TestBatchRename::listedFileNeverBecomesAnOutput() {
    Fixture fx;
    fx.music = fx.program;
    fx.list_({u"rename.log|kept.log|"_s, u"x.mp3|rename.m3u|"_s});
    const QString message = fx.run(true, true);
    const auto files = FileTree::files(fx.program);
    QCOMPARE(files.keys(), (QStringList{u"kept.log"_s, u"rename.m3u"_s, u"x.mp3"_s}));
    QCOMPARE(files[u"kept.log"_s], QByteArray("rename.log"));
    QCOMPARE(files[u"x.mp3"_s], QByteArray("x.mp3"));
    QVERIFY(files[u"rename.m3u"_s].startsWith("#EXTM3U\r\n"));
    QVERIFY(message.contains(u"x.mp3 → rename.m3u：这是本程序自己的文件名"_s));
    QVERIFY(
        message.endsWith(u"没有写入改名记录："_s + fx.program + u"rename.log 是列表中的文件"_s));
}

// A listed link to a song that bears the log's name: the song is looked at through the link, not
// taken for the link itself, and the log is not written into it.
void TestBatchRename::listedLinkToAnOutputKeepsItsBytes() {
#ifndef Q_OS_UNIX
    SKIP_TEST("needs symbolic links");
#else
    Fixture fx;
    QVERIFY(QDir().mkpath(fx.music + u"a"_s));
    QVERIFY(QFile::link(fx.program + u"rename.log"_s, fx.music + u"a/1.mp3"_s));
    fx.list_({u"a/1.mp3|x.mp3|"_s}); // the song's bytes written through the link
    QVERIFY(fx.run(false, true)
                .endsWith(u"没有写入改名记录："_s + fx.program + u"rename.log 是列表中的文件"_s));
    QCOMPARE(FileTree::files(fx.program).value(u"rename.log"_s), QByteArray("1.mp3"));
    QVERIFY(QFileInfo(fx.music + u"a/x.mp3"_s).isSymLink());
#endif
}

void TestBatchRename::logLineIsWrittenBeforeItsRename() {
    Fixture fx;
    fx.list_({u"a/1.mp3|x.mp3|"_s, u"a/2.mp3|y.mp3|"_s, u"b/3.mp3|z.mp3|"_s});
    QList<int> seen;
    fx.run(false, true, [&](int done, int total) {
        QCOMPARE(total, 3);
        seen << done;
        // Already on disk, with the program still running: the lines of a block of renames
        // are written before the first of them.
        QVERIFY(FileTree::read(fx.program + u"rename.log"_s).count("\r\n") >= done);
    });
    QCOMPARE(seen, (QList<int>{1, 2, 3}));
}

void TestBatchRename::undo_data() {
    QTest::addColumn<bool>("sequential");
    QTest::addColumn<QString>("meanwhile"); // what befalls 2.mp3 after its rename
    QTest::addColumn<QStringList>("namesAfter");
    QTest::addColumn<QString>("message");
    const QStringList back{u"a/1.mp3"_s, u"a/2.mp3"_s, u"b/3.mp3"_s};
    QTest::newRow("batch") << false << u""_s << back << u"已撤销 3 个文件的改名"_s;
    QTest::newRow("sequential") << true << u""_s << QStringList{u"a/1.mp3"_s, u"a/2.mp3"_s}
                                << u"已撤销 2 个文件的改名"_s;
    const QString oneStayed = u"已撤销 2 个文件的改名\n\n有 1 个文件未能撤销：\n2.mp3 → y.mp3："_s;
    QTest::newRow("renamed again")
        << false << u"rename"_s << QStringList{u"a/1.mp3"_s, u"a/again.mp3"_s, u"b/3.mp3"_s}
        << oneStayed + u"文件已不在"_s;
    QTest::newRow("replaced") << false << u"replace"_s
                              << QStringList{u"a/1.mp3"_s, u"a/y.mp3"_s, u"b/3.mp3"_s}
                              << oneStayed + u"文件已被改动或替换"_s;
    // A name taken may be freed: the step stays in the record, to be undone again.
    QTest::newRow("old name taken")
        << false << u"take"_s << QStringList{u"a/1.mp3"_s, u"a/2.mp3"_s, u"a/y.mp3"_s, u"b/3.mp3"_s}
        << oneStayed + u"已有同名文件\n\n其中 1 个仍可再次撤销"_s;
}

// Every file the run renamed goes back under its old name, unless it is no longer the file
// the run renamed or its old name is taken; no file is lost or doubled either way.
void TestBatchRename::undo() {
    QFETCH(bool, sequential);
    QFETCH(QString, meanwhile);
    Fixture fx;
    const QString journal = fx.program + u"rename.undo"_s;
    if (sequential) {
        FileTree::write(fx.music + u"a/1.mp3"_s, "1.mp3");
        FileTree::write(fx.music + u"a/2.mp3"_s, "2.mp3");
        QVERIFY(RenameFilesInSequence(
                    {fx.music + u"a"_s, {u"1.mp3"_s, u"2.mp3"_s}, u"R"_s, u"0"_s, {}, journal, {}})
                    .report.isClean());
    } else {
        fx.list_({u"a/1.mp3|x.mp3|"_s, u"a/2.mp3|y.mp3|"_s, u"b/3.mp3|z.mp3|"_s});
        QCOMPARE(RenameListedFiles(fx.list.table(), fx.program, {false, false, journal})->message(),
                 kDone);
    }
    QByteArrayList contents = FileTree::sortedContents(fx.music);
    const QString y = fx.music + u"a/y.mp3"_s;
    if (meanwhile == u"rename"_s) {
        QVERIFY(QFile::rename(y, fx.music + u"a/again.mp3"_s));
    } else if (meanwhile == u"replace"_s) {
        QVERIFY(QFile::remove(y));
        FileTree::write(y, "another file of a different size");
        contents = FileTree::sortedContents(fx.music);
    } else if (meanwhile == u"take"_s) {
        FileTree::write(fx.music + u"a/2.mp3"_s, "new");
        contents = FileTree::sortedContents(fx.music);
    }

    QTEST(UndoLastRename(journal).message(), "message");
    QTEST(FileTree::files(fx.music).keys(), "namesAfter");
    QCOMPARE(FileTree::sortedContents(fx.music), contents);
    QCOMPARE(QFile::exists(journal), meanwhile == u"take"_s);
    if (meanwhile == u"take"_s) {
        QVERIFY(QFile::rename(fx.music + u"a/2.mp3"_s, fx.music + u"a/freed.mp3"_s));
        QCOMPARE(UndoLastRename(journal).message(), u"已撤销 1 个文件的改名"_s);
        QVERIFY(QFile::exists(fx.music + u"a/2.mp3"_s) && !QFile::exists(journal));
    }
}

// A run cut short leaves its record up to its last finished rename; a run that renames nothing
// leaves the record of the one before.
void TestBatchRename::journalKeepsTheLastRunThatRenamed() {
    Fixture fx;
    const QString journal = fx.program + u"rename.undo"_s;
    fx.list_({u"a/1.mp3|x y.mp3|"_s, u"a/gone.mp3|g.mp3|"_s, u"b/3.mp3|z%.mp3|"_s});
    RenameListedFiles(fx.list.table(), fx.program, {false, false, journal});
    QFile file(journal);
    QVERIFY(file.open(QIODevice::Append));
    file.write("try " + QFile::encodeName(fx.music) + "half"); // a crash in mid-line
    file.close();
    fx.list.ClearEntries();
    fx.list_({u"a/gone2.mp3|w.mp3|"_s});
    RenameListedFiles(fx.list.table(), fx.program, {false, false, journal});

    const QList<JournalStep> steps = readRenameJournal(journal);
    QCOMPARE(steps.size(), 2);
    QCOMPARE(steps[0].oldPath, TestFiles::native(fx.music + u"a/1.mp3"_s));
    QCOMPARE(steps[0].newPath, TestFiles::native(fx.music + u"a/x y.mp3"_s));
    QCOMPARE(steps[1].newPath, TestFiles::native(fx.music + u"b/z%.mp3"_s));
    const QString inProgress =
        fx.program + u"rename.undo.%1.new"_s.arg(QCoreApplication::applicationPid());
    QVERIFY(!QFile::exists(inProgress));
#ifdef Q_OS_UNIX
    // A pipe where the record is written: the renames run, the message says the record is lost.
    QCOMPARE(mkfifo(QFile::encodeName(inProgress).constData(), 0600), 0);
    fx.list.ClearEntries();
    fx.list_({u"a/5.mp3|v.mp3|"_s});
    QCOMPARE(RenameListedFiles(fx.list.table(), fx.program, {false, false, journal})->message(),
             kDone + u"\n\n无法写入撤销记录"_s);
    QVERIFY(QFile::exists(fx.music + u"a/v.mp3"_s));
    // Undo offers no other run than the last: the record of the one before is gone.
    QVERIFY(readRenameJournal(journal).isEmpty());
#endif
}

// Cases a hostile user tried: whatever lies where the program writes, and whatever
// the names, every listed file's bytes are there exactly once afterwards and the message says
// what was not done. Rows as in Fixture::list_; a folder "P/" is the program's folder.
void TestBatchRename::hostileFileSystem_data() {
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("setup");          // what lies at the outputs' names before the run
    QTest::addColumn<QStringList>("namesAfter"); // every file below the music and program folders
    QTest::addColumn<QString>("message");        // "%P" the program folder

    QTest::newRow("log is a pipe") // pressing Rename used to hang for ever in open
        << QStringList{u"a/1.mp3|x.mp3|"_s} << u"fifo"_s
        << QStringList{u"music/a/x.mp3"_s, u"program/rename.log"_s, u"program/rename.m3u"_s}
        << kDone + u"\n\n无法写入改名记录：%Prename.log"_s;
    QTest::newRow("log is a folder") << QStringList{u"a/1.mp3|x.mp3|"_s} << u"folder"_s
                                     << QStringList{u"music/a/x.mp3"_s, u"program/rename.m3u"_s}
                                     << kDone + u"\n\n无法写入改名记录：%Prename.log"_s;
    QTest::newRow("outputs are links to listed files") // both used to be overwritten
        << QStringList{u"a/1.mp3|x.mp3|"_s, u"a/2.mp3|y.mp3|"_s} << u"links"_s
        << QStringList{u"music/a/x.mp3"_s, u"music/a/y.mp3"_s, u"program/rename.log"_s,
                       u"program/rename.m3u"_s}
        << kDone + u"\n\n没有写入改名记录：%Prename.log 是列表中的文件"
                   "\n没有写入播放列表：%Prename.m3u 是列表中的文件"_s;
    QTest::newRow("new names are the program's own") // the playlist used to empty the file
        << QStringList{u"P/alarm|rename.m3u|"_s, u"P/clip.rm|rename.ini|"_s,
                       u"P/b.rm|RENAME.INI|"_s,  u"P/c.rm|elanguage.dat|"_s,
                       u"P/d.rm|rename.undo|"_s, u"a/song.mp3|rename.ini|"_s}
        << QString()
        << QStringList{u"music/a/rename.ini"_s, u"program/RENAME.INI"_s, u"program/alarm"_s,
                       u"program/c.rm"_s,       u"program/clip.rm"_s,    u"program/d.rm"_s,
                       u"program/rename.log"_s, u"program/rename.m3u"_s}
        << kDone + u"\n\n有 4 个文件未能改名：\nalarm → rename.m3u：这是本程序自己的文件名"
                   "\nclip.rm → rename.ini：这是本程序自己的文件名"
                   "\nc.rm → elanguage.dat：这是本程序自己的文件名"
                   "\nd.rm → rename.undo：这是本程序自己的文件名"_s;
    QTest::newRow("new name too long") // as the template cuts it
        << QStringList{u"a/1.mp3|"_s + QString(255, u'x') + u"…|"_s} << QString()
        << QStringList{u"music/a/1.mp3"_s, u"program/rename.log"_s, u"program/rename.m3u"_s}
        << kDone + u"\n\n有 1 个文件未能改名：\n1.mp3 → "_s + QString(255, u'x') +
               u"…：文件名太长"_s;
    QTest::newRow("folder replaced by a link to another") // a different file was renamed
        << QStringList{u"a/1.mp3|x.mp3|"_s} << u"swap"_s
        << QStringList{u"music/a"_s, u"music/a-old/1.mp3"_s, u"music/b/1.mp3"_s,
                       u"program/rename.log"_s, u"program/rename.m3u"_s}
        << kDone + u"\n\n有 1 个文件未能改名：\n1.mp3 → x.mp3：文件已被替换"_s;
    QTest::newRow("control character in the old name") // could never be renamed
        << QStringList{u"a/bell\a.mp3|x.mp3|"_s, u"a/tab\t.mp3|tab\t.mp3|"_s} << QString()
        << QStringList{u"music/a/tab\t.mp3"_s, u"music/a/x.mp3"_s, u"program/rename.log"_s,
                       u"program/rename.m3u"_s}
        << kDone;
}

void TestBatchRename::hostileFileSystem() {
    QFETCH(QStringList, rows);
    QFETCH(QString, setup);
    QFETCH(QStringList, namesAfter);
    QFETCH(QString, message);
#ifndef Q_OS_UNIX
    QSKIP("needs named pipes, symbolic links and names with control characters");
#else
    Fixture fx;
    QStringList listed;
    for (QString row : rows)
        listed << row.replace(u"P/"_s, u"../program/"_s);
    fx.list_(listed);
    // The names are compared in the file system's letter case: "RENAME.INI" is another name
    // off Windows.
    const QString log = fx.program + u"rename.log"_s;
    const QString m3u = fx.program + u"rename.m3u"_s;
    if (setup == u"fifo"_s)
        QCOMPARE(mkfifo(QFile::encodeName(log).constData(), 0600), 0);
    if (setup == u"folder"_s)
        QVERIFY(QDir().mkpath(log));
    if (setup == u"swap"_s) {
        FileTree::write(fx.music + u"b/1.mp3"_s, "another file");
        QVERIFY(QDir().rename(fx.music + u"a"_s, fx.music + u"a-old"_s));
        QVERIFY(QFile::link(fx.music + u"b"_s, fx.music + u"a"_s));
    }
    if (setup == u"links"_s) {
        QVERIFY(QFile::link(fx.music + u"a/1.mp3"_s, log));
        QVERIFY(QFile::link(fx.music + u"a/2.mp3"_s, m3u));
    }
    const QByteArrayList before = FileTree::sortedContents(fx.music);

    QCOMPARE(fx.run(true, true), QString(message).replace(u"%P"_s, fx.program));

    // Every file below both folders, whatever it is.
    QStringList names;
    for (const QString &top : {u"music"_s, u"program"_s}) {
        QDirIterator it(fx.tmp.filePath(top), QDir::AllEntries | QDir::System | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info = it.nextFileInfo();
            if (!info.isDir() || info.isSymLink())
                names << info.filePath().mid(fx.tmp.path().size() + 1);
        }
    }
    names.sort();
    QCOMPARE(names, namesAfter);
    // Each listed file's bytes exactly once, under whatever name.
    QByteArrayList after;
    for (const QString &name : names) {
        const QFileInfo info(fx.tmp.filePath(name));
        if (!info.isSymLink() && info.isFile() &&
            !(name.startsWith(u"program/rename."_s) && info.fileName().size() == 10))
            after << FileTree::read(info.filePath());
    }
    std::sort(after.begin(), after.end());
    QByteArrayList expected = before;
    for (const QString &row : rows) {
        if (row.startsWith(u"P/"_s))
            expected << row.section(u'|', 0, 0).mid(2).toUtf8();
    }
    std::sort(expected.begin(), expected.end());
    QCOMPARE(after, expected);
#endif
}

// GBK names from archives made on Windows: the scan lists them, decoded from
// GBK, reads their tags and renames them; the log records their old paths as the exact bytes.
// An untagged one keeps its bytes; the undo gives the renamed one back its own.
void TestBatchRename::namesThatAreNotUtf8() {
#ifdef Q_OS_WIN
    QSKIP("Windows names are UTF-16");
#else
    Fixture fx;
    // 歌 B8E8 (a folder), 你 C4E3 and 好 BAC3 (files).
    const QByteArray folder = QFile::encodeName(fx.music) + "\xB8\xE8";
    QCOMPARE(mkdir(folder.constData(), 0700), 0);
    const auto write = [](const QByteArray &path, const QByteArray &content) {
        QFile file;
        const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fd >= 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        QCOMPARE(file.write(content), content.size());
    };
    const QByteArray tagged = TagBytes::mp3File("Song", "Ann");
    const QByteArray untagged = QByteArray(300, 'u');
    write(folder + "/\xC4\xE3.mp3", tagged);
    write(folder + "/\xBA\xC3.mp3", untagged);

    FakeDialogs dialogs;
    ReadPipeline pipeline(fx.list, dialogs, {});
    pipeline.ScanFolder(u"music"_s, fx.tmp.path() + u'/');
    pipeline.finish();
    QCOMPARE(fx.list.lineCount(), 2);
    QStringList names;
    for (int i = 0; i < 2; ++i) {
        const RenameEntry &e = fx.list.table().at(i);
        QCOMPARE(e.directory.text(), fx.music + u"歌/"_s);
        names << e.originalName.text() + u'|' + e.newName;
    }
    names.sort();
    QCOMPARE(names, QStringList({u"你.mp3|Song-Ann.mp3"_s, u"好.mp3|好.mp3"_s}));

    const QString journal = fx.program + u"rename.undo"_s;
    QCOMPARE(RenameListedFiles(fx.list.table(), fx.program, {false, true, journal})->message(),
             kDone);
    const auto read = [](const QByteArray &path) {
        QFile file;
        const int fd = open(path.constData(), O_RDONLY);
        return fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)
                   ? file.readAll()
                   : QByteArray();
    };
    QCOMPARE(read(folder + "/Song-Ann.mp3"), tagged);
    QCOMPARE(read(folder + "/\xBA\xC3.mp3"), untagged);
    struct stat st;
    QCOMPARE(stat((folder + "/\xBA\xC3.mp3").constData(), &st), 0); // untouched, same bytes
    QCOMPARE(stat((folder + "/\xC4\xE3.mp3").constData(), &st), -1);
    const QByteArray log = FileTree::read(fx.program + u"rename.log"_s);
    QVERIFY(log.contains(folder + "/\xC4\xE3.mp3-->" + folder + "/Song-Ann.mp3\r\n"));
    QVERIFY(log.contains(folder + "/\xBA\xC3.mp3-->" + folder + "/\xBA\xC3.mp3\r\n"));
    // The undo finds the file by the exact bytes and gives it back its old ones.
    QCOMPARE(UndoLastRename(journal).message(), u"已撤销 1 个文件的改名"_s);
    QCOMPARE(read(folder + "/\xC4\xE3.mp3"), tagged);
    // QTemporaryDir cannot remove names it cannot represent.
    QCOMPARE(QProcess::execute(u"rm"_s, {u"-rf"_s, fx.music}), 0);
#endif
}

// A name that is no UTF-8 and holds a line feed: the log shows it on one line with its own
// bytes, and both pages' runs are undone back to exactly those bytes.
void TestBatchRename::lineFeedInANameThatIsNotUtf8() {
#ifdef Q_OS_WIN
    QSKIP("Windows names are UTF-16");
#else
    Fixture fx;
    const QByteArray folder = QFile::encodeName(fx.music) + "\xB8\xE8"; // 歌
    QCOMPARE(mkdir(folder.constData(), 0700), 0);
    const QByteArray name = "\xC4\xE3\n.mp3"; // 你, a line feed
    const QByteArray path = folder + '/' + name;
    const int fd = open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(write(fd, "song", 4), 4);
    close(fd);
    const QString journal = fx.program + u"rename.undo"_s;
    const FilePath folderPath = FilePath::fromExactBytes(folder);
    const FilePath namePath = FilePath::fromExactBytes(name);
    struct stat st;

    fx.list.table().append({FilePath::fromExactBytes(folder + '/'),
                            namePath,
                            u"Song-Ann.mp3"_s,
                            {},
                            {},
                            FileIdentity::ofEntry(FilePath::fromExactBytes(path))});
    QCOMPARE(RenameListedFiles(fx.list.table(), fx.program, {false, true, journal})->message(),
             kDone);
    QCOMPARE(FileTree::read(fx.program + u"rename.log"_s),
             folder + "/\xC4\xE3?.mp3-->" + folder + "/Song-Ann.mp3\r\n");
    QCOMPARE(UndoLastRename(journal).message(), u"已撤销 1 个文件的改名"_s);
    QCOMPARE(stat(path.constData(), &st), 0);

    const SequenceRun run =
        RenameFilesInSequence({folderPath, {namePath}, u"R"_s, u"0"_s, {}, journal, {}});
    QVERIFY(run.ran() && run.report.isClean());
    QCOMPARE(stat((folder + "/R0.mp3").constData(), &st), 0);
    QCOMPARE(UndoLastRename(journal).message(), u"已撤销 1 个文件的改名"_s);
    QCOMPARE(stat(path.constData(), &st), 0);
    QCOMPARE(QProcess::execute(u"rm"_s, {u"-rf"_s, fx.music}), 0);
#endif
}

QTEST_GUILESS_MAIN(TestBatchRename)
#include "tst_batchrename.moc"
