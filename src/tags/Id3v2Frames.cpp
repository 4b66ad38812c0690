#include "tags/Id3v2Frames.h"

#include "platform/LegacyText.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <vector>

#include <zlib.h>

namespace {

constexpr qint64 kHeaderSize = 10;
// What one read takes at least, so that the headers of small frames come in one read.
constexpr qint64 kReadAhead = 4096;
// A text frame larger than this is no name's text: passed over unread.
constexpr qint64 kMostTextBytes = 64 * 1024;
// The most a version 2.3 tag unsynchronised as a whole may take to be read.
constexpr qint64 kMostWholeTag = 16 * 1024 * 1024;

enum Flag : quint8 {
    kUnsynchronised = 0x80,
    kExtendedHeader = 0x40, // 2.2: compression, which no one defined
};

// The frames of the fields, by the field's place in kTagFields. The year has two: the
// version's own (TYER in 2.3, TDRC in 2.4) first, the other where that is missing.
struct Wanted {
    const char *id;
    int field;
};

constexpr Wanted kWanted34[] = {{"TIT2", 0}, {"TPE1", 1}, {"TALB", 2}, {"TRCK", 3},
                                {"TDRC", 4}, {"TYER", 4}, {"TPOS", 5}, {"TPE2", 6}};
constexpr Wanted kWanted2[] = {{"TT2", 0}, {"TP1", 1}, {"TAL", 2}, {"TRK", 3},
                               {"TYE", 4}, {"TPA", 5}, {"TP2", 6}};
constexpr int kFields = int(std::size(kTagFields));

quint32 bigEndian(QByteArrayView b) {
    quint32 n = 0;
    for (const char c : b)
        n = n << 8 | static_cast<unsigned char>(c);
    return n;
}

// A syncsafe number: seven bits a byte; -1 where a byte has its top bit set.
qint64 syncSafe(QByteArrayView b) {
    qint64 n = 0;
    for (const char c : b) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte & 0x80)
            return -1;
        n = n << 7 | byte;
    }
    return n;
}

// bytes with unsynchronisation undone: the 0 after each FF dropped. dropped, when given, gets
// the place in the result before which each of them stood.
QByteArray withoutUnsynchronisation(QByteArrayView bytes, std::vector<qint64> *dropped = nullptr) {
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (static_cast<unsigned char>(bytes[i]) == 0xFF && i + 1 < bytes.size() &&
            bytes[i + 1] == '\0') {
            ++i;
            if (dropped)
                dropped->push_back(out.size());
        }
    }
    return out;
}

