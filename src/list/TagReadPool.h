#pragma once

#include "platform/FileIdentity.h"
#include "tags/TagReader.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Reads the tags of many files at once on threads of its own: a disk answers many small reads
// at once far faster than one after another. While reads come from the cache, whoever waits
// for one mostly does it and a single thread reads ahead; a slow read sets every thread to
// work. Whoever starts a read waits for its result; the order in which results are taken is
// the caller's. Only reading happens on the threads.
class TagReadPool {
public:
    // One file to read, and, once done, what was read.
    struct Read {
        const TagFormat *format = nullptr;
        FilePath path;
        TagOptions options;
        // How the file's identity is taken: from the file opened, which is the entry itself
        // when it is known to be no link; else from the entry, a link not followed.
        bool entryIsNoLink = false;

        TagText tags;
        bool unreadable = true;
        FileIdentity identity;

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
    int m_fastStreak;      // reads from the cache in a row
    bool m_stopping = false;
    bool m_helperIdle = false; // the first thread, which reads ahead even from the cache
};
