#pragma once

#include <QString>

// Where the program keeps rename.ini, elanguage.dat, rename.log and rename.m3u: beside itself
// (the portable layout), or, when it runs from the folder it was installed to or cannot write
// beside itself, in the user's configuration folder for the program. Both folders end in a
// separator.
struct DataFolders {
    QString programDirectory; // the running executable's folder
    // The folder in use; empty when there is none: the program's folder cannot be used and
    // there is no home to keep a configuration folder in.
    QString dataDirectory;

    bool isPortable() const { return dataDirectory == programDirectory; }
    bool hasDataDirectory() const { return !dataDirectory.isEmpty(); }
    // rename.undo in the folder in use; empty where there is none: no record, nothing to undo.
    QString journalPath() const;
    // Creates the folder in use if needed; false when it cannot be created or there is none.
    bool makeDataDirectory() const;
    // The folders the program would keep its files in, for a message that none can be used.
    QString folderNames() const;

    // Everything beside the program.
    static DataFolders portable(const QString &programDirectory);
};

// The choice: beside the program, unless programDirectory is installedDirectory or cannot be
// written; then configDirectory, where there is one (empty: none).
DataFolders chooseDataFolders(const QString &programDirectory, const QString &installedDirectory,
                              bool programDirectoryWritable, const QString &configDirectory);

// The choice for this process, with the folder the program is installed to.
DataFolders currentDataFolders(const QString &installedDirectory);
