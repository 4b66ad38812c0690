#pragma once

#include "platform/FileIdentity.h"
#include "platform/FilePath.h"
#include "platform/RenameNoReplace.h"

#include <QString>
#include <QVector>

#include <functional>

// One rename of a run: the file name in folder is to be named newName there.
struct RenameStep {
    FilePath folder; // with its trailing separator
    FilePath name;   // the file's name as listed: a name, never a path
    QString newName;
    // The file as it was listed; invalid when unknown, and then not checked before the rename.
    FileIdentity expected{};
    QString playlistTitle{}; // the title rename.m3u gives the file
    // Whether expected is also the file the path leads to (see RenameEntry::identityIsTarget).
    bool expectedIsTarget = false;

    FilePath source() const { return folder.join(name); }
    // Whether the file keeps the name it has.
    bool keepsName() const { return newName == name.text(); }
    // Where the file lies once renamed: a file that keeps its name keeps its bytes too.
    FilePath target() const { return keepsName() ? source() : folder.join(newName); }
};

// What one run does, page 1's or page 2's alike: its steps in order, and what it writes
// besides. The preview reads the same steps, so what it marks is what the run refuses.
struct RenamePlan {
    QVector<RenameStep> steps;
    // Where set, the plan's steps instead: stepCount of them, each made by stepAt when needed,
    // so that a run over a long list holds no copy of it. What stepAt reads must not change
    // while the plan is used.
    std::function<RenameStep(int)> stepAt;
    int stepCount = 0;
    // The folder the program keeps its files in: no step may give a file one of their names
    // there. Empty: not checked.
    QString ownFilesFolder;
    // Where rename.log and rename.m3u are written, when they are.
    QString outputDirectory;
    bool writeLog = false;
    bool writePlaylist = false;
    QString journalPath; // rename.undo; empty: no record for undoing the run

    int size() const { return stepAt ? stepCount : int(steps.size()); }
    RenameStep step(int i) const { return stepAt ? stepAt(i) : steps.at(i); }
};

// Called after each step of a long run with the number of steps done and their total.
using RenameProgress = std::function<void(int done, int total)>;
// Called after each step of a run with its position in the plan and how it went.
using StepOutcome = std::function<void(int step, const RenameNoReplace::Result &result)>;
