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
        path.m_ownBytes = bytes;
    }
#endif
    return path;
}

QByteArray FilePath::exactBytes() const {
    return m_ownBytes.isEmpty() ? Paths::toExactBytes(m_text) : m_ownBytes;
}

FilePath FilePath::join(const FilePath &name) const {
    FilePath joined;
    joined.m_text = m_text + name.m_text;
    if (hasOwnBytes() || name.hasOwnBytes())
        joined.m_ownBytes = exactBytes() + name.exactBytes();
    return joined;
}

FilePath FilePath::folder() const {
    FilePath part;
    part.m_text = m_text.left(Paths::nameStart(m_text));
    if (hasOwnBytes()) {
        part.m_ownBytes = m_ownBytes.left(lastPartStart(m_ownBytes));
        if (Paths::toExactBytes(part.m_text) == part.m_ownBytes)
            part.m_ownBytes.clear();
    }
    return part;
}

FilePath FilePath::name() const {
    FilePath part;
    part.m_text = m_text.mid(Paths::nameStart(m_text));
    if (hasOwnBytes()) {
        part.m_ownBytes = m_ownBytes.mid(lastPartStart(m_ownBytes));
        if (Paths::toExactBytes(part.m_text) == part.m_ownBytes)
            part.m_ownBytes.clear();
    }
    return part;
}

QByteArray FilePath::outputForm(bool inUtf8) const {
    if (m_ownBytes.isEmpty()) {
        return LegacyText::encodeOutputPath(Paths::printableText(m_text), inUtf8);
    }
    QByteArray bytes = m_ownBytes;
    for (char &b : bytes) {
        if (static_cast<unsigned char>(b) < 0x20)
            b = '?';
    }
    return bytes;
}
