#include "cli/CommandLine.h"
#include "cli/CommandOutput.h"
#include "support/FileTree.h"
#include "support/TagBytes.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

#ifndef TUNEMARK_PROGRAM
#define TUNEMARK_PROGRAM "tunemark" // compiled outside the build, as the Windows check does
#endif

namespace {

// The program's own file name (tunemark, tunemark-cli or tunemark-cli.exe), kept by its copies.
QString programName() {
    return QFileInfo(QString::fromUtf8(TUNEMARK_PROGRAM)).fileName();
}

using Files = QMap<QString, QByteArray>; // by path below the work folder

// One start of the program: its arguments ("{work}" stands for the work folder) and the exit
// status it must end with.
struct Call {
    QStringList arguments;
    int exit;
};

} // namespace

Q_DECLARE_METATYPE(QList<Call>)

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void tsvColumns();
    void run_data();
    void run();
    void anotherRunHoldsTheLock();
    void outputThatCannotBeWritten();
};

void TestCommandLine::parse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("paths");
    using Action = CommandLine::Action;
    const int usage = int(Action::Usage);
    QTest::newRow("none") << QStringList() << int(Action::Window) << QStringList();
    QTest::newRow("paths") << QStringList{u"a.mp3"_s, u"歌/"_s} << int(Action::Window)
                           << QStringList{u"a.mp3"_s, u"歌/"_s};
    QTest::newRow("help wins") << QStringList{u"--rename"_s, u"a.mp3"_s, u"--help"_s}
                               << int(Action::Help) << QStringList();
    QTest::newRow("version") << QStringList{u"--version"_s} << int(Action::Version)
                             << QStringList();
    QTest::newRow("after --") << QStringList{u"--"_s, u"--help"_s, u"-"_s} << int(Action::Window)
                              << QStringList{u"--help"_s, u"-"_s};
    QTest::newRow("rename") << QStringList{u"--rename"_s, u"--template=%2"_s, u"--id3v2"_s, u"x"_s}
                            << int(Action::Rename) << QStringList{u"x"_s};
    QTest::newRow("path named like a command") << QStringList{u"--rename"_s, u"--"_s, u"--undo"_s}
                                               << int(Action::Rename) << QStringList{u"--undo"_s};
    QTest::newRow("number") << QStringList{u"--number"_s, u"--prefix"_s, u""_s,
                                           u"--start"_s,  u"1"_s,        u"d"_s}
                            << int(Action::Number) << QStringList{u"d"_s};
    QTest::newRow("undo") << QStringList{u"--undo"_s, u"--dry-run"_s} << int(Action::Undo)
                          << QStringList();
    QTest::newRow("unknown") << QStringList{u"--fast"_s} << usage << QStringList();
    QTest::newRow("window system's option without the window system")
        << QStringList{u"-platform"_s, u"offscreen"_s} << usage << QStringList();
    QTest::newRow("two commands") << QStringList{u"--rename"_s, u"--undo"_s} << usage
                                  << QStringList();
    QTest::newRow("rename without paths") << QStringList{u"--rename"_s} << usage << QStringList();
    QTest::newRow("value missing")
        << QStringList{u"--rename"_s, u"x"_s, u"--template"_s} << usage << QStringList();
    QTest::newRow("value on a switch")
        << QStringList{u"--rename"_s, u"--log=1"_s, u"x"_s} << usage << QStringList();
    QTest::newRow("unknown encoding")
        << QStringList{u"--rename"_s, u"--encoding"_s, u"latin9"_s, u"x"_s} << usage
        << QStringList();
    QTest::newRow("option of another command")
        << QStringList{u"--undo"_s, u"--prefix"_s, u"p"_s} << usage << QStringList();
    QTest::newRow("option without a command")
        << QStringList{u"--dry-run"_s} << usage << QStringList();
    QTest::newRow("number without start")
        << QStringList{u"--number"_s, u"--prefix"_s, u"p"_s, u"d"_s} << usage << QStringList();
    QTest::newRow("number of two folders")
        << QStringList{u"--number"_s, u"--prefix"_s, u"p"_s, u"--start"_s, u"1"_s, u"a"_s, u"b"_s}
        << usage << QStringList();
    QTest::newRow("undo with a path") << QStringList{u"--undo"_s, u"a"_s} << usage << QStringList();
}

