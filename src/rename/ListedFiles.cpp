#include "rename/ListedFiles.h"

#include <QFile>

namespace {

QByteArray nativeBytes(const QString &text, const QByteArray &native) {
    return native.isEmpty() ? QFile::encodeName(text) : native;
}

} // namespace

ListedFiles::ListedFiles(const EntryTable &table, int rows)
    : m_table(table)
    , m_rows(rows) {}

bool ListedFiles::contains(const FileIdentity &identity) {
    if (!m_known) {
        m_known = true;
        for (int i = 0; i < m_rows && i < m_table.size(); ++i) {
            // The file the name leads to, whose bytes an output written there would cut.
            const RenameEntry &e = m_table.at(i);
            const FileIdentity id =
                FileIdentity::of(e.path(), e.nativeDirectory.isEmpty() && e.nativeName.isEmpty()
                                               ? QByteArray()
                                               : nativeBytes(e.directory, e.nativeDirectory) +
                                                     nativeBytes(e.originalName, e.nativeName));
            if (id.valid)
                m_identities.insert({id.device, id.file});
        }
    }
    return identity.valid && m_identities.contains({identity.device, identity.file});
}
