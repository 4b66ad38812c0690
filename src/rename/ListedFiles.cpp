#include "rename/ListedFiles.h"

#include <algorithm>

ListedFiles::ListedFiles(qsizetype count, std::function<FilePath(qsizetype)> pathAt)
    : m_count(count)
    , m_pathAt(std::move(pathAt)) {}

ListedFiles ListedFiles::of(const EntryTable &entries) {
    return ListedFiles(entries.size(),
                       [&entries](qsizetype i) { return entries.at(int(i)).path(); });
}

bool ListedFiles::contains(const FileIdentity &identity) {
    if (!m_known) {
        m_known = true;
        for (qsizetype i = 0; i < m_count; ++i) {
            // The file the name leads to, whose bytes an output written there would cut.
            const FileIdentity id = FileIdentity::of(m_pathAt(i));
            if (id.valid)
                m_identities.emplace_back(id.device, id.file);
        }
        m_pathAt = {};
        std::sort(m_identities.begin(), m_identities.end());
    }
    return identity.valid && std::binary_search(m_identities.cbegin(), m_identities.cend(),
                                                std::pair(identity.device, identity.file));
}