void TestCommandLine::parse() {
    QFETCH(QStringList, arguments);
    const CommandLine line = parseCommandLine(arguments);
    QTEST(int(line.action), "action");
    QCOMPARE(line.error.isEmpty(), line.action != CommandLine::Action::Usage);
    QStringList paths;
    for (const FilePath &path : line.paths)
        paths << path.text();
    QTEST(paths, "paths");
}

void TestCommandLine::tsvColumns() {
    QCOMPARE(CommandOutput::tsvColumn("a\tb\nc\\d"), QByteArray("a\\tb\\nc\\\\d"));
}

void TestCommandLine::run_data() {
    QTest::addColumn<Files>("files"); // the work folder before
    QTest::addColumn<QList<Call>>("calls");
    QTest::addColumn<QStringList>("after"); // its files after, sorted
    QTest::addColumn<QString>("printed");   // a line the last call prints

    const auto mp3 = [](const char *title, const char *singer) {
        return TagBytes::mp3File(title, singer);
    };
    const Files two{{u"a.mp3"_s, mp3("\xB8\xE8", "\xC8\xCB")},
                    {u"sub/b.mp3"_s, mp3("Song", "Singer")}};
    const QStringList twoAfter{u"sub/Song-Singer.mp3"_s, u"歌-人.mp3"_s};
    const QStringList twoBefore{u"a.mp3"_s, u"sub/b.mp3"_s};
    // The tags' legacy text is GBK, whatever the system's code page.
    const QStringList rename{u"--rename"_s, u"--encoding"_s, u"GBK"_s, u"{work}"_s};
    const auto with = [](QStringList arguments, const QStringList &more) {
        return arguments << more;
    };

    QTest::newRow("renamed") << two << QList<Call>{{rename, 0}} << twoAfter
                             << u"{work}/a.mp3 → 歌-人.mp3"_s;
    QTest::newRow("dry run changes nothing")
        << two << QList<Call>{{with(rename, {u"--dry-run"_s}), 0}} << twoBefore
        << u"共 2 个文件：将改名 2 个，名字不变 0 个，不能改名 0 个（试运行，没有改动任何文件）"_s;
    QTest::newRow("undone") << two << QList<Call>{{rename, 0}, {{u"--undo"_s}, 0}} << twoBefore
                            << u"已撤销 2 个文件的改名"_s;
    QTest::newRow("undo shown first")
        << two << QList<Call>{{rename, 0}, {{u"--undo"_s, u"--dry-run"_s}, 0}} << twoAfter
        << u"{work}/sub/Song-Singer.mp3 → b.mp3"_s;
    QTest::newRow("nothing to undo")
        << two << QList<Call>{{{u"--undo"_s}, 3}} << twoBefore << QString();
    QTest::newRow("second undo finds nothing")
        << two << QList<Call>{{rename, 0}, {{u"--undo"_s}, 0}, {{u"--undo"_s}, 3}} << twoBefore
        << QString();

    // The name is taken: refused, every other file renamed; the dry run exits the same.
    const Files taken{{u"a.mp3"_s, mp3("Song", "Singer")}, {u"Song-Singer.mp3"_s, mp3("x", "y")}};
    QTest::newRow("name taken, shown")
        << taken << QList<Call>{{with(rename, {u"--dry-run"_s}), 1}}
        << QStringList{u"Song-Singer.mp3"_s, u"a.mp3"_s} << u"{work}/a.mp3：已有同名文件"_s;
    QTest::newRow("name taken")
        << taken << QList<Call>{{rename, 1}} << QStringList{u"a.mp3"_s, u"x-y.mp3"_s}
        << u"共 2 个文件：已改名 1 个，名字不变 0 个，被拒绝 1 个，失败 0 个"_s;
    const Files clash{{u"a.mp3"_s, mp3("Song", "Singer")}, {u"b.mp3"_s, mp3("Song", "Singer")}};
    QTest::newRow("two files, one new name")
        << clash << QList<Call>{{with(rename, {u"--tsv"_s}), 1}}
        << QStringList{u"Song-Singer.mp3"_s, u"b.mp3"_s}
        << u"refused\t{work}/b.mp3\tSong-Singer.mp3\t已有同名文件"_s;

    QTest::newRow("a path not there")
        << two << QList<Call>{{with(rename, {u"{work}/none.mp3"_s}), 1}} << twoAfter << QString();
    QTest::newRow("no tag text keeps the name")
        << Files{{u"a.mp3"_s, QByteArray(400, 'x')}} << QList<Call>{{rename, 0}}
        << QStringList{u"a.mp3"_s} << u"{work}/a.mp3（不变）"_s;
    QTest::newRow("no audio file")
        << Files{{u"a.txt"_s, "x"}} << QList<Call>{{rename, 3}, {with(rename, {u"--dry-run"_s}), 3}}
        << QStringList{u"a.txt"_s} << QString();
    QTest::newRow("doubtful text kept")
        << Files{{u"a.mp3"_s, mp3("\xFF\xFE", "x")}, {u"b.mp3"_s, mp3("Song", "Singer")}}
        << QList<Call>{{with(rename, {u"--skip-doubtful"_s, u"--encoding"_s, u"UTF-8"_s}), 0}}
        << QStringList{u"Song-Singer.mp3"_s, u"a.mp3"_s} << u"{work}/a.mp3（不变）"_s;
    QTest::newRow("tab in a name, as tsv")
        << Files{{u"a\tb.mp3"_s, mp3("x\\y", "z")}}
        << QList<Call>{{with(rename, {u"--tsv"_s, u"--no-safe-names"_s}), 0}}
        << QStringList{u"x\\y-z.mp3"_s} << u"renamed\t{work}/a\\tb.mp3\tx\\\\y-z.mp3\t"_s;
    QTest::newRow("template and other settings")
        << two << QList<Call>{{with(rename, {u"--settings"_s, u"{work}/../other.ini"_s}), 0}}
        << QStringList{u"sub/Singer.mp3"_s, u"人.mp3"_s} << QString();
    QTest::newRow("settings file missing")
        << two << QList<Call>{{with(rename, {u"--settings"_s, u"{work}/none.ini"_s}), 2}}
        << twoBefore << QString();

    const Files folder{{u"c.mp3"_s, "c"}, {u"d.txt"_s, "d"}, {u".h"_s, "h"}};
    const QStringList number{u"--number"_s, u"--prefix"_s, u"p"_s,
                             u"--start"_s,  u"9"_s,        u"{work}"_s};
    QTest::newRow("numbered") << folder << QList<Call>{{number, 0}}
                              << QStringList{u".h"_s, u"p09.mp3"_s, u"p10.txt"_s}
                              << u"{work}/d.txt → p10.txt"_s;
    QTest::newRow("numbered, one type, new extension")
        << folder << QList<Call>{{with(number, {u"--filter"_s, u"MP3"_s, u"--ext"_s, u"ogg"_s}), 0}}
        << QStringList{u".h"_s, u"d.txt"_s, u"p09.ogg"_s} << QString();
    QTest::newRow("numbered, then undone")
        << folder << QList<Call>{{number, 0}, {{u"--undo"_s}, 0}}
        << QStringList{u".h"_s, u"c.mp3"_s, u"d.txt"_s} << QString();
    QTest::newRow("numbered past the end")
        << folder
        << QList<Call>{{{u"--number"_s, u"--prefix"_s, u"p"_s, u"--start"_s, u"32767"_s,
                         u"{work}"_s},
                        1}}
        << QStringList{u".h"_s, u"c.mp3"_s, u"d.txt"_s} << QString();
    QTest::newRow("the program's own folder refused")
        << folder
        << QList<Call>{{{u"--number"_s, u"--prefix"_s, u"p"_s, u"--start"_s, u"1"_s,
                         u"{program}"_s},
                        1}}
        << QStringList{u".h"_s, u"c.mp3"_s, u"d.txt"_s} << QString();
    QTest::newRow("usage errors")
        << two
        << QList<Call>{{{u"--bogus"_s}, 2},
                       {{u"--rename"_s}, 2},
                       {{u"--undo"_s, u"{work}"_s}, 2},
                       {{u"--number"_s, u"--prefix"_s, u"p"_s, u"{work}"_s}, 2}}
        << twoBefore << QString();
}

