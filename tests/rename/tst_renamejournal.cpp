#include "rename/RenameJournal.h"
#include "support/FileTree.h"
#include "support/TestFiles.h"

#include "platform/RunLock.h"
#include "rename/RenameExecutor.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::Literals::StringLiterals;

// rename.undo after any stop: what it says was renamed was, and undo brings exactly that back.
class TestRenameJournal : public QObject {
    Q_OBJECT
private slots:
    void init();
    void tryCutOffByACrashStillCounts();
    void undoCutShortResumes();
    void firstVersionStillUndone();
    void recordsThatCannotBeReadSafely_data();
    void recordsThatCannotBeReadSafely();
    void killedInTheMiddleOfARun();
    void blockWithAFailedRename();
    void namesKeepEveryByte();
    void readOnlyRemountKeepsTheStepsToUndo();
    void anotherProcessHoldsTheLock();

private:
    // Renames name to newName in m_dir through a journal at m_journal.
    void rename(const QString &name, const QString &newName);

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dir;
    QString m_journal;
};

void TestRenameJournal::init() {
    m_tmp = std::make_unique<QTemporaryDir>();
    m_dir = TestFiles::native(m_tmp->path() + u'/');
    m_journal = m_tmp->filePath(u"rename.undo"_s);
}

void TestRenameJournal::rename(const QString &name, const QString &newName) {
    RenamePlan plan;
    plan.journalPath = m_journal;
    plan.steps = {{FilePath(m_dir), name, newName}};
    QCOMPARE(executePlan(plan).renamed, 1);
}

// A kill between a rename and its done line: the old name is gone and the new one holds the
// file the try recorded, so the step counts and undo takes it back.
void TestRenameJournal::tryCutOffByACrashStillCounts() {
    QVERIFY(TestFiles::write(m_dir + u"a.mp3"_s, "a"));
    QVERIFY(TestFiles::write(m_dir + u"b.mp3"_s, "b"));
    rename(u"a.mp3"_s, u"x.mp3"_s);
    QByteArray record = TestFiles::read(m_journal);
    QVERIFY(record.startsWith("tunemark-undo 2\n"));
    // The second rename as a crash leaves it: its try written, the file renamed, no done.
    QVERIFY(QFile::rename(m_dir + u"b.mp3"_s, m_dir + u"y.mp3"_s));
    const QByteArray firstTry = record.split('\n').at(1);
    record += firstTry.left(4) +
              firstTry.mid(4)
                  .replace(QFile::encodeName(u"a.mp3"_s), "b.mp3")
                  .replace(QFile::encodeName(u"x.mp3"_s), "y.mp3") +
              '\n';
    QVERIFY(TestFiles::write(m_journal, record));
    // Its stamp is b's: the stamp recorded is a's, so it does not count ...
    QCOMPARE(readRenameJournal(m_journal).size(), 1);
    // ... and with b's stamp it does.
    QFile::remove(m_journal);
    QVERIFY(QFile::rename(m_dir + u"y.mp3"_s, m_dir + u"b.mp3"_s));
    rename(u"b.mp3"_s, u"y.mp3"_s);
    QByteArray lines = TestFiles::read(m_journal);
    lines.truncate(lines.lastIndexOf("done"));
    QVERIFY(TestFiles::write(m_journal, lines));
    QCOMPARE(readRenameJournal(m_journal).size(), 1);
    QCOMPARE(UndoLastRename(m_journal).message(), u"已撤销 1 个文件的改名"_s);
    QCOMPARE(FileTree::files(m_dir).keys(), (QStringList{u"b.mp3"_s, u"x.mp3"_s}));
}

