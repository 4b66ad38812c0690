#include "rename/ListedFiles.h"

ListedFiles::ListedFiles(QList<FilePath> paths)
    : m_paths(std::move(paths)) {}

ListedFiles ListedFiles::of(const EntryTable &entries) {
    QList<FilePath> paths;
    paths.reserve(entries.size());
    for (int i = 0; i < entries.size(); ++i)
        paths << entries.at(i).path();
    return ListedFiles(std::move(paths));
}

bool ListedFiles::contains(const FileIdentity &identity) {
    if (!m_known) {
        m_known = true;
        for (const FilePath &path : std::as_const(m_paths)) {
            // The file the name leads to, whose bytes an output written there would cut.
            const FileIdentity id = FileIdentity::of(path);
            if (id.valid)
                m_identities.insert({id.device, id.file});
        }
        m_paths.clear();
    }
    return identity.valid && m_identities.contains({identity.device, identity.file});
}
