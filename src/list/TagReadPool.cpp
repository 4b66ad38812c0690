#include "list/TagReadPool.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr int kWakeAfter = 16;
// Reads faster than this come from the cache. While reads come from there the threads leave
// them to whoever waits for them, since handing a read to a thread and back costs more than
// the read; from a slow disk every thread is set to work.
constexpr auto kFastRead = std::chrono::microseconds(20);

} // namespace

// Reads are taken to come from the cache until they show otherwise: until then one thread, the
// helper, reads ahead.
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
    bool wakeOne = false;
    bool wakeHelper = false;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_waiting.push_back(read);
        const bool fromCache = m_speeds.fromCache();
        if (m_threads.empty() ||
            (!fromCache && m_idleThreads == 0 && int(m_threads.size()) < m_maxThreads)) {
            addThread();
            return; // the new thread finds the read itself
        }
        // Waking a thread for every read costs more than a read from the cache: a thread is
        // woken once a few reads wait, and goes on while any do. Those that wait on no thread
        // are done by whoever waits for them. From the cache only the helper reads ahead, from
        // the newest end, where it does not meet the waiter: the two share the cores.
        if (m_waiting.size() < size_t(kWakeAfter))
            return;
        wakeHelper = fromCache && m_helperIdle;
        wakeOne = !fromCache && m_idleThreads > 0;
    }
    if (wakeHelper)
        m_readWaiting.notify_all(); // the others go back to waiting
    else if (wakeOne)
        m_readWaiting.notify_one();
}

bool TagReadPool::isDone(const Read &read) {
    return read.done.load(std::memory_order_acquire);
}

void TagReadPool::waitFor(Read &read) {
    if (isDone(read))
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    // Not begun yet: doing it here beats waiting for a thread to wake, as it often is when the
    // files are in the cache already.
    const auto waiting =
        std::find_if(m_waiting.begin(), m_waiting.end(),
                     [&](const std::shared_ptr<Read> &r) { return r.get() == &read; });
    if (waiting != m_waiting.end()) {
        m_waiting.erase(waiting);
        lock.unlock();
        const bool fast = timedPerform(read);
        read.done.store(true, std::memory_order_release);
        lock.lock();
        noteSpeed(fast);
        return;
    }
    ++m_doneWaiters;
    m_readDone.wait(lock, [&] { return isDone(read); });
    --m_doneWaiters;
}

bool TagReadPool::timedPerform(Read &read) {
    const auto begun = std::chrono::steady_clock::now();
    perform(read);
    return std::chrono::steady_clock::now() - begun < kFastRead;
}

void TagReadPool::noteSpeed(bool fast) {
    m_speeds.note(fast);
    if (fast || m_speeds.fromCache() || m_waiting.empty())
        return;
    // The disk is slow here: every thread to work, as many as there are reads waiting.
    if (m_idleThreads > 0)
        m_readWaiting.notify_all();
    for (size_t wanted = m_waiting.size() - std::min(m_waiting.size(), size_t(m_idleThreads));
         wanted > 0 && int(m_threads.size()) < m_maxThreads; --wanted)
        addThread();
}

void TagReadPool::addThread() {
    const bool helper = m_threads.empty();
    m_threads.emplace_back([this, helper] { work(helper); });
}

void TagReadPool::perform(Read &read) {
    FileIdentity opened;
    read.tags = readTags(*read.format, read.path, read.options, &read.unreadable, &opened)
                    .value_or(TagText());
    // The identity the rename checks later: the file as it is now.
    read.identity = read.entryIsNoLink ? opened : FileIdentity::ofEntry(read.path);
    if (read.naming && !read.unreadable && read.identity.valid) {
        read.entry.identity = read.identity;
        read.entry.identityIsTarget = read.entryIsNoLink || opened.sameAs(read.identity);
        read.entry.name(read.tags, read.naming->nameTemplate, read.naming->safeNames);
        read.tags = {};
    }
}

void TagReadPool::work(bool helper) {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        ++m_idleThreads;
        if (helper)
            m_helperIdle = true;
        m_readWaiting.wait(lock, [&] {
            return m_stopping || (!m_waiting.empty() && (helper || !m_speeds.fromCache()));
        });
        --m_idleThreads;
        if (helper)
            m_helperIdle = false;
        if (m_stopping)
            return;
        // Kept alive by this reference even if the pool is told to drop it meanwhile.
        std::shared_ptr<Read> read;
        if (m_speeds.fromCache()) {
            read = std::move(m_waiting.back());
            m_waiting.pop_back();
        } else {
            read = std::move(m_waiting.front());
            m_waiting.pop_front();
        }
        lock.unlock();
        const bool fast = timedPerform(*read);
        lock.lock();
        read->done.store(true, std::memory_order_release);
        noteSpeed(fast);
        if (m_doneWaiters > 0)
            m_readDone.notify_all();
    }
}
