#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QVector>

// Conversion between Unicode and the legacy 8-bit code page that tags, profile files,
// rename.log and rename.m3u are written in: the system ANSI code page on Windows, GBK
// elsewhere.
//
// Bytes that do not form a character of the code page decode to U+FFFD, one per byte, and
// decoding goes on with the next byte. Characters the code page cannot represent encode to
// "?", one per code point, as the Windows conversion does. Neither ever stops a conversion.
namespace LegacyText {

// Text decoded together with where each character came from.
struct Decoded {
    QString text;
    // One entry per character of text. A character made from one byte carries that byte's
    // value (0-255); one made from two bytes carries 0x100 | lead byte, which is never 0 and
    // never below 256.
    QVector<quint16> codes;
};

QString decode(QByteArrayView bytes);
// As decode, for bytes cut from a longer text at a fixed length: a lead byte left alone at the
// end, the first half of a character the cut split, is dropped instead of shown as U+FFFD.
QString decodeCut(QByteArrayView bytes);
Decoded decodeWithCodes(QByteArrayView bytes);
QByteArray encode(QStringView text);

} // namespace LegacyText
