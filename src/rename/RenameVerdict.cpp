#include "rename/RenameVerdict.h"

#include "platform/Paths.h"

#include <QHash>
#include <QSet>

#include <utility>

using RenameNoReplace::Failure;

RenameVerdict::RenameVerdict(const QString &ownFilesFolder)
    : m_programFiles(ownFilesFolder)
    , m_checksOwnFiles(!ownFilesFolder.isEmpty()) {}

Failure RenameVerdict::of(const RenameStep &step, int clashesWith, bool lookAtFiles) {
    if (const Failure problem = RenameNoReplace::checkOldName(step.name.text());
        problem != Failure::None)
        return problem;
    const bool renames = !step.keepsName();
    if (renames) {
        if (const Failure problem = RenameNoReplace::checkName(step.newName);
            problem != Failure::None)
            return problem;
        if (m_checksOwnFiles && m_programFiles.isOwnFile(step.folder.text(), step.newName))
            return Failure::OwnFileName;
    }
    if (clashesWith >= 0)
        return Failure::SameNewName;
    if (renames && lookAtFiles && RenameNoReplace::isTakenByAnother(step.source(), step.newName))
        return Failure::TargetExists;
    return Failure::None;
}

QVector<int> sameNewNames(const QVector<RenameStep> &steps) {
    return sameNewNames(int(steps.size()), [&](int i) { return steps.at(i); });
}

QVector<int> sameNewNames(int count, const std::function<RenameStep(int)> &stepAt) {
    QVector<int> same(count, -1);
    // Keyed by folder and name as they are: copies of both share their text.
    QHash<std::pair<QString, QString>, int> firstWithName;
    firstWithName.reserve(count);
    const bool foldCase = Paths::pathCase() == Qt::CaseInsensitive;
    for (int i = 0; i < count; ++i) {
        const RenameStep step = stepAt(i);
        const QString &folder = step.folder.text();
        const std::pair<QString, QString> key =
            foldCase ? std::pair(folder.toCaseFolded(), step.newName.toCaseFolded())
                     : std::pair(folder, step.newName);
        const auto found = firstWithName.constFind(key);
        if (found == firstWithName.cend()) {
            firstWithName.insert(key, i);
            continue;
        }
        const int first = found.value();
        same[i] = first;
        if (same[first] < 0)
            same[first] = i;
    }
    return same;
}

QVector<RenameNoReplace::Result> predictPlan(const RenamePlan &plan) {
    const bool foldCase = Paths::pathCase() == Qt::CaseInsensitive;
    const auto key = [foldCase](const FilePath &folder, const QString &name) {
        const QString path = folder.text() + name;
        return foldCase ? path.toCaseFolded() : path;
    };
    RenameVerdict verdict(plan.ownFilesFolder);
    QSet<QString> taken; // names earlier steps give
    QSet<QString> freed; // names earlier steps move files away from
    QVector<RenameNoReplace::Result> results;
    results.reserve(plan.steps.size());
    for (const RenameStep &step : plan.steps) {
        Failure failure = verdict.of(step);
        const QString target = key(step.folder, step.newName);
        if (failure == Failure::None && !step.keepsName()) {
            const bool heldOnDisk = !freed.contains(target) &&
                                    RenameNoReplace::isTakenByAnother(step.source(), step.newName);
            if (taken.contains(target) || heldOnDisk)
                failure = Failure::TargetExists;
        }
        if (failure == Failure::None && !step.keepsName()) {
            const QString source = key(step.folder, step.name.text());
            taken.remove(source);
            freed.insert(source);
            freed.remove(target);
            taken.insert(target);
        }
        results.append({failure, 0});
    }
    return results;
}
