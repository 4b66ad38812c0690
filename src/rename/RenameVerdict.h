#pragma once

#include "platform/RenameNoReplace.h"
#include "rename/ProgramFiles.h"
#include "rename/RenamePlan.h"

#include <QVector>

#include <functional>

// Why a step of a plan cannot be renamed as it stands. The preview asks before the run, with
// every reason; the executor asks again at each rename, so that a mark gone stale can never let
// a rename through (a name taken meanwhile is refused by the rename itself, which never
// replaces a file).
class RenameVerdict {
public:
    explicit RenameVerdict(const QString &ownFilesFolder);

    // What stands in the way of step, in this order: a listed name that is no plain name (it
    // would lead out of the folder), a new name no file can have, one of the
    // program's own files in its folder (neither for a file that keeps its name), another step
    // of the run with the same new name (clashesWith, its position, or -1), and, with
    // lookAtFiles, another existing file holding the new name.
    RenameNoReplace::Failure of(const RenameStep &step, int clashesWith = -1,
                                bool lookAtFiles = false);

private:
    ProgramFiles m_programFiles;
    bool m_checksOwnFiles;
};

// For each step, another step that gives a file the same new name in the same folder (letter
// case ignored where the file system ignores it), or -1; each of two such steps points at the
// other. Steps whose files keep their names are among them too.
QVector<int> sameNewNames(const QVector<RenameStep> &steps);
// The same for count steps, each made by stepAt when its turn comes.
QVector<int> sameNewNames(int count, const std::function<RenameStep(int)> &stepAt);

// How each step of plan would go if it ran now, without touching a file: the verdict of each
// step, then, for a step that renames, whether its new name is held by a file that no earlier
// step moves away or is taken by an earlier step. Steps go in the plan's order, as the run
// takes them, so a name freed or taken by one step counts for the steps after it.
QVector<RenameNoReplace::Result> predictPlan(const RenamePlan &plan);
