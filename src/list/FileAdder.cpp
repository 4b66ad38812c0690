#include "list/FileAdder.h"

#include "dialogs/UserDialogs.h"
#include "list/EntryList.h"
#include "platform/Paths.h"
#include "tags/NameTemplate.h"
#include "tags/TagReader.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringList>

#include <utility>
#include <vector>

namespace {

const QString kRefusal = QStringLiteral("知你是这种人，pk!!!");

constexpr int kFilesPerReport = 32;
constexpr int kEntriesPerReport = 1024;

} // namespace

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
    const TagFormat *format = tagFormatOf(path);
    if (!format) {
        m_dialogs.showMessage(kRefusal);
        if (m_list.lineCount() > 0)
            m_list.ClearEntries(); // the files this add took so far go too
        return false;
    }
    const TagText tags = readTags(*format, path, m_tagOptions).value_or(TagText());
    const QString newName =
        ExpandNameTemplate(m_nameTemplate ? m_nameTemplate() : QString(), tags, name);
    m_list.table().append({directory, name, newName, tags.title, tags.singer});
    return true;
}

void FileAdder::readTagsAgain() {
    const QString nameTemplate = m_nameTemplate ? m_nameTemplate() : QString();
    EntryTable &table = m_list.table();
    for (int i = 0; i < table.size(); ++i) {
        const QString path = table.at(i).path();
        const TagFormat *format = tagFormatOf(path);
        const TagText tags =
            format ? readTags(*format, path, m_tagOptions).value_or(TagText()) : TagText();
        m_list.setTags(i, tags, nameTemplate);
    }
    m_list.RefreshEntryList();
}

void FileAdder::appendFile(const QString &directory, const QString &name) {
    if (AddAudioFile(directory, name)) {
        ++m_added;
        if (m_added % kFilesPerReport == 0)
            reportProgress(directory);
    }
}

bool FileAdder::reportProgress(const QString &folder) {
    if (!m_stopped && m_progress && !m_progress(m_added, folder))
        m_stopped = true;
    return !m_stopped;
}

void FileAdder::startBatch() {
    m_added = 0;
    m_stopped = false;
}

void FileAdder::ScanFolder(const QString &name, const QString &prefix) {
    startBatch();
    const QChar sep = Paths::separator();
    const QDir::Filters filters =
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

    // Folders still to scan, the next one last. An explicit stack instead of recursion keeps
    // a very deep tree from exhausting the call stack; the order is the same depth-first one.
    std::vector<QString> pending{prefix + name};
    QStringList subfolders; // unbounded: any number of subfolders is fine
    int passed = 0;

    while (!pending.empty()) {
        const QString base = std::move(pending.back());
        pending.pop_back();
        // base never ends in a separator; enumerating base + separator also covers a root,
        // which reaches here as "D:" or as empty text.
        const QString directory = base + sep;
        if (!reportProgress(directory))
            return;
        subfolders.clear();
        {
            QDirIterator it(directory, filters);
            while (it.hasNext()) {
                it.next();
                const QFileInfo info = it.fileInfo();
                const QString entryName = info.fileName();

                if (info.isSymLink() || info.isJunction()) {
                    // Never descend through a link: a link back up would loop forever. A link
                    // to a file is taken like the file.
                    if (!hasTagExtension(entryName) || !info.isFile())
                        continue;
                } else if (info.isDir()) {
                    subfolders.append(entryName);
                    continue;
                } else if (!hasTagExtension(entryName) || !info.isFile()) {
                    // Devices, pipes and sockets are not files: reading a pipe could block.
                    if (++passed % kEntriesPerReport == 0 && !reportProgress(directory))
                        return;
                    continue;
                }

                // A name the file system could not give as text cannot be opened again.
                if (entryName.contains(QChar::ReplacementCharacter) &&
                    !QFileInfo::exists(directory + entryName))
                    continue;

                appendFile(directory, entryName);
                if (m_stopped)
                    return;
            }
        } // the enumeration is closed before any subfolder is opened

        for (auto s = subfolders.crbegin(); s != subfolders.crend(); ++s)
            pending.push_back(directory + *s);
    }
}

void FileAdder::AddDirectory() {
    QString path = m_dialogs.GetDlgSelectFolder(UserDialogs::kAppTitle);
    if (path.isEmpty())
        return;
    scanChosenFolder(path);
    m_list.RefreshEntryList();
}

void FileAdder::scanChosenFolder(QString path) {
    // Only a root ends in a separator ("D:\" or "/"); the scan adds its own.
    if (Paths::endsWithSeparator(path))
        path.chop(1);
    ScanFolder(path, QString());
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
}
