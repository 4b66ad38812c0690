#pragma once

#include "list/RenameEntry.h"

#include <QVector>

#include <utility>

// The entries of the audio-file list, in the order they were added; any number of them.
class EntryTable {
public:
    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }

    // Entry i, counted from 0; i must be within size().
    const RenameEntry &at(int i) const { return m_entries.at(i); }
    RenameEntry &operator[](int i) { return m_entries[i]; }

    // entry must name a file: its directory is never empty.
    void append(RenameEntry entry) {
        Q_ASSERT(!entry.directory.isEmpty());
        m_entries.append(std::move(entry));
    }
    void removeAt(int i) { m_entries.removeAt(i); }
    // Empties the table and gives its memory back.
    void clear() { m_entries = {}; }

private:
    QVector<RenameEntry> m_entries;
};
