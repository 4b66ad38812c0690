#include "list/FileAdder.h"

#include "dialogs/UserDialogs.h"
#include "list/EntryList.h"

#include <utility>

FileAdder::FileAdder(EntryList &list, UserDialogs &dialogs, std::function<QString()> nameTemplate)
    : m_list(list)
    , m_dialogs(dialogs)
    , m_nameTemplate(std::move(nameTemplate))
{
}

void FileAdder::setProgress(AddProgress progress)
{
    m_progress = std::move(progress);
}

bool FileAdder::AddAudioFile()
{
    // placeholder until adding files is built
    return m_list.lineCount() < 0 && m_dialogs.GetDlgSelectFolder(QString()).isEmpty();
}

void FileAdder::ScanFolder(const QString &name, const QString &prefix)
{
    Q_UNUSED(name);
    Q_UNUSED(prefix);
}

void FileAdder::AddDirectory() {}

void FileAdder::AddFilesFromDialog() {}
