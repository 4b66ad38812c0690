#include "app/FileAdder.h"

#include "dialogs/UserDialogs.h"
#include "platform/FolderListing.h"
#include "platform/Paths.h"

#include <QFileInfo>

const QString FileAdder::kOpenTitle = QStringLiteral("打开");
const QString FileAdder::kOpenFilter =
    QStringLiteral("ALL(*.mp3;*.rm)") + QChar() + QStringLiteral("*.mp3;*.rm") + QChar() +
    QStringLiteral("mp3 (*.mp3)") + QChar() + QStringLiteral("*.mp3") + QChar() +
    QStringLiteral("rm (*.rm)") + QChar() + QStringLiteral("*.rm");
const QString FileAdder::kOpenDirectory = QStringLiteral("d:\\temp\\rm");

FileAdder::FileAdder(EntryList &list, UserDialogs &dialogs)
    : m_list(list)
    , m_dialogs(dialogs) {}

void FileAdder::AddDirectory() {
    const QString path = m_dialogs.GetDlgSelectFolder(UserDialogs::kAppTitle);
    if (path.isEmpty())
        return;
    ReadPipeline pipeline(m_list, m_dialogs, m_options, m_progress);
    scanChosenFolder(pipeline, path);
    pipeline.finish();
}

void FileAdder::scanChosenFolder(ReadPipeline &pipeline, FilePath path) {
    // Only a root ends in a separator ("D:\" or "/"); the scan adds its own.
    if (Paths::endsWithSeparator(path.text()))
        path = path.text().chopped(1);
    pipeline.ScanFolder(path);
}

void FileAdder::AddFilesFromDialog() {
    const QStringList paths = m_dialogs.GetDlgSelectFileInfo(kOpenTitle, kOpenFilter, QString(),
                                                             kOpenDirectory, kOpenFlags);
    if (paths.isEmpty())
        return;
    ReadPipeline pipeline(m_list, m_dialogs, m_options, m_progress);
    FilePath lastFolder;
    for (const QString &path : paths) {
        addFileAt(pipeline, path, lastFolder);
        if (pipeline.stopped())
            break;
    }
    pipeline.finish();
}

void FileAdder::addFileAt(ReadPipeline &pipeline, const FilePath &path, FilePath &lastFolder) {
    const FilePath name = path.name();
    // A bare name would make an entry without a directory.
    if (name.text().isEmpty() || name.text() == path.text())
        return;
    const FilePath folder = path.folder();
    if (folder != lastFolder)
        pipeline.reportFolder(folder);
    lastFolder = folder;
    pipeline.AddAudioFile(folder, name);
}

void FileAdder::addPaths(const QList<FilePath> &paths) {
    ReadPipeline pipeline(m_list, m_dialogs, m_options, m_progress);
    FilePath lastFolder;
    for (const FilePath &given : paths) {
        if (given.hasOwnBytes()) {
            // A name only its bytes give: a folder is scanned from them, a file added with them.
            QByteArray bytes = given.exactBytes();
            while (bytes.size() > 1 && bytes.endsWith('/'))
                bytes.chop(1);
            const FilePath path = FilePath::fromExactBytes(bytes);
            if (listFolder(path).readable) {
                pipeline.ScanFolder(path);
                lastFolder = {};
            } else {
                addFileAt(pipeline, path, lastFolder);
            }
        } else if (const QString path = Paths::toNative(given.text()); QFileInfo(path).isDir()) {
            scanChosenFolder(pipeline, path);
            lastFolder = {};
        } else {
            addFileAt(pipeline, path, lastFolder);
        }
        if (pipeline.stopped())
            break;
    }
    pipeline.finish();
}

void FileAdder::readTagsAgain() {
    ReadPipeline::readTagsAgain(m_list, m_options);
}
