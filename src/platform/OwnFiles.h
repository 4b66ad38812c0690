#pragma once

#include <QString>
#include <QStringView>

// The files the program keeps in the folder in use, by name: one table, so that every part
// that writes, reads or guards them means the same files.
namespace OwnFiles {

inline constexpr QStringView kSettings = u"rename.ini";
inline constexpr QStringView kLanguage = u"elanguage.dat";
inline constexpr QStringView kLog = u"rename.log";
inline constexpr QStringView kPlaylist = u"rename.m3u";
inline constexpr QStringView kJournal = u"rename.undo";
// The journal of a run until its first rename succeeds.
inline constexpr QStringView kJournalInProgress = u"rename.undo.new";
// Held while a run writes the journal or the settings are saved (RunLock).
inline constexpr QStringView kLock = u"rename.lock";

inline constexpr QStringView kAll[] = {kLog,     kPlaylist,          kSettings, kLanguage,
                                       kJournal, kJournalInProgress, kLock};

// The file name in folder, which ends in a separator.
inline QString pathIn(const QString &folder, QStringView name) {
    return folder + name.toString();
}

} // namespace OwnFiles
