#pragma once

#include "list/FolderWalker.h"
#include "list/TagReadPool.h"
#include "tags/TagReader.h"

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

// How files are turned into entries: the values the settings give, taken once per add.
struct ReadOptions {
    QString nameTemplate = QStringLiteral("%1-%2");
    TagOptions tags;
    // How many files are read ahead at most, on threads of their own, while the list is still
    // filled in order. 1 reads each file when its turn comes. Many, so that a slow file at the
    // front of the queue does not hold the walk through the folders.
    int readsInFlight = 1024;
    bool safeNames = false; // see ExpandNameTemplate
};

// One add: files go in, in order (AddAudioFile, ScanFolder), and come out as entries at the
// end of the list, in the same order, their tags read meanwhile on the reading threads. The
// refusal of a file of no audio type, the progress calls and the entries that could not be read
// come in their turn among them. No thread outlives the add (finish, or the destructor).
class ReadPipeline : private FolderVisitor {
public:
    ReadPipeline(EntryList &list, UserDialogs &dialogs, const ReadOptions &options,
                 AddProgress progress = {});
    ~ReadPipeline() override;
    ReadPipeline(const ReadPipeline &) = delete;
    ReadPipeline &operator=(const ReadPipeline &) = delete;

    // Appends the file folder + name (folder ends in a separator): reads its tag, forms its new
    // name and records its identity. A file whose path does not end in MP3 or RM, any letter
    // case, is refused in its turn: the user is told, and a list that shows entries is emptied.
    // A file that cannot be read is not appended; it counts as skipped. noLink: the entry is
    // known to be no link, so its identity is that of the file opened.
    void AddAudioFile(const FilePath &folder, const FilePath &name, bool noLink = false);

    // Appends every audio file of the folder prefix + name and of its subfolders, as
    // walkFolderTree meets them. Folders and files that cannot be read count as skipped.
    void ScanFolder(const FilePath &name, const FilePath &prefix = {});

    // Tells the progress, in its turn, that the add reads folder.
    void reportFolder(const FilePath &folder);
    // An entry that could not be read, in its turn.
    void skip(const QString &path);
    // Whether the user has stopped the add.
    bool stopped() const { return m_stopped; }

    // Takes every step left and ends the reading threads (after a stop, drops the steps),
    // rebuilds the list, then says once what the add skipped.
    void finish();

    // The first words of the message about entries that could not be read.
    static const QString kSkippedMessage;
    // How many of their paths that message lists.
    static constexpr int kSkippedListed = 10;

    // Reads the tags of the list's entry at line again, in its turn, and forms its new name
    // again: reading the tags again is this for every line, then finish(). The identity taken
    // when the file was added stays; a listed file stays readable whatever the option for
    // other formats says now.
    void readAgain(int line);

private:
    // One step of the add, taken in the order it was queued. The queue runs ahead of the steps
    // taken by at most readsInFlight of them, so that reads are under way meanwhile.
    struct Step {
        enum class Kind { File, Again, Refused, Progress, Skip };
        Kind kind;
        FilePath folder;
        QString skipped{};
        std::shared_ptr<TagReadPool::Read> read{};
        int line = -1; // Again: the entry read again
    };

    bool enterFolder(const FilePath &folder) override;
    bool foundFile(const FilePath &folder, const FilePath &name, bool noLink) override;
    void unreadable(const QString &path) override;
    bool passedOver(const FilePath &folder) override;

    void queue(Step step);
    // Takes the steps whose turn has come and whose reads are done, then waits until no more
    // than readsInFlight are left; with wholly, until none is.
    void takeSteps(bool wholly = false);
    void take(Step &step);
    void reportProgress(const QString &folder);
    TagReadPool &readPool();

    EntryList &m_list;
    UserDialogs &m_dialogs;
    const ReadOptions m_options;
    const TagReadPool::Naming m_naming; // the options' own, for the reads
    const AddProgress m_progress;
    int m_added = 0;
    bool m_stopped = false;
    bool m_finished = false;
    int m_skippedCount = 0;
    QStringList m_skippedPaths;
    std::deque<Step> m_steps;
    std::unique_ptr<TagReadPool> m_readPool;
};
