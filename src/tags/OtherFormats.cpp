#include "tags/OtherFormats.h"

#include "platform/LegacyText.h"
#include "platform/ReadOnlyFile.h"
#include "tags/FileStream.h"
#include "tags/Id3v2Tag.h"

#include <aifffile.h>
#include <apefile.h>
#include <asffile.h>
#include <id3v2tag.h>
#include <mp4file.h>
#include <mpcfile.h>
#include <oggflacfile.h>
#include <opusfile.h>
#include <speexfile.h>
#include <tpropertymap.h>
#include <trueaudiofile.h>
#include <vorbisfile.h>
#include <wavfile.h>
#include <wavpackfile.h>
#include <xiphcomment.h>

#include <string>

namespace {

QString text(const TagLib::String &value) {
    const std::string utf8 = value.to8Bit(true);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// The first value of the first of keys the map holds.
QString firstOf(const TagLib::PropertyMap &map, std::initializer_list<const char *> keys) {
    for (const char *key : keys) {
        const auto found = map.find(key);
        if (found != map.end() && !found->second.isEmpty() && !found->second.front().isEmpty())
            return text(found->second.front());
    }
    return {};
}

// The fields under the names TagLib gives every format's own keys.
std::optional<TagText> fromProperties(const TagLib::PropertyMap &map) {
    TagText tags{firstOf(map, {"TITLE"}), firstOf(map, {"ARTIST"})};
    tags.album = firstOf(map, {"ALBUM"});
    tags.track = firstOf(map, {"TRACKNUMBER"});
    tags.year = firstOf(map, {"DATE", "YEAR"});
    tags.disc = firstOf(map, {"DISCNUMBER"});
    tags.albumArtist = firstOf(map, {"ALBUMARTIST", "ALBUM ARTIST"});
    if (tags.isEmpty())
        return std::nullopt;
    return tags;
}

std::optional<TagText> fromId3v2(const TagLib::ID3v2::Tag *tag, int codePage) {
    if (!tag || tag->isEmpty())
        return std::nullopt;
    return id3v2Fields(*tag, codePage);
}

quint32 littleEndian(const QByteArray &bytes, qsizetype at) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

constexpr int kMostRiffChunks = 1024;
constexpr qint64 kMostInfoBytes = 1 << 20;

// A WAV file's RIFF INFO list, walked here: TagLib reads its text as UTF-8, which loses the
// bytes of the legacy text it nearly always is.
std::optional<TagText> readRiffInfo(ReadOnlyFile &file, int codePage) {
    const std::optional<QByteArray> head = file.read(0, 12);
    if (!head || head->size() < 12 || !head->startsWith("RIFF") || head->mid(8, 4) != "WAVE")
        return std::nullopt;
    qint64 offset = 12;
    for (int chunk = 0; chunk < kMostRiffChunks && offset + 8 <= file.size(); ++chunk) {
        const std::optional<QByteArray> header = file.read(offset, 12);
        if (!header || header->size() < 8)
            return std::nullopt;
        const qint64 size = littleEndian(*header, 4);
        if (header->startsWith("LIST") && header->mid(8, 4) == "INFO") {
            const std::optional<QByteArray> list =
                file.read(offset + 12, qMin(size - 4, kMostInfoBytes));
            if (!list)
                return std::nullopt;
            TagText tags;
            const std::pair<const char *, QString TagText::*> ids[] = {
                {"INAM", &TagText::title}, {"IART", &TagText::singer}, {"IPRD", &TagText::album},
                {"ICRD", &TagText::year},  {"IPRT", &TagText::track},  {"ITRK", &TagText::track}};
            for (qsizetype at = 0; at + 8 <= list->size();) {
                const qint64 length = littleEndian(*list, at + 4);
                QByteArray text = list->mid(at + 8, qMin<qint64>(length, list->size() - at - 8));
                text.truncate(text.indexOf('\0') < 0 ? text.size() : text.indexOf('\0'));
                for (const auto &[id, field] : ids) {
                    if (list->mid(at, 4) == id && (tags.*field).isEmpty())
                        tags.*field =
                            LegacyText::decode(text, LegacyText::codePageFor(text, codePage));
                }
                at += 8 + length + (length % 2);
            }
            return tags.isEmpty() ? std::nullopt : std::optional<TagText>(tags);
        }
        offset += 8 + size + (size % 2);
    }
    return std::nullopt;
}

// A file of a TagLib format read over our stream: tags only, no audio properties.
template <typename File> std::optional<TagText> byProperties(ReadOnlyFile &file) {
    FileStream stream(file);
    File taglibFile(&stream, false);
    if (!taglibFile.isValid())
        return std::nullopt;
    return fromProperties(taglibFile.properties());
}

quint32 bigEndian(const QByteArray &bytes, qsizetype at, int size) {
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

constexpr int kFlacVorbisComment = 4;
constexpr int kFlacInvalidBlock = 127;
constexpr int kMostFlacBlocks = 1024;

} // namespace

namespace OtherFormats {

std::optional<TagText> readFlac(ReadOnlyFile &file, int) {
    // An ID3v2 tag some taggers put in front of the stream is passed over.
    std::optional<QByteArray> head = file.read(0, kId3v2HeaderSize);
    if (!head)
        return std::nullopt;
    qint64 offset = id3v2TagSize(*head);
    head = file.read(offset, 4);
    if (!head || *head != "fLaC")
        return std::nullopt;
    offset += 4;
    for (int block = 0; block < kMostFlacBlocks; ++block) {
        const std::optional<QByteArray> header = file.read(offset, 4);
        if (!header || header->size() < 4)
            return std::nullopt;
        const int type = static_cast<unsigned char>(header->at(0)) & 0x7F;
        const bool last = static_cast<unsigned char>(header->at(0)) & 0x80;
        const qint64 length = bigEndian(*header, 1, 3);
        if (type == kFlacInvalidBlock)
            return std::nullopt;
        if (type == kFlacVorbisComment) {
            const std::optional<QByteArray> body = file.read(offset + 4, length);
            if (!body || body->size() != length)
                return std::nullopt;
            const TagLib::Ogg::XiphComment comment(
                TagLib::ByteVector(body->constData(), static_cast<unsigned int>(body->size())));
            return fromProperties(comment.properties());
        }
        if (last)
            return std::nullopt;
        offset += 4 + length; // a picture's block is passed over unread
    }
    return std::nullopt;
}

std::optional<TagText> readOgg(ReadOnlyFile &file, int) {
    // The first page: 27 bytes of header, its segment table, then the first packet.
    const std::optional<QByteArray> page = file.read(0, 27 + 255 + 8);
    if (!page || page->size() < 27 || !page->startsWith("OggS"))
        return std::nullopt;
    const qsizetype packet = 27 + static_cast<unsigned char>(page->at(26));
    const QByteArray first = page->mid(packet, 8);
    if (first.startsWith("\x01vorbis"))
        return byProperties<TagLib::Ogg::Vorbis::File>(file);
    if (first.startsWith("OpusHead"))
        return byProperties<TagLib::Ogg::Opus::File>(file);
    if (first.startsWith("Speex   "))
        return byProperties<TagLib::Ogg::Speex::File>(file);
    if (first.startsWith("\x7F"
                         "FLAC"))
        return byProperties<TagLib::Ogg::FLAC::File>(file);
    return std::nullopt;
}

std::optional<TagText> readMp4(ReadOnlyFile &file, int) {
    return byProperties<TagLib::MP4::File>(file);
}

std::optional<TagText> readAsf(ReadOnlyFile &file, int) {
    return byProperties<TagLib::ASF::File>(file);
}

std::optional<TagText> readApe(ReadOnlyFile &file, int) {
    return byProperties<TagLib::APE::File>(file);
}

std::optional<TagText> readWavPack(ReadOnlyFile &file, int) {
    return byProperties<TagLib::WavPack::File>(file);
}

std::optional<TagText> readMusepack(ReadOnlyFile &file, int) {
    return byProperties<TagLib::MPC::File>(file);
}

std::optional<TagText> readTrueAudio(ReadOnlyFile &file, int codePage) {
    FileStream stream(file);
    TagLib::TrueAudio::File tta(&stream, false);
    if (!tta.isValid())
        return std::nullopt;
    if (tta.hasID3v2Tag())
        return fromId3v2(tta.ID3v2Tag(), codePage);
    return fromProperties(tta.properties());
}

std::optional<TagText> readAiff(ReadOnlyFile &file, int codePage) {
    FileStream stream(file);
    TagLib::RIFF::AIFF::File aiff(&stream, false);
    if (!aiff.isValid() || !aiff.hasID3v2Tag())
        return std::nullopt;
    return fromId3v2(aiff.tag(), codePage);
}

std::optional<TagText> readWav(ReadOnlyFile &file, int codePage) {
    FileStream stream(file);
    TagLib::RIFF::WAV::File wav(&stream, false);
    if (!wav.isValid())
        return std::nullopt;
    if (wav.hasID3v2Tag())
        return fromId3v2(wav.ID3v2Tag(), codePage);
    return readRiffInfo(file, codePage);
}

} // namespace OtherFormats
