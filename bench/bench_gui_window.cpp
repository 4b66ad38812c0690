// Times the window as a user meets it, offscreen: "添加文件夹" from the folder chosen to the
// list shown, and "改名" from the click to the result box (log and playlist on), through the
// window's own handlers, its progress dialog and the answered dialogs. Beside each, a bare loop
// doing the same work with system calls alone: the scan one file at a time (readdir with the
// entry type, open, fstat, pread of the last 128 bytes), the rename with renameat2 and no
// replacing. Warm and cold (the page cache dropped, as root), best of several runs, as ratios.
// Then the command line on the same tree, warm: `tunemark --rename` from its start to its exit
// (reading and renaming in one), beside the window's add and rename and the bare loops'.
//
//     bench_gui_window [files] [runs] [add]   default 20000 files in folders of 100, 10 runs
//                                             (a best of five was now and then a disturbed run
//                                             on a busy disk); add: the warm add alone
#include "BenchSystem.h"
#include "app/Form1.h"
#include "dialogs/UserDialogs.h"
#include "settings/DataFolders.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#ifndef TUNEMARK_PROGRAM
#define TUNEMARK_PROGRAM "tunemark" // compiled outside the build, as the Windows check does
#endif

namespace {

class AnsweringDialogs : public UserDialogs {
public:
    QString folder;
    QStringList messages;
    void showMessage(const QString &text) override { messages << text; }
    bool askYesNo(const QString &) override { return true; }
    int askChoice(const QString &, const QStringList &) override { return 0; }
    QString GetDlgSelectFolder(const QString &) override { return folder; }
    QStringList GetDlgSelectFileInfo(const QString &, const QString &, const QString &,
                                     const QString &, quint32) override {
        return {};
    }
};

QByteArray mp3Bytes(int n) {
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    const QByteArray title = "Song " + QByteArray::number(n);
    tag.replace(3, title.size(), title);
    tag.replace(33, 6, "Singer");
    return QByteArray(2048, '\xff') + tag;
}

bool generate(const QString &root, int files) {
    for (int i = 0; i < files; ++i) {
        const QString dir = root + QStringLiteral("/album%1").arg(i / 100, 4, 10, QLatin1Char('0'));
        if (i % 100 == 0 && !QDir().mkpath(dir))
            return false;
        QFile f(dir + QStringLiteral("/track%1.mp3").arg(i % 100, 3, 10, QLatin1Char('0')));
        if (!f.open(QIODevice::WriteOnly) || f.write(mp3Bytes(i)) < 0)
            return false;
    }
    return true;
}

using BenchSystem::readsTagged;
using BenchSystem::walk;

int bareScan(const std::string &root) {
    int tagged = 0;
    walk(root, [&](const std::string &path) { tagged += readsTagged(path); });
    return tagged;
}

// The same with 64 reads in flight: the walk hands the paths to 64 threads as it finds them.
int bareScanInFlight(const std::string &root) {
    std::vector<std::string> paths;
    std::mutex mutex;
    std::condition_variable more;
    bool walked = false;
    std::atomic<int> tagged{0};
    size_t next = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 64; ++i)
        threads.emplace_back([&] {
            for (;;) {
                std::unique_lock<std::mutex> lock(mutex);
                more.wait(lock, [&] { return next < paths.size() || walked; });
                if (next == paths.size())
                    return;
                const std::string path = paths[next++];
                lock.unlock();
                tagged += readsTagged(path);
            }
        });
    walk(root, [&](const std::string &path) {
        const std::lock_guard<std::mutex> lock(mutex);
        paths.push_back(path);
        more.notify_one();
    });
    {
        const std::lock_guard<std::mutex> lock(mutex);
        walked = true;
    }
    more.notify_all();
    for (std::thread &thread : threads)
        thread.join();
    return tagged;
}

// Renames every file of the tree to "r-" + its name and back afterwards (not timed).
double bareRename(const std::string &root) {
    std::vector<std::string> paths;
    walk(root, [&](const std::string &path) { paths.push_back(path); });
    const auto renamed = [](const std::string &path) {
        const size_t cut = path.find_last_of("/\\") + 1;
        return path.substr(0, cut) + "r-" + path.substr(cut);
    };
    QElapsedTimer t;
    t.start();
    for (const std::string &path : paths)
        BenchSystem::renameNoReplace(path, renamed(path));
    const double seconds = t.nsecsElapsed() / 1e9;
    for (const std::string &path : paths)
        BenchSystem::renameNoReplace(renamed(path), path);
    return seconds;
}

