#include "list/FolderWalker.h"

#include "filebox/FileBoxNames.h"
#include "platform/ChineseCollator.h"

#include "platform/FileIdentity.h"
#include "platform/FolderListing.h"
#include "platform/Paths.h"
#include "tags/TagReader.h"

#include <QSet>

#include <utility>
#include <vector>

void walkFolderTree(const FilePath &root, FolderVisitor &visitor, bool allFormats) {
    const FilePath separator = QString(Paths::separator());
    // Folders still to walk, the next one last: an explicit stack keeps a very deep tree from
    // exhausting the call stack; the order is the same depth-first one.
    std::vector<FilePath> pending{root};
    // Every folder entered, by device and inode: a link back up, or a bind mount of a folder
    // inside itself, is not entered again.
    QSet<std::pair<quint64, quint64>> entered;
    std::vector<FilePath> subfolders;
    std::vector<std::pair<FilePath, bool>> files; // each with whether it is no link
    QStringList names;
    const ChineseCollator collator; // one for the whole walk: making one costs more than a folder
    int passed = 0;
    const auto passOver = [&](const FilePath &folder) {
        return ++passed % kEntriesPerReport != 0 || visitor.passedOver(folder);
    };

    while (!pending.empty()) {
        const FilePath base = std::move(pending.back());
        pending.pop_back();
        // base never ends in a separator; listing base + separator also covers a root, which
        // reaches here as "D:" or as empty text.
        const FilePath folder = base.join(separator);
        if (!visitor.enterFolder(folder))
            return;

        const FileIdentity identity = FileIdentity::of(folder);
        if (identity.valid && entered.contains({identity.device, identity.file}))
            continue; // entered already, through another path
        if (identity.valid)
            entered.insert({identity.device, identity.file});

        const FolderListing listing = listFolder(folder);
        if (!listing.readable) {
            visitor.unreadable(base.text().isEmpty() ? folder.text() : base.text());
            continue;
        }
        subfolders.clear();
        files.clear();
        for (const FolderEntry &entry : listing.entries) {
            switch (entry.kind) {
            case FolderEntry::Kind::Folder:
                subfolders.push_back(entry.name);
                continue;
            case FolderEntry::Kind::Unreadable:
                visitor.unreadable(folder.text() + entry.name.text());
                continue;
            case FolderEntry::Kind::Other:
                // Devices, pipes and sockets are not files: reading a pipe could block.
                if (!passOver(folder))
                    return;
                continue;
            case FolderEntry::Kind::File:
                break;
            }
            if (!hasScannedExtension(entry.name.text(), allFormats)) {
                if (!passOver(folder))
                    return;
                continue;
            }
            files.emplace_back(entry.name, !entry.isLink);
        }
        // In the order the file box shows names, files and folders alike.
        names.clear();
        for (const auto &file : files)
            names << file.first.text();
        for (const qsizetype i : FileBoxNames::sortedPositions(names, collator)) {
            if (!visitor.foundFile(folder, files[size_t(i)].first, files[size_t(i)].second))
                return;
        }
        names.clear();
        for (const FilePath &subfolder : subfolders)
            names << subfolder.text();
        const QList<qsizetype> order = FileBoxNames::sortedPositions(names, collator);
        for (auto i = order.crbegin(); i != order.crend(); ++i)
            pending.push_back(folder.join(subfolders[size_t(*i)]));
    }
}
