#include "settings/DataFolders.h"

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
    return isPortable() || QDir().mkpath(dataDirectory);
}

DataFolders DataFolders::portable(const QString &programDirectory) {
    const QString directory = Paths::withTrailingSeparator(programDirectory);
    return {directory, directory};
}

DataFolders chooseDataFolders(const QString &programDirectory, const QString &installedDirectory,
                              bool programDirectoryWritable, const QString &configDirectory) {
    DataFolders folders = DataFolders::portable(programDirectory);
    const bool installed =
        !installedDirectory.isEmpty() &&
        comparable(programDirectory).compare(comparable(installedDirectory), Paths::pathCase()) ==
            0;
    if (installed || !programDirectoryWritable)
        folders.dataDirectory = Paths::withTrailingSeparator(Paths::toNative(configDirectory));
    return folders;
}

DataFolders currentDataFolders(const QString &installedDirectory) {
    const QString program = Paths::programDirectory();
    return chooseDataFolders(program, installedDirectory, QFileInfo(program).isWritable(),
                             QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}
