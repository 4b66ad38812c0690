#include "tags/RealMediaTag.h"

#include "list/EntryTable.h"

void parseRealMediaHeader(QByteArrayView block, QString &title, QString &singer) {
    Q_UNUSED(block);
    Q_UNUSED(title);
    Q_UNUSED(singer);
}

void ReadRealMediaTag(EntryTable &table) {
    Q_UNUSED(table);
}
