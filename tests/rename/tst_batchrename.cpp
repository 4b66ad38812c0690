#include "list/EntryList.h"
#include "rename/BatchRename.h"
#include "support/FileTree.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kDone = u"自动改名完成"_s;

// Rows as "folder/original|new|title", folder below the music directory.
struct Fixture {
    QTemporaryDir tmp;
    QString music;
    QString program;
    EntryList list;

    Fixture() {
        music = tmp.path() + u"/music/"_s;
        program = tmp.path() + u"/program/"_s;
        QDir().mkpath(music + u"a"_s);
        QDir().mkpath(music + u"b"_s);
        QDir().mkpath(program);
    }

    // Lists the rows; a file is made for each unless its original name starts with "gone".
    void list_(const QStringList &rows) {
        for (const QString &row : rows) {
            const QStringList f = row.split(u'|');
            const qsizetype slash = f[0].indexOf(u'/');
            const QString dir = music + f[0].left(slash + 1);
            const QString name = f[0].mid(slash + 1);
            list.table().append({dir, name, f[1], f.value(2), {}});
            if (!name.startsWith(u"gone"_s))
                FileTree::write(dir + name, name.toUtf8());
        }
        list.RefreshEntryList();
    }

    // The report's message; null when nothing was done.
    QString run(bool playlist, bool history, const RenameProgress &progress = {}) {
        const std::optional<RenameReport> report =
            RenameListedFiles(list, program, {playlist, history}, progress);
        return report ? report->message() : QString();
    }

    // Expected file bytes: "%M" stands for the music directory.
    QByteArray bytes(QByteArray text) const { return text.replace("%M", music.toUtf8()); }
};

} // namespace

class TestBatchRename : public QObject {
    Q_OBJECT
private slots:
    void emptyListDoesNothing();
    void logAndPlaylist_data();
    void logAndPlaylist();
    void nextRunReplacesTheLog();
    void failuresLoseNothing();
    void messageListsTheFirstTwenty();
    void outputsThatCannotBeCreated();
    void listedFileNeverBecomesAnOutput();
    void logLineIsWrittenBeforeItsRename();
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

void TestBatchRename::outputsThatCannotBeCreated() {
    Fixture fx;
    fx.program = fx.tmp.path() + u"/no such folder/"_s;
    fx.list_({u"a/1.mp3|x.mp3|"_s});
    QCOMPARE(fx.run(true, true), kDone + u"\n\n无法写入改名记录："_s + fx.program +
                                     u"rename.log\n无法写入播放列表："_s + fx.program +
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
    QVERIFY(message.contains(u"x.mp3 → rename.m3u：已有同名文件"_s));
    QVERIFY(message.endsWith(u"无法写入改名记录："_s + fx.program + u"rename.log"_s));
}

void TestBatchRename::logLineIsWrittenBeforeItsRename() {
    Fixture fx;
    fx.list_({u"a/1.mp3|x.mp3|"_s, u"a/2.mp3|y.mp3|"_s, u"b/3.mp3|z.mp3|"_s});
    QList<int> seen;
    fx.run(false, true, [&](int done, int total) {
        QCOMPARE(total, 3);
        seen << done;
        // Already on disk, with the program still running: nothing waits in a buffer.
        QCOMPARE(FileTree::read(fx.program + u"rename.log"_s).count("\r\n"), done);
    });
    QCOMPARE(seen, (QList<int>{1, 2, 3}));
}

QTEST_GUILESS_MAIN(TestBatchRename)
#include "tst_batchrename.moc"
