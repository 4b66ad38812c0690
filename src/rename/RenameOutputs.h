#pragma once

#include "platform/FileIdentity.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>

// rename.log and rename.m3u, with CR LF line ends: on Windows text in the legacy code page, or,
// for a run with a path or title that code page cannot write, the whole file in UTF-8 behind a
// byte-order mark; elsewhere titles in UTF-8 and paths as the file system's bytes. Control
// characters are written as "?", so that every entry stays one line.
//
// Each is created (replacing an earlier file) when it is made, before the first rename. Only a
// regular file is written (a link is followed only to one); a pipe, device or folder of that
// name is reported, never waited on. A file that isListed says is one of the files being
// renamed (the same file, under whatever name) is left untouched and reported.

// Says whether a file is one of the listed files.
using ListedFileTest = std::function<bool(const FileIdentity &)>;

// Whether any of these texts cannot be written exactly in the code page rename.log and
// rename.m3u use, so that they are to be written in UTF-8 (only ever on Windows).
bool outputsNeedUtf8(const QStringList &texts);

// What the log and the playlist share: the file, opened as an output when made.
class OutputFile {
public:
    // As messages show it: with the system's separators.
    QString path() const { return QDir::toNativeSeparators(m_file.fileName()); }
    // Whether the file was not written because it is one of the listed files.
    bool isListedFile() const { return m_listedFile; }

protected:
    OutputFile(const QString &path, const ListedFileTest &isListed, QIODevice::OpenMode extra);
    // Closes the file; false when it could not be created or anything was lost.
    bool close();

    QFile m_file;
    bool m_listedFile = false;
    bool m_writable;
};

// The log: one line per file, old path "-->" new path.
class RenameLog : public OutputFile {
public:
    // inUtf8: the file opens with a UTF-8 byte-order mark; its lines are then UTF-8.
    RenameLog(const QString &path, const ListedFileTest &isListed, bool inUtf8 = false);

    // Adds a line; writeLines hands the lines added to the operating system, before their
    // renames are tried, so the log shows the intent even when the program dies in the middle
    // of the batch.
    void addLine(const QByteArray &source, const QByteArray &target);
    void writeLines();
    // Closes the log; false when it could not be created or a line was lost.
    bool finish() {
        writeLines();
        return close();
    }

private:
    QByteArray m_lines;
};

// The extended M3U playlist, written whole at the end.
class M3uPlaylist : public OutputFile {
public:
    M3uPlaylist(const QString &path, const ListedFileTest &isListed, bool inUtf8 = false);

    void addEntry(const QString &title, const QByteArray &filePath);
    // Writes and closes the playlist; false when it could not be written.
    bool finish();

private:
    bool m_inUtf8;
    QByteArray m_bytes; // not yet written
};
