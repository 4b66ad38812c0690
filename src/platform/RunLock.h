#pragma once

#include <QLockFile>
#include <QString>

#include <chrono>

// One writer at a time of what the program keeps in the folder in use: rename.lock there, held
// only while a run writes the undo record or rename.ini is saved, never for the program's life.
// A lock left by a process that is gone is taken over.
class RunLock {
public:
    // folder ends in a separator; empty: there is no folder in use, and nothing to lock.
    explicit RunLock(const QString &folder);

    // Takes the lock, waiting up to wait; false while another process holds it still. Where no
    // lock file can be made at all (a full disk, a folder that cannot be written), true without
    // one: the writes themselves then fail and say so.
    bool take(std::chrono::milliseconds wait = std::chrono::seconds(2));
    // Gives the lock up before the object goes.
    void release() { m_lock.unlock(); }

private:
    QLockFile m_lock;
    bool m_none;
};