// An undo cut short: the steps it marked are not offered again, and files found back count as
// undone.
void TestRenameJournal::undoCutShortResumes() {
    QVERIFY(TestFiles::write(m_dir + u"a.mp3"_s, "a"));
    QVERIFY(TestFiles::write(m_dir + u"b.mp3"_s, "b"));
    RenamePlan plan;
    plan.journalPath = m_journal;
    plan.steps = {{FilePath(m_dir), u"a.mp3"_s, u"x.mp3"_s},
                  {FilePath(m_dir), u"b.mp3"_s, u"y.mp3"_s}};
    QCOMPARE(executePlan(plan).renamed, 2);
    QVERIFY(QFile::rename(m_dir + u"y.mp3"_s, m_dir + u"b.mp3"_s)); // the undo got this far
    // An undo killed after it marked a step: that step is no longer offered.
    QFile record(m_journal);
    QVERIFY(record.open(QIODevice::Append));
    record.write("undone 1\n");
    record.close();
    QCOMPARE(readRenameJournal(m_journal).size(), 1);
    QCOMPARE(UndoLastRename(m_journal).message(), u"已撤销 1 个文件的改名"_s);
    QCOMPARE(FileTree::files(m_dir).keys(), (QStringList{u"a.mp3"_s, u"b.mp3"_s}));
    QVERIFY(!QFile::exists(m_journal));
}

void TestRenameJournal::firstVersionStillUndone() {
    QVERIFY(TestFiles::write(m_dir + u"x.mp3"_s, "a"));
    rename(u"x.mp3"_s, u"y.mp3"_s); // for its done line
    const QByteArray done = TestFiles::read(m_journal).split('\n').at(2);
    const QByteArray dir = QFile::encodeName(m_dir).toPercentEncoding("/._-~:\\");
    QVERIFY(TestFiles::write(m_journal, "tunemark-undo 1\ntry " + dir + "x.mp3 " + dir + "y.mp3\n" +
                                            done + '\n'));
    QCOMPARE(UndoLastRename(m_journal).message(), u"已撤销 1 个文件的改名"_s);
    QVERIFY(QFile::exists(m_dir + u"x.mp3"_s));
}

// A record that is a pipe, a line longer than any path makes, a header alone: read at once,
// never waited on, nothing undone.
void TestRenameJournal::recordsThatCannotBeReadSafely_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("error");
    QTest::newRow("pipe") << u"pipe"_s << QString();
    QTest::newRow("folder") << u"folder"_s << QString();
    QTest::newRow("endless line") << u"line"_s << u"撤销记录已损坏"_s;
    QTest::newRow("header alone") << u"header"_s << QString();
}

void TestRenameJournal::recordsThatCannotBeReadSafely() {
    QFETCH(QString, kind);
#ifndef Q_OS_UNIX
    if (kind == u"pipe"_s)
        SKIP_TEST("no named pipes");
#else
    if (kind == u"pipe"_s)
        QCOMPARE(mkfifo(QFile::encodeName(m_journal).constData(), 0600), 0);
#endif
    if (kind == u"folder"_s)
        QVERIFY(QDir().mkdir(m_journal));
    if (kind == u"line"_s)
        QVERIFY(TestFiles::write(m_journal, "tunemark-undo 2\ntry " + QByteArray(70000, 'x')));
    if (kind == u"header"_s)
        QVERIFY(TestFiles::write(m_journal, "tunemark-undo 2\n"));
    QString error;
    QVERIFY(readRenameJournal(m_journal, &error).isEmpty());
    QTEST(error, "error");
    QVERIFY(!journalHasSteps(m_journal));
}

