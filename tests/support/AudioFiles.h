#pragma once

#include "support/TagBytes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// The smallest files of the other music formats that carry a tag, built byte by byte as each
// format lays them out: enough for a tag reader, no sound.
namespace AudioFiles {

// Tag fields under Vorbis comment names (TITLE, ARTIST, ALBUM, TRACKNUMBER, DATE, DISCNUMBER,
// ALBUMARTIST), values in UTF-8.
using Fields = QList<std::pair<QByteArray, QByteArray>>;

inline QByteArray value(const Fields &fields, const QByteArray &key) {
    for (const auto &[k, v] : fields) {
        if (k == key)
            return v;
    }
    return {};
}

inline QByteArray le16(quint32 n) {
    return QByteArray(1, char(n & 0xFF)) + char(n >> 8 & 0xFF);
}
inline QByteArray le32(quint32 n) {
    return le16(n & 0xFFFF) + le16(n >> 16);
}
inline QByteArray be32(quint32 n) {
    return TagBytes::be16(n >> 16) + TagBytes::be16(n & 0xFFFF);
}

// A Vorbis comment: vendor, then "KEY=value" entries; Ogg Vorbis ends it with a framing bit.
inline QByteArray vorbisComment(const Fields &fields, bool framing = false) {
    const QByteArray vendor = "tunemark test";
    QByteArray out = le32(quint32(vendor.size())) + vendor + le32(quint32(fields.size()));
    for (const auto &[key, text] : fields) {
        const QByteArray entry = key + '=' + text;
        out += le32(quint32(entry.size())) + entry;
    }
    return framing ? out + '\x01' : out;
}

// FLAC: the stream marker, STREAMINFO, a picture of pictureBytes when asked, then the Vorbis
// comment block, marked last.
inline QByteArray flac(const Fields &fields, qsizetype pictureBytes = 0) {
    const auto block = [](int type, bool last, const QByteArray &body) {
        return QByteArray(1, char(type | (last ? 0x80 : 0))) + be32(quint32(body.size())).mid(1) +
               body;
    };
    QByteArray out = "fLaC" + block(0, false, QByteArray(34, '\0'));
    if (pictureBytes > 0)
        out += block(6, false, QByteArray(pictureBytes, '\x7E'));
    return out + block(4, true, vorbisComment(fields)) + QByteArray(64, '\0');
}

// The CRC of an Ogg page: polynomial 0x04C11DB7, no reflection, nothing in or out.
inline quint32 oggCrc(const QByteArray &page) {
    quint32 crc = 0;
    for (const char c : page) {
        crc ^= quint32(static_cast<unsigned char>(c)) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 0x80000000 ? crc << 1 ^ 0x04C11DB7 : crc << 1;
    }
    return crc;
}

// One Ogg page holding one whole packet.
inline QByteArray oggPage(const QByteArray &packet, quint32 sequence, char flags) {
    QByteArray lacing;
    qsizetype left = packet.size();
    for (; left >= 255; left -= 255)
        lacing += char(255);
    lacing += char(left);
    QByteArray page = "OggS" + QByteArray(1, '\0') + flags + QByteArray(8, '\0') + le32(1) +
                      le32(sequence) + le32(0) + char(lacing.size()) + lacing + packet;
    const QByteArray crc = le32(oggCrc(page));
    page.replace(22, 4, crc);
    return page;
}

// Ogg Vorbis: identification, comment and setup headers, one page each.
inline QByteArray oggVorbis(const Fields &fields) {
    const QByteArray identification = "\x01vorbis" + le32(0) + '\x02' + le32(44100) + le32(0) +
                                      le32(128000) + le32(0) + '\xB8' + '\x01';
    return oggPage(identification, 0, 0x02) +
           oggPage("\x03vorbis" + vorbisComment(fields, true), 1, 0) +
           oggPage("\x05vorbis" + QByteArray(8, '\0'), 2, 0x04);
}

// Ogg Opus: the OpusHead and OpusTags packets.
inline QByteArray oggOpus(const Fields &fields) {
    const QByteArray head =
        "OpusHead" + QByteArray(1, '\x01') + '\x02' + le16(312) + le32(48000) + le16(0) + '\0';
    // The comment's page may not be the last: TagLib reads no packet from the stream's end.
    return oggPage(head, 0, 0x02) + oggPage("OpusTags" + vorbisComment(fields), 1, 0) +
           oggPage(QByteArray(8, '\xFC'), 2, 0x04);
}

// MP4: an ftyp box and moov/udta/meta/ilst holding the iTunes items.
inline QByteArray mp4(const Fields &fields) {
    const auto atom = [](const QByteArray &type, const QByteArray &payload) {
        return be32(quint32(payload.size() + 8)) + type + payload;
    };
    const auto data = [&](quint32 type, const QByteArray &bytes) {
        return atom("data", be32(type) + be32(0) + bytes);
    };
    const auto number = [&](const QByteArray &text, int size) {
        const QList<QByteArray> parts = text.split('/');
        QByteArray out = TagBytes::be16(0) + TagBytes::be16(parts.value(0).toInt()) +
                         TagBytes::be16(parts.value(1).toInt());
        return size == 8 ? out + TagBytes::be16(0) : out;
    };
    QByteArray items;
    const std::pair<const char *, const char *> texts[] = {{"\xA9nam", "TITLE"},
                                                           {"\xA9"
                                                            "ART",
                                                            "ARTIST"},
                                                           {"\xA9"
                                                            "alb",
                                                            "ALBUM"},
                                                           {"\xA9"
                                                            "day",
                                                            "DATE"},
                                                           {"aART", "ALBUMARTIST"}};
    for (const auto &[type, key] : texts) {
        if (!value(fields, key).isEmpty())
            items += atom(type, data(1, value(fields, key)));
    }
    if (!value(fields, "TRACKNUMBER").isEmpty())
        items += atom("trkn", data(0, number(value(fields, "TRACKNUMBER"), 8)));
    if (!value(fields, "DISCNUMBER").isEmpty())
        items += atom("disk", data(0, number(value(fields, "DISCNUMBER"), 6)));
    const QByteArray handler =
        atom("hdlr", be32(0) + be32(0) + "mdir" + "appl" + be32(0) + be32(0) + '\0');
    const QByteArray meta = atom("meta", be32(0) + handler + atom("ilst", items));
    return atom("ftyp", "M4A " + be32(0) + "M4A mp42isom") +
           atom("moov", atom("mvhd", QByteArray(100, '\0')) + atom("udta", meta)) +
           atom("mdat", QByteArray(16, '\0'));
}

// An APEv2 tag, footer only: items with APE's own key names.
inline QByteArray apeTag(const Fields &fields) {
    const std::pair<const char *, const char *> keys[] = {{"TITLE", "Title"},
                                                          {"ARTIST", "Artist"},
                                                          {"ALBUM", "Album"},
                                                          {"TRACKNUMBER", "Track"},
                                                          {"DATE", "Year"},
                                                          {"DISCNUMBER", "Disc"},
                                                          {"ALBUMARTIST", "Album Artist"}};
    QByteArray items;
    quint32 count = 0;
    for (const auto &[field, key] : keys) {
        const QByteArray text = value(fields, field);
        if (text.isEmpty())
            continue;
        items += le32(quint32(text.size())) + le32(0) + key + '\0' + text;
        ++count;
    }
    return items + "APETAGEX" + le32(2000) + le32(quint32(items.size() + 32)) + le32(count) +
           le32(0) + QByteArray(8, '\0');
}

// Monkey's Audio: its marker, some sound, an APE tag at the end.
inline QByteArray ape(const Fields &fields) {
    return "MAC " + le16(3990) + QByteArray(90, '\0') + apeTag(fields);
}

// ASF (WMA): the header object with the file and stream properties, the content description
// (title, author) and the extended content description (WM/ attributes).
inline QByteArray asf(const Fields &fields) {
    const auto guid = [](const char *bytes) { return QByteArray(bytes, 16); };
    const auto object = [](const QByteArray &id, const QByteArray &body) {
        return id + le32(quint32(body.size() + 24)) + le32(0) + body;
    };
    const auto utf16 = [](const QByteArray &utf8) {
        const QString text = QString::fromUtf8(utf8) + QChar(0);
        return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    };
    const QByteArray title = utf16(value(fields, "TITLE"));
    const QByteArray author = utf16(value(fields, "ARTIST"));
    const QByteArray description = le16(quint32(title.size())) + le16(quint32(author.size())) +
                                   le16(0) + le16(0) + le16(0) + title + author;
    const std::pair<const char *, const char *> names[] = {{"ALBUM", "WM/AlbumTitle"},
                                                           {"TRACKNUMBER", "WM/TrackNumber"},
                                                           {"DATE", "WM/Year"},
                                                           {"DISCNUMBER", "WM/PartOfSet"},
                                                           {"ALBUMARTIST", "WM/AlbumArtist"}};
    QByteArray attributes;
    quint32 count = 0;
    for (const auto &[field, name] : names) {
        if (value(fields, field).isEmpty())
            continue;
        const QByteArray n = utf16(name);
        const QByteArray v = utf16(value(fields, field));
        attributes += le16(quint32(n.size())) + n + le16(0) + le16(quint32(v.size())) + v;
        ++count;
    }
    const QByteArray objects =
        object(guid("\xA1\xDC\xAB\x8C\x47\xA9\xCF\x11\x8E\xE4\x00\xC0\x0C\x20\x53\x65"),
               QByteArray(80, '\0')) +
        object(guid("\x91\x07\xDC\xB7\xB7\xA9\xCF\x11\x8E\xE6\x00\xC0\x0C\x20\x53\x65"),
               QByteArray(80, '\0')) +
        object(guid("\x33\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C"),
               description) +
        object(guid("\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0\xC9\x5E\xA8\x50"),
               le16(count) + attributes);
    return object(guid("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C"),
                  le32(4) + '\x01' + '\x02' + objects);
}

// A RIFF chunk, padded to an even size.
inline QByteArray chunk(const QByteArray &id, const QByteArray &body, bool bigEndian = false) {
    const QByteArray size = bigEndian ? be32(quint32(body.size())) : le32(quint32(body.size()));
    return id + size + body + (body.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

// WAV: fmt and data chunks, and an "id3 " chunk holding id3v2 when given, else a LIST INFO
// chunk with the fields (bytes as given: RIFF INFO text is legacy text).
inline QByteArray wav(const Fields &fields, const QByteArray &id3v2 = {}) {
    QByteArray body =
        "WAVE" + chunk("fmt ", le16(1) + le16(1) + le32(8000) + le32(8000) + le16(1) + le16(8)) +
        chunk("data", QByteArray(16, '\x80'));
    if (!id3v2.isEmpty()) {
        body += chunk("id3 ", id3v2);
    } else {
        QByteArray info = "INFO";
        const std::pair<const char *, const char *> ids[] = {{"TITLE", "INAM"},
                                                             {"ARTIST", "IART"},
                                                             {"ALBUM", "IPRD"},
                                                             {"DATE", "ICRD"},
                                                             {"TRACKNUMBER", "IPRT"}};
        for (const auto &[field, id] : ids) {
            if (!value(fields, field).isEmpty())
                info += chunk(id, value(fields, field) + '\0');
        }
        body += chunk("LIST", info);
    }
    return chunk("RIFF", body);
}

// AIFF: a COMM chunk and an "ID3 " chunk holding id3v2.
inline QByteArray aiff(const QByteArray &id3v2) {
    const QByteArray comm = TagBytes::be16(1) + be32(0) + TagBytes::be16(8) +
                            QByteArray("\x40\x0B\xFA\0\0\0\0\0\0\0", 10);
    return chunk("FORM", "AIFF" + chunk("COMM", comm, true) + chunk("ID3 ", id3v2, true), true);
}

} // namespace AudioFiles
