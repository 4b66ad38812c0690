// Times adding a folder of MP3 files whose ID3v2 tag holds a cover picture of 3 MB before its
// text frames, with the option for ID3v2 on against off, warm, best of several runs: the text
// frames are found by skipping the picture, not reading it. The files are sparse, so the tree
// takes little disk.
//
//     bench_id3v2 [files] [runs]   default 1000 files, 7 runs
#include "dialogs/UserDialogs.h"
#include "list/EntryList.h"
#include "list/ReadPipeline.h"
#include "support/TagBytes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

class SilentDialogs : public UserDialogs {
public:
    void showMessage(const QString &) override {}
    bool askYesNo(const QString &) override { return false; }
    int askChoice(const QString &, const QStringList &) override { return 0; }
    QString GetDlgSelectFolder(const QString &) override { return {}; }
    QStringList GetDlgSelectFileInfo(const QString &, const QString &, const QString &,
                                     const QString &, quint32) override {
        return {};
    }
};

constexpr qint64 kPicture = 3 * 1024 * 1024;

// An ID3v2.4 tag: a picture frame of 3 MB (a hole in the file), then the text frames; then a
// little sound and an ID3v1 block.
bool writeFile(const QString &path, int n) {
    QByteArray text;
    for (const char *id : {"TIT2", "TPE1", "TALB", "TRCK", "TDRC", "TPOS", "TPE2"})
        text += TagBytes::id3v2Frame(4, id, 3, "Song " + QByteArray::number(n));
    const QByteArray pictureHeader = "APIC" + TagBytes::syncSafe(kPicture) + QByteArray(2, '\0');
    const qint64 tagSize = pictureHeader.size() + kPicture + text.size();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QByteArray("ID3\x04\0\0", 6) + TagBytes::syncSafe(tagSize));
    file.write(pictureHeader);
    file.seek(file.pos() + kPicture);
    file.write(text);
    return file.write(TagBytes::mp3File("Old", "Older")) > 0;
}

double addFolder(const QString &folder, bool id3v2, int expected) {
    EntryList list;
    SilentDialogs dialogs;
    ReadOptions options;
    options.tags.readId3v2 = id3v2;
    QElapsedTimer t;
    t.start();
    ReadPipeline pipeline(list, dialogs, options);
    pipeline.ScanFolder(folder);
    pipeline.finish();
    const double seconds = t.nsecsElapsed() / 1e9;
    const QString title = id3v2 ? QStringLiteral("Song 0") : QStringLiteral("Old");
    if (list.table().size() != expected || list.table().at(0).title != title) {
        QTextStream(stderr) << "read " << list.table().size() << " files, the first titled "
                            << (list.table().isEmpty() ? QString() : list.table().at(0).title)
                            << "\n";
        return -1;
    }
    return seconds;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 1000;
    const int runs = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 7;
    QTemporaryDir tree(QDir::currentPath() + QStringLiteral("/bench-id3v2-XXXXXX"));
    for (int i = 0; i < files; ++i) {
        if (!writeFile(tree.filePath(QStringLiteral("%1.mp3").arg(i, 5, 10, QLatin1Char('0'))), i))
            return 1;
    }
    double best[2] = {1e9, 1e9};
    addFolder(tree.path(), true, files); // warm the cache
    for (int run = 0; run < runs; ++run) {
        for (const bool id3v2 : {false, true}) {
            const double seconds = addFolder(tree.path(), id3v2, files);
            if (seconds < 0)
                return 1;
            best[id3v2] = std::min(best[id3v2], seconds);
        }
    }
    QTextStream(stdout) << files
                        << " MP3 files, a 3 MB picture before the text frames, warm, best of "
                        << runs << "\nID3v2 off " << best[0] << " s, on " << best[1] << " s, ratio "
                        << best[1] / best[0] << "\n";
    return 0;
}
