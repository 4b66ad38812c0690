#include "platform/LegacyText.h"

#include <QStringDecoder>

#include <array>
#include <memory>

namespace {

constexpr char16_t kInvalid = 0xFFFD;
constexpr char16_t kUnmapped = 0; // table slot without a character

// Lookup tables built once from Qt's converter for the code page. Decoding then walks the
// bytes itself, which is what lets it report for every character how many bytes it took.
struct CodePage {
    std::array<char16_t, 256> single{};
    // [lead - 0x80][trail]
    std::array<std::array<char16_t, 256>, 128> pairs{};
    // Unicode (BMP) -> bytes: 0 unmapped, < 0x100 one byte, otherwise lead << 8 | trail.
    std::array<quint16, 0x10000> reverse{};
    // Bytes that begin a two-byte character.
    std::array<bool, 256> leadByte{};

    CodePage() {
#ifdef Q_OS_WIN
        const auto encoding = QStringConverter::System;
#else
        const char *const encoding = "GBK";
#endif
        auto decodeOne = [&](const char *bytes, qsizetype size) -> char16_t {
            QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
            const QString s = decoder.decode(QByteArrayView(bytes, size));
            if (decoder.hasError() || s.size() != 1 || s.at(0).isSurrogate() ||
                s.at(0).unicode() == kInvalid)
                return kUnmapped;
            return s.at(0).unicode();
        };
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            single[b] = b < 0x80 ? char16_t(b) : decodeOne(&byte, 1);
        }
        for (int lead = 0x81; lead < 0x100; ++lead) {
            for (int trail = 0x40; trail < 0x100; ++trail) {
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                pairs[lead - 0x80][trail] = decodeOne(bytes, 2);
            }
        }
        // Two-byte forms first, then single bytes, so a character with both keeps the short one.
        for (int lead = 0x81; lead < 0x100; ++lead) {
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

const CodePage &codePage() {
    static const auto table = std::make_unique<CodePage>();
    return *table;
}

template <typename Sink> void walk(QByteArrayView bytes, Sink &&sink) {
    const CodePage &cp = codePage();
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char b = data[i];
        if (b >= 0x80 && i + 1 < size) {
            const char16_t u = cp.pairs[b - 0x80][data[i + 1]];
            if (u != kUnmapped) {
                sink(u, static_cast<quint16>(0x100 | b));
                ++i;
                continue;
            }
        }
        const char16_t u = cp.single[b];
        sink(b == 0 || u != kUnmapped ? u : kInvalid, static_cast<quint16>(b));
    }
}

} // namespace

namespace LegacyText {

QString decode(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    walk(bytes, [&](char16_t u, quint16) { text.append(QChar(u)); });
    return text;
}

QString decodeCut(QByteArrayView bytes) {
    QString text = decode(bytes);
    if (!bytes.isEmpty() && !text.isEmpty() && text.back() == QChar(kInvalid) &&
        codePage().leadByte[static_cast<unsigned char>(bytes.back())])
        text.chop(1); // a lead byte that decoded alone could only be the last character
    return text;
}

Decoded decodeWithCodes(QByteArrayView bytes) {
    Decoded out;
    out.text.reserve(bytes.size());
    out.codes.reserve(bytes.size());
    walk(bytes, [&](char16_t u, quint16 code) {
        out.text.append(QChar(u));
        out.codes.append(code);
    });
    return out;
}

QByteArray encode(QStringView text) {
    const CodePage &cp = codePage();
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            out.append('?'); // outside the code page; one mark for the whole code point
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

} // namespace LegacyText
