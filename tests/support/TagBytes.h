#pragma once

#include <QByteArray>

// Tagged audio bytes for tests. Text goes in as bytes of the legacy code page.
namespace TagBytes {

// A 16-bit big-endian number, as RealMedia stores lengths.
inline QByteArray be16(qsizetype n) {
    const char bytes[2] = {char(n >> 8 & 0xFF), char(n & 0xFF)};
    return QByteArray(bytes, 2);
}

// An ID3v1 block: "TAG", title and singer in fields of 30 bytes, an album and a year, NULs up
// to 128 bytes. The album keeps a reader that runs past the singer's field from seeing NULs.
inline QByteArray id3v1Block(const QByteArray &title, const QByteArray &singer = {}) {
    const auto field = [](QByteArray bytes) {
        bytes.resize(30, '\0');
        return bytes;
    };
    QByteArray block = "TAG" + field(title) + field(singer) + field("Album") + "2001";
    block.resize(128, '\0');
    return block;
}

// An MP3 file: 400 bytes of sound, then an ID3v1 block.
inline QByteArray mp3File(const QByteArray &title, const QByteArray &singer = {}) {
    return QByteArray(400, '\x55') + id3v1Block(title, singer);
}

// A RealMedia text field: its length, then its bytes.
inline QByteArray realMediaField(const QByteArray &text) {
    return be16(text.size()) + text;
}

// A full RealMedia head: file chunk, a "CONT" chunk (with the given size bytes) holding title,
// author, copyright and a comment, a media chunk, then the "DATA" chunk when withData.
inline QByteArray realMediaHeader(const QByteArray &title, const QByteArray &author,
                                  const QByteArray &copyright = "Corp", bool withData = true,
                                  const QByteArray &size = "0000") {
    QByteArray h = QByteArray(".RMF\0\0\0\x12\0\0", 10) + "CONT" + size + QByteArray(2, '\0');
    for (const QByteArray &text : {title, author, copyright, QByteArray("note")})
        h += realMediaField(text);
    h += "MDPR" + QByteArray(40, '\0');
    if (withData)
        h += "DATA" + QByteArray(18, '\0');
    return h;
}

// The start of a plain RealMedia file: a "CONT" chunk with only title and author, then 200
// bytes of "DATA".
inline QByteArray realMediaFile(const QByteArray &title, const QByteArray &author) {
    QByteArray b = ".RMF" + QByteArray(14, '\0') + "CONT" + QByteArray(6, '\0');
    for (const QByteArray &text : {title, author, QByteArray(), QByteArray()})
        b += realMediaField(text);
    return b + "DATA" + QByteArray(200, '\0');
}

// A file in which both readers find a tag: a RealMedia head (Blue / Ann) and, past the 1024
// bytes the RealMedia reader looks at, an ID3v1 block (你好 / 歌手): the title tells which ran.
inline QByteArray bothTags() {
    return realMediaFile("Blue", "Ann").leftJustified(1100, '\0') +
           id3v1Block("\xC4\xE3\xBA\xC3", "\xB8\xE8\xCA\xD6");
}

// An ID3v2 size: four bytes of seven bits each.
inline QByteArray syncSafe(qsizetype n) {
    QByteArray out(4, '\0');
    for (int i = 3; i >= 0; --i, n >>= 7)
        out[i] = char(n & 0x7F);
    return out;
}

// An ID3v2 text frame for major version 2, 3 or 4: id (three letters for 2, four otherwise),
// the encoding byte (0 Latin-1, 1 UTF-16 with BOM, 2 UTF-16BE, 3 UTF-8) and the text's bytes.
inline QByteArray id3v2Frame(int version, const QByteArray &id, char encoding,
                             const QByteArray &text) {
    const QByteArray body = encoding + text;
    if (version == 2)
        return id + be16(body.size()).prepend('\0') + body;
    const QByteArray size =
        version == 4 ? syncSafe(body.size()) : be16(body.size() >> 16) + be16(body.size());
    return id + size + QByteArray(2, '\0') + body;
}

// An ID3v2 tag of the given major version holding frames; declaredSize, when set, is the size
// its header announces instead of the true one.
inline QByteArray id3v2Tag(int version, const QByteArray &frames, qsizetype declaredSize = -1) {
    return "ID3" + QByteArray(1, char(version)) + QByteArray(2, '\0') +
           syncSafe(declaredSize >= 0 ? declaredSize : frames.size()) + frames;
}

// An ID3v2.3 or 2.4 frame with its two flag bytes and data as given (text frames: the encoding
// byte first); its size is data's, written syncsafe for 2.4 unless plainSize.
inline QByteArray id3v2FlaggedFrame(int version, const QByteArray &id, quint16 flags,
                                    const QByteArray &data, bool plainSize = false) {
    const QByteArray size = version == 4 && !plainSize
                                ? syncSafe(data.size())
                                : be16(data.size() >> 16) + be16(data.size());
    return id + size + be16(flags) + data;
}

// An ID3v2 tag with the header flags given, holding content (an extended header, frames,
// padding) of its true size; a footer when flags ask for one (2.4).
inline QByteArray id3v2TagWithFlags(int version, char flags, const QByteArray &content) {
    const QByteArray rest = QByteArray(1, char(version)) + '\0' + flags + syncSafe(content.size());
    return "ID3" + rest + content + ((flags & 0x10) ? "3DI" + rest : QByteArray());
}

// bytes with an FF byte followed by a 0 byte after each FF that is followed by nothing, a 0 or a
// byte of three top bits: ID3v2 unsynchronisation.
inline QByteArray unsynchronised(const QByteArray &bytes) {
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (uchar(bytes[i]) == 0xFF &&
            (i + 1 == bytes.size() || bytes[i + 1] == '\0' || (uchar(bytes[i + 1]) & 0xE0) == 0xE0))
            out += '\0';
    }
    return out;
}

} // namespace TagBytes
