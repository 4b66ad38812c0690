#include "platform/LegacyText.h"

#include "platform/Paths.h"

#include <QVarLengthArray>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStringDecoder>
#endif

#include <array>
#include <iterator>
#include <memory>
#include <mutex>

namespace {

constexpr char16_t kInvalid = 0xFFFD;
constexpr char16_t kUnmapped = 0; // table slot without a character

// The code page's own conversion of short byte sequences. One converter serves a whole table:
// opening one costs far more than a conversion.
class Converter {
public:
#ifdef Q_OS_WIN
    explicit Converter(int codePage)
        : m_codePage(codePage) {}
#else
    explicit Converter(int codePage)
        : m_name(LegacyText::tagEncoding(codePage).converter)
        , m_decoder(m_name, QStringConverter::Flag::Stateless) {}
#endif

    // Empty when the bytes do not form text of the code page.
    QString operator()(const char *bytes, qsizetype size) {
#ifdef Q_OS_WIN
        wchar_t out[4];
        const int n = MultiByteToWideChar(static_cast<UINT>(m_codePage), MB_ERR_INVALID_CHARS,
                                          bytes, static_cast<int>(size), out, 4);
        if (n <= 0)
            return {};
        return QString::fromWCharArray(out, n);
#else
        const QString s = m_decoder.decode(QByteArrayView(bytes, size));
        if (m_decoder.hasError()) {
            m_decoder = QStringDecoder(m_name, QStringConverter::Flag::Stateless); // it stays set
            return {};
        }
        return s.contains(QChar(kInvalid)) ? QString() : s;
#endif
    }

private:
#ifdef Q_OS_WIN
    const int m_codePage;
#else
    const char *m_name;
    QStringDecoder m_decoder;
#endif
};

bool isControl(char16_t u) {
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

bool isPrivateUse(char16_t u) {
    return u >= 0xE000 && u <= 0xF8FF;
}

// A code page's lookup tables. Decoding walks the bytes itself, which is what lets it report
// for every character how many bytes it took.
struct CodePage {
    int number;
    std::array<char16_t, 256> single{};
    // [lead - 0x80][trail]
    std::array<std::array<char16_t, 256>, 128> pairs{};
    // Unicode (BMP) -> bytes: 0 unmapped, < 0x100 one byte, otherwise lead << 8 | trail.
    std::array<quint16, 0x10000> reverse{};
    // Bytes that begin a two-byte character.
    std::array<bool, 256> leadByte{};
    // GB18030 also has four-byte characters: lead, digit, lead, digit.
    bool fourByte;

    CodePage(int codePage, bool doubleByte)
        : number(codePage)
        , fourByte(codePage == LegacyText::kGb18030) {
        Converter convert(codePage);
        auto decodeOne = [&](const char *bytes, qsizetype size) -> char16_t {
            const QString s = convert(bytes, size);
            if (s.size() != 1 || s.at(0).isSurrogate())
                return kUnmapped;
            return s.at(0).unicode();
        };
        // A byte the code page leaves undefined comes back from some converters as a control
        // or private-use character; it is no character, and decodes to U+FFFD. Two bytes may
        // stand for a private-use character: the user-defined areas, as Windows maps them.
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const char16_t u = b < 0x80 ? char16_t(b) : decodeOne(&byte, 1);
            single[b] = b >= 0x80 && (isControl(u) || isPrivateUse(u)) ? kUnmapped : u;
        }
        for (int lead = 0x81; doubleByte && lead < 0x100; ++lead) {
            for (int trail = 0x40; trail < 0x100; ++trail) {
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const char16_t u = decodeOne(bytes, 2);
                pairs[lead - 0x80][trail] = isControl(u) ? kUnmapped : u;
            }
        }
        // Two-byte forms first, then single bytes, so a character with both keeps the short one.
        for (int lead = 0x81; doubleByte && lead < 0x100; ++lead) {
            for (int trail = 0x40; trail < 0x100; ++trail) {
                const char16_t u = pairs[lead - 0x80][trail];
                if (u != kUnmapped && reverse[u] == 0)
                    reverse[u] = static_cast<quint16>(lead << 8 | trail);
                if (u != kUnmapped)
                    leadByte[lead] = true;
            }
        }
        for (int b = 255; b > 0; --b) {
            if (single[b] != kUnmapped)
                reverse[single[b]] = static_cast<quint16>(b);
        }
    }
};

// The tables of encoding, built from its converter when first used; they never change after.
const CodePage &table(const LegacyText::TagEncoding &encoding) {
    constexpr size_t kCount = std::size(LegacyText::kTagEncodings);
    static std::array<std::once_flag, kCount> once;
    static std::array<std::unique_ptr<CodePage>, kCount> built;
    const size_t i = size_t(&encoding - LegacyText::kTagEncodings);
    std::call_once(once[i], [&] {
        built[i] = std::make_unique<CodePage>(encoding.codePage, encoding.doubleByte);
    });
    return *built[i];
}

// The table of codePage; nullptr for UTF-8, which needs none.
const CodePage *codePageTable(int codePage) {
#ifdef Q_OS_WIN
    // With the "UTF-8 for worldwide language support" setting the ANSI code page is UTF-8,
    // whose characters take up to four bytes: walked as UTF-8, never through a table.
    if (codePage == LegacyText::kSystemCodePage && GetACP() == CP_UTF8)
        return nullptr;
#else
    // Elsewhere the system code page is GBK.
    if (codePage == LegacyText::kGbk)
        codePage = LegacyText::kSystemCodePage;
#endif
    const LegacyText::TagEncoding &encoding = LegacyText::tagEncoding(codePage);
    if (encoding.codePage == LegacyText::kUtf8)
        return nullptr;
    if (!encoding.converter)
        return &table(LegacyText::tagEncoding(LegacyText::kSystemCodePage));
    return &table(encoding);
}

bool isDigit(unsigned char b) {
    return b >= 0x30 && b <= 0x39;
}

bool isFourByteLead(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

// Walks bytes of a table code page, giving sink each character and its code. Returns how
// many bytes at the end begin a character that the end cut off; those go to no sink.
template <typename Sink> qsizetype walkTable(const CodePage &cp, QByteArrayView bytes, Sink &sink) {
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char b = data[i];
        if (b >= 0x80 && i + 1 < size) {
            const char16_t u = cp.pairs[b - 0x80][data[i + 1]];
            if (u != kUnmapped) {
                sink(u, static_cast<quint16>(0x200 | b));
                ++i;
                continue;
            }
        }
        if (b < 0x80) {
            sink(b, b);
            continue;
        }
        if (cp.fourByte && isFourByteLead(b)) {
            const qsizetype left = size - i;
            if (left >= 4 && isDigit(data[i + 1]) && isFourByteLead(data[i + 2]) &&
                isDigit(data[i + 3])) {
                // Opened once per thread, not per character: decoding runs on the reading
                // threads too.
                thread_local Converter fourBytes(LegacyText::kGb18030);
                const QString s = fourBytes(reinterpret_cast<const char *>(data + i), 4);
                const QList<uint> ucs4 = s.toUcs4();
                if (ucs4.size() == 1) {
                    sink(ucs4.front(), static_cast<quint16>(0x400 | b));
                    i += 3;
                    continue;
                }
            } else if (left < 4 && (left < 2 || isDigit(data[i + 1])) &&
                       (left < 3 || isFourByteLead(data[i + 2]))) {
                return left;
            }
        } else if (i + 1 == size && cp.leadByte[b]) {
            return 1;
        }
        const char16_t u = cp.single[b];
        sink(u != kUnmapped ? u : kInvalid, static_cast<quint16>(b));
    }
    return 0;
}

// The same for UTF-8. Overlong forms, surrogates and code points beyond U+10FFFF are invalid.
template <typename Sink> qsizetype walkUtf8(QByteArrayView bytes, Sink &sink) {
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char b = data[i];
        if (b < 0x80) {
            sink(b, b);
            continue;
        }
        const int n = b >= 0xC2 && b <= 0xDF   ? 2
                      : b >= 0xE0 && b <= 0xEF ? 3
                      : b >= 0xF0 && b <= 0xF4 ? 4
                                               : 0;
        if (n == 0) {
            sink(kInvalid, b);
            continue;
        }
        const unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        char32_t u = b & (0xFF >> (n + 1));
        int k = 1;
        for (; k < n && i + k < size; ++k) {
            const unsigned char c = data[i + k];
            if (k == 1 ? c < low || c > high : c < 0x80 || c > 0xBF)
                break;
            u = u << 6 | (c & 0x3F);
        }
        if (k == n) {
            sink(u, static_cast<quint16>(n << 8 | b));
            i += n - 1;
        } else if (i + k == size) {
            return size - i;
        } else {
            sink(kInvalid, b);
        }
    }
    return 0;
}

