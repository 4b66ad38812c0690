#include "platform/RunLock.h"

#include "platform/OwnFiles.h"

#include <QString>

RunLock::RunLock(const QString &folder)
    : m_lock(folder.isEmpty() ? QString() : OwnFiles::pathIn(folder, OwnFiles::kLock))
    , m_none(folder.isEmpty()) {}

bool RunLock::take(std::chrono::milliseconds wait) {
    return m_none || m_lock.tryLock(int(wait.count())) ||
           m_lock.error() != QLockFile::LockFailedError;
}
