#include "tags/NameTemplate.h"

#include "list/EntryList.h"
#include "platform/Paths.h"

QString ExpandNameTemplate(const RenameEntry &entry, const QString &nameTemplate) {
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
                result.append(entry.title);
            else if (next == u'2')
                result.append(entry.singer);
        }
        i += 2;
    }

    if (result.isEmpty() || result == literal)
        return entry.originalName;
    return result + Paths::lastSuffix(entry.originalName);
}

void ReformatNewNames(EntryList &list, const QString &nameTemplate) {
    EntryTable &table = list.table();
    for (int r = 1; r < table.NextEntryRow(); ++r)
        table.row(r).newName = ExpandNameTemplate(table.row(r), nameTemplate);
    list.RefreshEntryList();
}
