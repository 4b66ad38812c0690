#include "settings/ProfileFile.h"

#include "platform/LegacyText.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

namespace {

// A settings file is a few hundred bytes; anything far larger is not one and is not loaded
// whole into memory.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView v) {
    qsizetype begin = 0;
    qsizetype end = v.size();
    while (begin < end && isBlank(v[begin]))
        ++begin;
    while (end > begin && isBlank(v[end - 1]))
        --end;
    return v.sliced(begin, end - begin);
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

enum class Kind { Blank, Comment, Header, Plain };

struct Line {
    qsizetype next = 0; // first byte after the line break
    bool hasBreak = false;
    QByteArrayView text; // up to the first NUL, blanks around removed
    Kind kind = Kind::Blank;
    QByteArrayView name;   // section name of a header, key of a plain line with "="
    qsizetype equals = -1; // index of "=" in text
};

Line parseLine(QByteArrayView content, qsizetype begin, qsizetype end, qsizetype next) {
    Line line;
    line.next = next;
    line.hasBreak = next > end;
    QByteArrayView raw = content.sliced(begin, end - begin);
    const qsizetype nul = raw.indexOf('\0');
    if (nul >= 0)
        raw = raw.first(nul);
    line.text = trimmed(raw);
    if (line.text.isEmpty()) {
        line.kind = Kind::Blank;
    } else if (line.text.front() == ';') {
        line.kind = Kind::Comment;
    } else if (line.text.front() == '[') {
        line.kind = Kind::Header;
        const QByteArrayView rest = line.text.sliced(1);
        const qsizetype close = rest.indexOf(']');
        line.name = trimmed(close >= 0 ? rest.first(close) : rest);
    } else {
        line.kind = Kind::Plain;
        line.equals = line.text.indexOf('=');
        if (line.equals >= 0)
            line.name = trimmed(line.text.first(line.equals));
    }
    return line;
}

// Walks the lines of content one at a time; a file of many short lines is never held as a
// list of them.
class LineReader {
public:
    explicit LineReader(QByteArrayView content)
        : m_content(content)
        , m_pos(content.startsWith(LegacyText::kUtf8Bom) ? LegacyText::kUtf8Bom.size() : 0) {}

    bool next(Line &line) {
        const qsizetype size = m_content.size();
        if (m_pos >= size)
            return false;
        qsizetype end = m_pos;
        while (end < size && m_content[end] != '\n' && m_content[end] != '\r')
            ++end;
        qsizetype after = end;
        if (after < size)
            after += m_content[after] == '\r' && after + 1 < size && m_content[after + 1] == '\n'
                         ? 2
                         : 1;
        line = parseLine(m_content, m_pos, end, after);
        m_pos = after;
        return true;
    }

private:
    QByteArrayView m_content;
    qsizetype m_pos;
};

// The line break the file already uses, so that added lines match it.
QByteArrayView lineBreakOf(QByteArrayView content) {
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (content[i] == '\n')
            return "\n";
        if (content[i] == '\r')
            return i + 1 < content.size() && content[i + 1] == '\n' ? "\r\n" : "\r";
    }
    return "\r\n";
}

// bytes cut to at most limit bytes without cutting a character of codePage.
QByteArrayView cutWhole(QByteArrayView bytes, qsizetype limit, int codePage) {
    if (limit <= 0)
        return {};
    if (bytes.size() <= limit)
        return bytes;
    // Three bytes beyond the limit tell whether a character spans it.
    const LegacyText::Decoded decoded =
        LegacyText::decodeWithCodes(bytes.first(qMin(bytes.size(), limit + 3)), codePage);
    qsizetype taken = 0;
    for (const quint16 code : decoded.codes) {
        const qsizetype width = LegacyText::byteCount(code);
        if (taken + width > limit)
            break;
        taken += width;
    }
    return bytes.first(taken);
}

// value up to its first line break or NUL.
QByteArrayView singleLine(QByteArrayView value) {
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n' || value[i] == '\0')
            return value.first(i);
    }
    return value;
}

qsizetype offsetIn(QByteArrayView content, QByteArrayView part) {
    return part.data() - content.data();
}

} // namespace

