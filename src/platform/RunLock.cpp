#include "platform/RunLock.h"

#include "platform/OwnFiles.h"

RunLock::RunLock(const QString &folder)
    : m_lock(OwnFiles::pathIn(folder, OwnFiles::kLock)) {}

bool RunLock::take(std::chrono::milliseconds wait) {
    return m_lock.tryLock(int(wait.count())) || m_lock.error() != QLockFile::LockFailedError;
}
