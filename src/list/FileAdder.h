#pragma once

#include <QString>

#include <functional>

class EntryList;
class UserDialogs;

// Called now and then during a long add with the number of files added so far and the folder
// being read. Returning false stops the add; what was added until then stays.
using AddProgress = std::function<bool(int filesAdded, const QString &folder)>;

// Turns files on disk into entries: one file (AddAudioFile), a folder tree (ScanFolder, the
// AddDirectory menu item) or the files picked in the open-file dialog (AddFilesFromDialog).
class FileAdder {
public:
    // nameTemplate yields the current name template each time a file is added.
    FileAdder(EntryList &list, UserDialogs &dialogs, std::function<QString()> nameTemplate);

    void setProgress(AddProgress progress);

    // Completes row NextEntryRow, whose directory and original name the caller has written:
    // reads its tag and forms its new name. Refuses a file that is neither MP3 nor RM.
    bool AddAudioFile();

    // Appends every MP3 and RM file of the folder prefix + name and of its subfolders.
    void ScanFolder(const QString &name, const QString &prefix);

    // The menu item "添加文件夹": picks a folder, scans it, rebuilds the list.
    void AddDirectory();

    // The menu item "添加文件": picks files in the open-file dialog, adds them, rebuilds the list.
    void AddFilesFromDialog();

private:
    EntryList &m_list;
    UserDialogs &m_dialogs;
    std::function<QString()> m_nameTemplate;
    AddProgress m_progress;
};
