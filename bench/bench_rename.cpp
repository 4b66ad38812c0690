// Times the batch rename of many listed files, log and playlist on, against the floor: a bare
// loop of the same renames with the C library's rename().
#include "list/EntryList.h"
#include "rename/BatchRename.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

// Plain renames of every name in from to the name at the same place in to.
bool renameAll(const QString &dir, const QStringList &from, const QStringList &to) {
    bool ok = true;
    for (qsizetype i = 0; i < from.size(); ++i) {
        ok = std::rename(QFile::encodeName(dir + from[i]).constData(),
                         QFile::encodeName(dir + to[i]).constData()) == 0 &&
             ok;
    }
    return ok;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20000;
    const QString base = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QDir::tempPath();
    const int rounds = 5;

    QTemporaryDir tmp(base + QStringLiteral("/bench_rename-XXXXXX"));
    const QString music = tmp.path() + QStringLiteral("/music/");
    const QString program = tmp.path() + QStringLiteral("/program/");
    QDir().mkpath(music);
    QDir().mkpath(program);

    QStringList oldNames;
    QStringList newNames;
    for (int i = 0; i < files; ++i) {
        const QString n = QString::number(i);
        oldNames << QStringLiteral("track") + n + QStringLiteral(".mp3");
        newNames << QStringLiteral("歌名") + n + QStringLiteral("-歌手.mp3");
        QFile f(music + oldNames.last());
        if (!f.open(QIODevice::WriteOnly)) {
            QTextStream(stderr) << "cannot create " << f.fileName() << "\n";
            return 1;
        }
    }

    qint64 floorNs = std::numeric_limits<qint64>::max();
    qint64 batchNs = std::numeric_limits<qint64>::max();
    bool ok = true;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        ok = renameAll(music, oldNames, newNames) && ok;
        floorNs = std::min(floorNs, t.nsecsElapsed());
        ok = renameAll(music, newNames, oldNames) && ok;

        EntryList list;
        for (int i = 0; i < files; ++i) {
            list.table().append({music, oldNames[i], newNames[i],
                                 QStringLiteral("歌名") + oldNames[i], QStringLiteral("歌手")});
        }
        list.RefreshEntryList();
        t.restart();
        const std::optional<RenameReport> report = RenameListedFiles(
            list.table(), program, {true, true, program + QStringLiteral("rename.undo")});
        batchNs = std::min(batchNs, t.nsecsElapsed());
        ok = report && report->message() == QStringLiteral("自动改名完成") && ok;
        ok = renameAll(music, newNames, oldNames) && ok;
    }

    QTextStream out(stdout);
    out << "files:                         " << files << "\n"
        << "floor, plain rename() loop:    " << floorNs / 1e6 << " ms (best of " << rounds << ")\n"
        << "RenameListedFiles, log + m3u:  " << batchNs / 1e6 << " ms (best of " << rounds << ")\n"
        << "ratio:                         " << double(batchNs) / double(floorNs) << "\n"
        << "log bytes:                     "
        << QFileInfo(program + QStringLiteral("rename.log")).size() << "\n";
    if (!ok)
        out << "some rename failed\n";
    return ok ? 0 : 1;
}
