#include "rename/RenameVerdict.h"

#include "platform/Paths.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <utility>
#include <vector>

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
    const bool foldCase = Paths::pathCase() == Qt::CaseInsensitive;
    const auto keyOf = [&](int i) {
        const RenameStep step = stepAt(i);
        const QString &folder = step.folder.text();
        return foldCase ? std::pair(folder.toCaseFolded(), step.newName.toCaseFolded())
                        : std::pair(folder, step.newName);
    };
    // Each step's folder and new name hashed, and the hashes sorted: a table of the names
    // themselves would take many times the room for a list of a million files.
    std::vector<std::pair<size_t, int>> hashes;
    hashes.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const auto [folder, name] = keyOf(i);
        hashes.emplace_back(qHashMulti(0, folder, name), i);
    }
    std::sort(hashes.begin(), hashes.end()); // by hash, then by position
    std::vector<std::pair<std::pair<QString, QString>, int>> firstWithName;
    for (size_t run = 0; run < hashes.size();) {
        size_t end = run + 1;
        while (end < hashes.size() && hashes[end].first == hashes[run].first)
            ++end;
        // Steps whose hashes agree, in their order: those whose names agree too are paired.
        firstWithName.clear();
        for (size_t k = run; end - run > 1 && k < end; ++k) {
            const int i = hashes[k].second;
            auto key = keyOf(i);
            const auto found = std::find_if(firstWithName.cbegin(), firstWithName.cend(),
                                            [&](const auto &entry) { return entry.first == key; });
            if (found == firstWithName.cend()) {
                firstWithName.emplace_back(std::move(key), i);
                continue;
            }
            const int first = found->second;
            same[i] = first;
            if (same[first] < 0)
                same[first] = i;
        }
        run = end;
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