namespace {

constexpr int kKilledRunFiles = 1500;

// The run the next test kills: every file of folder renamed with the undo record at journal,
// each rename told on the standard output as it is made, a little slower than a disk would
// make it, so that the kill comes in the middle of a block of renames.
int renameForTheKill(const QString &folder, const QString &journal) {
    RenamePlan plan;
    plan.journalPath = journal;
    for (int i = 0; i < kKilledRunFiles; ++i)
        plan.steps.append({FilePath(folder), u"%1.mp3"_s.arg(i), u"new-%1.mp3"_s.arg(i)});
    QFile out; // the standard output, unbuffered, so the test sees each line at once
    if (!out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 1;
    executePlan(plan, {}, [&](int step, const RenameNoReplace::Result &) {
        out.write(QByteArray::number(step) + '\n');
        QThread::usleep(500);
    });
    return 0;
}

} // namespace

// SIGKILL in the middle of a run: undo brings every renamed file back, and every original's
// bytes are there exactly once, under its own name.
void TestRenameJournal::killedInTheMiddleOfARun() {
#ifndef Q_OS_UNIX
    SKIP_TEST("needs a process killed with SIGKILL");
#else
    QByteArrayList before;
    for (int i = 0; i < kKilledRunFiles; ++i) {
        before << QByteArray::number(i) + "-content";
        QVERIFY(TestFiles::write(m_dir + u"%1.mp3"_s.arg(i), before.last()));
    }
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TUNEMARK_RUN_TO_KILL"_s, m_dir + u'|' + m_journal);
    run.setProcessEnvironment(environment);
    run.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(run.waitForStarted());
    QByteArray told;
    while (told.count('\n') < kKilledRunFiles / 3 && run.waitForReadyRead(30000))
        told += run.readAllStandardOutput();
    run.kill();
    QVERIFY(run.waitForFinished());
    const int renamed = int(QDir(m_dir).entryList({u"new-*"_s}, QDir::Files).size());
    QVERIFY2(renamed > 0 && renamed < kKilledRunFiles, "the run was killed in its middle");
    // Killed between the try lines of a block and their done lines: some renames of the block
    // made, none of them marked done.
    const QByteArray record = TestFiles::read(m_journal);
    QVERIFY2(record.count("done ") < renamed, record.right(200).constData());

    QCOMPARE(UndoLastRename(m_journal).message(), u"已撤销 %1 个文件的改名"_s.arg(renamed));
    QByteArrayList after;
    for (const QString &name : QDir(m_dir).entryList(QDir::Files)) {
        QVERIFY2(!name.startsWith(u"new-"_s), qPrintable(name));
        after << TestFiles::read(m_dir + name);
        QCOMPARE(after.last(), name.chopped(4).toUtf8() + "-content");
    }
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    QCOMPARE(after, before);
#endif
}

// A name of any bytes is recorded percent-encoded, bytes kept plain only where they are
// letters, digits or path marks, and read back byte for byte.
void TestRenameJournal::namesKeepEveryByte() {
#ifdef Q_OS_WIN
    SKIP_TEST("names on Windows are UTF-16");
#else
    QByteArray odd;
    for (int b = 1; b < 256; ++b) {
        if (b != '/')
            odd.append(char(b));
    }
    const QByteArray folder = QFile::encodeName(m_dir);
    const QByteArray oddPath = folder + odd;
    QVERIFY(TestFiles::writeExactPath(oddPath, "x"));
    const QString newName = u"a %&+#[]{}你好.mp3"_s;
    RenamePlan plan;
    plan.journalPath = m_journal;
    plan.steps = {{FilePath(m_dir), FilePath::fromExactBytes(odd), newName}};
    QCOMPARE(executePlan(plan).renamed, 1);
    const QByteArray plain("/._-~:\\");
    const QList<QByteArray> fields = TestFiles::read(m_journal).split('\n').at(1).split(' ');
    QCOMPARE(fields.size(), 6);
    QCOMPARE(fields.at(1), oddPath.toPercentEncoding(plain));
    QCOMPARE(fields.at(2), (folder + newName.toUtf8()).toPercentEncoding(plain));
    const QList<JournalStep> steps = readRenameJournal(m_journal);
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.at(0).oldPath.exactBytes(), oddPath);
#endif
}

