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

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

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

// One block of a run's steps, with what is made of them before any file is looked at.
struct PreparedBlock {
    int first = 0;
    int end = 0;
    QVector<RenameStep> steps;
    QVector<std::pair<FilePath, FilePath>> paths;     // their sources and targets
    QVector<std::pair<QByteArray, QByteArray>> shown; // those as the log shows them, if logged
    QVector<RenameNoReplace::Failure> refusals;       // the verdict on each
};

// The steps first to end of plan; shownInUtf8, when set, makes their paths as the log shows them.
// Names alone are judged: no file is looked at.
PreparedBlock prepareBlock(const RenamePlan &plan, int first, int end, RenameVerdict &verdict,
                           std::optional<bool> shownInUtf8) {
    PreparedBlock block{first, end, {}, {}, {}, {}};
    block.steps.reserve(end - first);
    block.paths.reserve(end - first);
    block.refusals.reserve(end - first);
    for (int i = first; i < end; ++i) {
        block.steps.append(plan.step(i));
        const RenameStep &step = block.steps.constLast();
        block.paths.append({step.source(), step.target()});
        const auto &[source, target] = block.paths.constLast();
        if (shownInUtf8)
            block.shown.append({source.outputForm(*shownInUtf8), target.outputForm(*shownInUtf8)});
        block.refusals.append(verdict.of(step));
    }
    return block;
}

// Makes blocks ready one at a time on one thread of its own, the same for the whole run: a
// thread for each block would spread what they make over many of the allocator's arenas, and a
// run of a million files would hold more memory. Where no thread can be had, take makes the
// block itself.
class BlockPreparer {
public:
    explicit BlockPreparer(std::function<PreparedBlock(int)> prepare)
        : m_prepare(std::move(prepare)) {
        try {
            m_thread = std::thread([this] { work(); });
        } catch (const std::system_error &) {
        }
    }
    ~BlockPreparer() {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }
    BlockPreparer(const BlockPreparer &) = delete;
    BlockPreparer &operator=(const BlockPreparer &) = delete;

    // Begins making the block that starts at first.
    void start(int first) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_first = first;
            m_ready.reset();
        }
        m_changed.notify_all();
    }
    // The block begun last, once made.
    PreparedBlock take() {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_thread.joinable())
            return m_prepare(std::exchange(m_first, -1));
        m_changed.wait(lock, [this] { return m_ready.has_value(); });
        PreparedBlock block = std::move(*m_ready);
        m_ready.reset();
        return block;
    }

private:
    void work() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_stopping || m_first >= 0; });
            if (m_stopping)
                return;
            const int first = std::exchange(m_first, -1);
            lock.unlock();
            PreparedBlock block = m_prepare(first);
            lock.lock();
            m_ready = std::move(block);
            m_changed.notify_all();
        }
    }

    const std::function<PreparedBlock(int)> m_prepare;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_first = -1; // the block to make next, or -1
    std::optional<PreparedBlock> m_ready;
    bool m_stopping = false;
    std::thread m_thread; // last: started once the rest is ready
};

} // namespace

RenameRun executePlan(const RenamePlan &plan, const RenameProgress &progress,
                      const StepOutcome &outcome) {
    RenameRun run;
    ListedFiles listed(plan.size(), [&](qsizetype i) {
        const RenameStep step = plan.step(int(i));
        return ListedFiles::Listed{step.source(),
                                   step.expectedIsTarget ? step.expected : FileIdentity()};
    });
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
    const std::optional<bool> shownInUtf8 = log ? std::optional<bool>(inUtf8) : std::nullopt;
    const auto prepare = [&](int first) {
        return prepareBlock(plan, first, qMin(total, first + kBlockSteps), verdict, shownInUtf8);
    };
    QVector<RenameNoReplace::Result> results;
    QVector<RenameJournal::Try> tries;
    QVector<int> tried; // the steps of the block's tries
    QVector<FileStamp> renamed;
    PreparedBlock block = prepare(0);
    // Only a run of more than one block needs the thread.
    std::optional<BlockPreparer> preparer;
    if (total > kBlockSteps)
        preparer.emplace(prepare);
    for (;;) {
        const int first = block.first;
        const int end = block.end;
        if (first >= end)
            break;
        // The next block is made ready on another thread meanwhile; it judges the steps by
        // their names alone, so the renames of this one change nothing of it.
        if (end < total)
            preparer->start(end);
        // The block's files are looked at once each, judged, and shown in the log and recorded
        // for undo before any of them is renamed.
        results.fill({}, end - first);
        tries.clear();
        tried.clear();
        for (int i = first; i < end; ++i) {
            const RenameStep &step = block.steps.at(i - first);
            const auto &[source, target] = block.paths.at(i - first);
            if (log)
                log->addLine(block.shown.at(i - first).first, block.shown.at(i - first).second);
            RenameNoReplace::Result &result = results[i - first];
            if (const auto refused = block.refusals.at(i - first);
                refused != RenameNoReplace::Failure::None) {
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
        int nextTry = 0; // the next of the block's tries
        for (int i = first; i < end; ++i) {
            const RenameStep &step = block.steps.at(i - first);
            RenameNoReplace::Result &result = results[i - first];
            if (!result.ok()) {
                if (outcome)
                    outcome(i, result);
                continue;
            }
            const bool isTry = nextTry < tried.size() && tried.at(nextTry) == i;
            // A try's file was checked against the one listed above, in the look that took
            // its stamp.
            result = RenameNoReplace::renameFile(block.paths.at(i - first).first, step.newName,
                                                 isTry ? FileIdentity() : step.expected);
            if (isTry && result.ok())
                renamed.append(tries.at(nextTry).stamp);
            nextTry += isTry;
            if (outcome)
                outcome(i, result);
        }
        journal.recordDone(renamed);
        for (int i = first; i < end; ++i) {
            const RenameStep &step = block.steps.at(i - first);
            const RenameNoReplace::Result &result = results.at(i - first);
            if (result.ok()) {
                ++run.renamed;
                run.report.addRenamed(step.keepsName());
            } else {
                run.report.addFailure(step.name.text(), step.newName, result);
            }
            if (playlist) { // where the file lies now
                const auto &[source, target] = block.paths.at(i - first);
                if (log) {
                    const auto &[shownSource, shownTarget] = block.shown.at(i - first);
                    playlist->addEntry(step.playlistTitle, result.ok() ? shownTarget : shownSource);
                } else {
                    playlist->addEntry(step.playlistTitle,
                                       (result.ok() ? target : source).outputForm(inUtf8));
                }
            }
            if (progress)
                progress(i + 1, total);
        }
        block = end < total ? preparer->take() : PreparedBlock{};
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
