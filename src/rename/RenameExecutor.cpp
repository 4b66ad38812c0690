#include "rename/RenameExecutor.h"

#include "platform/LegacyText.h"
#include "platform/OwnFiles.h"
#include "platform/RenameNoReplace.h"
#include "rename/ListedFiles.h"
#include "rename/RenameJournal.h"
#include "rename/RenameOutputs.h"
#include "rename/RenameVerdict.h"

#include <QDir>

#include <optional>

namespace {

// Whether the outputs of plan are to be UTF-8 (only ever on Windows); decided before the first
// line, since rename.log shows each line before its rename.
bool outputsInUtf8(const RenamePlan &plan) {
    if (!LegacyText::kUtf8WhenCodePageLacks || !(plan.writeLog || plan.writePlaylist))
        return false;
    QStringList texts;
    for (const RenameStep &step : plan.steps) {
        texts << step.source().text() << step.target().text();
        if (plan.writePlaylist)
            texts << step.playlistTitle;
    }
    return outputsNeedUtf8(texts);
}

} // namespace

RenameRun executePlan(const RenamePlan &plan, const RenameProgress &progress,
                      const StepOutcome &outcome) {
    RenameRun run;
    QList<FilePath> sources;
    sources.reserve(plan.steps.size());
    for (const RenameStep &step : plan.steps)
        sources << step.source();
    ListedFiles listed(sources);
    const ListedFileTest isListed = [&](const FileIdentity &id) { return listed.contains(id); };

    const bool inUtf8 = outputsInUtf8(plan);
    const bool outputsHaveAPlace = !plan.outputDirectory.isEmpty();
    std::optional<RenameLog> log;
    if (plan.writeLog && outputsHaveAPlace)
        log.emplace(OwnFiles::pathIn(plan.outputDirectory, OwnFiles::kLog), isListed, inUtf8);
    std::optional<M3uPlaylist> playlist;
    if (plan.writePlaylist && outputsHaveAPlace)
        playlist.emplace(OwnFiles::pathIn(plan.outputDirectory, OwnFiles::kPlaylist), isListed,
                         inUtf8);

    RenameJournal journal(plan.journalPath);
    RenameVerdict verdict(plan.ownFilesFolder);
    const int total = int(plan.steps.size());
    for (int i = 0; i < total; ++i) {
        const RenameStep &step = plan.steps.at(i);
        // Names that are not UTF-8 go into the log as the file system's exact bytes.
        const FilePath source = step.source();
        const FilePath target = step.target();
        if (log)
            log->addLine(source.outputForm(inUtf8), target.outputForm(inUtf8));

        RenameNoReplace::Result result;
        if (const auto refused = verdict.of(step); refused != RenameNoReplace::Failure::None)
            result = {refused, 0};
        else
            result = journal.record(source, step.newName, [&] {
                return RenameNoReplace::renameFile(source, step.newName, step.expected);
            });
        if (result.ok()) {
            ++run.renamed;
            run.report.addRenamed(step.keepsName());
        } else
            run.report.addFailure(step.name.text(), step.newName, result);
        if (playlist) // where the file lies now
            playlist->addEntry(step.playlistTitle,
                               (result.ok() ? target : source).outputForm(inUtf8));
        if (outcome)
            outcome(i, result);
        if (progress)
            progress(i + 1, total);
    }

    if (!journal.ok())
        run.report.addNote(QStringLiteral("无法写入撤销记录"));
    const auto note = [&](const auto &output, const QString &what) {
        if (output->isListedFile())
            run.report.addNote(
                QStringLiteral("没有写入%1：%2 是列表中的文件").arg(what, output->path()));
        else
            run.report.addNote(QStringLiteral("无法写入%1：").arg(what) + output->path());
    };
    if ((plan.writeLog || plan.writePlaylist) && !outputsHaveAPlace)
        run.report.addNote(QStringLiteral("没有可写的文件夹：未写入改名记录和播放列表"));
    const bool logWritten = log && log->finish();
    if (log && !logWritten)
        note(log, QStringLiteral("改名记录"));
    const bool playlistWritten = playlist && playlist->finish();
    if (playlist && !playlistWritten)
        note(playlist, QStringLiteral("播放列表"));
    run.report.setOutputs(QDir::toNativeSeparators(QDir::cleanPath(plan.outputDirectory)),
                          logWritten, playlistWritten);
    return run;
}