// The program runs from a folder of its own, which keeps its files (the portable layout), with
// no display and no window system named.
void TestCommandLine::run() {
#ifdef Q_OS_WIN
    if (QByteArray(QTest::currentDataTag()) == "tab in a name, as tsv")
        SKIP_TEST("no Windows name holds a tab");
#endif
    QFETCH(Files, files);
    QFETCH(QList<Call>, calls);
    QFETCH(QString, printed);
    QTemporaryDir root;
    const QString programDir = root.filePath(u"program"_s);
    const QString work = root.filePath(u"work"_s);
    QVERIFY(QDir().mkpath(programDir) && QDir().mkpath(work));
    const QString program = programDir + u'/' + programName();
    QVERIFY(QFile::copy(QString::fromUtf8(TUNEMARK_PROGRAM), program));
    FileTree::write(root.filePath(u"other.ini"_s), "[setup]\r\nformat=%2\r\n");
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        QVERIFY(QDir().mkpath(QFileInfo(work + u'/' + file.key()).path()));
        FileTree::write(work + u'/' + file.key(), file.value());
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"DISPLAY"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    environment.remove(u"QT_QPA_PLATFORM"_s);

    QByteArray output;
    for (const Call &call : calls) {
        QStringList arguments = call.arguments;
        arguments.replaceInStrings(u"{work}"_s, work);
        arguments.replaceInStrings(u"{program}"_s, programDir);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(60000));
        output = process.readAllStandardOutput();
        const QByteArray errors = process.readAllStandardError();
        QVERIFY2(process.exitStatus() == QProcess::NormalExit, errors.constData());
        QVERIFY2(process.exitCode() == call.exit,
                 qPrintable(arguments.join(u' ') + u" exited "_s +
                            QString::number(process.exitCode()) + u'\n' +
                            QString::fromUtf8(output + errors)));
        if (call.exit == 2) // what is wrong, on the error stream
            QVERIFY(!errors.isEmpty());
    }
    QStringList after = FileTree::files(work + u'/').keys();
    after.sort();
    QTEST(after, "after");
    // Every original's bytes once, under whatever name.
    QByteArrayList before = files.values();
    std::sort(before.begin(), before.end());
    QCOMPARE(FileTree::sortedContents(work + u'/'), before);
    if (!printed.isEmpty()) {
        QString line = QString(printed).replace(u"{work}"_s, work);
#ifdef Q_OS_WIN // paths with the system's separators, escaped in tab-separated lines
        line.replace(u'/', u'\\');
        if (line.contains(u'\t'))
            line.replace(u"\\"_s, u"\\\\"_s);
#endif
        QVERIFY2(QString::fromUtf8(output).remove(u'\r').split(u'\n').contains(line),
                 qPrintable(QString::fromUtf8(output)));
    }
    // Nothing but the run's own files beside the program: rename.ini is never written.
    for (const QString &name : QDir(programDir).entryList(QDir::Files))
        QVERIFY2(QStringList({programName(), u"rename.undo"_s, u"rename.lock"_s}).contains(name),
                 qPrintable(name));
}

