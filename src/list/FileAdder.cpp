#include "list/FileAdder.h"

#include "dialogs/UserDialogs.h"
#include "list/EntryList.h"
#include "platform/Paths.h"
#include "tags/Id3v1Tag.h"
#include "tags/NameTemplate.h"
#include "tags/RealMediaTag.h"

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

// The scan's own type test: the whole extension after the last dot, any letter case.
bool hasAudioExtension(QStringView name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const QStringView ext = dot < 0 ? name : name.mid(dot + 1);
    return ext.compare(u"MP3", Qt::CaseInsensitive) == 0 ||
           ext.compare(u"RM", Qt::CaseInsensitive) == 0;
}

// Position just past the last separator of path, 0 when it has none.
qsizetype afterLastSeparator(const QString &path) {
    return QDir::fromNativeSeparators(path).lastIndexOf(u'/') + 1;
}

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

bool FileAdder::AddAudioFile() {
    EntryTable &table = m_list.table();
    const int r = table.NextEntryRow();
    const QString path = table.row(r).path();

    // Only the end of the whole path counts, so "alarm" is RealMedia and "song.mp3" never is.
    if (path.endsWith(u"MP3", Qt::CaseInsensitive)) {
        ReadId3v1Tag(table);
    } else if (path.endsWith(u"RM", Qt::CaseInsensitive)) {
        ReadRealMediaTag(table);
    } else {
        m_dialogs.showMessage(kRefusal, UserDialogs::kAppTitle);
        if (m_list.lineCount() > 0)
            m_list.ClearEntries(); // empties this row too and starts again at row 1
        else
            table.row(r) = RenameEntry(); // the rows this batch filled stay; this one is free again
        return false;
    }

    RenameEntry &entry = table.row(r);
    entry.newName = ExpandNameTemplate(entry, m_nameTemplate ? m_nameTemplate() : QString());
    return true;
}

void FileAdder::appendFile(const QString &directory, const QString &name) {
    EntryTable &table = m_list.table();
    const int r = table.NextEntryRow();
    RenameEntry &entry = table.row(r);
    entry.directory = directory;
    entry.originalName = name;
    if (AddAudioFile()) {
        table.setNextEntryRow(r + 1);
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
                    if (!hasAudioExtension(entryName) || !info.isFile())
                        continue;
                } else if (info.isDir()) {
                    subfolders.append(entryName);
                    continue;
                } else if (!hasAudioExtension(entryName) || !info.isFile()) {
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
    // Only a root ends in a separator ("D:\" or "/"); the scan adds its own.
    if (Paths::endsWithSeparator(path))
        path.chop(1);
    ScanFolder(path, QString());
    m_list.RefreshEntryList();
}

void FileAdder::AddFilesFromDialog() {
    const QString r = m_dialogs.GetDlgSelectFileInfo(kOpenTitle, kOpenFilter, QString(),
                                                     kOpenDirectory, kOpenFlags);
    if (r.isEmpty())
        return;

    startBatch();
    const QStringList segments = r.split(QChar());
    const qsizetype n = segments.size();
    if (n == 3) {
        // One file: its full path followed by two NULs.
        const qsizetype k = afterLastSeparator(r);
        const QString name = r.mid(k, r.size() - k - 2);
        // A bare name would make a row with an empty directory, which ends the list.
        if (k > 0 && !name.isEmpty() && !name.contains(QChar()) && reportProgress(r.left(k)))
            appendFile(r.left(k), name);
    } else if (n > 3 && !segments.first().isEmpty()) {
        // Several files: the directory, the names, two empty segments.
        const QString directory = Paths::withTrailingSeparator(segments.first());
        if (reportProgress(directory)) {
            for (qsizetype i = 1; i <= n - 3 && !m_stopped; ++i) {
                if (!segments.at(i).isEmpty())
                    appendFile(directory, segments.at(i));
            }
        }
    }
    m_list.RefreshEntryList();
}
