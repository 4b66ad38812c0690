#pragma once

#include "list/RenameEntry.h"

#include <QVector>

// The table of entries. Row 0 is never used; entries fill rows 1, 2, ... without gaps and a
// walk ends at the first row whose directory is empty. The table grows as rows are written,
// so there is no fixed capacity; every row from NextEntryRow() on reads as empty.
class EntryTable {
public:
    EntryTable();

    // Row r for writing; the table grows to hold it. r must be >= 0.
    RenameEntry &row(int r);
    // Row r for reading; rows never written read as empty.
    const RenameEntry &row(int r) const;

    // The row the next appended entry goes to: the number of entries + 1.
    int NextEntryRow() const { return m_nextEntryRow; }
    void setNextEntryRow(int r) { m_nextEntryRow = r; }

    // Entries counted by the walk: rows 1.. up to the first empty directory.
    int entryCount() const;

    // Empties rows first..last (inclusive; rows beyond the stored ones are empty already).
    void clearRows(int first, int last);

    // Appends an entry at NextEntryRow and advances it; for callers that fill whole rows.
    void append(const RenameEntry &entry);

private:
    QVector<RenameEntry> m_rows;
    int m_nextEntryRow = 1;
};
