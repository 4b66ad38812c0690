#include "tags/Id3v1Tag.h"

#include "list/EntryTable.h"

std::optional<TagText> parseId3v1Block(QByteArrayView block) {
    Q_UNUSED(block);
    return std::nullopt;
}

void ReadId3v1Tag(EntryTable &table) {
    Q_UNUSED(table);
}
