#include "rename/RenameExecutor.h"

#include "platform/FileStamp.h"
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

// How many renames go in one block: their try lines are written at once before the first of
// them, their done lines at once after the last.
constexpr int kBlockSteps = 256;

// Whether the outputs of plan are to be UTF-8 (only ever on Windows); decided before the first
// line, since rename.log shows each line before its rename.
bool outputsInUtf8(const RenamePlan &plan) {
    if (!LegacyText::kUtf8WhenCodePageLacks || !(plan.writeLog || plan.writePlaylist))
        return false;
    QStringList texts;
    for (int i = 0; i < plan.size(); ++i) {
        const RenameStep step = plan.step(i);
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
    ListedFiles listed(plan.size(), [&](qsizetype i) { return plan.step(int(i)).source(); });
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
    const int total = plan.size();
    QVector<RenameNoReplace::Result> results;
    QVector<RenameJournal::Try> tries;
    QVector<int> tried; // the steps of the block's tries
    QVector<FileStamp> renamed;
    QVector<RenameStep> steps;                        // the block's steps, made once
    QVector<std::pair<FilePath, FilePath>> paths;     // their sources and targets
    QVector<std::pair<QByteArray, QByteArray>> shown; // those as the log shows them
    for (int first = 0; first < total; first += kBlockSteps) {
        const int end = qMin(total, first + kBlockSteps);
        // The block's files are looked at once each, judged, and shown in the log and recorded
        // for undo before any of them is renamed.
        results.fill({}, end - first);
        tries.clear();
        tried.clear();
        steps.clear();
        paths.clear();
        shown.clear();
        for (int i = first; i < end; ++i) {
            steps.append(plan.step(i));
            const RenameStep &step = steps.constLast();
            paths.append({step.source(), step.target()});
            const auto &[source, target] = paths.constLast();
            if (log) {
                shown.append({source.outputForm(inUtf8), target.outputForm(inUtf8)});
                log->addLine(shown.constLast().first, shown.constLast().second);
            }
            RenameNoReplace::Result &result = results[i - first];
            if (const auto refused = verdict.of(step); refused != RenameNoReplace::Failure::None) {
                result = {refused, 0};
                continue;
            }
            if (step.keepsName())
                continue; // renameFile says whether it is still there
            FileIdentity now;
            const FileStamp stamp = FileStamp::of(source, &now);
            if (step.expected.valid && !now.valid)
                result = {RenameNoReplace::Failure::SourceMissing, 0};
            else if (step.expected.valid && !now.sameAs(step.expected))
                result = {RenameNoReplace::Failure::FileReplaced, 0};
            else {
                tries.append({source, target, stamp});
                tried.append(i);
            }
        }
        if (log)
            log->writeLines();
        journal.recordTries(tries);
        renamed.clear();
        int next = 0; // the next of the block's tries
        for (int i = first; i < end; ++i) {
            const RenameStep &step = steps.at(i - first);
            RenameNoReplace::Result &result = results[i - first];
            if (!result.ok()) {
                if (outcome)
                    outcome(i, result);
                continue;
            }
            const bool isTry = next < tried.size() && tried.at(next) == i;
            // A try's file was checked against the one listed above, in the look that took
            // its stamp.
            result = RenameNoReplace::renameFile(paths.at(i - first).first, step.newName,
                                                 isTry ? FileIdentity() : step.expected);
            if (isTry && result.ok())
                renamed.append(tries.at(next).stamp);
            next += isTry;
            if (outcome)
                outcome(i, result);
        }
        journal.recordDone(renamed);
        for (int i = first; i < end; ++i) {
            const RenameStep &step = steps.at(i - first);
            const RenameNoReplace::Result &result = results.at(i - first);
            if (result.ok()) {
                ++run.renamed;
                run.report.addRenamed(step.keepsName());
            } else {
                run.report.addFailure(step.name.text(), step.newName, result);
            }
            if (playlist) { // where the file lies now
                const auto &[source, target] = paths.at(i - first);
                if (log) {
                    const auto &[shownSource, shownTarget] = shown.at(i - first);
                    playlist->addEntry(step.playlistTitle, result.ok() ? shownTarget : shownSource);
                } else {
                    playlist->addEntry(step.playlistTitle,
                                       (result.ok() ? target : source).outputForm(inUtf8));
                }
            }
            if (progress)
                progress(i + 1, total);
        }
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
