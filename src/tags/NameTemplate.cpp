#include "tags/NameTemplate.h"

#include "platform/Paths.h"
#include "platform/RenameNoReplace.h"

#include <iterator>

namespace {

constexpr int kFieldCount = int(std::size(kTagFields));

// name cut to the file systems' limit, without halving a character, with "…" at its end: too
// long for any file system, so the rename refuses it, and readable in the list.
QString shownCut(const QString &name) {
    qsizetype keep = qMin(name.size(), Paths::kNameLimit);
    if (keep > 0 && name.at(keep - 1).isHighSurrogate())
        --keep;
    return name.left(keep) + QChar(0x2026);
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// "3", "003" and "3/12" as "03"; "123" as it is; text without digits in front as it is.
QString trackText(const QString &track) {
    const QStringView number = QStringView(track).left(track.indexOf(u'/')).trimmed();
    qsizetype digits = 0;
    while (digits < number.size() && isDigit(number[digits]))
        ++digits;
    if (digits == 0)
        return track;
    QStringView value = number.left(digits);
    while (value.size() > 1 && value.front() == u'0')
        value = value.mid(1);
    return value.size() >= 2 ? value.toString() : u'0' + value.toString();
}

// The first four digits in a row ("2021-05-01", "May 1999"); a date with none as it is.
QString yearText(const QString &date) {
    for (qsizetype i = 0, run = 0; i < date.size(); ++i) {
        run = isDigit(date[i]) ? run + 1 : 0;
        if (run == 4)
            return date.mid(i - 3, 4);
    }
    return date;
}

// The safe-names rule on a joined name before its extension: ends trimmed, a device name
// marked, the whole cut to the limit at a character. Empty when nothing is left.
QString safeName(QString stem, const QString &extension) {
    qsizetype end = stem.size();
    while (end > 0 && (stem[end - 1] == u' ' || stem[end - 1] == u'.'))
        --end;
    qsizetype begin = 0;
    while (begin < end && stem[begin] == u' ')
        ++begin;
    stem = stem.mid(begin, end - begin);
    if (stem.isEmpty())
        return {};
    const qsizetype dot = stem.indexOf(u'.');
    if (RenameNoReplace::isDeviceName(stem))
        stem.insert(dot < 0 ? stem.size() : dot, u'_');
    while (!stem.isEmpty() && Paths::nameLength(stem + extension) > Paths::kNameLimit) {
        stem.chop(stem.size() >= 2 && stem.at(stem.size() - 1).isLowSurrogate() ? 2 : 1);
        while (stem.endsWith(u' ') || stem.endsWith(u'.'))
            stem.chop(1);
    }
    return stem.isEmpty() ? QString() : stem + extension;
}

} // namespace

QString placeholderText(const TagText &tags, int field) {
    const QString &text = tags.*kTagFields[field];
    if (text.isEmpty())
        return text;
    switch (field) {
    case 3:
        return trackText(text);
    case 4:
        return yearText(text);
    case 5:
        return text.left(text.indexOf(u'/'));
    default:
        return text;
    }
}

QString safeFieldText(const QString &text) {
    static constexpr char16_t kUnsafe[] = u"\\/:*?\"<>|";
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (Paths::isRefusedInNames(c))
            continue;
        const qsizetype unsafe = QStringView(kUnsafe).indexOf(c);
        // The full-width forms lie at U+FF01 to U+FF5E, 0xFEE0 above their ASCII forms.
        out.append(unsafe >= 0 ? QChar(char16_t(c.unicode() + 0xFEE0)) : c);
    }
    return out;
}

bool templateBringsText(const QString &nameTemplate, const TagText &tags) {
    for (qsizetype i = 0; i + 1 < nameTemplate.size(); ++i) {
        if (nameTemplate[i] != u'%')
            continue;
        const int field = nameTemplate[i + 1].unicode() - u'1';
        if (field >= 0 && field < kFieldCount && !placeholderText(tags, field).isEmpty())
            return true;
        ++i;
    }
    return false;
}

bool usesDoubtfulText(const QString &nameTemplate, const TagText &tags) {
    const auto doubtful = [&](int field) { return looksMisdecoded(tags.*kTagFields[field]); };
    if (doubtful(0) || doubtful(1))
        return true;
    for (qsizetype i = 0; i + 1 < nameTemplate.size(); ++i) {
        if (nameTemplate[i] != u'%')
            continue;
        const int field = nameTemplate[i + 1].unicode() - u'1';
        if (field >= 0 && field < kFieldCount && doubtful(field))
            return true;
        ++i;
    }
    return false;
}

QString ExpandNameTemplate(const QString &nameTemplate, const TagText &tags,
                           const QString &originalName, bool safeNames) {
    QString result;
    bool tagged = false; // a placeholder brought in text
    bool cut = false;
    const qsizetype n = nameTemplate.size();
    for (qsizetype i = 0; i < n;) {
        // Every character counts at least one against the limit, in UTF-8 bytes or UTF-16
        // units: beyond it the name can be no file's, and is not built further. This keeps a
        // long template from taking memory out of proportion to the list.
        if (result.size() > Paths::kNameLimit) {
            cut = true;
            break;
        }
        const QChar c = nameTemplate.at(i);
        if (c != u'%') {
            result.append(c);
            ++i;
            continue;
        }
        if (i + 1 < n) {
            const int field = nameTemplate.at(i + 1).unicode() - u'1';
            if (field >= 0 && field < kFieldCount) {
                QString text = placeholderText(tags, field);
                if (safeNames)
                    text = safeFieldText(text);
                if (!text.isEmpty()) {
                    result.append(QStringView(text).left(Paths::kNameLimit + 1));
                    tagged = true;
                }
            }
        }
        i += 2;
    }

    if (!tagged)
        return originalName;
    const QString extension = Paths::lastSuffix(originalName);
    if (safeNames) {
        const QString name = safeName(result.left(Paths::kNameLimit + 1), extension);
        return name.isEmpty() ? originalName : name;
    }
    if (cut)
        return shownCut(result);
    const QString name = result + extension;
    return Paths::nameLength(name) > Paths::kNameLimit ? shownCut(name) : name;
}
