// Times the add-folder command (folder chosen -> list rebuilt) over a tree of tagged MP3
// files, with ID3v2 tags read and without, against two bare loops over the same tree doing the
// same system calls (readdir with the entry type, open, fstat, pread of the last 128 bytes,
// close): one read at a time, and 64 reads in flight. Each runs cold (the page cache dropped,
// or where that is refused, the tree's files evicted one by one) and warm, best of several
// runs. Then states the peak memory.
//
//     bench_scanfolder [files] [runs] [warm]   default 20000 files in folders of 100, 3 runs;
//                                              "warm" leaves the cold runs out
#include "dialogs/UserDialogs.h"
#include "filebox/FileBoxNames.h"
#include "list/EntryList.h"
#include "list/ReadPipeline.h"
#include "platform/ChineseCollator.h"
#include "platform/LegacyText.h"

#include "BenchSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class SilentDialogs : public UserDialogs {
public:
    QString folder;
    int messages = 0;
    void showMessage(const QString &) override { ++messages; }
    bool askYesNo(const QString &) override { return false; }
    int askChoice(const QString &, const QStringList &) override { return 0; }
    QString GetDlgSelectFolder(const QString &) override { return folder; }
    QStringList GetDlgSelectFileInfo(const QString &, const QString &, const QString &,
                                     const QString &, quint32) override {
        return {};
    }
};

// An ID3v2.3 tag whose title frame is marked Latin-1 and holds GBK, as legacy taggers wrote it.
QByteArray id3v2Bytes(const QByteArray &title) {
    const QByteArray body = '\0' + title;
    QByteArray frame = "TIT2" + QByteArray(3, '\0') + char(body.size()) + QByteArray(2, '\0');
    frame += body;
    QByteArray tag = "ID3\x03" + QByteArray(5, '\0') + char(frame.size());
    return tag + frame;
}

// An ID3v2 tag, some audio bytes and an ID3v1 block with a GBK title and singer.
QByteArray mp3Bytes(int n) {
    QByteArray bytes =
        id3v2Bytes(LegacyText::encode(QStringLiteral("第%1首歌曲的完整标题").arg(n)));
    bytes += QByteArray(1024, '\xff');
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    const QByteArray title = LegacyText::encode(QStringLiteral("歌曲第%1首").arg(n));
    const QByteArray singer = LegacyText::encode(QStringLiteral("歌手%1").arg(n % 97));
    tag.replace(3, title.size(), title);
    tag.replace(33, singer.size(), singer);
    return bytes + tag;
}

bool generate(const QString &root, int folders, int filesPerFolder) {
    for (int d = 0; d < folders; ++d) {
        const QString dir = root + QStringLiteral("/专辑%1").arg(d, 4, 10, QLatin1Char('0'));
        if (!QDir().mkpath(dir))
            return false;
        for (int i = 0; i < filesPerFolder; ++i) {
            QFile f(dir + QStringLiteral("/track%1.mp3").arg(i, 3, 10, QLatin1Char('0')));
            if (!f.open(QIODevice::WriteOnly) || f.write(mp3Bytes(i)) < 0)
                return false;
        }
    }
    return true;
}

using BenchSystem::readsTagged;
using BenchSystem::walk;

int bareSequential(const std::string &root) {
    int files = 0;
    walk(root, [&](const std::string &path) { files += readsTagged(path); });
    return files;
}

// The same with up to inFlight reads under way at once, on as many threads.
int bareInFlight(const std::string &root, int inFlight) {
    std::mutex mutex;
    std::condition_variable ready, room;
    std::deque<std::string> queue;
    bool walked = false;
    std::atomic<int> files{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < inFlight; ++i) {
        threads.emplace_back([&] {
            std::unique_lock<std::mutex> lock(mutex);
            for (;;) {
                ready.wait(lock, [&] { return walked || !queue.empty(); });
                if (queue.empty())
                    return;
                const std::string path = std::move(queue.front());
                queue.pop_front();
                room.notify_one();
                lock.unlock();
                files += readsTagged(path);
                lock.lock();
            }
        });
    }
    walk(root, [&](const std::string &path) {
        std::unique_lock<std::mutex> lock(mutex);
        room.wait(lock, [&] { return int(queue.size()) < inFlight; });
        queue.push_back(path);
        ready.notify_one();
    });
    {
        const std::lock_guard<std::mutex> lock(mutex);
        walked = true;
    }
    ready.notify_all();
    for (std::thread &t : threads)
        t.join();
    return files;
}

// Drops the page cache; where that is refused, evicts every file and folder of the tree.
bool dropCache(const std::string &root, bool &whole) {
    whole = BenchSystem::dropPageCache();
    if (!whole)
        walk(root, BenchSystem::evict, BenchSystem::evict);
    return true;
}

