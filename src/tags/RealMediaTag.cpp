#include "tags/RealMediaTag.h"

#include "platform/LegacyText.h"

namespace {

// The stretch and the text the fields are scanned from are both seen padded with spaces up
// to this many characters.
constexpr qsizetype kPaddedLength = kRealMediaHeaderSize;

// The 12th character of the stretch is the low byte of the title length in an ordinary file.
// Codes 1-37 are taken for such a length and skipped; any other code starts the title.
constexpr qsizetype kLengthLowByte = 11;

// Characters of the header text from position from on, length of them real and the rest,
// up to kPaddedLength, spaces.
class PaddedText {
public:
    PaddedText(const LegacyText::Decoded &text, qsizetype from, qsizetype length)
        : m_text(text)
        , m_from(from)
        , m_length(length) {}

    QChar at(qsizetype i) const { return i < m_length ? m_text.text.at(m_from + i) : QChar(u' '); }
    quint16 code(qsizetype i) const { return i < m_length ? m_text.codes.at(m_from + i) : u' '; }
    qsizetype length() const { return m_length; }

private:
    const LegacyText::Decoded &m_text;
    qsizetype m_from;
    qsizetype m_length;
};

// The characters Windows does not allow in names that the scan leaves out (NUL aside).
bool isDropped(QChar ch) {
    switch (ch.unicode()) {
    case u'\\':
    case u'/':
    case u'"':
    case u':':
    case u'*':
    case u'?':
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<TagText> ReadRealMediaTag(QByteArrayView block) {
    const LegacyText::Decoded header =
        LegacyText::decodeWithCodes(block.first(qMin(block.size(), kRealMediaHeaderSize)));
    const qsizetype cont = header.text.lastIndexOf(QLatin1StringView("CONT"));
    const qsizetype data = header.text.lastIndexOf(QLatin1StringView("DATA"));
    // "DATA" without "CONT" counts as no header, like "DATA" before "CONT".
    if (cont < 0 || data <= cont)
        return std::nullopt;

    const PaddedText stretch(header, cont, data - cont);
    const quint16 k = stretch.code(kLengthLowByte);
    const qsizetype start = k >= 1 && k <= 37 ? kLengthLowByte + 1 : kLengthLowByte;
    const PaddedText fields(header, cont + start, qMax<qsizetype>(0, data - cont - start));

    // The title runs to the first NUL; the two characters from it on (the NUL and the low
    // byte of the next length) are passed over, and the singer runs to the next NUL. A scan
    // that meets no such NUL ends with the header text: the padding is no part of a name.
    const qsizetype end = qMin(fields.length(), kPaddedLength);
    TagText tag;
    bool onSinger = false;
    qsizetype p = fields.at(0) == u'\'' || fields.at(0) == u')' ? 1 : 0;
    while (p < end) {
        QChar ch = fields.at(p);
        if (fields.code(p) == 0) {
            if (onSinger)
                return tag;
            onSinger = true;
            p += 2;
            if (p >= end)
                return tag;
            ch = fields.at(p);
            if (fields.code(p) == 0) {
                ++p;
                continue;
            }
        }
        if (!isDropped(ch))
            (onSinger ? tag.singer : tag.title).append(ch);
        ++p;
    }
    return tag;
}
