#pragma once

#include <QByteArrayView>
#include <QString>

class EntryTable;

// The size of the header block of a RealMedia file that the reader looks at.
inline constexpr qsizetype kRealMediaHeaderSize = 1024;

// Scans the header block of a RealMedia file (its first 1024 bytes, or fewer for a short
// file; bytes beyond the first 1024 are ignored) and appends the title and singer it finds
// to title and singer. A block without the stretch from "CONT" to "DATA" appends nothing.
//
// The block is read as legacy text, not walked as chunks: the stretch runs from the last
// "CONT" to the last "DATA", the fields start after the chunk head (one character later when
// the title length reads as a small control code), and NUL ends each field. Positions count
// characters, so a two-byte character is one. A scan that meets fewer than two NULs ends at
// the end of the padded stretch, keeping what it appended.
void parseRealMediaHeader(QByteArrayView block, QString &title, QString &singer);

// Fills title and singer of row NextEntryRow from its file's header. A file that cannot be
// read leaves them as they were.
void ReadRealMediaTag(EntryTable &table);
