#include "list/FolderWalker.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

// Every call of a walk as one line, the root written "~"; stops at the folder named stopAt.
class Recorder : public FolderVisitor {
public:
    QString root;
    QString stopAt;
    QStringList calls;

    bool enterFolder(const FilePath &folder) override {
        calls << u"enter "_s + shown(folder.text());
        return stopAt.isEmpty() || !folder.text().endsWith(stopAt);
    }
    bool foundFile(const FilePath &folder, const FilePath &name, bool noLink) override {
        calls << u"file "_s + shown(folder.text()) + name.text() +
                     (noLink ? QString() : u" (link)"_s);
        return true;
    }
    void unreadable(const QString &path) override { calls << u"unreadable "_s + shown(path); }
    bool passedOver(const FilePath &folder) override {
        calls << u"passed "_s + shown(folder.text());
        return true;
    }

private:
    QString shown(QString path) const {
        return QDir::fromNativeSeparators(path.replace(root, u"~"_s));
    }
};

} // namespace

class TestFolderWalker : public QObject {
    Q_OBJECT
private slots:
    void walksDepthFirstWithoutThreads();
    void stopsWhereTheVisitorSays();
    void namesInTheFileBoxOrder();
};

// Files, then folders, each as page 2's file box lists them: symbols and digits, Latin letters
// whatever their case, then Chinese in pinyin.
void TestFolderWalker::namesInTheFileBoxOrder() {
    QTemporaryDir tmp;
    const QStringList names{u"中.mp3"_s, u"Z.mp3"_s,  u"2.mp3"_s,  u"歌.mp3"_s,
                            u"b.mp3"_s,  u"10.mp3"_s, u"啊.mp3"_s, u"B2.mp3"_s};
    for (const QString &name : names)
        QVERIFY(TestFiles::write(tmp.filePath(name), "x"));
    for (const QString &folder : {u"乙"_s, u"y"_s, u"A"_s}) {
        QVERIFY(QDir(tmp.path()).mkdir(folder));
        QVERIFY(TestFiles::write(tmp.filePath(folder + u"/x.mp3"_s), "x"));
    }
    Recorder recorder;
    recorder.root = QDir::toNativeSeparators(tmp.path());
    walkFolderTree(recorder.root, recorder);
    QStringList files;
    for (const QString &call : std::as_const(recorder.calls)) {
        if (call.startsWith(u"file "_s))
            files << call.mid(5);
    }
    QCOMPARE(files, (QStringList{u"~/10.mp3"_s, u"~/2.mp3"_s, u"~/b.mp3"_s, u"~/B2.mp3"_s,
                                 u"~/Z.mp3"_s, u"~/啊.mp3"_s, u"~/歌.mp3"_s, u"~/中.mp3"_s,
                                 u"~/A/x.mp3"_s, u"~/y/x.mp3"_s, u"~/乙/x.mp3"_s}));
}

// A folder's own files first, then its subfolders; a link back up is entered but not walked
// again, a pipe bearing an audio name is passed over, other names are never reported.
void TestFolderWalker::walksDepthFirstWithoutThreads() {
    QTemporaryDir tmp;
    const QString root = tmp.path();
    QVERIFY(QDir(root).mkpath(u"sub"_s));
    QVERIFY(TestFiles::write(root + u"/a.mp3"_s, "a"));
    QVERIFY(TestFiles::write(root + u"/notes.txt"_s, "n"));
    QVERIFY(TestFiles::write(root + u"/sub/b.RM"_s, "b"));
    QStringList expected{u"enter ~/"_s, u"file ~/a.mp3"_s, u"enter ~/sub/"_s, u"file ~/sub/b.RM"_s};
#ifdef Q_OS_UNIX
    QCOMPARE(mkfifo(QFile::encodeName(root + u"/pipe.mp3"_s).constData(), 0600), 0);
    QCOMPARE(symlink("..", QFile::encodeName(root + u"/sub/up"_s).constData()), 0);
    QCOMPARE(symlink("../a.mp3", QFile::encodeName(root + u"/sub/c.mp3"_s).constData()), 0);
    expected.insert(4, u"file ~/sub/c.mp3 (link)"_s);
    expected << u"enter ~/sub/up/"_s;
#endif
    Recorder recorder;
    recorder.root = QDir::toNativeSeparators(root);
    walkFolderTree(recorder.root, recorder);
    // Within one folder the file system's order stands; the folders' order is the walk's own.
    QStringList calls = recorder.calls;
    std::sort(calls.begin() + 3, calls.begin() + 3 + (expected.size() > 4 ? 2 : 1));
    QCOMPARE(calls, expected);
}

void TestFolderWalker::stopsWhereTheVisitorSays() {
    QTemporaryDir tmp;
    QVERIFY(QDir(tmp.path()).mkpath(u"one/two"_s));
    QVERIFY(TestFiles::write(tmp.filePath(u"one/two/x.mp3"_s), "x"));
    Recorder recorder;
    recorder.root = QDir::toNativeSeparators(tmp.path());
    recorder.stopAt = u"two"_s + QDir::separator();
    walkFolderTree(recorder.root, recorder);
    QCOMPARE(recorder.calls,
             (QStringList{u"enter ~/"_s, u"enter ~/one/"_s, u"enter ~/one/two/"_s}));
}

QTEST_GUILESS_MAIN(TestFolderWalker)
#include "tst_folderwalker.moc"
