#include "list/FileAdder.h"

#include "dialogs/UserDialogs.h"
#include "list/EntryList.h"
#include "platform/FileIdentity.h"
#include "platform/FolderListing.h"
#include "platform/Paths.h"
#include "tags/NameTemplate.h"
#include "tags/TagReader.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include <utility>
#include <vector>

namespace {

const QString kRefusal = QStringLiteral("知你是这种人，pk!!!");

// A path as one line of a message.
QString printable(QString text) {
    for (QChar &c : text) {
        if (Paths::isControlCharacter(c))
            c = u'?';
    }
    return text;
}

constexpr int kFilesPerReport = 32;
constexpr int kEntriesPerReport = 1024;
// Reading threads: each waits on the disk nearly all the time, so more of them than cores
// keep the disk busy; beyond this the disk gains little.
constexpr int kReadThreads = 8;

// The file's path as the file system's bytes where its folder or name is kept as bytes (names
// that are not UTF-8); empty otherwise.
QByteArray nativePathOf(const QString &directory, const QString &name,
                        const QByteArray &nativeDirectory, const QByteArray &nativeName) {
    if (nativeDirectory.isEmpty() && nativeName.isEmpty())
        return {};
    return (nativeDirectory.isEmpty() ? QFile::encodeName(directory) : nativeDirectory) +
           (nativeName.isEmpty() ? QFile::encodeName(name) : nativeName);
}

} // namespace

const QString FileAdder::kSkippedMessage = QStringLiteral("有 %1 个文件或文件夹无法读取，已跳过：");
const QString FileAdder::kOpenTitle = QStringLiteral("打开");
const QString FileAdder::kOpenFilter =
    QStringLiteral("ALL(*.mp3;*.rm)") + QChar() + QStringLiteral("*.mp3;*.rm") + QChar() +
    QStringLiteral("mp3 (*.mp3)") + QChar() + QStringLiteral("*.mp3") + QChar() +
    QStringLiteral("rm (*.rm)") + QChar() + QStringLiteral("*.rm");
const QString FileAdder::kOpenDirectory = QStringLiteral("d:\\temp\\rm");

FileAdder::FileAdder(EntryList &list, UserDialogs &dialogs, std::function<QString()> nameTemplate)
    : m_list(list)
    , m_dialogs(dialogs)
    , m_nameTemplate(std::move(nameTemplate)) {}

void FileAdder::setProgress(AddProgress progress) {
    m_progress = std::move(progress);
}

bool FileAdder::AddAudioFile(const QString &directory, const QString &name) {
    const QString path = directory + name;
    TagReadPool::Read read;
    read.format = tagFormatOf(path);
    if (!read.format) {
        refuse();
        return false;
    }
    read.path = path;
    read.options = m_tagOptions;
    TagReadPool::perform(read);
    return takeFile(directory, name, {}, {}, read);
}

void FileAdder::refuse() {
    m_dialogs.showMessage(kRefusal);
    if (m_list.lineCount() > 0)
        m_list.ClearEntries(); // the files this add took so far go too
}

bool FileAdder::takeFile(const QString &directory, const QString &name,
                         const QByteArray &nativeDirectory, const QByteArray &nativeName,
                         const TagReadPool::Read &read) {
    if (read.unreadable || !read.identity.valid) {
        skip(read.path);
        return false;
    }
    const QString newName =
        ExpandNameTemplate(m_nameTemplate ? m_nameTemplate() : QString(), read.tags, name);
    m_list.table().append({directory, name, newName, read.tags.title, read.tags.singer,
                           nativeDirectory, nativeName, read.identity});
    return true;
}

void FileAdder::readTagsAgain() {
    const QString nameTemplate = m_nameTemplate ? m_nameTemplate() : QString();
    const EntryTable &table = m_list.table();
    // Read ahead as a scan does; the entries take their tags in order.
    std::deque<std::pair<int, std::shared_ptr<TagReadPool::Read>>> reading;
    const auto takeRead = [&] {
        auto &[line, read] = reading.front();
        readPool().waitFor(*read);
        m_list.setTags(line, read->tags, nameTemplate);
        reading.pop_front();
    };
    for (int i = 0; i < table.size(); ++i) {
        const RenameEntry &e = table.at(i);
        auto read = std::make_shared<TagReadPool::Read>();
        read->path = e.path();
        read->format = tagFormatOf(read->path);
        if (!read->format) {
            m_list.setTags(i, TagText(), nameTemplate);
            continue;
        }
        read->nativePath =
            nativePathOf(e.directory, e.originalName, e.nativeDirectory, e.nativeName);
        read->options = m_tagOptions;
        read->entryIsNoLink = true; // the identity taken at the add stays
        readPool().start(read);
        reading.emplace_back(i, std::move(read));
        if (reading.size() >= size_t(m_readsInFlight))
            takeRead();
    }
    while (!reading.empty())
        takeRead();
    m_readPool.reset();
    m_list.RefreshEntryList();
}