void dropCache() {
    BenchSystem::dropPageCache();
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::max(100, QString::fromLocal8Bit(argv[1]).toInt()) : 20000;
    const int runs = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 10;
    // "add": the warm add alone, for a profiler.
    const bool warmAddOnly = argc > 3 && qstrcmp(argv[3], "add") == 0;
    QTextStream out(stdout);
    QTemporaryDir tree(QDir::currentPath() + QStringLiteral("/bench-window-XXXXXX"));
    QTemporaryDir program;
    if (!tree.isValid() || !generate(tree.path(), files))
        return 1;
    const std::string root = QFile::encodeName(tree.path()).toStdString();
    double best[2][4]; // [cold][add, bare scan, rename, bare rename]
    std::fill(&best[0][0], &best[0][0] + 8, 1e9);
    double bestInFlight = 1e9; // the bare scan cold, 64 reads in flight
    double bestCommand = 1e9;
    bool ok = true;
    for (int run = 0; run < runs; ++run) {
        for (const bool cold : {true, false}) {
            if (cold && warmAddOnly)
                continue;
            // A rename.ini asking for the log and the playlist, as a user who wants both.
            QFile ini(program.filePath(QStringLiteral("rename.ini")));
            ok = ok && ini.open(QIODevice::WriteOnly) &&
                 ini.write("[setup]\r\nm3u=1\r\nm3upath=\r\nhistory=1\r\nformat=%1-%2\r\n") > 0;
            ini.close();
            AnsweringDialogs dialogs;
            dialogs.folder = tree.path();
            Form1 window(dialogs, DataFolders::portable(program.path()));
            window.show();
            QApplication::processEvents();

            if (cold)
                dropCache();
            BenchSystem::settle();
            QElapsedTimer t;
            t.start();
            window.findChild<QAction *>(QStringLiteral("AddDirectory"))->trigger();
            best[cold][0] = std::min(best[cold][0], t.nsecsElapsed() / 1e9);
            ok = ok && window.entryList().lineCount() == files;
            if (cold)
                dropCache();
            BenchSystem::settle();
            t.restart();
            ok = ok && (warmAddOnly || bareScan(root) == files);
            best[cold][1] = std::min(best[cold][1], t.nsecsElapsed() / 1e9);
            if (cold) {
                dropCache();
                t.restart();
                ok = ok && bareScanInFlight(root) == files;
                bestInFlight = std::min(bestInFlight, t.nsecsElapsed() / 1e9);
            }

            if (!cold && !warmAddOnly) { // the rename warm
                BenchSystem::settle();
                t.restart();
                window.findChild<QPushButton *>(QStringLiteral("Command1(4)"))->click();
                best[0][2] = std::min(best[0][2], t.nsecsElapsed() / 1e9);
                ok = ok && dialogs.messages.size() == 1 &&
                     dialogs.messages.first().startsWith(QStringLiteral("自动改名完成"));
                // Back to the names the tree had, for the next run.
                window.findChild<QAction *>(QStringLiteral("UndoRename"))->trigger();
                BenchSystem::settle();
                best[0][3] = std::min(best[0][3], bareRename(root));
            }
            window.close();
        }
        if (warmAddOnly)
            continue;
        // The command line, warm, with the same rename.ini beside it.
        const QString command = program.filePath(QStringLiteral("tunemark"));
        ok = ok &&
             (QFile::exists(command) || QFile::copy(QString::fromUtf8(TUNEMARK_PROGRAM), command));
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        process.start(command, {QStringLiteral("--rename"), tree.path()});
        ok = ok && process.waitForFinished(-1) && process.exitCode() == 0;
        bestCommand = std::min(bestCommand, t.nsecsElapsed() / 1e9);
        process.start(command, {QStringLiteral("--undo")});
        ok = ok && process.waitForFinished(-1) && process.exitCode() == 0;
    }
    out << files << " files in folders of 100, best of " << runs << "\n"
        << "cold: add folder " << best[1][0] << " s, bare scan " << best[1][1] << " s, ratio "
        << best[1][0] / best[1][1] << "; 64 in flight " << bestInFlight << " s, ratio "
        << best[1][0] / bestInFlight << "\n"
        << "warm: add folder " << best[0][0] << " s, bare scan " << best[0][1] << " s, ratio "
        << best[0][0] / best[0][1] << "\n"
        << "warm: rename with log, playlist and undo record " << best[0][2]
        << " s, bare renameat2 loop " << best[0][3] << " s, ratio " << best[0][2] / best[0][3]
        << "\n"
        << "warm: command line --rename (read and rename) " << bestCommand
        << " s, window add + rename " << best[0][0] + best[0][2] << " s, bare scan + rename "
        << best[0][1] + best[0][3] << " s, ratios " << bestCommand / (best[0][0] + best[0][2])
        << " and " << bestCommand / (best[0][1] + best[0][3]) << "\n";
    return ok ? 0 : 1;
}