template <typename Sink> qsizetype walk(QByteArrayView bytes, int codePage, Sink &&sink) {
    const CodePage *cp = codePageTable(codePage);
    return cp ? walkTable(*cp, bytes, sink) : walkUtf8(bytes, sink);
}

// A byte of a character cut off by the end, decoded on its own.
char16_t cutByte(char b) {
    return static_cast<unsigned char>(b) < 0x80 ? char16_t(b) : kInvalid;
}

void append(QString &text, char32_t u) {
    if (u > 0xFFFF) {
        text.append(QChar::highSurrogate(u));
        text.append(QChar::lowSurrogate(u));
    } else {
        text.append(QChar(static_cast<char16_t>(u)));
    }
}

// The text of bytes, with or without the bytes of a character the end cut off. No character
// takes fewer bytes than UTF-16 units, so the text is written straight into room for as many
// units as there are bytes, then copied into a string of its own size: tags and names are
// decoded by the thousand, and a list keeps them.
QString decodeInto(QByteArrayView bytes, int codePage, bool withCutBytes) {
    QVarLengthArray<char16_t, 256> units(bytes.size());
    char16_t *out = units.data();
    const auto put = [&](char32_t u, quint16) {
        if (u > 0xFFFF) {
            *out++ = QChar::highSurrogate(u);
            *out++ = QChar::lowSurrogate(u);
        } else {
            *out++ = static_cast<char16_t>(u);
        }
    };
    const qsizetype cut = walk(bytes, codePage, put);
    if (withCutBytes) {
        for (const char b : bytes.last(cut))
            *out++ = cutByte(b);
    }
    return QString(reinterpret_cast<const QChar *>(units.data()), out - units.data());
}

} // namespace

