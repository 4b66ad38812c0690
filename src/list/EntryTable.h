#pragma once

#include "list/RenameEntry.h"

#include <QVector>

#include <utility>

// The entries of the audio-file list, in the order they were added; any number of them.
//
// Kept in blocks of a fixed size rather than in one array: a list of a million files never
// moves its entries to a larger array (which holds both at once), and a copy, taken by the
// preview while the list may still change, shares every block until one of them changes.
class EntryTable {
public:
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }

    // Entry i, counted from 0; i must be within size().
    const RenameEntry &at(int i) const { return m_blocks.at(i / kBlock).at(i % kBlock); }
    RenameEntry &operator[](int i) { return m_blocks[i / kBlock][i % kBlock]; }

    // entry must name a file: its directory is never empty.
    void append(RenameEntry entry) {
        Q_ASSERT(!entry.directory.isEmpty());
        if (m_size % kBlock == 0) {
            // Its room made at once: grown by appending, a block would move its entries
            // several times and end with room for a third more.
            m_blocks.append(QVector<RenameEntry>());
            m_blocks.last().reserve(kBlock);
        }
        m_blocks.last().append(std::move(entry));
        ++m_size;
    }
    // Removes entry i; those after it move up one place.
    void removeAt(int i) {
        for (int j = i; j + 1 < m_size; ++j)
            (*this)[j] = std::move((*this)[j + 1]);
        m_blocks.last().removeLast();
        if (m_blocks.last().isEmpty())
            m_blocks.removeLast();
        --m_size;
    }
    // Empties the table and gives its memory back.
    void clear() {
        m_blocks = {};
        m_size = 0;
    }

private:
    static constexpr int kBlock = 4096;
    QVector<QVector<RenameEntry>> m_blocks; // each full but the last
    int m_size = 0;
};
