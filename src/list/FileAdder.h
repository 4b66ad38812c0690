#pragma once

#include "list/TagReadPool.h"
#include "platform/FileIdentity.h"
#include "tags/TagReader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

class EntryList;
class UserDialogs;

// Called now and then during a long add with the number of files added so far and the folder
// being read (with its trailing separator, as rows keep it). Returning false stops the add;
// what was added until then stays.
//
// It is called on entering every folder of a scan, after every 32nd file added and after every
// 1024th entry passed over, so it must be cheap; a window keeps its own clock to decide when
// to show or update a progress dialog.
using AddProgress = std::function<bool(int filesAdded, const QString &folder)>;

// Turns files on disk into entries: one file (AddAudioFile), a folder tree (ScanFolder, the
// AddDirectory menu item) or the files picked in the open-file dialog (AddFilesFromDialog).
class FileAdder {
public:
    // The title, filter list, start folder and options of the open-file dialog.
    static const QString kOpenTitle;
    static const QString kOpenFilter;
    static const QString kOpenDirectory;
    static constexpr quint32 kOpenFlags = 524800; // explorer style, multi-select

    // nameTemplate yields the current name template each time a file is added.
    FileAdder(EntryList &list, UserDialogs &dialogs, std::function<QString()> nameTemplate);

    void setProgress(AddProgress progress);

    // How many files an add reads ahead at most, on threads of its own, while the folders are
    // walked; the list is still filled in order. 1 reads each file when its turn comes: the
    // walk then waits for every progress call before it goes on.
    static constexpr int kReadsInFlight = 64;
    void setReadsInFlight(int reads) { m_readsInFlight = qMax(1, reads); }

    // How tags are read from now on.
    void setTagOptions(const TagOptions &options) { m_tagOptions = options; }

    // Reads the tags of every listed file again, as the tag options now say, forms the new
    // names again from the current template, and rebuilds the list.
    void readTagsAgain();

    // The first words of the message about entries that could not be read.
    static const QString kSkippedMessage;
    // How many of their paths that message lists.
    static constexpr int kSkippedListed = 10;

    // Appends the file directory + name (directory ends in a separator): reads its tag, forms
    // its new name and records its identity. Refuses a file whose path does not end in MP3 or
    // RM, any letter case: the user is told, and a list that shows entries is emptied. A file
    // that cannot be read is not appended; it counts as skipped (skippedCount).
    bool AddAudioFile(const QString &directory, const QString &name);

    // Appends every MP3 and RM file of the folder prefix + name and of its subfolders: a
    // folder's own files first, then each subfolder's whole tree in turn. Links to folders
    // are followed, but no folder (by device and inode) is entered twice, so a link back up
    // is no loop. Off Windows names that are not UTF-8 are taken too, with their exact bytes.
    // Folders and files that cannot be read count as skipped.
    void ScanFolder(const QString &name, const QString &prefix);

    // The entries the last add skipped because they could not be read, and the first
    // kSkippedListed of their paths.
    int skippedCount() const { return m_skippedCount; }
    QStringList skippedPaths() const { return m_skippedPaths; }

    // The menu item "添加文件夹": picks a folder, scans it, rebuilds the list.
    void AddDirectory();

    // The menu item "添加文件": picks files in the open-file dialog, adds them, rebuilds the list.
    void AddFilesFromDialog();

    // Adds paths in order, as dropped on the window or given on the command line: a folder as
    // "添加文件夹" scans it, a file as the open-file dialog adds it; rebuilds the list once.
    // nativePaths holds, off Windows, each path's exact bytes where its name is not UTF-8.
    void addPaths(const QStringList &paths, const QList<QByteArray> &nativePaths = {});

private:
    // One step of an add, taken in the order the walk met it. The walk runs ahead of the steps
    // taken, by at most m_readsInFlight of them, so that reads are under way meanwhile.
    struct Step {
        enum class Kind { File, Refused, Progress, Skip };
        Kind kind;
        QString directory; // Skip: the path skipped
        QString name;
        QByteArray nativeDirectory{};
        QByteArray nativeName{};
        std::shared_ptr<TagReadPool::Read> read{};
    };

    // Lists the file, read as read says, or skips it when it could not be read.
    bool takeFile(const QString &directory, const QString &name, const QByteArray &nativeDirectory,
                  const QByteArray &nativeName, const TagReadPool::Read &read);
    // Tells the user of a file that is no audio file; a list that shows entries is emptied.
    void refuse();
    // Queues the file: its read starts now, it is listed when its turn comes. entryIsNoLink:
    // the scan saw a plain file, no link.
    void queueFile(const QString &directory, const QString &name,
                   const QByteArray &nativeDirectory = {}, const QByteArray &nativeName = {},
                   bool entryIsNoLink = false);
    void queueStep(Step step);
    // Takes the steps whose turn has come and whose reads are done, then waits until no more
    // than m_readsInFlight are left; with wholly, until none is.
    void takeSteps(bool wholly = false);
    void takeStep(Step &step);
    // Takes every step left and ends the reading threads; after a stop, drops them.
    void finishBatch();
    void skip(const QString &path);
    // One message about what the add skipped, when it skipped anything.
    void reportSkipped();
    // Adds the file at the full path; lastDirectory is the folder of the file added before, so
    // that each new folder is reported. False once the user has stopped the add.
    bool addFileAt(const QString &path, QString &lastDirectory);
    // Scans the folder at path, a root keeping its separator as the folder browser gives it.
    void scanChosenFolder(QString path);
    // ScanFolder within the add under way.
    void scanTree(const QString &name, const QString &prefix, const QByteArray &nativeRoot = {});
    // Passes the progress on; false once the user has stopped the add.
    bool reportProgress(const QString &folder);
    void startBatch();
    // The threads reading during the add under way.
    TagReadPool &readPool();

    EntryList &m_list;
    UserDialogs &m_dialogs;
    std::function<QString()> m_nameTemplate;
    AddProgress m_progress;
    TagOptions m_tagOptions;
    int m_added = 0;
    bool m_stopped = false;
    int m_skippedCount = 0;
    QStringList m_skippedPaths;
    int m_readsInFlight = kReadsInFlight;
    std::deque<Step> m_steps;
    std::unique_ptr<TagReadPool> m_readPool; // only while an add runs
};
