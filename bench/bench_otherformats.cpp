// Times the add-folder command with the option for other formats over a tree of FLAC files
// (each with a picture block of 300 kB before its comment) and MP4 audio files, against a
// bare loop asking TagLib's own FileRef for each file's tag on the same paths: one file at a
// time warm, 64 in flight cold. Best of several runs; then the peak memory.
//
//     bench_otherformats [files of each format] [runs] [warm]   default 20000, 3 runs
#include "BenchSystem.h"
#include "dialogs/UserDialogs.h"
#include "list/EntryList.h"
#include "list/ReadPipeline.h"
#include "support/AudioFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <fileref.h>
#include <tag.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

class SilentDialogs : public UserDialogs {
public:
    int messages = 0;
    void showMessage(const QString &) override { ++messages; }
    bool askYesNo(const QString &) override { return false; }
    int askChoice(const QString &, const QStringList &) override { return 0; }
    QString GetDlgSelectFolder(const QString &) override { return {}; }
    QStringList GetDlgSelectFileInfo(const QString &, const QString &, const QString &,
                                     const QString &, quint32) override {
        return {};
    }
};

constexpr int kFilesPerFolder = 100;
constexpr int kPictureBytes = 300 * 1000;

bool generate(const QString &root, int each, QStringList &paths) {
    for (int i = 0; i < each; ++i) {
        const int folder = i / kFilesPerFolder;
        const QString dir = root + QStringLiteral("/专辑%1").arg(folder, 4, 10, QLatin1Char('0'));
        if (i % kFilesPerFolder == 0 && !QDir().mkpath(dir))
            return false;
        const QByteArray title = QStringLiteral("第%1首歌").arg(i).toUtf8();
        const AudioFiles::Fields fields = {
            {"TITLE", title}, {"ARTIST", "歌手"}, {"ALBUM", "专辑"}, {"TRACKNUMBER", "3/12"}};
        for (const auto &[name, bytes] :
             {std::pair(QStringLiteral("/%1.flac"), AudioFiles::flac(fields, kPictureBytes)),
              std::pair(QStringLiteral("/%1.m4a"), AudioFiles::mp4(fields))}) {
            QFile f(dir + name.arg(i % kFilesPerFolder, 3, 10, QLatin1Char('0')));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
                return false;
            paths << f.fileName();
        }
    }
    return true;
}

int taglibRead(const QByteArray &path) {
    const TagLib::FileRef file(path.constData(), false);
    return !file.isNull() && file.tag() && !file.tag()->title().isEmpty();
}

int bareLoop(const std::vector<QByteArray> &paths, int inFlight) {
    std::atomic<int> files{0};
    std::atomic<size_t> next{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < inFlight; ++t) {
        threads.emplace_back([&] {
            for (size_t i; (i = next++) < paths.size();)
                files += taglibRead(paths[i]);
        });
    }
    for (std::thread &t : threads)
        t.join();
    return files;
}

void dropCache(const std::vector<QByteArray> &paths) {
    if (BenchSystem::dropPageCache())
        return;
    for (const QByteArray &path : paths)
        BenchSystem::evict(path.toStdString());
}

using BenchSystem::peakKib;

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int each = argc > 1 ? std::max(100, QString::fromLocal8Bit(argv[1]).toInt()) : 20000;
    const int runs = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 3;
    const bool warmOnly = argc > 3 && qstrcmp(argv[3], "warm") == 0;
    QTextStream out(stdout);
    QTemporaryDir tmp(QDir::currentPath() + QStringLiteral("/bench-formats-XXXXXX"));
    QStringList paths;
    if (!tmp.isValid() || !generate(tmp.path(), each, paths)) {
        out << "cannot create the tree under " << QDir::currentPath() << "\n";
        return 1;
    }
    std::vector<QByteArray> bytes;
    for (const QString &path : std::as_const(paths))
        bytes.push_back(QFile::encodeName(path));
    const long baseKib = peakKib();

    double best[2][2] = {{1e9, 1e9}, {1e9, 1e9}}; // [cold][bare, add folder]
    bool ok = true;
    for (int run = 0; run < runs; ++run) {
        for (int cold = warmOnly ? 0 : 1; cold >= 0; --cold) {
            for (int kind = 0; kind < 2; ++kind) {
                if (cold)
                    dropCache(bytes);
                else
                    bareLoop(bytes, 1); // warm up
                QElapsedTimer t;
                t.start();
                int files = 0;
                if (kind == 0) {
                    files = bareLoop(bytes, cold ? 64 : 1);
                } else {
                    EntryList list;
                    SilentDialogs dialogs;
                    ReadOptions options;
                    options.tags.allFormats = true;
                    ReadPipeline pipeline(list, dialogs, options);
                    pipeline.ScanFolder(tmp.path());
                    pipeline.finish();
                    files = list.table().size();
                    ok = ok && dialogs.messages == 0 && list.table().at(0).tags().track == u"3/12";
                }
                const double seconds = t.nsecsElapsed() / 1e9;
                ok = ok && files == int(bytes.size());
                best[cold][kind] = std::min(best[cold][kind], seconds);
                out << "run " << run << (cold ? " cold " : " warm ")
                    << (kind   ? "add folder"
                        : cold ? "FileRef, 64 in flight"
                               : "FileRef loop")
                    << ": " << seconds << " s\n";
                out.flush();
            }
        }
    }
    out << bytes.size() << " files (" << each << " FLAC with a " << kPictureBytes / 1000
        << " kB picture, " << each << " M4A)\n";
    for (int cold = warmOnly ? 0 : 1; cold >= 0; --cold)
        out << (cold ? "cold" : "warm") << ": add folder " << best[cold][1] << " s, bare loop "
            << best[cold][0] << " s, ratio " << best[cold][1] / best[cold][0] << "\n";
    out << "peak memory " << peakKib() / 1024 << " MiB (" << baseKib / 1024
        << " MiB before the first add)\n";
    return ok ? 0 : 1;
}
