#include "list/FileAdder.h"

#include "dialogs/UserDialogs.h"
#include "list/EntryList.h"
#include "platform/FolderListing.h"
#include "platform/Paths.h"

#include <QFileInfo>

const QString FileAdder::kOpenTitle = QStringLiteral("打开");
const QString FileAdder::kOpenFilter =
    QStringLiteral("ALL(*.mp3;*.rm)") + QChar() + QStringLiteral("*.mp3;*.rm") + QChar() +
    QStringLiteral("mp3 (*.mp3)") + QChar() + QStringLiteral("*.mp3") + QChar() +
    QStringLiteral("rm (*.rm)") + QChar() + QStringLiteral("*.rm");
const QString FileAdder::kOpenDirectory = QStringLiteral("d:\\temp\\rm");
const QString FileAdder::kNotAudioMessage =
    QStringLiteral("有 %1 个文件不是本程序能改名的音乐文件，已跳过：");

QString FileAdder::openFilter(bool allFormats) {
    if (!allFormats)
        return kOpenFilter;
    const QString patterns = otherFormatPatterns();
    return kOpenFilter + QChar() + QStringLiteral("其他音乐格式 (%1)").arg(patterns) + QChar() +
           patterns;
}

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
    const QStringList paths = m_dialogs.GetDlgSelectFileInfo(
        kOpenTitle, openFilter(m_options.tags.allFormats), QString(), kOpenDirectory, kOpenFlags);
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
    QStringList passedOver;
    for (const FilePath &given : paths) {
        FilePath path;
        bool isFolder = false;
        if (given.hasOwnBytes()) {
            // A name only its bytes give: a folder is scanned from them, a file added with them.
            QByteArray bytes = given.exactBytes();
            while (bytes.size() > 1 && bytes.endsWith('/'))
                bytes.chop(1);
            path = FilePath::fromExactBytes(bytes);
            isFolder = listFolder(path).readable;
        } else {
            path = Paths::toNative(given.text());
            isFolder = QFileInfo(path.text()).isDir();
        }
        if (isFolder) {
            if (path.hasOwnBytes())
                pipeline.ScanFolder(path);
            else
                scanChosenFolder(pipeline, path);
            lastFolder = {};
        } else if (!formatByNameEnding(path.text(), m_options.tags.allFormats)) {
            passedOver << path.text(); // only names typed into the open-file dialog are refused
        } else {
            addFileAt(pipeline, path, lastFolder);
        }
        if (pipeline.stopped())
            break;
    }
    pipeline.finish();
    if (!passedOver.isEmpty())
        m_dialogs.showMessage(notAudioMessage(passedOver));
}

QString FileAdder::notAudioMessage(const QStringList &paths) {
    QString text = kNotAudioMessage.arg(paths.size());
    for (const QString &path : paths.mid(0, ReadPipeline::kSkippedListed))
        text += u'\n' + Paths::printableText(path.mid(Paths::nameStart(path)));
    return text;
}

void FileAdder::readTagsAgain() {
    ReadPipeline pipeline(m_list, m_dialogs, m_options);
    for (int line = 0; line < m_list.table().size(); ++line)
        pipeline.readAgain(line);
    pipeline.finish();
}
