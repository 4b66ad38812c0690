// Peak memory with the longest template the box Text3 accepts (32,767 characters: "%1" 16,383
// times) over a large list: every new name formed again (the Save button), the settings saved,
// then a batch rename with log and playlist (the files do not exist, so every rename fails
// and is reported). No name past the file systems' limit is built in full, so memory stays in
// proportion to the list, not to list times template.
#include "BenchSystem.h"
#include "list/EntryList.h"
#include "rename/BatchRename.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

double peakMegabytes() {
    return BenchSystem::peakKib() / 1024.0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int entries = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const QString nameTemplate = QStringLiteral("%1").repeated(16383);
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/");

    EntryList list;
    for (int i = 0; i < entries; ++i) {
        const QString n = QString::number(i);
        // A full ID3v1 title: 30 characters.
        list.table().append({folder, QStringLiteral("track") + n + QStringLiteral(".mp3"),
                             QString(), QStringLiteral("歌名").repeated(15),
                             QStringLiteral("歌手") + n});
    }
    const double afterList = peakMegabytes();

    QElapsedTimer t;
    t.start();
    list.ReformatNewNames(nameTemplate);
    const qint64 reformatMs = t.restart();
    Settings settings;
    settings.nameTemplate = nameTemplate;
    SettingsFile(folder).SaveSettings(settings);
    const qint64 saveMs = t.restart();
    const std::optional<RenameReport> report = RenameListedFiles(
        list.table(), folder, {true, true, folder + QStringLiteral("rename.undo")});
    const qint64 renameMs = t.restart();

    QTextStream out(stdout);
    out << "entries:                " << entries << "\n"
        << "template characters:    " << nameTemplate.size() << "\n"
        << "new name characters:    " << list.table().at(0).newName.size() << "\n"
        << "peak after the list:    " << afterList << " MB\n"
        << "ReformatNewNames:       " << reformatMs << " ms\n"
        << "SaveSettings:           " << saveMs << " ms\n"
        << "RenameListedFiles:      " << renameMs << " ms\n"
        << "peak memory:            " << peakMegabytes() << " MB\n";
    return report ? 0 : 1;
}
