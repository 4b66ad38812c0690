#include "rename/SequentialRename.h"

bool RenameFilesInSequence(const SequenceInput &input, UserDialogs &dialogs,
                           const RenameProgress &progress) {
    Q_UNUSED(input);
    Q_UNUSED(dialogs);
    Q_UNUSED(progress);
    return false;
}
