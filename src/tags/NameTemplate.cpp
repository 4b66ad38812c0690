#include "tags/NameTemplate.h"

#include "platform/Paths.h"

namespace {

// name cut to the file systems' limit, without halving a character, with "…" at its end: too
// long for any file system, so the rename refuses it, and readable in the list.
QString shownCut(const QString &name) {
    qsizetype keep = qMin(name.size(), Paths::kNameLimit);
    if (keep > 0 && name.at(keep - 1).isHighSurrogate())
        --keep;
    return name.left(keep) + QChar(0x2026);
}

} // namespace

QString ExpandNameTemplate(const QString &nameTemplate, const TagText &tags,
                           const QString &originalName) {
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
            const QChar next = nameTemplate.at(i + 1);
            const QString *text = next == u'1'   ? &tags.title
                                  : next == u'2' ? &tags.singer
                                                 : nullptr;
            if (text && !text->isEmpty()) {
                result.append(QStringView(*text).left(Paths::kNameLimit + 1));
                tagged = true;
            }
        }
        i += 2;
    }

    if (!tagged)
        return originalName;
    if (cut)
        return shownCut(result);
    const QString name = result + Paths::lastSuffix(originalName);
    return Paths::nameLength(name) > Paths::kNameLimit ? shownCut(name) : name;
}
