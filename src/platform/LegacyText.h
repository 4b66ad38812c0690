#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QVector>

// Conversion between Unicode and the 8-bit code pages that tags, profile files, rename.log and
// rename.m3u are written in. A code page is given by its Windows number; kSystemCodePage is
// the system ANSI code page on Windows and GBK elsewhere.
//
// Bytes that do not form a character of the code page decode to U+FFFD, one per byte, and
// decoding goes on with the next byte. Characters the code page cannot represent encode to
// "?", one per code point, as the Windows conversion does. Neither ever stops a conversion.
namespace LegacyText {

constexpr int kSystemCodePage = 0;
constexpr int kGbk = 936;
constexpr int kGb18030 = 54936;
constexpr int kBig5 = 950;
constexpr int kShiftJis = 932;
constexpr int kEucKr = 949; // its Windows superset, which is what Korean systems write
constexpr int kWindows1251 = 1251;
constexpr int kWindows1252 = 1252;
constexpr int kUtf8 = 65001;
// No code page but a choice for tags: UTF-8 for bytes that are valid UTF-8 and not plain
// ASCII, the system code page for all others; see codePageFor.
constexpr int kAutoUtf8 = -1;

// The encodings a user can choose for tags, in the order the settings page lists them: the one
// table a new encoding is added to.
struct TagEncoding {
    int codePage;
    QByteArrayView iniName; // codepage= in rename.ini; empty for the system's, never written
    const char *shownName;  // as the settings page shows it (UTF-8)
    // The converter that builds the code page's tables off Windows; nullptr where none is
    // needed (UTF-8, the automatic choice).
    const char *converter;
    bool doubleByte; // characters of one or two bytes (four for GB18030)
};
inline constexpr TagEncoding kTagEncodings[] = {
    {kSystemCodePage, "", "系统默认", "GBK", true},
    {kGbk, "GBK", "GBK", "GBK", true},
    {kGb18030, "GB18030", "GB18030", "GB18030", true},
    {kBig5, "Big5", "Big5", "Big5", true},
    {kShiftJis, "Shift_JIS", "Shift_JIS", "Shift_JIS", true},
    {kEucKr, "EUC-KR", "EUC-KR", "windows-949", true},
    {kWindows1251, "windows-1251", "Windows-1251", "windows-1251", false},
    {kWindows1252, "windows-1252", "Windows-1252", "windows-1252", false},
    {kUtf8, "UTF-8", "UTF-8", nullptr, false},
    {kAutoUtf8, "auto", "自动（UTF-8 或系统默认）", nullptr, false},
};

// The row of codePage; the system's for a code page not in the table.
const TagEncoding &tagEncoding(int codePage);
// The row whose rename.ini name is name, letter case ignored; nullptr when there is none.
const TagEncoding *tagEncodingNamed(QByteArrayView name);

// The UTF-8 byte-order mark, which marks a file the program reads or writes as UTF-8.
inline constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

// Text decoded character by character, with where each character came from.
struct Decoded {
    QVector<char32_t> characters;
    // One entry per character. A character made from one byte carries that byte's value
    // (0-255); one made from n bytes carries n << 8 | its first byte, which is never 0 and
    // never below 256.
    QVector<quint16> codes;

    QString text() const;
};

// How many bytes the character of code was made from.
inline qsizetype byteCount(quint16 code) {
    return code < 0x100 ? 1 : code >> 8;
}

QString decode(QByteArrayView bytes, int codePage = kSystemCodePage);
// As decode, for bytes cut from a longer text at a fixed length: the first bytes of a character
// the cut split, left at the end, are dropped instead of shown as U+FFFD.
QString decodeCut(QByteArrayView bytes, int codePage = kSystemCodePage);
Decoded decodeWithCodes(QByteArrayView bytes, int codePage = kSystemCodePage);
QByteArray encode(QStringView text, int codePage = kSystemCodePage);

// Whether text comes back whole from codePage: no character of it becomes "?".
bool canEncode(QStringView text, int codePage = kSystemCodePage);

// Whether bytes are valid UTF-8; with cutAllowed, the start of a character cut off by the end
// counts as valid.
bool isUtf8(QByteArrayView bytes, bool cutAllowed = false);
bool isAscii(QByteArrayView bytes);

// The code page that bytes are decoded in when the choice is codePage: kAutoUtf8 resolved for
// these bytes, any other choice as it is.
int codePageFor(QByteArrayView bytes, int codePage, bool cutAllowed = false);

// Text of the files the program writes for the user to read or play (rename.log, rename.m3u):
// the system code page on Windows; UTF-8 elsewhere, as terminals and players there expect.
// With inUtf8, UTF-8 on every system.
QByteArray encodeOutput(QStringView text, bool inUtf8 = false);
// A path in those files: on Windows in the system code page; elsewhere the file system's own
// bytes for it, so that the playlist names the file on disk. With inUtf8, UTF-8 on Windows.
QByteArray encodeOutputPath(const QString &path, bool inUtf8 = false);

// The encoding of a profile file the program reads and writes back (rename.ini,
// elanguage.dat): UTF-8 after a UTF-8 byte-order mark; elsewhere than on Windows also when
// the bytes are valid UTF-8, as a new file is; otherwise the system code page.
int profileCodePage(QByteArrayView content);

// Whether a file the program writes in the system code page (rename.ini, rename.log,
// rename.m3u) is written as UTF-8 with a byte-order mark instead when it must hold a character
// that code page lacks, rather than lose it to "?" (which Windows does not take in a name). On
// Windows; elsewhere rename.log and rename.m3u are UTF-8 anyway, and a rename.ini in the code
// page is one copied from Windows and keeps its code page, as it always has.
#ifdef Q_OS_WIN
constexpr bool kUtf8WhenCodePageLacks = true;
#else
constexpr bool kUtf8WhenCodePageLacks = false;
#endif

} // namespace LegacyText
