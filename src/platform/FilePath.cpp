#include "platform/FilePath.h"

#include "platform/LegacyText.h"
#include "platform/Paths.h"

namespace {

// Where the last part begins in bytes or text: just past the last "/" (or "\" on Windows).
qsizetype lastPartStart(const QByteArray &bytes) {
    return bytes.lastIndexOf('/') + 1;
}

} // namespace

FilePath FilePath::fromExactBytes(const QByteArray &bytes) {
    FilePath path;
#ifdef Q_OS_WIN
    path.m_text = QString::fromUtf8(bytes);
#else
    // Most names are ASCII or UTF-8, whose text gives their bytes back.
    if (LegacyText::isAscii(bytes)) {
        path.m_text = QString::fromLatin1(bytes);
    } else if (Paths::isUtf8(bytes)) {
        path.m_text = QString::fromUtf8(bytes);
    } else {
        path.m_text = Paths::pathText(bytes);
        path.setOwnBytes(bytes);
    }
#endif
    return path;
}

QByteArray FilePath::exactBytes() const {
    return hasOwnBytes() ? m_ownBytes->bytes : Paths::toExactBytes(m_text);
}

const QByteArray &FilePath::ownBytes() const {
    static const QByteArray none;
    return hasOwnBytes() ? m_ownBytes->bytes : none;
}

void FilePath::setOwnBytes(const QByteArray &bytes) {
    if (bytes.isEmpty()) {
        m_ownBytes.reset();
        return;
    }
    m_ownBytes = new OwnBytes;
    m_ownBytes->bytes = bytes;
}

FilePath FilePath::join(const FilePath &name) const {
    FilePath joined;
    joined.m_text = m_text + name.m_text;
    if (hasOwnBytes() || name.hasOwnBytes())
        joined.setOwnBytes(exactBytes() + name.exactBytes());
    return joined;
}

FilePath FilePath::folder() const {
    FilePath part;
    part.m_text = m_text.left(Paths::nameStart(m_text));
    if (hasOwnBytes()) {
        const QByteArray bytes = ownBytes().left(lastPartStart(ownBytes()));
        if (Paths::toExactBytes(part.m_text) != bytes)
            part.setOwnBytes(bytes);
    }
    return part;
}

FilePath FilePath::name() const {
    FilePath part;
    part.m_text = m_text.mid(Paths::nameStart(m_text));
    if (hasOwnBytes()) {
        const QByteArray bytes = ownBytes().mid(lastPartStart(ownBytes()));
        if (Paths::toExactBytes(part.m_text) != bytes)
            part.setOwnBytes(bytes);
    }
    return part;
}

QByteArray FilePath::outputForm(bool inUtf8) const {
    if (!hasOwnBytes()) {
        return LegacyText::encodeOutputPath(Paths::printableText(m_text), inUtf8);
    }
    QByteArray bytes = ownBytes();
    for (char &b : bytes) {
        if (static_cast<unsigned char>(b) < 0x20)
            b = '?';
    }
    return bytes;
}