void FileAdder::queueFile(const QString &directory, const QString &name,
                          const QByteArray &nativeDirectory, const QByteArray &nativeName,
                          bool entryIsNoLink) {
    const QString path = directory + name;
    const TagFormat *format = tagFormatOf(path);
    if (!format) {
        queueStep({Step::Kind::Refused, directory, name});
        return;
    }
    auto read = std::make_shared<TagReadPool::Read>();
    read->format = format;
    read->path = path;
    read->nativePath = nativePathOf(directory, name, nativeDirectory, nativeName);
    read->options = m_tagOptions;
    read->entryIsNoLink = entryIsNoLink;
    readPool().start(read);
    queueStep({Step::Kind::File, directory, name, nativeDirectory, nativeName, std::move(read)});
}

void FileAdder::queueStep(Step step) {
    m_steps.push_back(std::move(step));
    takeSteps();
}

void FileAdder::takeSteps(bool wholly) {
    const size_t left = wholly ? 0 : size_t(m_readsInFlight) - 1;
    while (!m_steps.empty() && !m_stopped) {
        Step &step = m_steps.front();
        if (step.read && m_steps.size() <= left && !readPool().isDone(*step.read))
            break;
        takeStep(step);
        m_steps.pop_front();
    }
    if (m_stopped)
        m_steps.clear();
}

void FileAdder::takeStep(Step &step) {
    switch (step.kind) {
    case Step::Kind::Progress:
        reportProgress(step.directory);
        return;
    case Step::Kind::Skip:
        skip(step.directory);
        return;
    case Step::Kind::Refused:
        refuse();
        return;
    case Step::Kind::File:
        break;
    }
    readPool().waitFor(*step.read);
    if (takeFile(step.directory, step.name, step.nativeDirectory, step.nativeName, *step.read)) {
        ++m_added;
        if (m_added % kFilesPerReport == 0)
            reportProgress(step.directory);
    }
}

void FileAdder::finishBatch() {
    takeSteps(true);
    m_readPool.reset(); // no thread outlives the add
}

TagReadPool &FileAdder::readPool() {
    if (!m_readPool)
        m_readPool = std::make_unique<TagReadPool>(qMin(kReadThreads, m_readsInFlight));
    return *m_readPool;
}

void FileAdder::skip(const QString &path) {
    ++m_skippedCount;
    if (m_skippedPaths.size() < kSkippedListed)
        m_skippedPaths.append(path);
}

void FileAdder::reportSkipped() {
    if (m_skippedCount == 0)
        return;
    QString text = kSkippedMessage.arg(m_skippedCount);
    for (const QString &path : m_skippedPaths)
        text += u'\n' + printable(path);
    m_dialogs.showMessage(text);
}

bool FileAdder::reportProgress(const QString &folder) {
    if (!m_stopped && m_progress && !m_progress(m_added, folder))
        m_stopped = true;
    return !m_stopped;
}

void FileAdder::startBatch() {
    m_added = 0;
    m_stopped = false;
    m_skippedCount = 0;
    m_skippedPaths.clear();
}

void FileAdder::ScanFolder(const QString &name, const QString &prefix) {
    startBatch();
    scanTree(name, prefix);
    finishBatch();
}

