#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

class EntryTable;

// rename.log and rename.m3u, with CR LF line ends: on Windows text in the legacy code page, whose
// missing characters are written as "?"; elsewhere titles in UTF-8 and paths as the file
// system's bytes. Control characters are written as "?", so that every entry stays one line.
//
// Each is created (replacing an earlier file) when it is made, before the first rename: no
// listed file can then be renamed to its name and be emptied afterwards. A listed file that
// already lies there is never opened.

// Paths for the outputs, each directory encoded once for all its files.
class OutputPaths {
public:
    QByteArray path(const QString &directory, const QString &name);

private:
    QString m_directory;
    QByteArray m_encodedDirectory;
};

// The log: one line per file, old path "-->" new path.
class RenameLog {
public:
    // The first rows entries of listed are the files about to be renamed.
    RenameLog(const QString &path, const EntryTable &listed, int rows);

    // The line reaches the operating system before this returns, so the log shows the intent
    // even when the program dies in the middle of the batch.
    void addLine(const QByteArray &source, const QByteArray &target);
    // Closes the log; false when it could not be created or a line was lost.
    bool finish();
    QString path() const { return m_file.fileName(); }

private:
    QFile m_file;
    bool m_writable;
};

// The extended M3U playlist, written whole at the end.
class M3uPlaylist {
public:
    M3uPlaylist(const QString &path, const EntryTable &listed, int rows);

    void addEntry(const QString &title, const QByteArray &filePath);
    // Writes and closes the playlist; false when it could not be written.
    bool finish();
    QString path() const { return m_file.fileName(); }

private:
    QFile m_file;
    bool m_writable;
    QByteArray m_bytes;
};
