#include "app/RunQuestions.h"

#include "dialogs/UserDialogs.h"

namespace RunQuestions {

GarbledLines askAboutGarbledLines(UserDialogs &dialogs, const EntryTable &entries) {
    int garbled = 0;
    for (int i = 0; i < entries.size(); ++i)
        garbled += entries.at(i).looksGarbled();
    if (garbled == 0)
        return GarbledLines::None;
    switch (dialogs.askChoice(
        QStringLiteral("有 %1 行的标签编码可能不对。").arg(garbled),
        {QStringLiteral("全部改名"), QStringLiteral("只改其他行"), QStringLiteral("取消")})) {
    case 0:
        return GarbledLines::RenameAll;
    case 1:
        return GarbledLines::KeepTheirNames;
    default:
        return GarbledLines::Cancel;
    }
}

bool confirmSequence(UserDialogs &dialogs, const SequenceInput &input) {
    if (const QString refusal = sequenceRefusal(input); !refusal.isEmpty()) {
        dialogs.showMessage(refusal);
        return false;
    }
    return dialogs.askYesNo(QStringLiteral("把所有文件改名吗？\n%1（共 %2 个文件）")
                                .arg(input.directory.text())
                                .arg(input.files.size()));
}

bool takeRunLock(UserDialogs &dialogs, RunLock &lock, QString &journalPath) {
    if (lock.take())
        return true;
    if (!dialogs.askYesNo(
            QStringLiteral("另一个 Tunemark 正在改名，这次改名将不能撤销。仍然改名吗？")))
        return false;
    journalPath.clear();
    return true;
}

QList<JournalStep> confirmUndo(UserDialogs &dialogs, const QString &journal, RunLock &lock) {
    if (!lock.take()) {
        dialogs.showMessage(QStringLiteral("另一个 Tunemark 正在改名，请稍后再撤销"));
        return {};
    }
    QString error;
    const QList<JournalStep> steps = readRenameJournal(journal, &error);
    if (!error.isEmpty())
        dialogs.showMessage(QStringLiteral("无法撤销：") + error);
    if (steps.isEmpty() || !dialogs.askYesNo(undoQuestion(steps)))
        return {};
    return steps;
}

} // namespace RunQuestions