// A block whose middle rename fails: its try has no done, the done lines after it find their
// own tries by file number, and undo takes back exactly the files renamed.
void TestRenameJournal::blockWithAFailedRename() {
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3", "y.mp3"})
        QVERIFY(TestFiles::write(m_dir + QString::fromLatin1(name), name));
    RenamePlan plan;
    plan.journalPath = m_journal;
    plan.steps = {{FilePath(m_dir), u"a.mp3"_s, u"x.mp3"_s},
                  {FilePath(m_dir), u"b.mp3"_s, u"y.mp3"_s},
                  {FilePath(m_dir), u"c.mp3"_s, u"z.mp3"_s}};
    QCOMPARE(executePlan(plan).renamed, 2);
    const QByteArray record = TestFiles::read(m_journal);
    QCOMPARE(record.count("try "), 3);
    QCOMPARE(record.count("done "), 2);
    QVERIFY(record.indexOf("done ") > record.lastIndexOf("try ")); // tries first, as a block
    const QList<JournalStep> steps = readRenameJournal(m_journal);
    QCOMPARE(steps.size(), 2);
    QCOMPARE(steps.at(1).newPath.name().text(), u"z.mp3"_s);
    QCOMPARE(UndoLastRename(m_journal).message(), u"已撤销 2 个文件的改名"_s);
    QCOMPARE(FileTree::files(m_dir).keys(),
             (QStringList{u"a.mp3"_s, u"b.mp3"_s, u"c.mp3"_s, u"y.mp3"_s}));
}

// A disk remounted read-only while files wait to go back: the undo fails for all, keeps them
// all in the record, and once the disk takes writes again, undoes them.
void TestRenameJournal::readOnlyRemountKeepsTheStepsToUndo() {
#ifndef Q_OS_LINUX
    SKIP_TEST("needs a tmpfs to remount");
#else
    const QString disk = m_dir + u"disk"_s;
    QVERIFY(QDir().mkpath(disk));
    if (QProcess::execute(u"mount"_s,
                          {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=1m"_s, u"tmpfs"_s, disk}) != 0)
        SKIP_TEST("mounting a tmpfs is refused here (not root, or no mount in this sandbox)");
    const QString folder = disk + u'/';
    QVERIFY(TestFiles::write(folder + u"a.mp3"_s, "a"));
    QVERIFY(TestFiles::write(folder + u"b.mp3"_s, "b"));
    RenamePlan plan;
    plan.journalPath = m_journal;
    plan.steps = {{FilePath(folder), u"a.mp3"_s, u"x.mp3"_s},
                  {FilePath(folder), u"b.mp3"_s, u"y.mp3"_s}};
    executePlan(plan);
    QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, disk});
    const QString first = UndoLastRename(m_journal).message();
    const int stepsKept = int(readRenameJournal(m_journal).size());
    QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,rw"_s, disk});
    const QString second = UndoLastRename(m_journal).message();
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    QProcess::execute(u"umount"_s, {disk});
    QVERIFY2(first.endsWith(u"其中 2 个仍可再次撤销"_s), qPrintable(first));
    QCOMPARE(stepsKept, 2);
    QCOMPARE(second, u"已撤销 2 个文件的改名"_s);
    QCOMPARE(names, (QStringList{u"a.mp3"_s, u"b.mp3"_s}));
    QVERIFY(!QFile::exists(m_journal));
#endif
}

// A second process holding rename.lock: the lock is not taken here until that process lets
// it go; a lock left by a process that is gone is taken over.
void TestRenameJournal::anotherProcessHoldsTheLock() {
    QProcess other;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TUNEMARK_HOLD_LOCK"_s, m_dir);
    other.setProcessEnvironment(environment);
    other.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(other.waitForReadyRead(30000)); // it holds the lock
    RunLock lock(m_dir);
    QVERIFY(!lock.take(std::chrono::milliseconds(200)));
    other.kill(); // gone without letting go: its lock is stale
    QVERIFY(other.waitForFinished());
    QVERIFY(lock.take(std::chrono::milliseconds(2000)));
}

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    // The process that holds the lock for the test before, until it is killed.
    if (const QString folder = qEnvironmentVariable("TUNEMARK_HOLD_LOCK"); !folder.isEmpty()) {
        RunLock lock(folder);
        if (!lock.take())
            return 1;
        QFile out; // the standard output, unbuffered
        if (!out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 1;
        out.write("held\n");
        QThread::sleep(60);
        return 0;
    }
    // The process the crash test kills.
    if (const QString run = qEnvironmentVariable("TUNEMARK_RUN_TO_KILL"); !run.isEmpty())
        return renameForTheKill(run.section(u'|', 0, 0), run.section(u'|', 1));
    TestRenameJournal test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_renamejournal.moc"
