#pragma once

#include "list/EntryTable.h"
#include "platform/FileIdentity.h"
#include "platform/FilePath.h"

#include <functional>
#include <utility>
#include <vector>

// The files of a run by identity, so that nothing the program writes (rename.log, rename.m3u,
// rename.ini) is written into one of them under another name: a link, a hard link. The
// identities are looked up at the first question only: a new output cannot be one of them.
class ListedFiles {
public:
    // One listed file: its path, and the file it leads to where that is known already (the
    // identity taken when it was added, of a file that is no link); else invalid, and the
    // file is looked at. A file replaced since it was added is not the listed one any more:
    // writing into what replaced it costs no listed file its bytes.
    struct Listed {
        FilePath path;
        FileIdentity known{};
    };

    // count files, each made by listedAt when first needed: a run of many files keeps none of
    // them meanwhile. listedAt must stay usable as long as this.
    ListedFiles(qsizetype count, std::function<Listed(qsizetype)> listedAt);
    // The files of the entries, which must outlive this.
    static ListedFiles of(const EntryTable &entries);

    // Whether identity is the file one of the paths leads to.
    bool contains(const FileIdentity &identity);

private:
    qsizetype m_count;
    std::function<Listed(qsizetype)> m_listedAt;
    bool m_known = false;
    std::vector<std::pair<quint64, quint64>> m_identities; // sorted: a million take 16 MB
};
