#include "list/TagReadPool.h"

#include <algorithm>

TagReadPool::TagReadPool(int maxThreads)
    : m_maxThreads(std::max(1, maxThreads)) {}

TagReadPool::~TagReadPool() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_waiting.clear();
    }
    m_readWaiting.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

void TagReadPool::start(const std::shared_ptr<Read> &read) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_waiting.push_back(read);
        if (m_idleThreads == 0 && int(m_threads.size()) < m_maxThreads) {
            m_threads.emplace_back([this] { work(); });
            return; // the new thread finds the read itself
        }
    }
    m_readWaiting.notify_one();
}

bool TagReadPool::isDone(const Read &read) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return read.done;
}

void TagReadPool::waitFor(const Read &read) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_readDone.wait(lock, [&] { return read.done; });
}

void TagReadPool::perform(Read &read) {
    FileIdentity opened;
    read.tags =
        readTags(*read.format, read.path, read.options, read.nativePath, &read.unreadable, &opened)
            .value_or(TagText());
    // The identity the rename checks later: the file as it is now.
    read.identity = read.entryIsNoLink ? opened : FileIdentity::ofEntry(read.path, read.nativePath);
}

void TagReadPool::work() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        ++m_idleThreads;
        m_readWaiting.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        --m_idleThreads;
        if (m_stopping)
            return;
        // Kept alive by this reference even if the pool is told to drop it meanwhile.
        const std::shared_ptr<Read> read = std::move(m_waiting.front());
        m_waiting.pop_front();
        lock.unlock();
        perform(*read);
        lock.lock();
        read->done = true;
        m_readDone.notify_all();
    }
}