using BenchSystem::peakKib;

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int total = argc > 1 ? std::max(100, QString::fromLocal8Bit(argv[1]).toInt()) : 20000;
    const int runs = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 3;
    const bool warmOnly = argc > 3 && qstrcmp(argv[3], "warm") == 0;
    const int filesPerFolder = 100;
    const int folders = total / filesPerFolder;

    QTextStream out(stdout);
    QTemporaryDir tmp(QDir::currentPath() + QStringLiteral("/bench-tree-XXXXXX"));
    if (!tmp.isValid() || !generate(tmp.path(), folders, filesPerFolder)) {
        out << "cannot create the tree under " << QDir::currentPath() << "\n";
        return 1;
    }
    const std::string root = QFile::encodeName(tmp.path()).toStdString();
    const long baseKib = peakKib();

    enum { Sequential, InFlight, Scan, ScanId3v2, Kinds };
    const char *names[Kinds] = {"bare loop, one read at a time", "bare loop, 64 reads in flight",
                                "add folder", "add folder, ID3v2 on"};
    double best[2][Kinds]; // [cold][kind], seconds
    std::fill(&best[0][0], &best[0][0] + 2 * Kinds, 1e9);
    bool ok = true;
    bool wholeCache = false;
    for (int run = 1; run <= runs; ++run) {
        for (const bool cold : {true, false}) {
            if (cold && warmOnly)
                continue;
            for (int kind = 0; kind < Kinds; ++kind) {
                if (cold)
                    dropCache(root, wholeCache);
                else if (kind == 0)
                    bareSequential(root); // warm up
                QElapsedTimer t;
                t.start();
                int files = 0;
                if (kind == Sequential) {
                    files = bareSequential(root);
                } else if (kind == InFlight) {
                    files = bareInFlight(root, ReadOptions().readsInFlight);
                } else {
                    EntryList list;
                    SilentDialogs dialogs;
                    dialogs.folder = tmp.path();
                    // What "添加文件夹" does once the folder is chosen.
                    ReadOptions options;
                    options.tags.readId3v2 = kind == ScanId3v2;
                    ReadPipeline pipeline(list, dialogs, options);
                    pipeline.ScanFolder(dialogs.folder);
                    pipeline.finish();
                    files = list.table().size();
                    ok = ok && dialogs.messages == 0 && list.lineCount() == total &&
                         list.table().at(total - 1).title.endsWith(kind == ScanId3v2 ? u"标题"
                                                                                     : u"首");
                }
                const double seconds = t.nsecsElapsed() / 1e9;
                ok = ok && files == total;
                best[cold][kind] = std::min(best[cold][kind], seconds);
                out << "run " << run << (cold ? " cold " : " warm ") << names[kind] << ": "
                    << seconds << " s\n";
                out.flush();
            }
        }
    }
    out << "\nfiles: " << total << " in " << folders << " folders; cold: "
        << (wholeCache ? "page cache dropped" : "each file and folder evicted (posix_fadvise)")
        << "\n";
    for (const bool cold : {true, false}) {
        out << (cold ? "cold, best of " : "warm, best of ") << runs << ":\n";
        for (int kind = 0; kind < Kinds; ++kind)
            out << "  " << names[kind] << ": " << best[cold][kind] << " s ("
                << qRound(total / best[cold][kind]) << " files/s)\n";
    }
    out << "cold: add folder / bare loop with 64 in flight: " << best[1][Scan] / best[1][InFlight]
        << "x (target <= 1.5x); with ID3v2 " << best[1][ScanId3v2] / best[1][InFlight] << "x\n"
        << "warm: add folder / bare loop one at a time: " << best[0][Scan] / best[0][Sequential]
        << "x (target <= 1.5x); with ID3v2 " << best[0][ScanId3v2] / best[0][Sequential] << "x\n"
        << "peak memory: " << peakKib() / 1024 << " MiB (" << baseKib / 1024
        << " MiB before the first scan)\n";

    // What the scan's name order costs of that: each folder's names put in the file box's
    // order, with one collator, as the walk does.
    QList<QStringList> folderNames;
    for (const QString &folder : QDir(tmp.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        folderNames << QDir(tmp.path() + u'/' + folder).entryList(QDir::Files, QDir::Unsorted);
    double sortBest = 1e9;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        t.start();
        const ChineseCollator collator;
        qsizetype sorted = 0;
        for (const QStringList &inFolder : std::as_const(folderNames))
            sorted += FileBoxNames::sortedPositions(inFolder, collator).size();
        sortBest = std::min(sortBest, t.nsecsElapsed() / 1e9);
        ok = ok && sorted == total;
    }
    out << "name order: " << sortBest << " s, " << 100 * sortBest / best[0][Scan]
        << "% of the warm add folder (target <= 10%)\n";
    return ok ? 0 : 1;
}
