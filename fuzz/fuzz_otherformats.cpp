// Feeds arbitrary files to the readers of every format that goes through TagLib over the
// program's own stream, and the ID3 readers of MP3, by the ending the first byte picks; checks
// that no field holds more characters than the file has bytes.
#include "tags/TagReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const char16_t *const kEndings[] = {u"a.flac", u"a.ogg", u"a.m4a", u"a.wma",
                                               u"a.ape",  u"a.wv",  u"a.mpc", u"a.tta",
                                               u"a.aiff", u"a.wav", u"a.mp3"};
    static QTemporaryDir dir;
    if (size < 1 || !dir.isValid())
        return 0;
    const QString path = dir.filePath(QString::fromUtf16(kEndings[data[0] % std::size(kEndings)]));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data) + 1, qint64(size - 1));
    file.close();

    const TagFormat *format = formatByNameEnding(path, true);
    const std::optional<TagText> tags =
        format ? readTags(*format, path, {true, LegacyText::kGbk, true}) : std::nullopt;
    if (tags) {
        for (QString TagText::*field : kTagFields) {
            if (((*tags).*field).size() > qsizetype(size))
                __builtin_trap();
        }
    }
    return 0;
}
