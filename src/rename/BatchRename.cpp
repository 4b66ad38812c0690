#include "rename/BatchRename.h"

void RenameListedFiles(EntryList &list, UserDialogs &dialogs, const QString &programDirectory,
                       const BatchRenameOptions &options, const RenameProgress &progress) {
    Q_UNUSED(list);
    Q_UNUSED(dialogs);
    Q_UNUSED(programDirectory);
    Q_UNUSED(options);
    Q_UNUSED(progress);
}