// Another Tunemark renaming: nothing is renamed and nothing waits long.
void TestCommandLine::anotherRunHoldsTheLock() {
    QTemporaryDir root;
    const QString program = root.filePath(programName());
    QVERIFY(QFile::copy(QString::fromUtf8(TUNEMARK_PROGRAM), program));
    FileTree::write(root.filePath(u"a.mp3"_s), TagBytes::mp3File("Song", "Singer"));
    QLockFile lock(root.filePath(u"rename.lock"_s));
    QVERIFY(lock.tryLock());
    for (const QStringList &arguments :
         {QStringList{u"--rename"_s, root.filePath(u"a.mp3"_s)}, QStringList{u"--undo"_s}}) {
        QProcess process;
        process.start(program, arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("另一个 Tunemark 正在改名"));
    }
    QVERIFY(QFile::exists(root.filePath(u"a.mp3"_s)));
}

// A log that cannot be written: the files are renamed still, the error stream says so and the
// exit status is 1.
void TestCommandLine::outputThatCannotBeWritten() {
    QTemporaryDir root;
    const QString program = root.filePath(programName());
    QVERIFY(QFile::copy(QString::fromUtf8(TUNEMARK_PROGRAM), program));
    QVERIFY(QDir(root.path()).mkdir(u"rename.log"_s)); // a folder where the log would go
    QVERIFY(QDir(root.path()).mkdir(u"music"_s));
    FileTree::write(root.filePath(u"music/a.mp3"_s), TagBytes::mp3File("Song", "Singer"));
    QProcess process;
    process.start(program, {u"--rename"_s, u"--log"_s, root.filePath(u"music"_s)});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(QString::fromUtf8(process.readAllStandardError()).contains(u"无法写入改名记录"_s));
    QVERIFY(QFile::exists(root.filePath(u"music/Song-Singer.mp3"_s)));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
