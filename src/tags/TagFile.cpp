#include "tags/TagFile.h"

#include "platform/RegularFile.h"

namespace {

bool openRegularFile(QFile &file) {
    return openRegularFileForReading(file) && !file.isSequential();
}

} // namespace

std::optional<QByteArray> readFileHead(const QString &path, qint64 count) {
    QFile file(path);
    if (count < 0 || !openRegularFile(file))
        return std::nullopt;
    QByteArray bytes = file.read(count);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> readFileTail(const QString &path, qint64 count) {
    QFile file(path);
    if (count < 0 || !openRegularFile(file))
        return std::nullopt;
    const qint64 size = file.size();
    if (size < count || !file.seek(size - count))
        return std::nullopt;
    QByteArray bytes = file.read(count);
    if (bytes.size() != count)
        return std::nullopt;
    return bytes;
}
