#include "cli/CommandRun.h"

#include "cli/CommandOutput.h"
#include "dialogs/UserDialogs.h"
#include "filebox/FileBoxNames.h"
#include "list/EntryList.h"
#include "list/FileAdder.h"
#include "platform/FileIdentity.h"
#include "platform/FolderListing.h"
#include "platform/Paths.h"
#include "platform/RunLock.h"
#include "rename/BatchRename.h"
#include "rename/RenameExecutor.h"
#include "rename/RenameJournal.h"
#include "rename/RenameReport.h"
#include "rename/RenameVerdict.h"
#include "rename/SequentialRename.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

using Status = CommandOutput::Status;
using RenameNoReplace::Failure;

const QString kBusy = QStringLiteral("另一个 Tunemark 正在改名，请稍后再试");
const QString kNothingToUndo = QStringLiteral("没有可撤销的改名");

// What the reading says to the user goes to the error stream; nothing is ever asked.
class CommandDialogs : public UserDialogs {
public:
    explicit CommandDialogs(CommandOutput &output)
        : m_output(output) {}
    void showMessage(const QString &text) override { m_output.note(text); }
    bool askYesNo(const QString &) override { return false; }
    int askChoice(const QString &, const QStringList &choices) override {
        return int(choices.size()) - 1;
    }
    QString GetDlgSelectFolder(const QString &) override { return {}; }
    QStringList GetDlgSelectFileInfo(const QString &, const QString &, const QString &,
                                     const QString &, quint32) override {
        return {};
    }

private:
    CommandOutput &m_output;
};

// A failure the program decides on (a name rule, a clash, a name taken, a file changed since it
// was listed) is a refusal; one the system reports is a failure.
Status statusOf(const RenameStep &step, const RenameNoReplace::Result &result) {
    if (result.ok())
        return step.keepsName() ? Status::Unchanged : Status::Renamed;
    switch (result.failure) {
    case Failure::SourceMissing:
    case Failure::AccessDenied:
    case Failure::InUse:
    case Failure::PathTooLong:
    case Failure::InvalidName:
    case Failure::Other:
        return Status::Failed;
    default:
        return Status::Refused;
    }
}

void tell(CommandOutput &output, const RenameStep &step, const RenameNoReplace::Result &result) {
    output.file(statusOf(step, result), step.source(), step.newName, renameFailureReason(result));
}

// Shows plan in a dry run, or carries it out under the lock.
int carryOut(const RenamePlan &plan, const DataFolders &folders, bool dryRun,
             CommandOutput &output) {
    if (dryRun) {
        const QVector<RenameNoReplace::Result> results = predictPlan(plan);
        for (int i = 0; i < plan.steps.size(); ++i)
            tell(output, plan.steps.at(i), results.at(i));
        output.summary(output.counts(true));
        return output.exitStatus();
    }
    folders.makeDataDirectory(); // a folder that cannot be made shows as unwritable outputs
    RunLock lock(folders.dataDirectory);
    if (!lock.take()) {
        output.note(kBusy);
        return kSomeNotDone;
    }
    const RenameRun run = executePlan(
        plan,
        [&](int done, int total) {
            output.progress(QStringLiteral("已改名 %1/%2").arg(done).arg(total));
        },
        [&](int step, const RenameNoReplace::Result &result) {
            tell(output, plan.steps.at(step), result);
        });
    lock.release();
    output.summary(output.counts(false));
    if (!run.report.outputsLine().isEmpty())
        output.summary(run.report.outputsLine());
    for (const QString &note : run.report.notes())
        output.note(note);
    return output.exitStatus() == kAllDone && !run.report.notes().isEmpty() ? kSomeNotDone
                                                                            : output.exitStatus();
}

int renameByTemplate(const CommandLine &line, const DataFolders &folders, CommandOutput &output) {
    SettingsFile settingsFile(folders);
    if (!line.settingsFile.isEmpty()) {
        const QFileInfo given(line.settingsFile);
        if (!given.isFile()) {
            output.note(QStringLiteral("找不到设置文件：%1").arg(line.settingsFile));
            return kUsageError;
        }
        settingsFile = SettingsFile::at(given.absoluteFilePath());
    }
    const Settings settings = settingsFile.LoadSettings();
    Settings given = settings; // what the options say in place of the settings
    given.nameTemplate = line.nameTemplate.value_or(settings.nameTemplate);
    given.readId3v2 = line.readId3v2.value_or(settings.readId3v2);
    given.tagCodePage = line.tagCodePage.value_or(settings.tagCodePage);
    given.allFormats = line.allFormats.value_or(settings.allFormats);
    given.safeNames = line.safeNames.value_or(settings.safeNames);

    EntryList list;
    CommandDialogs dialogs(output);
    FileAdder adder(list, dialogs);
    adder.setOptions(readOptionsOf(given));
    adder.setProgress([&output](int added, const QString &) {
        output.progress(QStringLiteral("已读取 %1 个文件").arg(added));
        return true;
    });
    // A path that is not there is said, not taken for a file of no audio type.
    QList<FilePath> paths;
    for (const FilePath &path : absolutePaths(line.paths)) {
        if (FileIdentity::ofEntry(path).valid)
            paths << path;
        else
            output.note(QStringLiteral("找不到：%1").arg(Paths::printableText(path.text())));
    }
    const bool allFound = paths.size() == line.paths.size();
    adder.addPaths(paths);
    if (list.table().isEmpty()) {
        output.note(QStringLiteral("没有找到可以改名的音乐文件"));
        return kNothingToDo;
    }
    const BatchRenameOptions batch{line.writePlaylist.value_or(isOn(settings.playlist)),
                                   line.writeLog.value_or(isOn(settings.history)),
                                   line.dryRun ? QString() : folders.journalPath(),
                                   line.skipDoubtful};
    const int status = carryOut(planListedFiles(list.table(), folders.dataDirectory, batch),
                                folders, line.dryRun, output);
    return allFound ? status : std::max(status, int(kSomeNotDone));
}

