// Times a rebuild of the entry list and a reformat of every new name over a large table.
#include "list/EntryList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const int rounds = 5;

    EntryList list;
    for (int i = 0; i < entries; ++i) {
        const QString n = QString::number(i);
        list.table().append({QStringLiteral("/music/album/"),
                             QStringLiteral("track") + n + QStringLiteral(".mp3"), QString(),
                             QStringLiteral("歌名") + n, QStringLiteral("歌手") + n});
    }

    auto best = [&](auto &&work) {
        qint64 bestNs = std::numeric_limits<qint64>::max();
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer t;
            t.start();
            work();
            bestNs = std::min(bestNs, t.nsecsElapsed());
        }
        return bestNs / 1e6;
    };

    const double refresh = best([&] { list.RefreshEntryList(); });
    const double reformat = best([&] { list.ReformatNewNames(QStringLiteral("%1-%2")); });

    QTextStream out(stdout);
    out << "entries:             " << entries << "\n"
        << "RefreshEntryList:    " << refresh << " ms (best of " << rounds << ")\n"
        << "ReformatNewNames:    " << reformat << " ms (best of " << rounds << ")\n"
        << "counter after:       " << list.counterText() << "\n";
    return list.lineCount() == entries ? 0 : 1;
}
