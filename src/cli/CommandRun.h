#pragma once

#include "cli/CommandLine.h"
#include "list/ReadPipeline.h"
#include "settings/DataFolders.h"
#include "settings/Settings.h"

#include <cstdio>

// The exit statuses of a command; a dry run exits as the run it shows would.
enum ExitStatus {
    kAllDone = 0,     // every file renamed or left with its name
    kSomeNotDone = 1, // some refused or failed, every other one done
    kUsageError = 2,  // the arguments make no command
    kNothingToDo = 3, // no audio file found or none could be read; nothing to undo
};

// Carries out line's command (--rename, --number or --undo) with the program's files in
// folders, as the window would: the same reading, rename, undo record, log and playlist, and
// the same lock against another Tunemark. Nothing is asked: what the window would ask is
// decided by the options. rename.ini is read, never written. Returns the exit status.
int runCommand(const CommandLine &line, const DataFolders &folders, FILE *out = stdout,
               FILE *err = stderr);

// paths made absolute against the current folder; a name given only as its bytes keeps them.
QList<FilePath> absolutePaths(const QList<FilePath> &paths);

// How files are read with settings, in the window and on the command line alike.
ReadOptions readOptionsOf(const Settings &settings);
