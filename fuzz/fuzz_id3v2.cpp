// Feeds arbitrary frames to the ID3v2 reader behind a well-formed tag header, and checks that
// every character of what comes back can come from the text of a frame it read, decoded in the
// chosen encoding: no text is made of bytes that are no frame's text.
#include "platform/LegacyText.h"
#include "tags/Id3v2Frames.h"

#include <QByteArray>
#include <QSet>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kCodePage = LegacyText::kGbk;

// Every character the frame's text bytes can give in its encoding, whatever value of it is
// taken.
void addCharacters(QSet<char32_t> &into, char encoding, const QByteArray &bytes) {
    QString text;
    if (encoding == 0)
        text = LegacyText::decode(bytes, LegacyText::codePageFor(bytes, kCodePage)) +
               LegacyText::decode(bytes, kCodePage);
    else if (encoding == 3)
        text = QString::fromUtf8(bytes);
    else
        for (const auto order : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
            QStringDecoder decoder(order, QStringConverter::Flag::Stateless);
            text += decoder.decode(bytes);
            text += decoder.decode(QByteArrayView(bytes).sliced(qMin<qsizetype>(2, bytes.size())));
        }
    for (const char32_t c : text.toUcs4())
        into.insert(c);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const QByteArray body(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    // The first two bytes choose the version (2 to 4) and the header flags.
    QByteArray tag = "ID3" + QByteArray(1, char(2 + data[0] % 3)) + '\0' + char(data[1]);
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += char((body.size() >> shift) & 0x7F);
    tag += body;

    QSet<char32_t> possible;
    const std::optional<TagText> text = Id3v2Frames::read(
        [&tag](qint64 offset, qint64 count) { return tag.mid(offset, count); }, kCodePage,
        [&possible](char encoding, const QByteArray &bytes) {
            addCharacters(possible, encoding, bytes);
        });
    if (!text)
        return 0;
    for (QString TagText::*field : kTagFields) {
        for (const char32_t c : ((*text).*field).toUcs4()) {
            if (!possible.contains(c))
                __builtin_trap();
        }
    }
    return 0;
}
