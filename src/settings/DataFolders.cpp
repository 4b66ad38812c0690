#include "settings/DataFolders.h"

#include "platform/OwnFiles.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The same folder however it is written: links resolved where the folder exists.
QString comparable(const QString &directory) {
    const QFileInfo info(directory);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

bool DataFolders::makeDataDirectory() const {
    return hasDataDirectory() && (isPortable() || QDir().mkpath(dataDirectory));
}

QString DataFolders::folderNames() const {
    return hasDataDirectory() && !isPortable()
               ? Paths::toNative(programDirectory) + QStringLiteral("、") + dataDirectory
               : Paths::toNative(programDirectory);
}

DataFolders DataFolders::portable(const QString &programDirectory) {
    const QString directory = Paths::withTrailingSeparator(programDirectory);
    return {directory, directory};
}

QString DataFolders::journalPath() const {
    return hasDataDirectory() ? OwnFiles::pathIn(dataDirectory, OwnFiles::kJournal) : QString();
}

DataFolders chooseDataFolders(const QString &programDirectory, const QString &installedDirectory,
                              bool programDirectoryWritable, const QString &configDirectory) {
    DataFolders folders = DataFolders::portable(programDirectory);
    const bool installed =
        !installedDirectory.isEmpty() &&
        comparable(programDirectory).compare(comparable(installedDirectory), Paths::pathCase()) ==
            0;
    if (installed || !programDirectoryWritable)
        folders.dataDirectory =
            configDirectory.isEmpty()
                ? QString()
                : Paths::withTrailingSeparator(Paths::toNative(configDirectory));
    return folders;
}

DataFolders currentDataFolders(const QString &installedDirectory) {
    const QString program = Paths::programDirectory();
#ifdef Q_OS_WIN
    const bool noHome = false;
#else
    // With no home, the configuration folder would be a path built from nothing ("/.config").
    const bool noHome = qEnvironmentVariableIsEmpty("HOME");
#endif
    return chooseDataFolders(
        program, installedDirectory, QFileInfo(program).isWritable(),
        noHome ? QString() : QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}
