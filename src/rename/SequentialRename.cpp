#include "rename/SequentialRename.h"

#include "platform/Folders.h"
#include "platform/Paths.h"
#include "platform/RenameNoReplace.h"
#include "rename/ProgramFiles.h"
#include "rename/RenameJournal.h"
#include "rename/RenameReport.h"
#include "rename/StartNumber.h"

namespace {

constexpr double kSmallest = -32768;
constexpr double kLargest = 32767;

} // namespace

QString sequenceNumberText(int number, int width) {
    const QString digits = QString::number(number);
    // Digits longer than the width (negative numbers) get no padding.
    return digits.size() >= width ? digits : QString(width - digits.size(), u'0') + digits;
}

QString SequenceRun::failureMessage() const {
    return report.isClean() ? QString() : report.messageAfter(renamed);
}

SequenceRun RenameFilesInSequence(const SequenceInput &input, const RenameProgress &progress) {
    SequenceRun run;
    QStringList files;
    QList<QByteArray> nativeFiles;
    for (qsizetype i = 0; i < input.files.size(); ++i) {
        if (Folders::isHiddenName(input.files[i]))
            continue;
        files.append(input.files[i]);
        nativeFiles.append(input.nativeFiles.value(i));
    }
    if (files.isEmpty()) {
        run.refusal = QStringLiteral("没有文件");
        return run;
    }

    const QString directory = Paths::withTrailingSeparator(input.directory);
    const double start = readStartNumber(input.startNumber);
    if (!(start >= kSmallest && start <= kLargest)) {
        run.refusal = QStringLiteral("起始编号超出范围：只能是 -32768 到 32767 之间的数。"
                                     "没有文件被改名。");
        return run;
    }
    const int first = static_cast<int>(start);
    const qsizetype count = files.size();
    // One more than the last number used; it decides the width and must fit as well.
    const qint64 end = first + qint64(count);
    if (end > kLargest) {
        run.refusal = QStringLiteral("起始编号 %1 加上 %2 个文件超过了 32767。没有文件被改名。")
                          .arg(first)
                          .arg(count);
        return run;
    }
    const int width = int(QString::number(end).size());

    // Decided once: a box holding only blanks is not empty, and its text is taken as typed.
    const bool keepOwnSuffix = input.extension.isEmpty();
    const QString boxSuffix = QStringLiteral(".") + input.extension;

    RenameJournal journal(input.journalPath);
    ProgramFiles programFiles(input.programDirectory);
    int number = first;
    for (qsizetype k = 0; k < count; ++k, ++number) {
        const QString &name = files.at(k);
        const QString newName = input.prefix + sequenceNumberText(number, width) +
                                (keepOwnSuffix ? Paths::lastSuffix(name) : boxSuffix);
        RenameNoReplace::Result result;
        if (newName != name && !input.programDirectory.isEmpty() &&
            RenameNoReplace::checkName(newName) == RenameNoReplace::Failure::None &&
            programFiles.isOwnFile(directory, newName)) {
            result = {RenameNoReplace::Failure::OwnFileName, 0};
        } else {
            const QByteArray nativeDirectory =
                input.nativeDirectory.isEmpty() ? QByteArray() : input.nativeDirectory + '/';
            const QByteArray exactPath =
                (nativeDirectory.isEmpty() ? Paths::toExactBytes(directory) : nativeDirectory) +
                (nativeFiles.at(k).isEmpty() ? Paths::toExactBytes(name) : nativeFiles.at(k));
            result = journal.record(exactPath, name, newName, [&] {
                return RenameNoReplace::renameListedFile(
                    directory, nativeDirectory, name, nativeFiles.at(k), newName, FileIdentity());
            });
        }
        if (result.ok())
            ++run.renamed;
        else
            run.report.addFailure(name, newName, result);
        if (progress)
            progress(int(k + 1), int(count));
    }

    if (!journal.ok())
        run.report.addNote(QStringLiteral("无法写入撤销记录"));
    return run;
}