void FileAdder::scanTree(const QString &name, const QString &prefix, const QByteArray &nativeRoot) {
    const QChar sep = Paths::separator();

    // A folder still to scan: its path as text without a trailing separator and, off Windows,
    // its exact bytes when some part of it is not UTF-8 (else empty).
    struct Pending {
        QString path;
        QByteArray native;
    };
    // Folders still to scan, the next one last. An explicit stack instead of recursion keeps
    // a very deep tree from exhausting the call stack; the order is the same depth-first one.
    std::vector<Pending> pending{{prefix + name, nativeRoot}};
    // Every folder entered, by device and inode: a link back up, or a bind mount of a folder
    // inside itself, is not entered again.
    QSet<std::pair<quint64, quint64>> entered;
    std::vector<FolderEntry> subfolders; // unbounded: any number of subfolders is fine
    int passed = 0;

    while (!pending.empty()) {
        const Pending base = std::move(pending.back());
        pending.pop_back();
        // base never ends in a separator; enumerating base + separator also covers a root,
        // which reaches here as "D:" or as empty text.
        const QString directory = base.path + sep;
        const QByteArray nativeDirectory = base.native.isEmpty() ? QByteArray() : base.native + '/';
        queueStep({Step::Kind::Progress, directory, {}});
        if (m_stopped)
            return;

        const FileIdentity folder = FileIdentity::of(directory, nativeDirectory);
        if (folder.valid && !entered.contains({folder.device, folder.file}))
            entered.insert({folder.device, folder.file});
        else if (folder.valid)
            continue; // entered already, through another path

        const FolderListing listing = listFolder(directory, nativeDirectory);
        if (!listing.readable) {
            queueStep({Step::Kind::Skip, base.path.isEmpty() ? directory : base.path, {}});
            continue;
        }
        subfolders.clear();
        for (const FolderEntry &entry : listing.entries) {
            // Bytes that are not UTF-8 are kept; UTF-8 ones the text gives back.
            const bool nativeNeeded =
                !entry.nativeName.isEmpty() && !Paths::isUtf8(entry.nativeName);
            switch (entry.kind) {
            case FolderEntry::Kind::Folder:
                subfolders.push_back(entry);
                continue;
            case FolderEntry::Kind::Unreadable:
                queueStep({Step::Kind::Skip, directory + entry.name, {}});
                continue;
            case FolderEntry::Kind::Other:
                // Devices, pipes and sockets are not files: reading a pipe could block.
                if (++passed % kEntriesPerReport == 0) {
                    queueStep({Step::Kind::Progress, directory, {}});
                    if (m_stopped)
                        return;
                }
                continue;
            case FolderEntry::Kind::File:
                break;
            }
            if (!hasTagExtension(entry.name)) {
                if (++passed % kEntriesPerReport == 0) {
                    queueStep({Step::Kind::Progress, directory, {}});
                    if (m_stopped)
                        return;
                }
                continue;
            }
            queueFile(directory, entry.name, nativeDirectory,
                      nativeNeeded ? entry.nativeName : QByteArray(), !entry.isLink);
            if (m_stopped)
                return;
        }

        for (auto s = subfolders.crbegin(); s != subfolders.crend(); ++s) {
            const bool nativeNeeded = !s->nativeName.isEmpty() && !Paths::isUtf8(s->nativeName);
            QByteArray native;
            if (nativeNeeded || !base.native.isEmpty())
                native =
                    (nativeDirectory.isEmpty() ? QFile::encodeName(directory) : nativeDirectory) +
                    s->nativeName;
            pending.push_back({directory + s->name, native});
        }
    }
}

void FileAdder::AddDirectory() {
    QString path = m_dialogs.GetDlgSelectFolder(UserDialogs::kAppTitle);
    if (path.isEmpty())
        return;
    startBatch();
    scanChosenFolder(path);
    finishBatch();
    m_list.RefreshEntryList();
    reportSkipped();
}

void FileAdder::scanChosenFolder(QString path) {
    // Only a root ends in a separator ("D:\" or "/"); the scan adds its own.
    if (Paths::endsWithSeparator(path))
        path.chop(1);
    scanTree(path, QString());
}

void FileAdder::AddFilesFromDialog() {
    const QStringList paths = m_dialogs.GetDlgSelectFileInfo(kOpenTitle, kOpenFilter, QString(),
                                                             kOpenDirectory, kOpenFlags);
    if (paths.isEmpty())
        return;

    startBatch();
    QString lastDirectory;
    for (const QString &path : paths) {
        if (!addFileAt(path, lastDirectory))
            break;
    }
    finishBatch();
    m_list.RefreshEntryList();
    reportSkipped();
}

bool FileAdder::addFileAt(const QString &path, QString &lastDirectory) {
    const qsizetype start = Paths::nameStart(path);
    // A bare name would make an entry without a directory.
    if (start == 0 || start == path.size())
        return true;
    const QString directory = path.left(start);
    if (directory != lastDirectory) {
        queueStep({Step::Kind::Progress, directory, {}});
        if (m_stopped)
            return false;
    }
    lastDirectory = directory;
    queueFile(directory, path.mid(start));
    return !m_stopped;
}

void FileAdder::addPaths(const QStringList &paths, const QList<QByteArray> &nativePaths) {
    startBatch();
    QString lastDirectory;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = Paths::toNative(paths[i]);
        QByteArray native = nativePaths.value(i);
        if (!native.isEmpty()) {
            // A name only its bytes give: a folder is scanned from them, a file added with them.
            while (native.size() > 1 && native.endsWith('/'))
                native.chop(1);
            QString text = path;
            while (text.size() > 1 && Paths::endsWithSeparator(text))
                text.chop(1);
            if (listFolder(text + u'/', native + '/').readable) {
                scanTree(text, QString(), native);
                lastDirectory.clear();
            } else {
                const qsizetype cut = native.lastIndexOf('/') + 1;
                const QString directory = Paths::pathText(native.left(cut));
                if (directory != lastDirectory) {
                    queueStep({Step::Kind::Progress, directory, {}});
                    if (m_stopped)
                        break;
                }
                lastDirectory = directory;
                queueFile(directory, Paths::nameText(native.mid(cut)), native.left(cut),
                          native.mid(cut));
            }
        } else if (QFileInfo(path).isDir()) {
            scanChosenFolder(path);
            lastDirectory.clear();
        } else if (!addFileAt(path, lastDirectory)) {
            break;
        }
        if (m_stopped)
            break;
    }
    finishBatch();
    m_list.RefreshEntryList();
    reportSkipped();
}
