#pragma once

#include "platform/FileIdentity.h"
#include "platform/LegacyText.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

// Profile (INI) files as rename.ini and elanguage.dat use them, in bytes of their encoding
// (LegacyText::profileCodePage tells which); codePage below is that encoding.
//
// How the text is read:
// - Lines end at CR LF, LF or a lone CR. A UTF-8 byte-order mark at the very start is skipped.
// - A line is read up to its first NUL byte; blanks (space, tab) around it do not count.
// - A line starting with "[" opens a section; its name runs to the first "]" or, when there is
//   none, to the end of the line. Lines before the first section belong to none.
// - Blank lines and lines starting with ";" are no lines of their section.
// - Other lines are the section's lines; one holding "=" is a key: the blanks around the key
//   and around the value do not count.
// - Section and key names match without regard to ASCII letter case. Sections of the same name
//   count as one, in file order, and the first line of a key wins.
namespace ProfileText {

// The value of key in section, or defaultValue when the section or key is absent (a key with
// an empty value gives empty text). The result is cut to at most capacity - 1 bytes; a
// character that would not fit whole is left out entirely rather than cut.
QByteArray readValue(QByteArrayView content, QByteArrayView section, QByteArrayView key,
                     QByteArrayView defaultValue, qsizetype capacity,
                     int codePage = LegacyText::kSystemCodePage);

// The lines of section, each followed by a NUL; the size of the result is the count. When the
// lines and a final NUL do not fit in capacity bytes, the result is cut to capacity - 2 bytes
// and so ends in part of a line, on a whole character. An absent section gives empty text.
QByteArray readSection(QByteArrayView content, QByteArrayView section, qsizetype capacity,
                       int codePage = LegacyText::kSystemCodePage);

// content with key set to value in section. Only the value of the key's line changes; a missing
// key goes after the last line of the section, a missing section at the end. Every other byte
// stays as it was. New lines end like the file's first line (CR LF in a file without any).
// value is cut at its first line break or NUL, which could not be read back.
QByteArray withValue(QByteArrayView content, QByteArrayView section, QByteArrayView key,
                     QByteArrayView value);

// content without the line of key in section (the first one, as the reader would take it);
// content itself when there is none.
QByteArray withoutKey(QByteArrayView content, QByteArrayView section, QByteArrayView key);

// content, read in codePage, as UTF-8 behind a byte-order mark; content itself when it is
// UTF-8 already.
QByteArray inUtf8(QByteArrayView content, int codePage);

} // namespace ProfileText

// Profile files on disk.
namespace ProfileFile {

// The file's bytes: empty when it does not exist, nothing when it exists but cannot be read
// (not a regular file, no permission, unreasonably large).
std::optional<QByteArray> load(const QString &path);

using KeyValue = std::pair<QByteArray, QByteArray>;

// Sets values of one section in the file, in order, and removes the lines of removedKeys,
// creating the file as needed, with one read and one write. The new content goes to a temporary
// file in the same directory that then replaces the old one, so a failure at any point leaves the
// old file whole. A file that cannot be read or is write-protected is left alone. Returns whether
// the file now holds the values.
//
// A file for which forbidden (when given) returns true is left alone, and wasForbidden set.
bool writeValues(const QString &path, QByteArrayView section, const QList<KeyValue> &values,
                 const QList<QByteArray> &removedKeys = {},
                 const std::function<bool(const FileIdentity &)> &forbidden = {},
                 bool *wasForbidden = nullptr);

// The same for any change: the file gets change(its content), or is left alone as above. Where
// the folder takes no temporary file (a full disk), the file is written in place without being
// cut first, and its old content put back should the new one not fit. why, when given, says in
// words why the file could not be written.
bool rewrite(const QString &path, const std::function<QByteArray(const QByteArray &)> &change,
             const std::function<bool(const FileIdentity &)> &forbidden = {},
             bool *wasForbidden = nullptr, QString *why = nullptr);

} // namespace ProfileFile