namespace ProfileText {

QByteArray readValue(QByteArrayView content, QByteArrayView section, QByteArrayView key,
                     QByteArrayView defaultValue, qsizetype capacity, int codePage) {
    bool inSection = false;
    LineReader reader(content);
    for (Line line; reader.next(line);) {
        if (line.kind == Kind::Header) {
            inSection = sameName(line.name, section);
        } else if (inSection && line.kind == Kind::Plain && line.equals >= 0 &&
                   sameName(line.name, key)) {
            const QByteArrayView value = trimmed(line.text.sliced(line.equals + 1));
            return cutWhole(value, capacity - 1, codePage).toByteArray();
        }
    }
    return cutWhole(defaultValue, capacity - 1, codePage).toByteArray();
}

QByteArray readSection(QByteArrayView content, QByteArrayView section, qsizetype capacity,
                       int codePage) {
    QByteArray out;
    bool inSection = false;
    LineReader reader(content);
    for (Line line; reader.next(line);) {
        if (line.kind == Kind::Header) {
            inSection = sameName(line.name, section);
        } else if (inSection && line.kind == Kind::Plain) {
            out.append(line.text);
            out.append('\0');
            if (out.size() >= capacity + 2)
                break; // cannot fit any more; no need to gather the rest
        }
    }
    if (out.size() + 1 <= capacity)
        return out;
    const qsizetype cut = capacity - 2;
    if (cut <= 0)
        return {};
    // The line that is cut may still be used (as the first line of a section that does not
    // fit), so it ends on a whole character. out holds the bytes beyond the cut that tell
    // whether a character spans it.
    const qsizetype lineStart = out.lastIndexOf('\0', cut - 1) + 1;
    out.truncate(lineStart +
                 cutWhole(QByteArrayView(out).sliced(lineStart), cut - lineStart, codePage).size());
    return out;
}

QByteArray withValue(QByteArrayView content, QByteArrayView section, QByteArrayView key,
                     QByteArrayView value) {
    value = singleLine(value);

    bool inSection = false;
    bool inFirst = false; // within the first header of the section and its lines
    bool seenFirst = false;
    Line lastOfFirst; // the last line there that is not blank
    LineReader reader(content);
    for (Line line; reader.next(line);) {
        if (line.kind == Kind::Header) {
            inSection = sameName(line.name, section);
            inFirst = inSection && !seenFirst;
            if (inFirst) {
                seenFirst = true;
                lastOfFirst = line;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (inFirst && line.kind != Kind::Blank)
            lastOfFirst = line;
        if (line.kind == Kind::Plain && line.equals >= 0 && sameName(line.name, key)) {
            const QByteArrayView after = line.text.sliced(line.equals + 1);
            const QByteArrayView old = trimmed(after);
            if (old == value)
                return content.toByteArray();
            // Only the value's bytes change: the key's spelling and the blanks stay.
            const qsizetype from = offsetIn(content, old.isEmpty() ? after.first(0) : old);
            QByteArray out;
            out.reserve(content.size() - old.size() + value.size());
            out.append(content.first(from));
            out.append(value);
            out.append(content.sliced(from + old.size()));
            return out;
        }
    }

    const QByteArrayView lineBreak = lineBreakOf(content);
    QByteArray keyLine;
    keyLine.append(key).append('=').append(value).append(lineBreak);
    if (seenFirst) {
        const Line &after = lastOfFirst;
        QByteArray out = content.first(after.next).toByteArray();
        if (!after.hasBreak)
            out.append(lineBreak);
        out.append(keyLine);
        out.append(content.sliced(after.next));
        return out;
    }
    QByteArray out = content.toByteArray();
    const qsizetype start =
        content.startsWith(LegacyText::kUtf8Bom) ? LegacyText::kUtf8Bom.size() : 0;
    if (out.size() > start && !out.endsWith('\n') && !out.endsWith('\r'))
        out.append(lineBreak);
    out.append('[').append(section).append(']').append(lineBreak);
    out.append(keyLine);
    return out;
}

QByteArray withoutKey(QByteArrayView content, QByteArrayView section, QByteArrayView key) {
    bool inSection = false;
    qsizetype start = content.startsWith(LegacyText::kUtf8Bom) ? LegacyText::kUtf8Bom.size() : 0;
    LineReader reader(content);
    for (Line line; reader.next(line); start = line.next) {
        if (line.kind == Kind::Header) {
            inSection = sameName(line.name, section);
        } else if (inSection && line.kind == Kind::Plain && line.equals >= 0 &&
                   sameName(line.name, key)) {
            QByteArray out = content.first(start).toByteArray();
            out.append(content.sliced(line.next));
            return out;
        }
    }
    return content.toByteArray();
}

QByteArray inUtf8(QByteArrayView content, int codePage) {
    if (codePage == LegacyText::kUtf8)
        return content.toByteArray();
    return LegacyText::kUtf8Bom.toByteArray() + LegacyText::decode(content, codePage).toUtf8();
}

} // namespace ProfileText

namespace ProfileFile {

std::optional<QByteArray> load(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return QByteArray();
    // Opened without waiting, and only as a regular file: a pipe named rename.ini would
    // otherwise hold the program at start-up.
    QFile file(path);
    if (!openRegularFileForReading(file) || file.size() > kMaxFileSize)
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool writeValues(const QString &path, QByteArrayView section, const QList<KeyValue> &values,
                 const QList<QByteArray> &removedKeys,
                 const std::function<bool(const FileIdentity &)> &forbidden, bool *wasForbidden) {
    return rewrite(
        path,
        [&](const QByteArray &content) {
            QByteArray updated = content;
            for (const KeyValue &kv : values)
                updated = ProfileText::withValue(updated, section, kv.first, kv.second);
            for (const QByteArray &key : removedKeys)
                updated = ProfileText::withoutKey(updated, section, key);
            return updated;
        },
        forbidden, wasForbidden);
}

namespace {

// Why a file at path could not be given bytes more, in words for the user.
QString failureReason(const QFileDevice &file, const QString &path, qint64 bytes) {
    const QStorageInfo disk(QFileInfo(path).absolutePath());
    if (disk.isValid() && disk.bytesAvailable() < bytes)
        return QStringLiteral("磁盘空间不足");
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return QStringLiteral("磁盘空间不足");
    case QFileDevice::PermissionsError:
        return QStringLiteral("没有权限");
    case QFileDevice::OpenError:
        return QStringLiteral("无法打开");
    default:
        return QStringLiteral("无法写入");
    }
}

// Writes content over file from its start, then cuts what is left of the old content.
bool overwrite(QFile &file, const QByteArray &content) {
    return file.seek(0) && file.write(content) == content.size() && file.flush() &&
           file.resize(content.size());
}

} // namespace

bool rewrite(const QString &path, const std::function<QByteArray(const QByteArray &)> &change,
             const std::function<bool(const FileIdentity &)> &forbidden, bool *wasForbidden,
             QString *why) {
    const auto failed = [&](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (wasForbidden)
        *wasForbidden = false;
    if (forbidden && forbidden(FileIdentity::of(path))) {
        if (wasForbidden)
            *wasForbidden = true;
        return false;
    }
    // Writing over a file whose content could not be read would lose that content.
    const std::optional<QByteArray> old = load(path);
    if (!old)
        return failed(QStringLiteral("无法读取：不是普通文件，或太大"));
    const QByteArray updated = change(*old);
    const QFileInfo info(path);
    if (info.exists() && updated == *old)
        return true;
    // The temporary file and rename would replace even a file the user made read-only.
    if (info.exists() && !info.isWritable())
        return failed(QStringLiteral("文件是只读的"));
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        // A failed write, flush or sync leaves the old file as it was, the temporary one gone.
        // The flush is asked for here: commit() alone renames a temporary file whose buffered
        // bytes did not fit over the old one.
        if (file.write(updated) == updated.size() && file.flush() && file.commit())
            return true;
        const QString reason = failureReason(file, path, updated.size());
        file.cancelWriting();
        if (!info.exists())
            return failed(reason);
    } else if (!info.exists()) {
        return failed(failureReason(file, path, updated.size()));
    }
    // The folder takes no temporary file, or the disk no second copy; the file itself may still
    // be writable. Written in place then, never cut first: should the new content not fit, the
    // old one goes back, which does, as it was there.
    QFile inPlace(path);
    if (!inPlace.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered) ||
        inPlace.isSequential())
        return failed(failureReason(inPlace, path, updated.size()));
    if (overwrite(inPlace, updated))
        return true;
    const QString reason = failureReason(inPlace, path, updated.size());
    inPlace.unsetError();
    overwrite(inPlace, *old);
    return failed(reason);
}

} // namespace ProfileFile
