#include "rename/SequentialRename.h"

#include "platform/FileIdentity.h"
#include "platform/Folders.h"
#include "platform/Paths.h"
#include "rename/RenameExecutor.h"
#include "rename/StartNumber.h"

#include <QDir>

namespace {

constexpr double kSmallest = -32768;
constexpr double kLargest = 32767;

// Where a portable copy of the program keeps the plugins and translations it loads.
constexpr const char *kPortableSubfolders[] = {"platforms", "styles", "translations",
                                               "imageformats", "iconengines"};

} // namespace

QString sequenceNumberText(int number, int width) {
    const QString digits = QString::number(number);
    // Digits longer than the width (negative numbers) get no padding.
    return digits.size() >= width ? digits : QString(width - digits.size(), u'0') + digits;
}

QString SequenceRun::failureMessage() const {
    return report.isClean() ? QString() : report.messageAfter(renamed);
}

QString sequenceRefusal(const SequenceInput &input) {
    const auto cleaned = [](const QString &path) {
        return QDir::cleanPath(QDir::fromNativeSeparators(path));
    };
    const QString folder = cleaned(input.directory.text());
    const FileIdentity identity = FileIdentity::of(input.directory);
    for (const QString &protectedFolder : input.protectedFolders) {
        if (protectedFolder.isEmpty())
            continue;
        QStringList forbidden{cleaned(protectedFolder)};
        for (const char *sub : kPortableSubfolders)
            forbidden << cleaned(protectedFolder) + u'/' + QString::fromLatin1(sub);
        for (const QString &path : std::as_const(forbidden)) {
            if (folder.compare(path, Paths::pathCase()) == 0 ||
                identity.sameAs(FileIdentity::of(path)))
                return QStringLiteral("这是本程序所在的文件夹，不能在这里按顺序改名");
        }
    }
    return {};
}

RenamePlan sequencePlan(const SequenceInput &input, QString *refusal) {
    const auto refuse = [refusal](const QString &why) {
        if (refusal)
            *refusal = why;
        return RenamePlan{};
    };
    if (const QString why = sequenceRefusal(input); !why.isEmpty())
        return refuse(why);
    QList<FilePath> files;
    for (const FilePath &file : input.files) {
        if (!Folders::isHiddenName(file.text()))
            files.append(file);
    }
    if (files.isEmpty())
        return refuse(kNoFiles);

    const double start = readStartNumber(input.startNumber);
    if (!(start >= kSmallest && start <= kLargest))
        return refuse(QStringLiteral("起始编号超出范围：只能是 -32768 到 32767 之间的数。"
                                     "没有文件被改名。"));
    const int first = static_cast<int>(start);
    const qsizetype count = files.size();
    // One more than the last number used; it decides the width and must fit as well.
    const qint64 end = first + qint64(count);
    if (end > kLargest)
        return refuse(QStringLiteral("起始编号 %1 加上 %2 个文件超过了 32767。没有文件被改名。")
                          .arg(first)
                          .arg(count));
    const int width = int(QString::number(end).size());

    // Decided once: a box holding only blanks is not empty, and its text is taken as typed.
    const bool keepOwnSuffix = input.extension.isEmpty();
    const QString boxSuffix = QStringLiteral(".") + input.extension;

    // The folder as the directory box gives it, with a separator before each name.
    const FilePath folder = input.directory.hasOwnBytes()
                                ? input.directory.join(FilePath(QStringLiteral("/")))
                                : FilePath(Paths::withTrailingSeparator(input.directory.text()));
    RenamePlan plan;
    plan.ownFilesFolder = input.programDirectory;
    plan.journalPath = input.journalPath;
    int number = first;
    for (const FilePath &file : std::as_const(files)) {
        const QString newName = input.prefix + sequenceNumberText(number++, width) +
                                (keepOwnSuffix ? Paths::lastSuffix(file.text()) : boxSuffix);
        plan.steps.append({folder, file, newName});
    }
    return plan;
}

SequenceRun RenameFilesInSequence(const SequenceInput &input, const RenameProgress &progress) {
    SequenceRun run;
    const RenamePlan plan = sequencePlan(input, &run.refusal);
    if (!run.ran())
        return run;
    RenameRun done = executePlan(plan, progress);
    run.report = std::move(done.report);
    run.renamed = done.renamed;
    return run;
}
