#pragma once

#include "list/EntryTable.h"
#include "platform/FileIdentity.h"
#include "platform/FilePath.h"

#include <QList>
#include <QSet>

#include <utility>

// The files of a run by identity, so that nothing the program writes (rename.log, rename.m3u,
// rename.ini) is written into one of them under another name: a link, a hard link. The
// identities are looked up at the first question only: a new output cannot be one of them.
class ListedFiles {
public:
    explicit ListedFiles(QList<FilePath> paths);
    // The files of the entries.
    static ListedFiles of(const EntryTable &entries);

    // Whether identity is the file one of the paths leads to.
    bool contains(const FileIdentity &identity);

private:
    QList<FilePath> m_paths;
    bool m_known = false;
    QSet<std::pair<quint64, quint64>> m_identities;
};
