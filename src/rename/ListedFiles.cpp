#include "rename/ListedFiles.h"

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
                m_identities.insert({id.device, id.file});
        }
        m_pathAt = {};
    }
    return identity.valid && m_identities.contains({identity.device, identity.file});
}
