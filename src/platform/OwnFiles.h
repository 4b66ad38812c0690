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
// Held while a run writes the journal or the settings are saved (RunLock).
inline constexpr QStringView kLock = u"rename.lock";

inline constexpr QStringView kAll[] = {kLog, kPlaylist, kSettings, kLanguage, kJournal, kLock};

// The file name in folder, which ends in a separator.
inline QString pathIn(const QString &folder, QStringView name) {
    return folder + name.toString();
}

// The journal of a run until its first rename succeeds: "rename.undo.<run>.new", a name of
// each run's own, so that two runs never write one file.
inline QString journalInProgress(qint64 run) {
    return kJournal.toString() + u'.' + QString::number(run) + QStringLiteral(".new");
}

// Whether name is one of the program's own, letter case as cs says.
inline bool isOwnName(QStringView name, Qt::CaseSensitivity cs) {
    for (QStringView own : kAll) {
        if (own.compare(name, cs) == 0)
            return true;
    }
    // Asked for every file of a run: no text made for it.
    return name.endsWith(u".new", cs) && name.startsWith(kJournal, cs) &&
           name.mid(kJournal.size()).startsWith(u'.');
}

} // namespace OwnFiles
