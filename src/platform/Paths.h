#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringView>

#ifdef Q_OS_WIN
#include <string>
#endif

// Paths as the program keeps them: native separators ("\" on Windows, "/" elsewhere), and
// directories with a trailing separator so that a file's path is directory + name.
namespace Paths {

QChar separator();

// Whether c separates the parts of a path: "/" anywhere, "\" too on Windows.
bool isSeparator(QChar c);

// Whether text ends in a path separator.
bool endsWithSeparator(const QString &path);

// Where the last part of path (a file's name) begins: just past its last separator, 0 when
// it has none.
qsizetype nameStart(QStringView path);

// How path comparisons treat letter case: as the file system usually does.
Qt::CaseSensitivity pathCase();

// Whether c is a control character (U+0000 to U+001F), which no line of a text file and no
// file name the program makes may hold.
inline bool isControlCharacter(QChar c) {
    return c.unicode() < 0x20;
}

// text with every control character (U+0000 to U+001F) shown as "?", so that a name taken
// from a tag cannot break a line of a message, a log or a playlist apart.
QString printableText(const QString &text);

// Whether c may not stand in a name the program makes: a control character (C0, DEL, C1), a
// line or paragraph separator, or a mark that turns the direction of text ("x\u202Egpj.3pm"
// shows as "xmp3.jpg").
inline bool isRefusedInNames(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029 || u == 0x200E ||
           u == 0x200F || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

// The longest file name the file systems take: 255 bytes of UTF-8 off Windows, 255 UTF-16
// units on Windows.
inline constexpr qsizetype kNameLimit = 255;

// The length of name as the file system counts it against kNameLimit.
qsizetype nameLength(QStringView name);
// The length of text in UTF-8 bytes; a lone surrogate counts as the three bytes it is written as.
qsizetype utf8Length(QStringView text);

// A name as the file system gives it, as text: UTF-8 when the bytes are valid UTF-8, otherwise
// decoded from the legacy code page (GBK), as archives made on Windows name their files.
QString nameText(QByteArrayView nativeName);

// A path as the file system gives it, as text: each part as nameText gives it.
QString pathText(QByteArrayView nativePath);

// The program's arguments as the system's exact bytes where those can be names that Qt's text
// would not give back (off Windows); none on Windows, whose arguments are UTF-16 already.
QList<QByteArray> exactArguments(int argc, char **argv);

// Whether bytes are valid UTF-8, as every name the program makes is.
bool isUtf8(QByteArrayView bytes);

// path with the native separator appended unless it already ends in one (a drive root).
QString withTrailingSeparator(const QString &path);

// path with native separators.
QString toNative(const QString &path);

// The form of a Windows path that the system's wide-character calls take at any length:
// "C:\a" as "\\?\C:\a", "\\server\share\a" as "\\?\UNC\server\share\a". Either
// separator is taken; empty and "." parts are dropped and ".." taken back, as the system does
// for plain paths but not for these. A path already in that form, or relative, is kept as it is.
// A plain function of the text, so that it is tested on every system.
QString longPathForm(const QString &path);

#ifdef Q_OS_WIN
// path in that form for a wide-character call; the result lives to the end of the call.
std::wstring winApiPath(const QString &path);
#endif

// The part of a file name from its last "." to its end, the dot included and the letter case
// kept; empty for a name without a dot.
QString lastSuffix(const QString &name);

// The directory of the running executable, with a trailing separator. On Linux, when the
// folder's name is not UTF-8, the folder held open and named through /proc/self/fd.
QString programDirectory();

// A path as bytes that give it back exactly: the file system's own bytes off Windows, UTF-8 on
// Windows, whose names are UTF-16.
QByteArray toExactBytes(const QString &path);
QString fromExactBytes(const QByteArray &bytes);

} // namespace Paths