namespace LegacyText {

const TagEncoding &tagEncoding(int codePage) {
    for (const TagEncoding &encoding : kTagEncodings) {
        if (encoding.codePage == codePage)
            return encoding;
    }
    return kTagEncodings[0];
}

const TagEncoding *tagEncodingNamed(QByteArrayView name) {
    for (const TagEncoding &encoding : kTagEncodings) {
        if (!encoding.iniName.isEmpty() &&
            QLatin1StringView(encoding.iniName)
                    .compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0)
            return &encoding;
    }
    return nullptr;
}

QString Decoded::text() const {
    QString out;
    out.reserve(characters.size());
    for (const char32_t u : characters)
        append(out, u);
    return out;
}

QString decodeCut(QByteArrayView bytes, int codePage) {
    return decodeInto(bytes, codePage, false);
}

QString decode(QByteArrayView bytes, int codePage) {
    return decodeInto(bytes, codePage, true);
}

Decoded decodeWithCodes(QByteArrayView bytes, int codePage) {
    Decoded out;
    out.characters.reserve(bytes.size());
    out.codes.reserve(bytes.size());
    const qsizetype cut = walk(bytes, codePage, [&](char32_t u, quint16 code) {
        out.characters.append(u);
        out.codes.append(code);
    });
    for (const char b : bytes.last(cut)) {
        out.characters.append(cutByte(b));
        out.codes.append(static_cast<unsigned char>(b));
    }
    return out;
}

QByteArray encode(QStringView text, int codePage) {
    const CodePage *table = codePageTable(codePage);
    if (!table)
        return text.toUtf8();
    const CodePage &cp = *table;
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            out.append('?'); // outside the tables; one mark for the whole code point
            ++i;
            continue;
        }
        const quint16 bytes = u == 0 ? 0 : cp.reverse[u];
        if (u == 0) {
            out.append('\0');
        } else if (bytes == 0) {
            out.append('?');
        } else if (bytes < 0x100) {
            out.append(static_cast<char>(bytes));
        } else {
            out.append(static_cast<char>(bytes >> 8));
            out.append(static_cast<char>(bytes & 0xFF));
        }
    }
    return out;
}

bool canEncode(QStringView text, int codePage) {
    return decode(encode(text, codePage), codePage) == text;
}

bool isUtf8(QByteArrayView bytes, bool cutAllowed) {
    if (isAscii(bytes))
        return true;
    bool valid = true;
    const auto sink = [&](char32_t, quint16 code) {
        if (code >= 0x80 && code < 0x100)
            valid = false; // a byte of its own at 0x80 or above is never a character
    };
    const qsizetype cut = walkUtf8(bytes, sink);
    return valid && (cut == 0 || cutAllowed);
}

bool isAscii(QByteArrayView bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

int codePageFor(QByteArrayView bytes, int codePage, bool cutAllowed) {
    if (codePage != kAutoUtf8)
        return codePage;
    return !isAscii(bytes) && isUtf8(bytes, cutAllowed) ? kUtf8 : kSystemCodePage;
}

QByteArray encodeOutput(QStringView text, bool inUtf8) {
#ifdef Q_OS_WIN
    return inUtf8 ? text.toUtf8() : encode(text);
#else
    Q_UNUSED(inUtf8);
    return text.toUtf8();
#endif
}

QByteArray encodeOutputPath(const QString &path, bool inUtf8) {
#ifdef Q_OS_WIN
    return inUtf8 ? path.toUtf8() : encode(path);
#else
    Q_UNUSED(inUtf8);
    return Paths::toExactBytes(path);
#endif
}

int profileCodePage(QByteArrayView content) {
    if (content.startsWith(kUtf8Bom))
        return kUtf8;
#ifdef Q_OS_WIN
    return kSystemCodePage;
#else
    return isUtf8(content) ? kUtf8 : kSystemCodePage;
#endif
}

} // namespace LegacyText
