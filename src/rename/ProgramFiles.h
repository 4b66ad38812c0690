#pragma once

#include "platform/FileIdentity.h"

#include <QString>
#include <QStringList>

// The files the program keeps in its own folder. A user's file renamed to one of these names
// there would be emptied by the next log or playlist, or have settings written into it, so no
// rename may take such a name in that folder.
class ProgramFiles {
public:
    explicit ProgramFiles(const QString &programDirectory);

    // Whether name in directory (with its trailing separator) is one of the program's own
    // files: the folder is the program's (by text or as the same folder), the name one of
    // the program's (OwnFiles::isOwnName), without regard to letter case where the file system
    // ignores it.
    bool isOwnFile(const QString &directory, const QString &name);

private:
    bool isProgramDirectory(const QString &directory);

    QString m_directory;
    FileIdentity m_identity;
    QString m_lastDirectory; // the last directory asked about, and the answer
    bool m_lastAnswer = false;
    bool m_asked = false;
};