// Where a frame of a 2.3 tag unsynchronised as a whole ends when its size counts the bytes as
// stored, the dropped zeros included, as some taggers wrote it: the place in the undone bytes
// reached after size stored bytes from start. dropped: as withoutUnsynchronisation gives them.
qint64 endCountingStoredBytes(const std::vector<qint64> &dropped, qint64 start, qint64 size) {
    // Stored bytes before place i of the undone bytes: i and the zeros dropped before it.
    const auto stored = [&dropped](qint64 i) {
        return i + qint64(std::upper_bound(dropped.begin(), dropped.end(), i) - dropped.begin());
    };
    const qint64 target = stored(start) + size;
    qint64 low = start;
    qint64 high = start + size;
    while (low < high) { // the first place whose stored count reaches target
        const qint64 mid = low + (high - low) / 2;
        if (stored(mid) < target)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// zlib data inflated to the size the frame gives, or nothing where it does not inflate to that.
QByteArray inflated(const QByteArray &data, qint64 size) {
    QByteArray out(size, Qt::Uninitialized);
    uLongf length = uLongf(size);
    if (uncompress(reinterpret_cast<Bytef *>(out.data()), &length,
                   reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size())) != Z_OK ||
        qint64(length) != size)
        return {};
    return out;
}

bool isIdCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Reads through a window of the tag, so that small frames cost no read each.
class TagBytes {
public:
    // first: the bytes from the tag's start already read, if any.
    TagBytes(const Id3v2Frames::ReadBytes &source, qint64 end, QByteArray first = {})
        : m_source(source)
        , m_end(end)
        , m_window(std::move(first)) {}

    // The bytes [offset, offset + size) of the tag, fewer where the source or the tag ends.
    QByteArrayView at(qint64 offset, qint64 size) {
        size = qMax<qint64>(0, qMin(size, m_end - offset));
        if (offset < m_start || offset + size > m_start + m_window.size()) {
            m_start = offset;
            m_window = m_source(offset, qMin(qMax(size, kReadAhead), m_end - offset));
        }
        const qint64 from = offset - m_start;
        return QByteArrayView(m_window).sliced(from, qMin(size, m_window.size() - from));
    }

private:
    const Id3v2Frames::ReadBytes &m_source;
    const qint64 m_end;
    qint64 m_start = 0;
    QByteArray m_window;
};

// The first value of a text frame's bytes (encoding byte first).
QString firstValue(QByteArrayView frame, int codePage, const Id3v2Frames::FrameText &seen) {
    if (frame.isEmpty())
        return {};
    const char encoding = frame.front();
    QByteArrayView text = frame.sliced(1);
    if (seen)
        seen(encoding, text.toByteArray());
    if (encoding == 0 || encoding == 3) {
        const qsizetype end = text.indexOf('\0');
        const QByteArrayView value = end < 0 ? text : text.first(end);
        if (encoding == 3)
            return QString::fromUtf8(value);
        return LegacyText::decode(value, LegacyText::codePageFor(value, codePage));
    }
    if (encoding != 1 && encoding != 2)
        return {};
    qsizetype end = 0;
    while (end + 1 < text.size() && (text[end] != '\0' || text[end + 1] != '\0'))
        end += 2;
    QByteArrayView value = text.first(qMin(end, text.size() & ~qsizetype(1)));
    bool littleEndian = encoding == 1; // UTF-16 without a byte-order mark: as other readers
    if (encoding == 1 && value.size() >= 2) {
        const auto b0 = static_cast<unsigned char>(value[0]);
        const auto b1 = static_cast<unsigned char>(value[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
            littleEndian = b0 == 0xFF;
            value = value.sliced(2);
        }
    }
    QStringDecoder decoder(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                           QStringConverter::Flag::Stateless);
    return decoder.decode(value);
}

// How well offset fits as the place where the next frame begins: 2 for an id of four (three in
// 2.2) letters or digits, the fourth of an id made for 2.2 possibly a blank; 1 for padding or
// the tag's end; 0 for anything else.
int nextFrameFit(TagBytes &tag, qint64 offset, qint64 end, int version) {
    if (offset == end)
        return 1;
    if (offset > end)
        return 0;
    const qsizetype idSize = version == 2 ? 3 : 4;
    const QByteArrayView id = tag.at(offset, idSize);
    if (id.isEmpty() || id.front() == '\0')
        return 1;
    if (id.size() < idSize)
        return 0;
    for (qsizetype i = 0; i < id.size(); ++i) {
        if (!isIdCharacter(id[i]) && !(i == 3 && id[i] == ' '))
            return 0;
    }
    return 2;
}

} // namespace

namespace Id3v2Frames {

std::optional<TagText> read(const ReadBytes &source, int codePage, const FrameText &seen) {
    // The header and, in the same read, the first frames.
    const QByteArray first = source(0, kReadAhead);
    const QByteArray header = first.left(kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith("ID3"))
        return std::nullopt;
    const int version = static_cast<unsigned char>(header[3]);
    const quint8 flags = static_cast<quint8>(header[5]);
    const qint64 size = syncSafe(QByteArrayView(header).sliced(6, 4));
    if (version < 2 || version > 4 || static_cast<unsigned char>(header[4]) == 0xFF || size < 0)
        return std::nullopt;
    if (version == 2 && (flags & kExtendedHeader))
        return std::nullopt; // compressed by a scheme never defined: the whole tag is ignored
    const qint64 tagEnd = kHeaderSize + size;

    // A 2.3 tag unsynchronised as a whole is read whole and undone first.
    QByteArray whole;
    std::vector<qint64> dropped;
    const bool wholeTag = version == 3 && (flags & kUnsynchronised);
    if (wholeTag) {
        whole = QByteArray(header) +
                withoutUnsynchronisation(source(kHeaderSize, qMin(size, kMostWholeTag)), &dropped);
        for (qint64 &place : dropped)
            place += kHeaderSize; // places in whole, which begins with the header
    }
    const ReadBytes fromWhole = [&whole](qint64 offset, qint64 count) {
        return offset >= whole.size() ? QByteArray() : whole.mid(offset, count);
    };
    const qint64 end = wholeTag ? whole.size() : tagEnd;
    TagBytes tag(wholeTag ? fromWhole : source, end, wholeTag ? whole : first);

    qint64 offset = kHeaderSize;
    if (version > 2 && (flags & kExtendedHeader)) {
        const QByteArrayView sizeBytes = tag.at(offset, 4);
        if (sizeBytes.size() < 4)
            return std::nullopt;
        if (version == 4) {
            offset += qMax<qint64>(syncSafe(sizeBytes), 4); // counts itself
        } else {
            // It does not count its own four bytes; some taggers counted them.
            const qint64 extended = bigEndian(sizeBytes);
            offset += nextFrameFit(tag, offset + extended, end, version) >
                              nextFrameFit(tag, offset + 4 + extended, end, version)
                          ? extended
                          : 4 + extended;
        }
    }

    const bool v2 = version == 2;
    const qint64 frameHeader = v2 ? 6 : 10;
    const qsizetype idSize = v2 ? 3 : 4;
    const Wanted *const wantedBegin = v2 ? std::begin(kWanted2) : std::begin(kWanted34);
    const Wanted *const wantedEnd = v2 ? std::end(kWanted2) : std::end(kWanted34);
    const auto wanted = [&](QByteArrayView id) -> const Wanted * {
        const Wanted *w = std::find_if(
            wantedBegin, wantedEnd, [id](const Wanted &x) { return id == QByteArrayView(x.id); });
        return w == wantedEnd ? nullptr : w;
    };

    TagText tags;
    // Per field: 0 when its own frame gave it text, 1 when the year's other frame did, 2 when
    // nothing did yet.
    std::array<int, kFields> rank;
    rank.fill(2);
    const auto rankOf = [version](const Wanted &w) {
        const QByteArrayView id(w.id);
        return (version == 3 && id == "TDRC") || (version == 4 && id == "TYER") ? 1 : 0;
    };
    int settled = 0; // fields holding their own frame's text: the walk ends at all of them
    bool any = false;
    while (offset + frameHeader <= end && settled < kFields) {
        // The header is copied: a look further on may move the window.
        std::array<char, 10> headBytes{};
        const QByteArrayView headView = tag.at(offset, frameHeader);
        if (headView.size() < frameHeader || headView.front() == '\0')
            break; // cut short, or padding
        std::copy(headView.begin(), headView.end(), headBytes.begin());
        const QByteArrayView head(headBytes.data(), frameHeader);
        const QByteArrayView id = QByteArrayView(head).first(idSize);
        qint64 frameSize = 0;
        if (v2) {
            frameSize = bigEndian(QByteArrayView(head).sliced(3, 3));
        } else if (version == 3) {
            frameSize = bigEndian(QByteArrayView(head).sliced(4, 4));
        } else {
            const QByteArrayView sizeBytes = QByteArrayView(head).sliced(4, 4);
            const qint64 safe = syncSafe(sizeBytes);
            const qint64 plain = bigEndian(sizeBytes);
            frameSize = safe < 0 ? plain : safe;
            if (safe >= 0 && safe != plain &&
                nextFrameFit(tag, offset + frameHeader + plain, end, version) >
                    nextFrameFit(tag, offset + frameHeader + safe, end, version))
                frameSize = plain;
        }
        const qint64 dataStart = offset + frameHeader;
        if (wholeTag && !dropped.empty()) {
            const qint64 storedEnd = endCountingStoredBytes(dropped, dataStart, frameSize);
            if (storedEnd != dataStart + frameSize &&
                nextFrameFit(tag, storedEnd, end, version) >
                    nextFrameFit(tag, dataStart + frameSize, end, version))
                frameSize = storedEnd - dataStart;
        }
        if (dataStart + frameSize > end)
            break; // a size no frame inside the tag can have
        offset = dataStart + frameSize;

        const Wanted *w = wanted(id);
        // A field that has text of this frame or a better one already takes no other.
        if (!w || frameSize == 0 || frameSize > kMostTextBytes ||
            rankOf(*w) >= rank[size_t(w->field)])
            continue;
        const quint8 format = v2 ? 0 : static_cast<quint8>(head[9]);
        bool compressed = false;
        bool encrypted = false;
        bool unsynchronised = false;
        qint64 extra = 0;      // bytes the flags add before the frame's data
        qint64 plainSize = -1; // the data's size before compression, where given
        if (version == 3) {
            compressed = format & 0x80;
            encrypted = format & 0x40;
            if (compressed) {
                plainSize = bigEndian(tag.at(dataStart, 4));
                extra += 4;
            }
            extra += (encrypted ? 1 : 0) + ((format & 0x20) ? 1 : 0); // method, group
        } else if (version == 4) {
            compressed = format & 0x08;
            encrypted = format & 0x04;
            unsynchronised = (format & 0x02) || (flags & kUnsynchronised);
            extra += ((format & 0x40) ? 1 : 0) + (encrypted ? 1 : 0); // group, method
            if (format & 0x01) {                                      // data-length indicator
                plainSize = syncSafe(tag.at(dataStart + extra, 4));
                extra += 4;
            }
        }
        if (encrypted || extra > frameSize)
            continue;
        QByteArrayView data = tag.at(dataStart + extra, frameSize - extra);
        if (data.size() < frameSize - extra)
            break;         // cut short
        QByteArray undone; // the data with unsynchronisation or compression undone
        if (unsynchronised)
            data = undone = withoutUnsynchronisation(data);
        if (compressed) {
            if (plainSize <= 0 || plainSize > kMostTextBytes)
                continue;
            data = undone = inflated(data.toByteArray(), plainSize);
            if (data.isEmpty())
                continue;
        }
        const int better = rankOf(*w);
        const QString text = firstValue(data, codePage, seen);
        if (text.isEmpty())
            continue;
        any = true;
        settled += better == 0;
        rank[size_t(w->field)] = better;
        tags.*kTagFields[w->field] = text;
    }
    return any ? std::optional<TagText>(tags) : std::nullopt;
}

} // namespace Id3v2Frames
