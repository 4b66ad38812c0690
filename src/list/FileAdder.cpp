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
    return addFile(directory, name, {}, {}, {}) == Added::Yes;
}

FileAdder::Added FileAdder::addFile(const QString &directory, const QString &name,
                                    const QByteArray &nativeDirectory, const QByteArray &nativeName,
                                    const FileIdentity &known) {
    const QString path = directory + name;
    const TagFormat *format = tagFormatOf(path);
    if (!format) {
        m_dialogs.showMessage(kRefusal);
        if (m_list.lineCount() > 0)
            m_list.ClearEntries(); // the files this add took so far go too
        return Added::Refused;
    }
    const QByteArray nativePath = nativePathOf(directory, name, nativeDirectory, nativeName);
    // The file as it is now: the rename later checks that it is still this one. A scan knows
    // it already, but for links.
    const FileIdentity identity = known.valid ? known : FileIdentity::ofEntry(path, nativePath);
    bool unreadable = false;
    const TagText tags =
        readTags(*format, path, m_tagOptions, nativePath, &unreadable).value_or(TagText());
    if (unreadable || !identity.valid) {
        skip(path);
        return Added::Unreadable;
    }
    const QString newName =
        ExpandNameTemplate(m_nameTemplate ? m_nameTemplate() : QString(), tags, name);
    m_list.table().append(
        {directory, name, newName, tags.title, tags.singer, nativeDirectory, nativeName, identity});
    return Added::Yes;
}

void FileAdder::readTagsAgain() {
    const QString nameTemplate = m_nameTemplate ? m_nameTemplate() : QString();
    EntryTable &table = m_list.table();
    for (int i = 0; i < table.size(); ++i) {
        const RenameEntry &e = table.at(i);
        const QString path = e.path();
        const TagFormat *format = tagFormatOf(path);
        const QByteArray nativePath =
            nativePathOf(e.directory, e.originalName, e.nativeDirectory, e.nativeName);
        const TagText tags =
            format ? readTags(*format, path, m_tagOptions, nativePath).value_or(TagText())
                   : TagText();
        m_list.setTags(i, tags, nameTemplate);
    }
    m_list.RefreshEntryList();
}

void FileAdder::appendFile(const QString &directory, const QString &name,
                           const QByteArray &nativeDirectory, const QByteArray &nativeName,
                           const FileIdentity &known) {
    if (addFile(directory, name, nativeDirectory, nativeName, known) == Added::Yes) {
        ++m_added;
        if (m_added % kFilesPerReport == 0)
            reportProgress(directory);
    }
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
}

void FileAdder::scanTree(const QString &name, const QString &prefix) {
    const QChar sep = Paths::separator();

    // A folder still to scan: its path as text without a trailing separator and, off Windows,
    // its exact bytes when some part of it is not UTF-8 (else empty).
    struct Pending {
        QString path;
        QByteArray native;
    };
    // Folders still to scan, the next one last. An explicit stack instead of recursion keeps
    // a very deep tree from exhausting the call stack; the order is the same depth-first one.
    std::vector<Pending> pending{{prefix + name, {}}};
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
        if (!reportProgress(directory))
            return;

        const FileIdentity folder = FileIdentity::of(directory, nativeDirectory);
        if (folder.valid && !entered.contains({folder.device, folder.file}))
            entered.insert({folder.device, folder.file});
        else if (folder.valid)
            continue; // entered already, through another path

        const FolderListing listing = listFolder(directory, nativeDirectory);
        if (!listing.readable) {
            skip(base.path.isEmpty() ? directory : base.path);
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
                skip(directory + entry.name);
                continue;
            case FolderEntry::Kind::Other:
                // Devices, pipes and sockets are not files: reading a pipe could block.
                if (++passed % kEntriesPerReport == 0 && !reportProgress(directory))
                    return;
                continue;
            case FolderEntry::Kind::File:
                break;
            }
            if (!hasTagExtension(entry.name)) {
                if (++passed % kEntriesPerReport == 0 && !reportProgress(directory))
                    return;
                continue;
            }
            appendFile(directory, entry.name, nativeDirectory,
                       nativeNeeded ? entry.nativeName : QByteArray(),
                       entry.isLink ? FileIdentity() : entry.identity);
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
    m_list.RefreshEntryList();
    reportSkipped();
}

bool FileAdder::addFileAt(const QString &path, QString &lastDirectory) {
    const qsizetype start = Paths::nameStart(path);
    // A bare name would make an entry without a directory.
    if (start == 0 || start == path.size())
        return true;
    const QString directory = path.left(start);
    if (directory != lastDirectory && !reportProgress(directory))
        return false;
    lastDirectory = directory;
    appendFile(directory, path.mid(start));
    return !m_stopped;
}

void FileAdder::addPaths(const QStringList &paths) {
    startBatch();
    QString lastDirectory;
    for (const QString &given : paths) {
        const QString path = Paths::toNative(given);
        if (QFileInfo(path).isDir()) {
            scanChosenFolder(path);
            lastDirectory.clear();
        } else if (!addFileAt(path, lastDirectory)) {
            break;
        }
        if (m_stopped)
            break;
    }
    m_list.RefreshEntryList();
    reportSkipped();
}
