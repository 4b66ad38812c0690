// Times ScanFolder over a tree of tagged MP3 files, with ID3v2 tags read and without, against
// a floor that only lists the same tree and reads the last 128 bytes of each file.
#include "dialogs/UserDialogs.h"
#include "list/EntryList.h"
#include "list/FileAdder.h"
#include "platform/LegacyText.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

class SilentDialogs : public UserDialogs {
public:
    int messages = 0;
    void showMessage(const QString &) override { ++messages; }
    bool askYesNo(const QString &) override { return false; }
    QString GetDlgSelectFolder(const QString &) override { return {}; }
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
        const QString dir = root + QStringLiteral("/专辑%1").arg(d, 3, 10, QLatin1Char('0'));
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

// The floor: the same listing, then the 128 bytes at the end of every file.
int floorLoop(const QString &root, qint64 &checksum) {
    const QDir::Filters filters =
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    std::vector<QString> pending{root};
    int files = 0;
    while (!pending.empty()) {
        const QString base = pending.back();
        pending.pop_back();
        QDirIterator it(base, filters);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileInfo().isDir()) {
                pending.push_back(path);
                continue;
            }
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly) || !f.seek(f.size() - 128))
                continue;
            checksum += f.read(128).at(3);
            ++files;
        }
    }
    return files;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int folders = 200;
    const int filesPerFolder = 100;
    const int total = folders * filesPerFolder;

    QTemporaryDir tmp;
    const QString root = QDir::toNativeSeparators(tmp.path());
    QTextStream out(stdout);
    if (!tmp.isValid() || !generate(tmp.path(), folders, filesPerFolder)) {
        out << "cannot create the tree under " << root << "\n";
        return 1;
    }

    // The first pass warms the cache; the ratio uses the best pass of each.
    const int passes = argc > 1 ? std::max(2, QString::fromLocal8Bit(argv[1]).toInt()) : 3;
    bool ok = true;
    double scanRate = 0, floorRate = 0, id3v2Rate = 0;
    for (int pass = 1; pass <= passes; ++pass) {
        qint64 checksum = 0;
        QElapsedTimer t;
        t.start();
        const int listed = floorLoop(root, checksum);
        const qint64 floorNs = t.nsecsElapsed();
        floorRate = std::max(floorRate, listed / (floorNs / 1e9));

        double rates[2] = {};
        for (const bool readId3v2 : {false, true}) {
            EntryList list;
            const EntryTable &table = list.table();
            SilentDialogs dialogs;
            FileAdder adder(list, dialogs, [] { return QStringLiteral("%1-%2"); });
            adder.setTagOptions({readId3v2});
            t.restart();
            adder.ScanFolder(root, QString());
            rates[readId3v2] = table.size() / (t.nsecsElapsed() / 1e9);
            ok = ok && table.size() == total && dialogs.messages == 0 &&
                 table.at(total - 1).title.endsWith(readId3v2 ? u"标题" : u"首");
        }
        scanRate = std::max(scanRate, rates[0]);
        id3v2Rate = std::max(id3v2Rate, rates[1]);
        ok = ok && listed == total;
        out << "pass " << pass << ": floor " << qRound(listed / (floorNs / 1e9))
            << " files/s, ScanFolder " << qRound(rates[0]) << " files/s, with ID3v2 "
            << qRound(rates[1]) << " files/s\n";
    }
    out << "files: " << total << " in " << folders << " folders\n"
        << "best: floor " << qRound(floorRate) << " files/s, ScanFolder " << qRound(scanRate)
        << " files/s\n"
        << "ScanFolder / floor time: " << floorRate / scanRate << "x (target <= 1.5x)\n"
        << "with ID3v2: " << qRound(id3v2Rate) << " files/s, " << floorRate / id3v2Rate
        << "x the floor's time\n";
    return ok ? 0 : 1;
}
