#include "rename/ProgramFiles.h"

#include "platform/OwnFiles.h"
#include "platform/Paths.h"

#include <QDir>

namespace {

QString cleaned(const QString &directory) {
    return QDir::cleanPath(QDir::fromNativeSeparators(directory));
}

} // namespace

ProgramFiles::ProgramFiles(const QString &programDirectory)
    : m_directory(cleaned(programDirectory))
    , m_identity(FileIdentity::of(programDirectory)) {}

bool ProgramFiles::isOwnFile(const QString &directory, const QString &name) {
    if (!OwnFiles::isOwnName(name, Paths::pathCase()))
        return false;
    return isProgramDirectory(directory);
}

bool ProgramFiles::isProgramDirectory(const QString &directory) {
    if (m_asked && directory == m_lastDirectory)
        return m_lastAnswer;
    m_asked = true;
    m_lastDirectory = directory;
    m_lastAnswer = cleaned(directory).compare(m_directory, Paths::pathCase()) == 0 ||
                   FileIdentity::of(directory).sameAs(m_identity);
    return m_lastAnswer;
}
