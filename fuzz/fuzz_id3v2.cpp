// Feeds arbitrary frames to the ID3v2 reader behind a well-formed tag header, so that the
// library's frame parser sees them, and checks that what comes back could come from them.
#include "tags/Id3v2Tag.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const QByteArray body(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    // The first two bytes choose the version (2 to 4) and the header flags.
    QByteArray tag = "ID3" + QByteArray(1, char(2 + data[0] % 3)) + '\0' + char(data[1]);
    for (int shift = 21; shift >= 0; shift -= 7)
        tag += char((body.size() >> shift) & 0x7F);
    tag += body;

    const std::optional<TagText> text = ReadId3v2Tag(tag);
    // No field can hold more characters than the tag has bytes.
    if (text && (text->title.size() > tag.size() || text->singer.size() > tag.size()))
        __builtin_trap();
    return 0;
}
