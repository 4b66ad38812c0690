#include "rename/ListedFiles.h"

#include <algorithm>

ListedFiles::ListedFiles(qsizetype count, std::function<Listed(qsizetype)> listedAt)
    : m_count(count)
    , m_listedAt(std::move(listedAt)) {}

ListedFiles ListedFiles::of(const EntryTable &entries) {
    return ListedFiles(entries.size(), [&entries](qsizetype i) {
        const RenameEntry &entry = entries.at(int(i));
        return Listed{entry.path(), entry.identityIsTarget ? entry.identity : FileIdentity()};
    });
}

bool ListedFiles::contains(const FileIdentity &identity) {
    if (!m_known) {
        m_known = true;
        for (qsizetype i = 0; i < m_count; ++i) {
            // The file the name leads to, whose bytes an output written there would cut: a
            // list of many files is looked at again only where it holds links.
            const Listed listed = m_listedAt(i);
            const FileIdentity id =
                listed.known.valid ? listed.known : FileIdentity::of(listed.path);
            if (id.valid)
                m_identities.emplace_back(id.device, id.file);
        }
        m_listedAt = {};
        std::sort(m_identities.begin(), m_identities.end());
    }
    return identity.valid && std::binary_search(m_identities.cbegin(), m_identities.cend(),
                                                std::pair(identity.device, identity.file));
}
