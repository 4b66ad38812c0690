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

    char32_t at(qsizetype i) const {
        return i < m_length ? m_text.characters.at(m_from + i) : U' ';
    }
    quint16 code(qsizetype i) const { return i < m_length ? m_text.codes.at(m_from + i) : u' '; }
    qsizetype length() const { return m_length; }

private:
    const LegacyText::Decoded &m_text;
    qsizetype m_from;
    qsizetype m_length;
};

// Where the last occurrence of the ASCII word stands among the characters; -1 when nowhere.
qsizetype lastIndexOf(const QVector<char32_t> &characters, const char (&word)[5]) {
    for (qsizetype i = characters.size() - 4; i >= 0; --i) {
        if (characters[i] == char32_t(word[0]) && characters[i + 1] == char32_t(word[1]) &&
            characters[i + 2] == char32_t(word[2]) && characters[i + 3] == char32_t(word[3]))
            return i;
    }
    return -1;
}

// The code page the block is read in: an automatic choice looks at the bytes from the last
// "CONT" to the last "DATA".
int blockCodePage(QByteArrayView block, int codePage) {
    if (codePage != LegacyText::kAutoUtf8)
        return codePage;
    const qsizetype cont = block.lastIndexOf(QByteArrayView("CONT"));
    const qsizetype data = block.lastIndexOf(QByteArrayView("DATA"));
    if (cont < 0 || data <= cont)
        return LegacyText::kSystemCodePage;
    return LegacyText::codePageFor(block.sliced(cont, data - cont), codePage);
}

void append(QString &field, char32_t ch) {
    if (ch > 0xFFFF) {
        field.append(QChar::highSurrogate(ch));
        field.append(QChar::lowSurrogate(ch));
    } else {
        field.append(QChar(static_cast<char16_t>(ch)));
    }
}

// The characters Windows does not allow in names that the scan leaves out (NUL aside).
bool isDropped(char32_t ch) {
    switch (ch) {
    case U'\\':
    case U'/':
    case U'"':
    case U':':
    case U'*':
    case U'?':
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<TagText> ReadRealMediaTag(QByteArrayView block, int codePage) {
    block = block.first(qMin(block.size(), kRealMediaHeaderSize));
    const LegacyText::Decoded header =
        LegacyText::decodeWithCodes(block, blockCodePage(block, codePage));
    const qsizetype cont = lastIndexOf(header.characters, "CONT");
    const qsizetype data = lastIndexOf(header.characters, "DATA");
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
    qsizetype p = fields.at(0) == U'\'' || fields.at(0) == U')' ? 1 : 0;
    while (p < end) {
        char32_t ch = fields.at(p);
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
            append(onSinger ? tag.singer : tag.title, ch);
        ++p;
    }
    return tag;
}