int renameInSequence(const CommandLine &line, const DataFolders &folders, CommandOutput &output) {
    const FilePath folder = absolutePaths(line.paths).front();
    if (!listFolder(folder).readable) {
        output.note(QStringLiteral("无法读取文件夹：%1").arg(Paths::printableText(folder.text())));
        return kNothingToDo;
    }
    const QString pattern =
        line.filter.isEmpty() ? QStringLiteral("*.*") : QStringLiteral("*.") + line.filter;
    SequenceInput input{folder,
                        FileBoxNames::filesOf(folder, pattern),
                        line.prefix,
                        line.startNumber,
                        line.extension,
                        line.dryRun ? QString() : folders.journalPath(),
                        folders.dataDirectory,
                        {folders.programDirectory, folders.dataDirectory}};
    QString refusal;
    const RenamePlan plan = sequencePlan(input, &refusal);
    if (!refusal.isEmpty()) {
        output.note(refusal);
        return refusal == kNoFiles ? kNothingToDo : kSomeNotDone;
    }
    return carryOut(plan, folders, line.dryRun, output);
}

int undoLastRun(const CommandLine &line, const DataFolders &folders, CommandOutput &output) {
    const QString journal = folders.journalPath();
    RunLock lock(folders.dataDirectory);
    if (!lock.take()) {
        output.note(kBusy);
        return kSomeNotDone;
    }
    QString error;
    const QList<JournalStep> steps =
        journal.isEmpty() ? QList<JournalStep>() : readRenameJournal(journal, &error);
    if (!error.isEmpty()) {
        output.note(QStringLiteral("无法撤销：") + error);
        return kSomeNotDone;
    }
    if (steps.isEmpty()) {
        output.note(kNothingToUndo);
        return kNothingToDo;
    }
    // A file that has its old name again already counts as undone.
    const auto tellStep = [&](const JournalStep &step, const QString &reason) {
        output.file(reason.isEmpty() ? Status::Renamed : Status::Refused, step.newPath,
                    step.oldPath.name().text(), reason);
    };
    if (line.dryRun) {
        for (auto step = steps.crbegin(); step != steps.crend(); ++step) {
            bool back = false;
            tellStep(*step, undoObstacle(*step, &back));
        }
        output.summary(QStringLiteral("将撤销 %1 个文件的改名，不能撤销 %2 个"
                                      "（试运行，没有改动任何文件）")
                           .arg(output.count(Status::Renamed))
                           .arg(output.count(Status::Refused)));
        return output.exitStatus();
    }
    const UndoReport report = UndoLastRename(journal, steps, tellStep);
    output.summary(QStringLiteral("已撤销 %1 个文件的改名").arg(report.undone));
    return report.failures.isEmpty() ? kAllDone : kSomeNotDone;
}

} // namespace

ReadOptions readOptionsOf(const Settings &settings) {
    ReadOptions options;
    options.nameTemplate = settings.nameTemplate;
    options.tags = {settings.readId3v2, settings.tagCodePage, settings.allFormats};
    options.safeNames = settings.safeNames;
    return options;
}

QList<FilePath> absolutePaths(const QList<FilePath> &paths) {
    QList<FilePath> absolute;
    const FilePath here = QDir::currentPath() + u'/';
    for (const FilePath &given : paths) {
        if (!given.hasOwnBytes()) // with the system's separators, as every path shown
            absolute << FilePath(
                QDir::toNativeSeparators(QFileInfo(given.text()).absoluteFilePath()));
        else // a name that is not UTF-8 is kept as its bytes and shown decoded
            absolute << (given.exactBytes().startsWith('/') ? given : here.join(given));
    }
    return absolute;
}

int runCommand(const CommandLine &line, const DataFolders &folders, FILE *out, FILE *err) {
    CommandOutput output(out, err, line.tsv);
    switch (line.action) {
    case CommandLine::Action::Rename:
        return renameByTemplate(line, folders, output);
    case CommandLine::Action::Number:
        return renameInSequence(line, folders, output);
    case CommandLine::Action::Undo:
        return undoLastRun(line, folders, output);
    default:
        break;
    }
    return kUsageError;
}
