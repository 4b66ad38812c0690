// Times what an undo record of many steps costs the window: at start (whether there is a step
// to undo) and at Ctrl+Z (the whole record read), over a record of version 2 written as a run
// writes it, and states the peak memory.
//
//     bench_journal [steps]   default 1,000,000
#include "BenchSystem.h"
#include "rename/RenameJournal.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int steps = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 1000000;
    QTextStream out(stdout);
    QTemporaryDir tmp(QDir::currentPath() + QStringLiteral("/bench-journal-XXXXXX"));
    const QString journal = tmp.filePath(QStringLiteral("rename.undo"));
    {
        QFile file(journal);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        const QByteArray folder = QFile::encodeName(tmp.path()) + "/%E4%B8%93%E8%BE%91/";
        file.write("tunemark-undo 2\n");
        for (int i = 0; i < steps; ++i) {
            const QByteArray n = QByteArray::number(i);
            file.write("try " + folder + "track" + n + ".mp3 " + folder + "%E6%AD%8C" + n +
                       "-%E6%AD%8C%E6%89%8B.mp3 " + n + " 4000000 1700000000000000000\ndone " + n +
                       " 4000000 1700000000000000000\n");
        }
    }
    QElapsedTimer t;
    t.start();
    const bool any = journalHasSteps(journal);
    const double atStart = t.nsecsElapsed() / 1e9;
    t.restart();
    QString error;
    const qsizetype read = readRenameJournal(journal, &error).size();
    const double whole = t.nsecsElapsed() / 1e9;
    out << steps << " steps, " << QFile(journal).size() / (1024 * 1024) << " MiB\n"
        << "at start (a step to undo?): " << atStart << " s\n"
        << "at Ctrl+Z (the whole record): " << whole << " s, " << read << " steps\n"
        << "peak memory: " << BenchSystem::peakKib() / 1024 << " MiB\n";
    return any && read == steps && error.isEmpty() ? 0 : 1;
}
