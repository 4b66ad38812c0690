// A very large add through the window, offscreen: 1,000,000 tagged MP3 files in 10,000 folders
// added with "添加文件夹", then renamed (log and playlist on) and undone. It prints how often the
// progress moved (the longest gap), how soon Cancel stopped a first add, the add's time, a
// rebuild of the whole list (RefreshEntryList) and one page down in ListView1, the rename's and
// the undo's times, and the peak memory after the add and at the end, with the bytes they come
// to per entry.
//
//     bench_gui_million [files]   default 1000000, in folders of 100
#include "BenchSystem.h"
#include "app/Form1.h"
#include "dialogs/UserDialogs.h"
#include "settings/DataFolders.h"
#include "support/TagBytes.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

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

bool generate(const QString &root, int files) {
    for (int i = 0; i < files; ++i) {
        const QString dir = root + QStringLiteral("/album%1").arg(i / 100, 5, 10, QLatin1Char('0'));
        if (i % 100 == 0 && !QDir().mkpath(dir))
            return false;
        QFile f(dir + QStringLiteral("/track%1.mp3").arg(i % 100, 3, 10, QLatin1Char('0')));
        const QByteArray n = QByteArray::number(i);
        if (!f.open(QIODevice::WriteOnly) || f.write(TagBytes::mp3File("Song " + n, "Singer")) < 0)
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::max(1000, QString::fromLocal8Bit(argv[1]).toInt()) : 1000000;
    QTextStream out(stdout);
    QTemporaryDir tree(QDir::currentPath() + QStringLiteral("/bench-million-XXXXXX"));
    QTemporaryDir program;
    QElapsedTimer t;
    t.start();
    if (!tree.isValid() || !generate(tree.path(), files))
        return 1;
    out << files << " files in folders of 100, made in " << t.elapsed() / 1000.0 << " s\n";
    QFile ini(program.filePath(QStringLiteral("rename.ini")));
    if (!ini.open(QIODevice::WriteOnly) ||
        ini.write("[setup]\r\nm3u=1\r\nm3upath=\r\nhistory=1\r\nformat=%1-%2\r\n") < 0)
        return 1;
    ini.close();

    AnsweringDialogs dialogs;
    dialogs.folder = tree.path();
    Form1 window(dialogs, DataFolders::portable(program.path()));
    window.show();
    QApplication::processEvents();
    const long baseline = BenchSystem::peakKib();
    auto *add = window.findChild<QAction *>(QStringLiteral("AddDirectory"));

    // An add cancelled after half a second.
    QElapsedTimer cancelled;
    t.restart();
    window.setProgressObserver([&] {
        if (cancelled.isValid() || t.elapsed() < 500)
            return;
        for (QProgressDialog *dialog : window.findChildren<QProgressDialog *>()) {
            if (dialog->isVisible()) {
                cancelled.start();
                dialog->cancel();
            }
        }
    });
    add->trigger();
    const double cancelSeconds = cancelled.isValid() ? cancelled.nsecsElapsed() / 1e9 : -1;
    const int linesAtCancel = window.entryList().lineCount();
    window.entryList().ClearEntries();

    // The whole add, with the longest wait between two progress reports.
    qint64 longestGap = 0;
    QElapsedTimer sinceReport;
    window.setProgressObserver([&] {
        if (sinceReport.isValid())
            longestGap = std::max(longestGap, sinceReport.elapsed());
        sinceReport.start();
    });
    t.restart();
    add->trigger();
    const double addSeconds = t.nsecsElapsed() / 1e9;
    window.setProgressObserver({});
    const long peak = BenchSystem::peakKib();
    const int lines = window.entryList().lineCount();

    t.restart();
    window.entryList().RefreshEntryList();
    QApplication::processEvents();
    const double rebuildSeconds = t.nsecsElapsed() / 1e9;
    auto *view = window.findChild<QAbstractItemView *>(QStringLiteral("ListView1"));
    t.restart();
    view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    view->viewport()->repaint();
    const double scrollSeconds = t.nsecsElapsed() / 1e9;

    t.restart();
    window.findChild<QPushButton *>(QStringLiteral("Command1(4)"))->click();
    const double renameSeconds = t.nsecsElapsed() / 1e9;
    const long peakAfterRename = BenchSystem::peakKib();
    const bool renamed = !dialogs.messages.isEmpty() &&
                         dialogs.messages.last().startsWith(QStringLiteral("自动改名完成"));
    t.restart();
    window.findChild<QAction *>(QStringLiteral("UndoRename"))->trigger();
    const double undoSeconds = t.nsecsElapsed() / 1e9;
    const long peakAtEnd = BenchSystem::peakKib();
    const bool undone =
        dialogs.messages.last().startsWith(QStringLiteral("已撤销 %1 个").arg(lines));

    out << "cancel after 0.5 s: stopped in " << cancelSeconds << " s with " << linesAtCancel
        << " lines\n"
        << "add: " << addSeconds << " s for " << lines << " lines, progress every "
        << longestGap / 1000.0 << " s at most\n"
        << "rebuild: " << rebuildSeconds << " s; one page down: " << scrollSeconds << " s\n"
        << "rename with log, playlist and undo record: " << renameSeconds << " s"
        << (renamed ? "" : " (FAILED)") << "; undo: " << undoSeconds << " s"
        << (undone ? "" : " (FAILED)") << "\n"
        << "peak memory after the add " << peak / 1024 << " MiB, "
        << (peak - baseline) * 1024.0 / lines << " bytes per entry over the empty window's "
        << baseline / 1024 << " MiB; through the rename " << peakAfterRename / 1024
        << " MiB, through the undo " << peakAtEnd / 1024 << " MiB, "
        << (peakAtEnd - baseline) * 1024.0 / lines << " bytes per entry\n";
    window.close();
    return lines == files && renamed && undone ? 0 : 1;
}
