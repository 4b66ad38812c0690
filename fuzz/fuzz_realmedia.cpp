// Feeds arbitrary bytes to the RealMedia header scan and checks what a field may hold.
#include "tags/RealMediaTag.h"

#include <cstddef>
#include <cstdint>

namespace {

// Every encoding the user can choose.
constexpr int kCodePages[] = {
    LegacyText::kSystemCodePage, LegacyText::kGb18030, LegacyText::kBig5,
    LegacyText::kShiftJis,       LegacyText::kEucKr,   LegacyText::kWindows1251,
    LegacyText::kWindows1252,    LegacyText::kUtf8,    LegacyText::kAutoUtf8,
};

// The scan drops NUL and the six characters not allowed in names, and never reads past the
// 1024 characters of its padded text.
bool plausible(const QString &field) {
    if (field.size() > 1024)
        return false;
    for (const QChar ch : field) {
        if (ch == u'\0' || ch == u'\\' || ch == u'/' || ch == u'"' || ch == u':' || ch == u'*' ||
            ch == u'?')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    for (const int codePage : kCodePages) {
        const std::optional<TagText> tag = ReadRealMediaTag(bytes, codePage);
        if (tag && (!plausible(tag->title) || !plausible(tag->singer)))
            __builtin_trap();
    }
    return 0;
}
