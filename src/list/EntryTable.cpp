#include "list/EntryTable.h"

#include <algorithm>

EntryTable::EntryTable()
    : m_rows(1) {}

RenameEntry &EntryTable::row(int r) {
    Q_ASSERT(r >= 0);
    if (r >= m_rows.size())
        m_rows.resize(r + 1);
    return m_rows[r];
}

const RenameEntry &EntryTable::row(int r) const {
    static const RenameEntry empty;
    return r >= 0 && r < m_rows.size() ? m_rows[r] : empty;
}

int EntryTable::entryCount() const {
    int n = 0;
    while (n + 1 < m_rows.size() && !m_rows[n + 1].directory.isEmpty())
        ++n;
    return n;
}

void EntryTable::clearRows(int first, int last) {
    first = std::max(first, 0);
    if (last >= m_rows.size() - 1 && first >= 1) {
        m_rows.resize(first); // the tail is empty anyway; give its memory back
        return;
    }
    last = std::min(last, int(m_rows.size()) - 1);
    for (int r = first; r <= last; ++r)
        m_rows[r] = RenameEntry();
}

void EntryTable::append(const RenameEntry &entry) {
    row(m_nextEntryRow) = entry;
    ++m_nextEntryRow;
}
