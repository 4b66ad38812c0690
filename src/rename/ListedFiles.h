#pragma once

#include "list/EntryTable.h"
#include "platform/FileIdentity.h"

#include <QSet>

#include <utility>

// The files of the audio-file list by identity, so that nothing the program writes (rename.log,
// rename.m3u, rename.ini) is written into one of them under another name: a link, a hard link.
// The identities are looked up at the first question only: a new output cannot be one of them.
class ListedFiles {
public:
    // The first rows entries of table.
    ListedFiles(const EntryTable &table, int rows);

    // Whether identity is the file one of the entries' names leads to.
    bool contains(const FileIdentity &identity);

private:
    const EntryTable &m_table;
    const int m_rows;
    bool m_known = false;
    QSet<std::pair<quint64, quint64>> m_identities;
};
