// Feeds arbitrary bytes to the ID3v1 block parser and checks what a field may hold.
#include "tags/Id3v1Tag.h"

#include <cstddef>
#include <cstdint>

namespace {

// Every encoding the user can choose.
constexpr int kCodePages[] = {
    LegacyText::kSystemCodePage, LegacyText::kGb18030, LegacyText::kBig5,
    LegacyText::kShiftJis,       LegacyText::kEucKr,   LegacyText::kWindows1251,
    LegacyText::kWindows1252,    LegacyText::kUtf8,    LegacyText::kAutoUtf8,
};

// A field decodes from 30 bytes, so it never holds more than 30 characters, and no NUL.
bool plausible(const QString &field) {
    return field.size() <= 30 && !field.contains(QChar(u'\0'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    for (const int codePage : kCodePages) {
        const std::optional<TagText> tag = ReadId3v1Tag(bytes, codePage);
        if (tag && (!plausible(tag->title) || !plausible(tag->singer)))
            __builtin_trap();
        if (tag.has_value() != (size >= 128 && bytes.last(128).startsWith(QByteArrayView("TAG"))))
            __builtin_trap();
    }
    return 0;
}
