#pragma once

#include "list/RenameEntry.h"
#include "platform/FileIdentity.h"
#include "tags/TagReader.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <bitset>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Whether reads come from the cache, told by how fast the last ones were. A read from the cache
// is slow now and then, when its thread is preempted on a busy system (about one in a hundred
// on two cores): one alone does not make the disk slow, where from a disk nearly all are.
class ReadSpeeds {
public:
    // Of the last kWindow reads, this many slow ones make the disk slow, and no more than
    // kSlowAtRest make it the cache again.
    static constexpr size_t kWindow = 64;
    static constexpr size_t kSlowToWake = 8;
    static constexpr size_t kSlowAtRest = 1;

    void note(bool fast) {
        m_recentSlow <<= 1;
        m_recentSlow.set(0, !fast);
        const size_t slow = m_recentSlow.count();
        if (m_fromCache && slow >= kSlowToWake)
            m_fromCache = false;
        else if (!m_fromCache && slow <= kSlowAtRest)
            m_fromCache = true;
    }
    // Taken so until the reads show otherwise.
    bool fromCache() const { return m_fromCache; }

private:
    std::bitset<kWindow> m_recentSlow; // the last read in bit 0
    bool m_fromCache = true;
};

// Reads the tags of many files at once on threads of its own: a disk answers many small reads
// at once far faster than one after another. While reads come from the cache, whoever waits
// for one mostly does it and a single thread reads ahead; a slow read sets every thread to
// work. Whoever starts a read waits for its result; the order in which results are taken is
// the caller's. Only reading, and making the entry of what was read, happens on the threads.
class TagReadPool {
public:
    // How an entry is named from the tags read.
    struct Naming {
        QString nameTemplate;
        bool safeNames = false;
    };

    // One file to read, and, once done, what was read.
    struct Read {
        const TagFormat *format = nullptr;
        FilePath path;
        TagOptions options;
        // How the file's identity is taken: from the file opened, which is the entry itself
        // when it is known to be no link; else from the entry, a link not followed.
        bool entryIsNoLink = false;
        // When set, the read also fills in entry (its folder and name given) from what it
        // read, unless the file was unreadable or its identity unknown: whichever thread reads
        // does this work too. naming must outlive the read.
        const Naming *naming = nullptr;

        TagText tags; // left empty when entry was filled in
        bool unreadable = true;
        FileIdentity identity;
        RenameEntry entry{};

    private:
        friend class TagReadPool;
        // Set once the results are written; set under the pool's lock, read without it.
        std::atomic<bool> done{false};
    };

    explicit TagReadPool(int maxThreads);
    // Drops the reads not yet begun, waits for those under way and ends every thread.
    ~TagReadPool();
    TagReadPool(const TagReadPool &) = delete;
    TagReadPool &operator=(const TagReadPool &) = delete;

    // Starts reading; a thread is added when none is free and the most are not running yet.
    void start(const std::shared_ptr<Read> &read);
    // Whether the read has been done; its results are then the caller's.
    bool isDone(const Read &read);
    // Waits until the read has been done; one not yet begun is done on the calling thread.
    void waitFor(Read &read);

    // Does the read on the calling thread.
    static void perform(Read &read);

private:
    void work(bool helper);
    // perform, and whether it was fast: from the cache.
    static bool timedPerform(Read &read);
    // Counts a read's speed, and sets threads to the reads waiting when it was slow; under the
    // lock.
    void noteSpeed(bool fast);
    // Under the lock.
    void addThread();

    const int m_maxThreads;
    std::mutex m_mutex;
    std::condition_variable m_readWaiting;
    std::condition_variable m_readDone;
    std::deque<std::shared_ptr<Read>> m_waiting;
    std::vector<std::thread> m_threads;
    int m_idleThreads = 0;
    int m_doneWaiters = 0; // threads waiting in waitFor
    ReadSpeeds m_speeds;
    bool m_stopping = false;
    bool m_helperIdle = false; // the first thread, which reads ahead even from the cache
};
