#pragma once

#include <QByteArrayView>
#include <QString>

class EntryTable;

// Scans the header block of a RealMedia file (its first 1024 bytes, or fewer for a short
// file) and appends the title and singer it finds to title and singer. A block without the
// stretch from "CONT" to "DATA" appends nothing.
void parseRealMediaHeader(QByteArrayView block, QString &title, QString &singer);

// Fills title and singer of row NextEntryRow from its file's header. A file that cannot be
// read leaves them as they were.
void ReadRealMediaTag(EntryTable &table);
