#pragma once

#include "list/EntryTable.h"
#include "platform/RunLock.h"
#include "rename/RenameJournal.h"
#include "rename/SequentialRename.h"

class UserDialogs;

// The questions the window asks before a run, each worded once.
namespace RunQuestions {

// What to do with lines whose tag encoding looks wrong.
enum class GarbledLines { None, RenameAll, KeepTheirNames, Cancel };

// Asks about the entries whose tag text may be garbled, when there are any: rename them all,
// only the others, or nothing.
GarbledLines askAboutGarbledLines(UserDialogs &dialogs, const EntryTable &entries);

// Asks before page 2 renames: the folder and how many files it holds, so that a press in the
// wrong folder is seen before anything happens. In the program's own folders nothing is
// asked: the user is told, and false comes back.
bool confirmSequence(UserDialogs &dialogs, const SequenceInput &input);

// Takes lock for a run that writes the record at journalPath. Where another Tunemark holds it
// past a short wait, asks whether to rename anyway: on Yes journalPath is emptied (the run
// renames without a record, leaving the other's alone), on No false comes back.
bool takeRunLock(UserDialogs &dialogs, RunLock &lock, QString &journalPath);

// Takes lock, reads the record of the last run at journal and asks whether to undo it: the
// steps to undo, none when the user says no or there is nothing to undo. A record that cannot
// be read, or that another Tunemark is writing, is named in a message.
QList<JournalStep> confirmUndo(UserDialogs &dialogs, const QString &journal, RunLock &lock);

} // namespace RunQuestions
