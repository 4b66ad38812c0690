#include "tags/NameTemplate.h"

#include "platform/Paths.h"

QString ExpandNameTemplate(const QString &nameTemplate, const TagText &tags,
                           const QString &originalName) {
    QString result;
    QString literal;
    const qsizetype n = nameTemplate.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = nameTemplate.at(i);
        if (c != u'%') {
            result.append(c);
            literal.append(c);
            ++i;
            continue;
        }
        if (i + 1 < n) {
            const QChar next = nameTemplate.at(i + 1);
            if (next == u'1')
                result.append(tags.title);
            else if (next == u'2')
                result.append(tags.singer);
        }
        i += 2;
    }

    if (result.isEmpty() || result == literal)
        return originalName;
    return result + Paths::lastSuffix(originalName);
}
